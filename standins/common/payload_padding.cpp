#include "payload_padding.h"

#include <string>

#include "sv_payload_decode.h"

namespace sv_standin {

namespace {
// Adjusts the length of the padding text (read by `get`, written by `set`)
// until `encode_now` yields `bytes`.
template <class Get, class Set, class Encode> bool grow_to(std::size_t bytes, Get get, Set set, Encode encode_now)
{
    for (int round = 0; round < 16; ++round) {
        const std::size_t now = encode_now().size();
        if (now == bytes)
            return true;
        std::string pad = get();
        if (now > bytes) {
            const std::size_t cut = now - bytes;
            if (cut > pad.size())
                return false;
            pad.resize(pad.size() - cut);
        } else {
            pad.append(bytes - now, 'x');
        }
        set(pad);
    }
    return encode_now().size() == bytes;
}
} // namespace

bool pad_archives_to(std::vector<sv_archive_short>& archives, std::size_t bytes)
{
    if (archives.empty())
        return false;
    sv_archive_short& last = archives.back();
    return grow_to(
        bytes, [&] { return last.get_aux_text_1(); }, [&](const std::string& v) { last.set_aux_text_1(v); },
        [&] { return sv_payload::encode_archive_list(archives); });
}

bool pad_plan_to(std::vector<disaster_recovery_plan_record>& plan, std::size_t bytes)
{
    if (plan.empty())
        return false;
    disaster_recovery_plan_record& last = plan.back();
    return grow_to(
        bytes, [&] { return last.description(); }, [&](const std::string& v) { last.set_description(v); },
        [&] { return sv_payload::encode_recovery_plan(plan); });
}

} // namespace sv_standin
