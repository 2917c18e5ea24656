// sv_archives: stand-in for the suite's archive tool, as far as the rescue
// backup uses it:
//
//   sv_archives -c /dev/DISK -m rescue_image -a CIPHER
//
// checks its arguments, that the local client's daemon runs, that the
// medium's client configuration /opt/sarvelin/etc/config.file exists and,
// for a cipher other than "nocrypt", that /opt/sarvelin/keys/master-key holds
// 32 bytes (exit 5 otherwise), then does what the scenario's [backup]
// sv_archives says:
//   queued      prints "TASK WAS ADDED TO QUEUE: <task_id>", records the task
//               for the daemon's backup status, starts svfd (next to this
//               program) for svfd_seconds, exits 0
//   exit_error  prints a refusal and exits 4
//   no_marker   prints a server answer without the queue marker, exits 0
//   hang        does not end by itself (for two minutes)
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <string>

#include "scenario.h"
#include "standin_common.h"
#include "sv_shared_paths.h"
#include "sv_protocol.h"

using namespace sv_standin;

int main(int argc, char** argv)
{
    std::string call = "sv_archives";
    for (int i = 1; i < argc; ++i)
        call += std::string(" ") + argv[i];
    append_log(calls_log_path(), call);

    std::string device, mode, cipher;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) {
            std::cout << "sv_archives: option " << a << " needs a value" << std::endl;
            return 2;
        }
        if (a == "-c")
            device = argv[++i];
        else if (a == "-m")
            mode = argv[++i];
        else if (a == "-a")
            cipher = argv[++i];
        else {
            std::cout << "sv_archives: unknown option " << a << std::endl;
            return 2;
        }
    }
    if (device.empty() || mode.empty() || cipher.empty()) {
        std::cout << "usage: sv_archives -c /dev/DISK -m rescue_image -a CIPHER" << std::endl;
        return 2;
    }
    if (mode != "rescue_image") {
        std::cout << "sv_archives: unknown backup mode '" << mode << "'" << std::endl;
        return 2;
    }
    struct stat st
    { };
    if (device.compare(0, 5, "/dev/") != 0 || ::stat(device.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) {
        std::cout << "sv_archives: " << device << " is not a block device" << std::endl;
        return 2;
    }

    scenario sc;
    std::string error;
    if (!load_scenario(scenario_path(), sc, error)) {
        std::cout << "sv_archives: " << error << std::endl;
        return 1;
    }
    if (!process_alive(read_pid_file(daemon_pid_path()))) {
        std::cout << "sv_archives: Sarvelin client doesn't work on this node" << std::endl;
        return 3;
    }

    // What the archive tool needs from the rescue medium: the client's
    // configuration and, for an encrypted image, the 32-byte master key.
    const std::string config = sv_paths::clientConfigFile;
    if (::stat(config.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::cout << "sv_archives: config file " << config << " doesn't exist" << std::endl;
        return 5;
    }
    const std::string key = sv_paths::masterKeyFile;
    if (cipher != "nocrypt" && (::stat(key.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 32)) {
        std::cout << "sv_archives: master key " << key << " is missing or is not 32 bytes long; cipher " << cipher
                  << " needs it" << std::endl;
        return 5;
    }

    std::cout << "Rescue image of " << device << ", cipher " << cipher << std::endl;
    if (sc.sv_archives == "exit_error") {
        std::cout << "Task wasn't added: the client is not authorized by the server" << std::endl;
        return 4;
    }
    if (sc.sv_archives == "no_marker") {
        std::cout << "Server answer: task refused, storage pool is full" << std::endl;
        return 0;
    }
    if (sc.sv_archives == "hang") {
        sleep_seconds(120);
        return 0;
    }

    {
        // A new line per task: the daemon starts the status sequence over.
        const auto stamp = std::chrono::system_clock::now().time_since_epoch().count();
        std::ofstream task(backup_task_path());
        task << sc.backup_task_id << ' ' << stamp << '\n';
    }
    if (sc.svfd_seconds > 0)
        spawn_detached(own_folder() + "/svfd", {"--seconds", std::to_string(sc.svfd_seconds)});
    std::cout << sv_protocol::taskAdded << " " << sc.backup_task_id << std::endl;
    return 0;
}
