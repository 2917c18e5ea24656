// sv_keyclientd: stand-in for the key client daemon of the rescue medium.
//
// Creates the request queue "Sarvelin_SVKEY_to_client_MQ", the answer queue
// "Sarvelin_client_to_SVKEY_MQ" (messages of up to 102400 bytes) and the
// named mutex "Sarvelin_SVC_mutex", then answers each request as the
// scenario says, one answer (or keyword, length and payload parts) per
// request. Every request and answer is appended to the requests log. On
// SIGTERM, SIGINT or SIGHUP it removes the queues and the mutex and ends.
//
//   sv_keyclientd [--scenario FILE] [--log FILE]
//
// Defaults: the scenario and log of the stand-ins' folder (standin_common.h).
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <boost/date_time/posix_time/posix_time.hpp>
#include <boost/interprocess/ipc/message_queue.hpp>
#include <boost/interprocess/sync/named_mutex.hpp>

#include "payload_padding.h"
#include "scenario.h"
#include "sv_payload_decode.h"
#include "sv_protocol.h"
#include "standin_common.h"

namespace bip = boost::interprocess;
using namespace sv_standin;

namespace {

volatile sig_atomic_t stop_requested = 0;
void on_signal(int)
{
    stop_requested = 1;
}

bool starts_with(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

class daemon_state
{
public:
    daemon_state(scenario sc, std::string log)
        : sc_(std::move(sc))
        , log_(std::move(log))
    { }

    void run(bip::message_queue& requests, bip::message_queue& answers);

private:
    struct reply
    {
        std::vector<std::string> messages; // sent in order
    };

    void handle(const std::string& request, bip::message_queue& answers);
    reply answer_for(const std::string& request);
    reply list_reply(const std::string& keyword, const std::string& payload);
    fault_entry* fault_for(const std::string& request);
    void send(bip::message_queue& answers, const std::string& message);
    unsigned next_status(const std::vector<unsigned>& seq, std::size_t& index);
    bool backup_queued();

    scenario sc_;
    std::string log_;
    bool connected_ = false;
    bool key_authenticated_ = false;
    std::string client_authenticated_;
    bool restore_started_ = false;
    std::size_t restore_index_ = 0;
    std::string backup_task_seen_;
    std::size_t backup_index_ = 0;
    double pause_reading_until_ = -1; // seconds since start; <0: reading
    bool stopped_reading_ = false;
};

double now_seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void daemon_state::run(bip::message_queue& requests, bip::message_queue& answers)
{
    std::vector<char> buffer(message_size);
    while (!stop_requested) {
        if (stopped_reading_) {
            if (pause_reading_until_ > 0 && now_seconds() >= pause_reading_until_) {
                stopped_reading_ = false;
                append_log(log_, "READING AGAIN");
            } else {
                sleep_seconds(0.05);
                continue;
            }
        }
        std::size_t received = 0;
        unsigned int priority = 0;
        const auto deadline
            = boost::posix_time::microsec_clock::universal_time() + boost::posix_time::milliseconds(100);
        if (!requests.timed_receive(buffer.data(), buffer.size(), received, priority, deadline))
            continue;
        handle(std::string(buffer.data(), received), answers);
    }
}

fault_entry* daemon_state::fault_for(const std::string& request)
{
    for (auto& f : sc_.faults) {
        if (!starts_with(request, f.request))
            continue;
        if (f.times > 0 && f.used >= f.times)
            continue;
        ++f.used;
        return &f;
    }
    return nullptr;
}

void daemon_state::send(bip::message_queue& answers, const std::string& message)
{
    // The tool has its own deadline; a full answer queue is waited on for a
    // while and then given up, so the daemon never hangs.
    const auto deadline = boost::posix_time::microsec_clock::universal_time() + boost::posix_time::seconds(30);
    if (!answers.timed_send(message.data(), message.size(), 0, deadline))
        append_log(log_, "ANSWER NOT SENT (queue full) " + printable(message));
    else
        append_log(log_, "ANSWER " + printable(message));
}

daemon_state::reply daemon_state::list_reply(const std::string& keyword, const std::string& payload)
{
    reply r;
    r.messages.push_back(keyword);
    r.messages.push_back(std::to_string(payload.size()));
    for (std::size_t at = 0; at < payload.size(); at += message_size)
        r.messages.push_back(payload.substr(at, message_size));
    if (payload.empty())
        r.messages.push_back(std::string());
    return r;
}

unsigned daemon_state::next_status(const std::vector<unsigned>& seq, std::size_t& index)
{
    const unsigned code = seq[index < seq.size() ? index : seq.size() - 1];
    if (index < seq.size())
        ++index;
    return code;
}

bool daemon_state::backup_queued()
{
    std::ifstream in(backup_task_path());
    std::string task;
    std::getline(in, task);
    if (task.empty())
        return false;
    if (task != backup_task_seen_) {
        backup_task_seen_ = task; // a new backup task: its statuses start over
        backup_index_ = 0;
    }
    return true;
}

daemon_state::reply daemon_state::answer_for(const std::string& request)
{
    reply r;
    auto one = [&](const std::string& text) {
        r.messages.push_back(text);
        return r;
    };

    if (starts_with(request, sv_protocol::hello)) {
        // HELLO:address:command port:media port:interface
        std::vector<std::string> parts;
        std::size_t from = std::strlen(sv_protocol::hello);
        for (;;) {
            const auto colon = request.find(':', from);
            parts.push_back(request.substr(from, colon == std::string::npos ? std::string::npos : colon - from));
            if (colon == std::string::npos)
                break;
            from = colon + 1;
        }
        if (parts.size() != 4 || parts[0].empty())
            return one("WRONG HELLO");
        if (!sc_.server_reachable || (!sc_.server_address.empty() && parts[0] != sc_.server_address)) {
            connected_ = false;
            return one(sv_protocol::noConnectionWithServer);
        }
        connected_ = true;
        return one(sv_protocol::helloAccepted);
    }
    if (starts_with(request, sv_protocol::keyPassword)) {
        const std::string hash = request.substr(std::strlen(sv_protocol::keyPassword));
        if (!connected_)
            return one(sv_protocol::noConnectionWithServer);
        key_authenticated_ = password_matches(sc_.key_password, hash);
        return one(key_authenticated_ ? sv_protocol::authenticated : sv_protocol::keyNotAuthenticated);
    }
    if (starts_with(request, sv_protocol::clientPassword)) {
        const std::string rest = request.substr(std::strlen(sv_protocol::clientPassword));
        const auto colon = rest.rfind(':');
        if (!connected_)
            return one(sv_protocol::noConnectionWithServer);
        if (colon == std::string::npos)
            return one(sv_protocol::clientNotAuthenticated);
        const std::string name = rest.substr(0, colon);
        const std::string hash = rest.substr(colon + 1);
        client_entry* c = sc_.find_client_by_name(name);
        if (!c || !password_matches(c->password, hash)) {
            client_authenticated_.clear();
            return one(sv_protocol::clientNotAuthenticated);
        }
        client_authenticated_ = name;
        return one(sv_protocol::authenticated);
    }
    if (request == sv_protocol::disconnect) {
        const bool was = connected_;
        connected_ = false;
        key_authenticated_ = false;
        client_authenticated_.clear();
        return one(was ? sv_protocol::serverDisconnected : sv_protocol::noConnectionWithServer);
    }
    if (starts_with(request, sv_protocol::askBackupStatus)) {
        if (!backup_queued())
            return one(std::string(sv_protocol::backupStatus) + "0");
        return one(sv_protocol::backupStatus + std::to_string(next_status(sc_.backup_status, backup_index_)));
    }
    if (starts_with(request, sv_protocol::askRestoreStatus)) {
        if (!restore_started_)
            return one(std::string(sv_protocol::restoreStatus) + "0");
        return one(sv_protocol::restoreStatus + std::to_string(next_status(sc_.restore_status, restore_index_)));
    }

    const bool catalogue = starts_with(request, sv_protocol::getClientList)
        || starts_with(request, sv_protocol::getArchives) || starts_with(request, sv_protocol::getRecoveryPlan);
    if (catalogue && sc_.require_hello && !connected_)
        return one(sv_protocol::noConnectionWithServer);
    if (catalogue && sc_.require_hello && !key_authenticated_)
        return one(sv_protocol::keyNotAuthenticated);

    if (request == std::string(sv_protocol::getClientList) + '\0' || request == sv_protocol::getClientList) {
        sv_payload::client_list pairs;
        for (const auto& c : sc_.clients)
            pairs.emplace_back(c.name, c.hwid);
        return list_reply(sv_protocol::takeClientList, sv_payload::encode_client_list(pairs));
    }
    if (starts_with(request, sv_protocol::getArchives)) {
        std::string rest = request.substr(std::strlen(sv_protocol::getArchives));
        const std::string suffix = ":rescue_image";
        if (rest.size() < suffix.size() || rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) != 0)
            return one("WRONG ARCHIVES REQUEST");
        const std::string hwid = rest.substr(0, rest.size() - suffix.size());
        client_entry* c = sc_.find_client_by_hwid(hwid);
        std::vector<sv_archive_short> archives = c ? c->archives : std::vector<sv_archive_short>();
        if (c && c->archives_payload_bytes && !pad_archives_to(archives, c->archives_payload_bytes))
            append_log(log_, "CANNOT PAD ARCHIVES TO " + std::to_string(c->archives_payload_bytes));
        return list_reply(sv_protocol::takeArchives, sv_payload::encode_archive_list(archives));
    }
    if (starts_with(request, sv_protocol::getRecoveryPlan)) {
        client_entry* c = sc_.find_client_by_hwid(request.substr(std::strlen(sv_protocol::getRecoveryPlan)));
        if (!c || !c->has_plan)
            return one(sv_protocol::noRecoveryPlan);
        std::vector<disaster_recovery_plan_record> plan = c->plan;
        if (c->plan_payload_bytes && !pad_plan_to(plan, c->plan_payload_bytes))
            append_log(log_, "CANNOT PAD PLAN TO " + std::to_string(c->plan_payload_bytes));
        return list_reply(sv_protocol::takeRecoveryPlan, sv_payload::encode_recovery_plan(plan));
    }
    if (starts_with(request, sv_protocol::restoreArchives)) {
        // SV KEY RESTORE ARCHIVES<hash>:PWD_SEPARATE:<device>:<archive id>
        const std::string rest = request.substr(std::strlen(sv_protocol::restoreArchives));
        const std::string sep = ":PWD_SEPARATE:";
        const auto at = rest.find(sep);
        if (at == std::string::npos)
            return one("TASK WASN'T ADDED: wrong request");
        const std::string hash = rest.substr(0, at);
        const std::string tail = rest.substr(at + sep.size());
        const auto colon = tail.rfind(':');
        const std::string device = colon == std::string::npos ? tail : tail.substr(0, colon);
        const std::string archive = colon == std::string::npos ? std::string() : tail.substr(colon + 1);
        client_entry* c = sc_.find_client_by_name(client_authenticated_);
        if (!connected_ || !c)
            return one("TASK WASN'T ADDED: client is not authenticated");
        if (!password_matches(c->password, hash))
            return one("TASK WASN'T ADDED: wrong client password");
        if (!starts_with(device, "/dev/") || device.size() == 5)
            return one("TASK WASN'T ADDED: wrong target device");
        bool known = false;
        for (const auto& a : c->archives)
            known = known || std::to_string(a.get_id()) == archive;
        if (!known)
            return one("TASK WASN'T ADDED: no archive '" + archive + "' of client " + c->name);
        if (!sc_.restore_accept)
            return one("TASK WASN'T ADDED: refused by server");
        restore_started_ = true;
        restore_index_ = 0;
        return one(sv_protocol::taskAdded + std::to_string(sc_.restore_task_id));
    }
    return one("UNKNOWN REQUEST");
}

void daemon_state::handle(const std::string& request, bip::message_queue& answers)
{
    append_log(log_, "REQUEST " + printable(request));
    fault_entry* f = fault_for(request);
    if (f)
        append_log(log_, "FAULT " + f->kind + " for " + printable(request, 60));

    reply r = answer_for(request);
    if (f) {
        const bool is_list = r.messages.size() >= 3 && !r.messages[1].empty()
            && r.messages[1].find_first_not_of("0123456789") == std::string::npos;
        if (f->kind == "never")
            return;
        if (f->kind == "late") {
            for (double waited = 0; waited < f->delay && !stop_requested; waited += 0.05)
                sleep_seconds(0.05);
        } else if (f->kind == "stop_reading") {
            stopped_reading_ = true;
            pause_reading_until_ = f->delay > 0 ? now_seconds() + f->delay : -1;
            return;
        } else if (f->kind == "wrong_keyword" || f->kind == "answer") {
            r.messages = {f->text};
        } else if (f->kind == "oversize") {
            // One answer that fills the whole receive buffer: no zero fits.
            std::string big = r.messages.front();
            big.resize(message_size, 'X');
            r.messages = {big};
        } else if (f->kind == "malformed") {
            if (is_list) {
                std::string junk = "this is not an archive of the expected records ";
                r.messages = {r.messages[0], std::to_string(junk.size()), junk};
            } else {
                r.messages = {r.messages.front() + "#?"};
            }
        } else if (f->kind == "truncated") {
            if (is_list) {
                if (r.messages.size() > 3) {
                    r.messages.pop_back(); // the length promises one part more than is sent
                } else {
                    std::string& part = r.messages[2];
                    part.resize(part.size() / 2); // an archive cut in the middle
                    r.messages[1] = std::to_string(part.size());
                }
            } else {
                std::string& m = r.messages.front();
                m.resize(m.size() / 2);
            }
        }
    }
    for (const auto& m : r.messages)
        send(answers, m);
}

} // namespace

