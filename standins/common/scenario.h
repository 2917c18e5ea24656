// The scenario that drives the stand-ins: an INI file (see
// sandbox/scenarios/default.ini for every key with its meaning).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sv_archive_records.h"

namespace sv_standin {

struct client_entry
{
    std::string name;
    std::string hwid;
    std::string password; // plain text; compared as MD5-crypt
    bool has_plan = true;
    std::vector<sv_archive_short> archives;
    std::vector<disaster_recovery_plan_record> plan;
    std::size_t archives_payload_bytes = 0; // 0: natural size
    std::size_t plan_payload_bytes = 0;
};

// A fault injected into the answers of the daemon.
struct fault_entry
{
    std::string request; // applies to requests that begin with this text
    std::string kind; // late, never, wrong_keyword, answer, malformed,
        // truncated, oversize, stop_reading
    double delay = 11; // late: seconds before answering; stop_reading:
        // seconds without reading (0: for good)
    int times = 0; // how many matching requests (0: all)
    std::string text; // answer / wrong_keyword: the text sent
    int used = 0;
};

struct scenario
{
    // [server]
    bool server_reachable = true;
    std::string server_address; // empty: any address is reachable
    std::string key_password = "key-secret";
    // [local_client]
    std::string client_start = "authorized";
    double authorize_after = 2;
    bool start_daemon = true;
    std::string client_stderr; // a line "start" writes to standard error
    // [backup]
    std::string sv_archives = "queued";
    std::uint64_t backup_task_id = 4101;
    double svfd_seconds = 12;
    std::vector<unsigned> backup_status {2, 5};
    // [restore]
    bool restore_accept = true;
    std::uint64_t restore_task_id = 4102;
    std::vector<unsigned> restore_status {2, 5};
    // [daemon]
    std::size_t queue_capacity = 10;
    bool require_hello = true; // catalogue requests need HELLO + key password
    // [client NAME], [archive ID], [plan NAME ID]
    std::vector<client_entry> clients;
    // [fault N]
    std::vector<fault_entry> faults;

    client_entry* find_client_by_hwid(const std::string& hwid);
    client_entry* find_client_by_name(const std::string& name);
};

// Reads a scenario file; false with a message when it cannot be read or a
// value is wrong. Missing keys keep the defaults above.
bool load_scenario(const std::string& path, scenario& out, std::string& error);

} // namespace sv_standin
