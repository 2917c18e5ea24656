// Serves an archive list of 100,000 records from the key client daemon
// stand-in and measures, in one run:
//   - the bare decode of the received payload (the floor),
//   - "GET ARCHIVES LIST SV KEY:" sent -> decoded list (ask_archives),
//   - the same -> filled ResqueArchivesModel,
// with the daemon's preparation and the transfer itself broken out.
//
// Runs inside the sandbox (it creates the daemon's queues in /dev/shm):
//   SV_BINARY_DIR=<build> sandbox/sv-sandbox -- <build>/bench/catalogue/bench_catalogue [records] [rounds]

#include "keymaster.h"
#include "sv_payload_decode.h"

#include "../../tests/common/keymaster_test_access.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string two(int v)
{
    return (v < 10 ? "0" : "") + std::to_string(v);
}

const char* const kHwid = "52:54:00:be:ef:01";

// A scenario whose one client has `count` archives with strings of the
// lengths a real catalogue carries.
QByteArray scenario(std::size_t count)
{
    static const char* const hosts[]
        = {"web-frontend-01", "db-primary", "mail.example.local", "build-runner-17", "fileserver-b"};
    static const char* const pools[] = {"default-pool", "offsite-tape", "fast-ssd", "archive-2026"};
    static const char* const ciphers[] = {"nocrypt", "kuznyechik", "serpent", "rijndael"};
    std::string s;
    s.reserve(count * 520);
    s += "[server]\nkey_password = key-secret\n[daemon]\nqueue_capacity = 10\nrequire_hello = no\n";
    s += "[client bench01]\nhwid = ";
    s += kHwid;
    s += "\npassword = bench-secret\nplan = no\n";
    for (std::size_t i = 0; i < count; ++i) {
        const int n = static_cast<int>(i);
        s += "[archive " + std::to_string(1000000 + i) + "]\nclient = bench01\n";
        s += "task_id = " + std::to_string(500000 + i / 3) + "\n";
        s += "aux_text_1 = rescue_image\n";
        s += "name = " + std::string(hosts[i % 5]) + "-rescue-image-2026-" + two(1 + n % 12) + "-" + two(1 + n % 28)
            + "-" + std::to_string(i) + "\n";
        s += "reference_id = " + std::to_string(i ? 1000000 + i - 1 : 0) + "\n";
        s += "resource_type = rescue_image\n";
        s += std::string("resource = /dev/") + (i % 2 ? "sda" : "nvme0n1") + "\n";
        s += std::string("backup_type = ") + (i % 7 ? "incremental" : "full") + "\n";
        s += std::string("pool = ") + pools[i % 4] + "\n";
        s += "archive_size = " + std::to_string(1073741824ULL * (1 + i % 50) + i) + "\n";
        s += "snapshot_size = " + std::to_string(52428800ULL * (1 + i % 9)) + "\n";
        s += "created = 2026-" + two(1 + n % 12) + "-" + two(1 + n % 28) + " " + two(n % 24) + ":" + two(n % 60) + ":"
            + two((n * 7) % 60) + "\n";
        s += "creation_duration = 00:" + two(n % 60) + ":" + two((n * 3) % 60) + "\n";
        s += "transmission_duration = 00:" + two((n / 2) % 60) + ":" + two((n * 5) % 60) + "\n";
        s += "crypt_duration = 00:00:" + two(n % 60) + "\n";
        s += std::string("crypt_algorithm = ") + ciphers[i % 4] + "\n";
        s += std::string("digitally_signed = ") + (i % 3 == 0 ? "yes" : "no") + "\n";
        s += "verification_status = " + std::to_string(1 + i % 7) + "\n";
        if (i % 10 == 0)
            s += "aux_text_2 = checked by the weekly verification job\n";
    }
    return QByteArray::fromStdString(s);
}

