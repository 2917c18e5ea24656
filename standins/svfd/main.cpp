// svfd: stand-in for the suite's deduplication daemon. It runs for the given
// number of seconds (the backup's duration) and ends; SIGTERM ends it early.
// Its process id is in <stand-ins folder>/svfd.pid while it runs.
//
//   svfd [--seconds N]       (default 10)
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <iostream>
#include <string>

#include "standin_common.h"

using namespace sv_standin;

namespace {
volatile sig_atomic_t stop_requested = 0;
void on_signal(int)
{
    stop_requested = 1;
}
} // namespace

int main(int argc, char** argv)
{
    double seconds = 10;
    if (argc == 3 && std::string(argv[1]) == "--seconds") {
        try {
            seconds = std::stod(argv[2]);
        } catch (const std::exception&) {
            std::cerr << "svfd: wrong number of seconds" << std::endl;
            return 2;
        }
    } else if (argc != 1) {
        std::cerr << "usage: svfd [--seconds N]" << std::endl;
        return 2;
    }
    struct sigaction sa
    { };
    sa.sa_handler = on_signal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    const std::string pid_file = state_dir() + "/svfd.pid";
    {
        std::ofstream pid(pid_file);
        pid << ::getpid() << '\n';
    }
    append_log(calls_log_path(), "svfd started for " + std::to_string(seconds) + " s");
    for (double waited = 0; waited < seconds && !stop_requested; waited += 0.1)
        sleep_seconds(0.1);
    if (read_pid_file(pid_file) == ::getpid())
        std::remove(pid_file.c_str());
    append_log(calls_log_path(), stop_requested ? "svfd stopped" : "svfd finished");
    return 0;
}