int main(int argc, char** argv)
{
    std::string scenario_file = scenario_path();
    std::string log = requests_log_path();
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--scenario" && i + 1 < argc)
            scenario_file = argv[++i];
        else if (a == "--log" && i + 1 < argc)
            log = argv[++i];
        else {
            std::cerr << "usage: sv_keyclientd [--scenario FILE] [--log FILE]\n";
            return 2;
        }
    }

    scenario sc;
    std::string error;
    if (!load_scenario(scenario_file, sc, error)) {
        std::cerr << "sv_keyclientd: " << error << '\n';
        append_log(log, "FAILED TO START: " + error);
        return 1;
    }

    struct sigaction sa
    { };
    sa.sa_handler = on_signal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    // Left-overs of a daemon that was killed would make creation fail.
    bip::message_queue::remove(request_queue_name);
    bip::message_queue::remove(answer_queue_name);
    bip::named_mutex::remove(mutex_name);

    int rc = 0;
    try {
        bip::message_queue requests(bip::create_only, request_queue_name, sc.queue_capacity, message_size);
        bip::message_queue answers(bip::create_only, answer_queue_name, sc.queue_capacity, message_size);
        bip::named_mutex mutex(bip::create_only, mutex_name);
        {
            std::ofstream pid(daemon_pid_path());
            pid << ::getpid() << '\n';
        }
        append_log(log, "STARTED pid " + std::to_string(::getpid()) + " scenario " + scenario_file);
        daemon_state state(sc, log);
        state.run(requests, answers);
    } catch (const std::exception& e) {
        std::cerr << "sv_keyclientd: " << e.what() << '\n';
        append_log(log, std::string("FAILED: ") + e.what());
        rc = 1;
    }
    bip::message_queue::remove(request_queue_name);
    bip::message_queue::remove(answer_queue_name);
    bip::named_mutex::remove(mutex_name);
    if (read_pid_file(daemon_pid_path()) == ::getpid())
        std::remove(daemon_pid_path().c_str());
    append_log(log, "STOPPED");
    return rc;
}
