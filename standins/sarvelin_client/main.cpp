// sarvelin_client: stand-in for the suite's local backup client.
//
//   sarvelin_client start    starts the key client daemon (sv_keyclientd,
//                            next to this program) in the background and
//                            prints its progress lines as the scenario's
//                            [local_client] section says
//   sarvelin_client stop     stops the daemon
//   sarvelin_client status   says whether the daemon runs (exit 0) or not (1)
//
// The progress lines are those the rescue tool classifies: the authorization
// request, the authorization, and the failures (connection refused, no route,
// no IP address, unresolved host name, other connection failure, duplicated
// MAC address, second instance). Each line is flushed at once, so a reader of
// the redirected output sees it immediately. The lines also go to the
// client's log /opt/sarvelin/log/Sarvelin.log when that folder exists.
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <string>

#include "scenario.h"
#include "standin_common.h"
#include "sv_shared_paths.h"

using namespace sv_standin;

namespace {

void say(const std::string& line)
{
    std::cout << line << std::endl;
    std::ofstream log(sv_paths::clientLogFile, std::ios::app);
    if (log)
        log << line << '\n';
}

int start()
{
    scenario sc;
    std::string error;
    if (!load_scenario(scenario_path(), sc, error)) {
        say("Sarvelin client: " + error);
        return 1;
    }
    say("Sarvelin client 2.0 is starting");
    if (!sc.client_stderr.empty())
        std::cerr << sc.client_stderr << std::endl;

    const int running = read_pid_file(daemon_pid_path());
    if (process_alive(running) || sc.client_start == "second_instance") {
        say("Can't run second instance of Sarvelin client process on one node");
        return 1;
    }

    if (sc.start_daemon) {
        const std::string daemon = own_folder() + "/sv_keyclientd";
        if (spawn_detached(daemon, {}) != 0) {
            say("Sarvelin client: can't start " + daemon);
            return 1;
        }
        // The daemon writes its pid file once its queues and mutex exist.
        for (int i = 0; i < 100 && !process_alive(read_pid_file(daemon_pid_path())); ++i)
            sleep_seconds(0.01);
    }

    // The server as the medium's client configuration names it.
    std::string server = sc.server_address;
    {
        std::ifstream config(sv_paths::clientConfigFile);
        std::string line;
        while (server.empty() && std::getline(config, line))
            if (line.rfind("who-is-primary-server ", 0) == 0)
                server = line.substr(22);
    }
    if (server.empty())
        server = "the Sarvelin server";
    say("Connecting to " + server + " ...");
    const std::string& s = sc.client_start;
    if (s == "refused") {
        say("Connect to Sarvelin server failed: Connection refused");
        return 1;
    }
    if (s == "no_route") {
        say("Connect to Sarvelin server failed: No route to host");
        return 1;
    }
    if (s == "no_ip") {
        say("Sarvelin client can't work without IP address");
        return 1;
    }
    if (s == "no_resolve") {
        say("Can't resolve hostname " + server);
        return 1;
    }
    if (s == "connect_failed") {
        say("Connect to Sarvelin server failed: Connection timed out");
        return 1;
    }
    if (s == "duplicated_mac") {
        say("Sarvelin server has duplicated MAC address in unauthorized clients");
        return 1;
    }
    if (s == "silence")
        return 0;
    if (sc.authorize_after > 0) {
        say("Required authorization at Sarvelin server. Please contact system administrator.");
        sleep_seconds(sc.authorize_after);
    }
    say("This client was authorized by Sarvelin server");
    return 0;
}

int stop()
{
    const int pid = read_pid_file(daemon_pid_path());
    if (!process_alive(pid)) {
        say("Sarvelin client is not running");
        return 0;
    }
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 300 && process_alive(pid); ++i)
        sleep_seconds(0.01);
    if (process_alive(pid))
        ::kill(pid, SIGKILL);
    say("Sarvelin client stopped");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string cmd = argc == 2 ? argv[1] : "";
    append_log(calls_log_path(), "sarvelin_client " + cmd);
    if (cmd == "start")
        return start();
    if (cmd == "stop")
        return stop();
    if (cmd == "status") {
        const bool alive = process_alive(read_pid_file(daemon_pid_path()));
        std::cout << (alive ? "Sarvelin client is running" : "Sarvelin client is not running") << std::endl;
        return alive ? 0 : 1;
    }
    std::cerr << "usage: sarvelin_client start|stop|status" << std::endl;
    return 2;
}
