// Helpers shared by the stand-ins of the suite's programs: where their files
// live, the key client channel's names, logging, and process control.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sv_standin {

// The key client channel.
constexpr const char* request_queue_name = "Sarvelin_SVKEY_to_client_MQ"; // tool -> daemon
constexpr const char* answer_queue_name = "Sarvelin_client_to_SVKEY_MQ"; // daemon -> tool
constexpr const char* mutex_name = "Sarvelin_SVC_mutex";
constexpr std::size_t message_size = 102400;

// Folder of the stand-ins' scenario, logs and state:
// $SV_STANDINS_DIR, or /opt/sarvelin/standins.
std::string state_dir();
// Scenario file: $SV_SCENARIO_FILE, or <state_dir>/scenario.ini.
std::string scenario_path();
// Log of the daemon's requests and answers: <state_dir>/requests.log.
std::string requests_log_path();
// Log of the programs' invocations: <state_dir>/calls.log.
std::string calls_log_path();
// Process id file of the daemon: <state_dir>/sv_keyclientd.pid.
std::string daemon_pid_path();
// Backup task queued by sv_archives (its id), read by the daemon.
std::string backup_task_path();
// Folder of the running program (to find its sibling programs).
std::string own_folder();

// Appends one line, with a time stamp, to a log file.
void append_log(const std::string& path, const std::string& line);
// Printable form of bytes: \0, \n, \\ and \xNN for other control bytes;
// longer texts are cut at `limit` bytes with "...(N bytes)".
std::string printable(const std::string& bytes, std::size_t limit = 300);

// Starts a program detached (own session, standard streams on /dev/null,
// re-parented so that it never waits as a zombie of the caller);
// returns 0 when it was started, -1 otherwise.
int spawn_detached(const std::string& program, const std::vector<std::string>& args);
// Process id stored in a file, or 0.
int read_pid_file(const std::string& path);
// Whether a process id names a live process (not a zombie).
bool process_alive(int pid);

// Sleeps for a number of seconds (fractions allowed).
void sleep_seconds(double seconds);

// The one MD5-crypt salt the rescue tool hashes every password with.
constexpr const char* password_salt = "$1$q8vzt2mw$";
// MD5-crypt of a password with the settings (salt) of `setting`.
std::string md5_crypt(const std::string& password, const std::string& setting);
// Whether `hash` is the MD5-crypt of `password` made with password_salt; a
// hash made with any other salt is refused.
bool password_matches(const std::string& password, const std::string& hash);

} // namespace sv_standin