// The transfer alone, through the channel's single steps: the request sent
// -> the list keyword received (toKeyword) -> the whole payload (toPayload).
bool rawArchives(KeyMaster& k, std::string& payload, double& toKeyword, double& toPayload)
{
    using Access = KeyMasterTestAccess;
    Access::Exchange exchange = Access::beginExchange(k);
    const auto start = Clock::now();
    const std::string request = std::string("GET ARCHIVES LIST SV KEY:") + kHwid + ":rescue_image";
    if (!Access::sendRequest(k, exchange, request))
        return false;
    if (!Access::receiveAnswer(k, exchange) || !exchange.answerStartsWith("TAKE ARCHIVES TYPE LIST"))
        return false;
    toKeyword = msSince(start);
    if (!Access::receivePayload(k, exchange, payload))
        return false;
    toPayload = msSince(start);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::size_t count = argc > 1 ? std::stoull(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (qgetenv("SV_SANDBOX_INSIDE") != "1") {
        std::fprintf(stderr, "bench_catalogue: run it inside the sandbox: sandbox/sv-sandbox -- %s\n", argv[0]);
        return 2;
    }

    const QString dir = "/opt/sarvelin/standins";
    QDir().mkpath(dir);
    QFile::remove(dir + "/requests.log");
    {
        QFile f(dir + "/scenario.ini");
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(scenario(count)) < 0) {
            std::fprintf(stderr, "bench_catalogue: cannot write the scenario\n");
            return 1;
        }
    }
    QProcess daemon;
    daemon.setProgram("/opt/sarvelin/bin/sv_keyclientd");
    daemon.setArguments({"--log", "/dev/null"});
    daemon.setProcessChannelMode(QProcess::ForwardedChannels);
    const auto daemonStart = Clock::now();
    daemon.start();
    bool up = false;
    for (int i = 0; i < 12000 && !up && daemon.state() != QProcess::NotRunning; ++i) {
        up = QFile::exists("/opt/sarvelin/standins/sv_keyclientd.pid");
        if (!up)
            QThread::msleep(10);
    }
    if (!up) {
        std::fprintf(stderr, "bench_catalogue: the daemon stand-in did not start\n");
        return 1;
    }
    std::printf("daemon stand-in up with %zu archives in %.0f ms (scenario parsing)\n", count, msSince(daemonStart));

    KeyMaster km;
    if (!KeyMasterTestAccess::messageQueuesConnect(km))
        return 1;
    std::vector<sv_archive_short> warm;
    KeyMasterTestAccess::ask_archives(km, warm, kHwid);
    if (warm.size() != count) {
        std::fprintf(stderr, "bench_catalogue: expected %zu archives, got %zu\n", count, warm.size());
        return 1;
    }
    warm.clear();
    warm.shrink_to_fit();

    std::vector<double> keyword, transfer, bare, toList, toModel, fillOnly;
    std::size_t payloadBytes = 0;
    for (int r = 0; r < rounds; ++r) {
        std::string payload;
        double toKeyword = 0, toPayload = 0;
        if (!rawArchives(km, payload, toKeyword, toPayload)) {
            std::fprintf(stderr, "bench_catalogue: raw transfer failed\n");
            return 1;
        }
        keyword.push_back(toKeyword);
        transfer.push_back(toPayload - toKeyword);
        payloadBytes = payload.size();

        std::vector<sv_archive_short> decoded;
        std::string error;
        auto t = Clock::now();
        if (!sv_payload::decode_archive_list(payload, decoded, error) || decoded.size() != count) {
            std::fprintf(stderr, "bench_catalogue: bare decode failed: %s\n", error.c_str());
            return 1;
        }
        bare.push_back(msSince(t));
        decoded.clear();
        decoded.shrink_to_fit();
        payload.clear();
        payload.shrink_to_fit();

        std::vector<sv_archive_short> list;
        t = Clock::now();
        KeyMasterTestAccess::ask_archives(km, list, kHwid);
        toList.push_back(msSince(t));
        const auto fillStart = Clock::now();
        KeyMasterTestAccess::archivesModel(km).fill(list);
        fillOnly.push_back(msSince(fillStart));
        toModel.push_back(msSince(t));
        if (list.size() != count || KeyMasterTestAccess::archivesModel(km).rowCount() != static_cast<int>(count)) {
            std::fprintf(stderr, "bench_catalogue: the list or the model is incomplete\n");
            return 1;
        }
    }
    KeyMasterTestAccess::messageQueuesClose(km);
    daemon.terminate();
    daemon.waitForFinished(5000);

    const std::size_t parts = (payloadBytes + 102399) / 102400;
    std::printf("payload: %zu records, %.1f MB, %zu parts of 102400 bytes; medians of %d rounds\n", count,
        payloadBytes / 1e6, parts, rounds);
    std::printf("  daemon preparation (request -> keyword)     %8.1f ms\n", median(keyword));
    std::printf("  transfer (keyword -> whole payload)         %8.1f ms\n", median(transfer));
    std::printf("  bare decode of the same payload (floor)     %8.1f ms\n", median(bare));
    std::printf("  request -> decoded list (ask_archives)      %8.1f ms   ratio to bare decode %.2f\n", median(toList),
        median(toList) / median(bare));
    std::printf("  request -> filled ResqueArchivesModel       %8.1f ms   ratio to bare decode %.2f\n", median(toModel),
        median(toModel) / median(bare));
    std::printf("  of which model fill alone                   %8.1f ms\n", median(fillOnly));
    std::printf("  tool-side cost without the daemon (list - preparation) %.1f ms, ratio %.2f\n",
        median(toList) - median(keyword), (median(toList) - median(keyword)) / median(bare));
    return 0;
}
