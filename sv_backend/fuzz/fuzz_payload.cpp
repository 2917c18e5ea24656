// libFuzzer target for one payload decoder, chosen at compile time with
// SV_FUZZ_DECODER (1 client list, 2 archive list, 3 recovery plan).
// Whatever the input, a decoder must return (no crash, no hang, no
// exception); on failure it must leave the list untouched and say why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sv_payload_decode.h"

namespace {
template <class T, class F> void run(const std::string& payload, F decode)
{
    std::vector<T> list(1);
    std::string error;
    if (decode(payload, list, error)) {
        if (!error.empty() && error.size() > 1 << 20)
            std::abort();
    } else if (list.size() != 1 || error.empty()) {
        std::abort(); // a failure must leave the list alone and explain itself
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string payload(reinterpret_cast<const char*>(data), size);
#if SV_FUZZ_DECODER == 1
    run<std::pair<std::string, std::string>>(payload, sv_payload::decode_client_list);
#elif SV_FUZZ_DECODER == 2
    run<sv_archive_short>(payload, sv_payload::decode_archive_list);
#else
    run<disaster_recovery_plan_record>(payload, sv_payload::decode_recovery_plan);
#endif
    return 0;
}
