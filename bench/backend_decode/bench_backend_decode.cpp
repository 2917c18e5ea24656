// Decodes an archive list payload of 100,000 records (as the key client
// daemon sends it) and prints records per second and peak memory.
//
//   bench_backend_decode [records] [rounds]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sv_payload_decode.h"

namespace {

long peak_kib()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string two(int v)
{
    return (v < 10 ? "0" : "") + std::to_string(v);
}

std::vector<sv_archive_short> make_records(std::size_t count)
{
    static const char* const hosts[]
        = {"web-frontend-01", "db-primary", "mail.example.local", "build-runner-17", "fileserver-b"};
    static const char* const pools[] = {"default-pool", "offsite-tape", "fast-ssd", "archive-2026"};
    static const char* const ciphers[] = {"nocrypt", "aes256", "gost89", "aes128"};
    std::vector<sv_archive_short> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int n = static_cast<int>(i);
        sv_archive_short a;
        a.set_id(1000000 + i);
        a.set_task_id(500000 + i / 3);
        a.set_aux_text_1("rescue_image");
        a.set_name(std::string(hosts[i % 5]) + "-rescue-image-2026-" + two(1 + n % 12) + "-" + two(1 + n % 28) + "-"
            + std::to_string(i));
        a.set_reference_id(i ? 1000000 + i - 1 : 0);
        a.set_resource_type("rescue_image");
        a.set_resource("/dev/" + std::string(i % 2 ? "sda" : "nvme0n1"));
        a.set_backup_type(i % 7 ? "incremental" : "full");
        a.set_pool(pools[i % 4]);
        a.set_archive_size(1073741824ULL * (1 + i % 50) + i);
        a.set_snapshot_size(52428800ULL * (1 + i % 9));
        a.set_created("2026-" + two(1 + n % 12) + "-" + two(1 + n % 28) + " " + two(n % 24) + ":" + two(n % 60) + ":"
            + two((n * 7) % 60));
        a.set_creation_duration("00:" + two(n % 60) + ":" + two((n * 3) % 60));
        a.set_transmission_duration("00:" + two((n / 2) % 60) + ":" + two((n * 5) % 60));
        a.set_crypt_duration("00:00:" + two(n % 60));
        a.set_crypt_algorithm(ciphers[i % 4]);
        a.set_digitally_signed(i % 3 == 0);
        a.set_verification_status(static_cast<std::uint32_t>(1 + i % 7));
        a.set_aux_text_2(i % 10 ? "" : "checked by the weekly verification job");
        a.set_aux_text_3("");
        records.push_back(a);
    }
    return records;
}

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    std::string payload;
    {
        const auto records = make_records(count);
        payload = sv_payload::encode_archive_list(records);
    }
    // The channel pads the last part with zero bytes.
    payload.append(102400 - payload.size() % 102400, '\0');
    const long before = peak_kib();

    double best = 1e100, total = 0;
    std::size_t decoded = 0;
    for (int r = 0; r < rounds; ++r) {
        std::vector<sv_archive_short> list;
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        if (!sv_payload::decode_archive_list(payload, list, error)) {
            std::fprintf(stderr, "decoding failed: %s\n", error.c_str());
            return 1;
        }
        const double s = seconds_since(start);
        best = std::min(best, s);
        total += s;
        decoded = list.size();
    }
    const long after = peak_kib();

    std::printf("records                 %zu\n", decoded);
    std::printf("payload                 %.1f MB (%zu bytes, zero padding included)\n", payload.size() / 1048576.0,
        payload.size());
    std::printf("decode time             best %.1f ms, mean %.1f ms over %d rounds\n", best * 1e3, total / rounds * 1e3,
        rounds);
    std::printf("records per second      %.0f (best), %.0f (mean)\n", decoded / best, decoded / (total / rounds));
    std::printf("peak memory (maxrss)    %.1f MB before decoding (payload built), %.1f MB after\n", before / 1024.0,
        after / 1024.0);
    return decoded == count ? 0 : 1;
}
