#include "scenario.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include <boost/algorithm/string.hpp>
#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>

namespace pt = boost::property_tree;

namespace sv_standin {

client_entry* scenario::find_client_by_hwid(const std::string& hwid)
{
    for (auto& c : clients)
        if (c.hwid == hwid)
            return &c;
    return nullptr;
}

client_entry* scenario::find_client_by_name(const std::string& name)
{
    for (auto& c : clients)
        if (c.name == name)
            return &c;
    return nullptr;
}

namespace {

struct bad_value : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Keys are looked up literally: section and key names may hold dots.
const pt::ptree* child(const pt::ptree& t, const std::string& key)
{
    auto it = t.find(key);
    return it == t.not_found() ? nullptr : &it->second;
}

std::string get_text(const pt::ptree& s, const std::string& key, const std::string& def)
{
    const pt::ptree* c = child(s, key);
    return c ? boost::algorithm::trim_copy(c->data()) : def;
}

bool get_bool(const pt::ptree& s, const std::string& key, bool def)
{
    const pt::ptree* c = child(s, key);
    if (!c)
        return def;
    const std::string v = boost::algorithm::to_lower_copy(boost::algorithm::trim_copy(c->data()));
    if (v == "yes" || v == "true" || v == "1" || v == "on")
        return true;
    if (v == "no" || v == "false" || v == "0" || v == "off")
        return false;
    throw bad_value("'" + key + "' must be yes or no, not '" + c->data() + "'");
}

std::uint64_t get_uint(const pt::ptree& s, const std::string& key, std::uint64_t def)
{
    const pt::ptree* c = child(s, key);
    if (!c)
        return def;
    const std::string v = boost::algorithm::trim_copy(c->data());
    if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos)
        throw bad_value("'" + key + "' must be a number, not '" + v + "'");
    return std::stoull(v);
}

double get_seconds(const pt::ptree& s, const std::string& key, double def)
{
    const pt::ptree* c = child(s, key);
    if (!c)
        return def;
    try {
        std::size_t used = 0;
        const std::string v = boost::algorithm::trim_copy(c->data());
        const double d = std::stod(v, &used);
        if (used != v.size() || d < 0)
            throw bad_value("");
        return d;
    } catch (const std::exception&) {
        throw bad_value("'" + key + "' must be a number of seconds, not '" + c->data() + "'");
    }
}

std::vector<unsigned> get_codes(const pt::ptree& s, const std::string& key, std::vector<unsigned> def)
{
    const pt::ptree* c = child(s, key);
    if (!c)
        return def;
    std::vector<std::string> parts;
    const std::string v = boost::algorithm::trim_copy(c->data());
    boost::algorithm::split(parts, v, boost::algorithm::is_any_of(", "), boost::algorithm::token_compress_on);
    std::vector<unsigned> codes;
    for (const auto& p : parts) {
        if (p.empty())
            continue;
        if (p.find_first_not_of("0123456789") != std::string::npos)
            throw bad_value("'" + key + "' must be a list of numbers, not '" + v + "'");
        codes.push_back(static_cast<unsigned>(std::stoul(p)));
    }
    if (codes.empty())
        throw bad_value("'" + key + "' is empty");
    return codes;
}

sv_archive_short read_archive(const pt::ptree& s, std::uint64_t id, const std::string& client)
{
    sv_archive_short a;
    a.set_id(id);
    a.set_task_id(get_uint(s, "task_id", 7000 + id));
    a.set_aux_text_1(get_text(s, "aux_text_1", ""));
    a.set_name(get_text(s, "name", "rescue_image_" + client + "_" + std::to_string(id)));
    a.set_reference_id(get_uint(s, "reference_id", 0));
    a.set_resource_type(get_text(s, "resource_type", "rescue_image"));
    a.set_resource(get_text(s, "resource", "/dev/sda"));
    a.set_backup_type(get_text(s, "backup_type", "full"));
    a.set_pool(get_text(s, "pool", "default"));
    a.set_archive_size(get_uint(s, "archive_size", 1073741824));
    a.set_snapshot_size(get_uint(s, "snapshot_size", 2147483648ULL));
    a.set_created(get_text(s, "created", "2026-12-01 02:00:00"));
    a.set_creation_duration(get_text(s, "creation_duration", "00:12:31"));
    a.set_transmission_duration(get_text(s, "transmission_duration", "00:10:02"));
    a.set_crypt_duration(get_text(s, "crypt_duration", "00:00:00"));
    a.set_crypt_algorithm(get_text(s, "crypt_algorithm", "nocrypt"));
    a.set_digitally_signed(get_bool(s, "digitally_signed", false));
    a.set_verification_status(static_cast<std::uint32_t>(get_uint(s, "verification_status", 3)));
    a.set_aux_text_2(get_text(s, "aux_text_2", ""));
    a.set_aux_text_3(get_text(s, "aux_text_3", ""));
    return a;
}

void load(const pt::ptree& root, scenario& sc)
{
    static const pt::ptree empty;
    auto section = [&](const std::string& name) -> const pt::ptree& {
        const pt::ptree* c = child(root, name);
        return c ? *c : empty;
    };

    const pt::ptree& server = section("server");
    sc.server_reachable = get_bool(server, "reachable", sc.server_reachable);
    sc.server_address = get_text(server, "address", sc.server_address);
    sc.key_password = get_text(server, "key_password", sc.key_password);

    const pt::ptree& lc = section("local_client");
    sc.client_start = get_text(lc, "start", sc.client_start);
    static const std::vector<std::string> starts {"authorized", "refused", "no_route", "no_ip", "no_resolve",
        "connect_failed", "duplicated_mac", "second_instance", "silence"};
    if (std::find(starts.begin(), starts.end(), sc.client_start) == starts.end())
        throw bad_value("unknown [local_client] start '" + sc.client_start + "'");
    sc.authorize_after = get_seconds(lc, "authorize_after", sc.authorize_after);
    sc.start_daemon = get_bool(lc, "daemon", sc.start_daemon);
    sc.client_stderr = get_text(lc, "stderr", sc.client_stderr);

    const pt::ptree& backup = section("backup");
    sc.sv_archives = get_text(backup, "sv_archives", sc.sv_archives);
    static const std::vector<std::string> modes {"queued", "exit_error", "no_marker", "hang"};
    if (std::find(modes.begin(), modes.end(), sc.sv_archives) == modes.end())
        throw bad_value("unknown [backup] sv_archives '" + sc.sv_archives + "'");
    sc.backup_task_id = get_uint(backup, "task_id", sc.backup_task_id);
    sc.svfd_seconds = get_seconds(backup, "svfd_seconds", sc.svfd_seconds);
    sc.backup_status = get_codes(backup, "status", sc.backup_status);

    const pt::ptree& restore = section("restore");
    sc.restore_accept = get_bool(restore, "accept", sc.restore_accept);
    sc.restore_task_id = get_uint(restore, "task_id", sc.restore_task_id);
    sc.restore_status = get_codes(restore, "status", sc.restore_status);

    const pt::ptree& daemon = section("daemon");
    sc.queue_capacity = get_uint(daemon, "queue_capacity", sc.queue_capacity);
    if (sc.queue_capacity == 0)
        throw bad_value("[daemon] queue_capacity must be at least 1");
    sc.require_hello = get_bool(daemon, "require_hello", sc.require_hello);

    // Clients first (their order is the order of the client list), then
    // archives and plans, which name their client.
    for (const auto& s : root) {
        std::vector<std::string> words;
        boost::algorithm::split(words, s.first, boost::algorithm::is_space(), boost::algorithm::token_compress_on);
        if (words.size() == 2 && words[0] == "client") {
            client_entry c;
            c.name = words[1];
            c.hwid = get_text(s.second, "hwid", "");
            if (c.hwid.empty())
                throw bad_value("[" + s.first + "] has no hwid");
            c.password = get_text(s.second, "password", "");
            c.has_plan = get_bool(s.second, "plan", true);
            c.archives_payload_bytes = get_uint(s.second, "archives_payload_bytes", 0);
            c.plan_payload_bytes = get_uint(s.second, "plan_payload_bytes", 0);
            sc.clients.push_back(c);
        }
    }
    for (const auto& s : root) {
        std::vector<std::string> words;
        boost::algorithm::split(words, s.first, boost::algorithm::is_space(), boost::algorithm::token_compress_on);
        if (words.size() == 2 && words[0] == "archive") {
            if (words[1].find_first_not_of("0123456789") != std::string::npos)
                throw bad_value("[" + s.first + "]: the archive id must be a number");
            const std::string owner = get_text(s.second, "client", "");
            client_entry* c = sc.find_client_by_name(owner);
            if (!c)
                throw bad_value("[" + s.first + "] names no known client ('" + owner + "')");
            c->archives.push_back(read_archive(s.second, std::stoull(words[1]), owner));
        } else if (words.size() == 3 && words[0] == "plan") {
            client_entry* c = sc.find_client_by_name(words[1]);
            if (!c)
                throw bad_value("[" + s.first + "] names no known client");
            if (words[2].find_first_not_of("0123456789") != std::string::npos)
                throw bad_value("[" + s.first + "]: the entry id must be a number");
            disaster_recovery_plan_record p;
            p.set_id(static_cast<std::uint32_t>(std::stoul(words[2])));
            p.set_resource(get_text(s.second, "resource", "/"));
            p.set_resource_type(get_text(s.second, "resource_type", "rescue_image"));
            p.set_resource_destination(get_text(s.second, "resource_destination", "/dev/sda"));
            p.set_priority(static_cast<std::uint32_t>(get_uint(s.second, "priority", 100)));
            p.set_description(get_text(s.second, "description", ""));
            std::vector<sv_archive_drp> plan_archives;
            std::vector<std::string> ids;
            const std::string list = get_text(s.second, "archives", "");
            boost::algorithm::split(ids, list, boost::algorithm::is_any_of(", "), boost::algorithm::token_compress_on);
            for (const auto& id : ids) {
                if (id.empty())
                    continue;
                bool found = false;
                for (const auto& a : c->archives)
                    if (std::to_string(a.get_id()) == id) {
                        sv_archive_drp pa;
                        pa.archive = a;
                        plan_archives.push_back(pa);
                        found = true;
                    }
                if (!found)
                    throw bad_value("[" + s.first + "] lists archive " + id + ", which client " + c->name + " has not");
            }
            p.set_archives(std::move(plan_archives));
            c->plan.push_back(p);
        } else if (words.size() == 2 && words[0] == "fault") {
            fault_entry f;
            f.request = get_text(s.second, "request", "");
            f.kind = get_text(s.second, "kind", "");
            static const std::vector<std::string> kinds {
                "late", "never", "wrong_keyword", "answer", "malformed", "truncated", "oversize", "stop_reading"};
            if (std::find(kinds.begin(), kinds.end(), f.kind) == kinds.end())
                throw bad_value("[" + s.first + "]: unknown kind '" + f.kind + "'");
            f.delay = get_seconds(s.second, "delay", f.kind == "stop_reading" ? 0 : 11);
            f.times = static_cast<int>(get_uint(s.second, "times", 0));
            f.text = get_text(s.second, "text", "UNEXPECTED ANSWER");
            sc.faults.push_back(f);
        } else if (!(words.size() == 2 && words[0] == "client") && words.size() == 1) {
            static const std::vector<std::string> known {"server", "local_client", "backup", "restore", "daemon"};
            if (std::find(known.begin(), known.end(), words[0]) == known.end())
                throw bad_value("unknown section [" + s.first + "]");
        }
    }
}

} // namespace

bool load_scenario(const std::string& path, scenario& out, std::string& error)
{
    try {
        pt::ptree root;
        pt::read_ini(path, root);
        scenario sc;
        load(root, sc);
        out = sc;
        return true;
    } catch (const pt::ini_parser_error& e) {
        error = "scenario " + path + ": " + e.what();
    } catch (const std::exception& e) {
        error = "scenario " + path + ": " + e.what();
    }
    return false;
}

} // namespace sv_standin
