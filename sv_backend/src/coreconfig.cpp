#include "coreconfig.h"

#include <cctype>
#include <fstream>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include <boost/filesystem.hpp>

#include "sarvelin_common.h"
#include "sv_log_stream.h"
#include "sv_shared_paths.h"

namespace {

struct parsed_integer
{
    bool has_number = false; // at least one digit
    bool overflow = false; // beyond the 64-bit signed range (value saturated)
    long long value = 0;
    std::size_t digits = 0;
};

// An optional sign and the decimal digits that follow it at the start of
// `text` (after leading white space when skip_space is set). Never throws.
parsed_integer parse_integer(const std::string& text, bool skip_space)
{
    parsed_integer out;
    std::size_t i = 0;
    if (skip_space)
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned long long magnitude = 0;
    const unsigned long long limit = negative
        ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
        : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        ++out.digits;
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (!out.overflow && magnitude > (limit - digit) / 10)
            out.overflow = true;
        if (!out.overflow)
            magnitude = magnitude * 10 + digit;
    }
    out.has_number = out.digits > 0;
    if (out.overflow)
        magnitude = limit;
    if (negative)
        out.value = magnitude == limit ? std::numeric_limits<long long>::min() : -static_cast<long long>(magnitude);
    else
        out.value = static_cast<long long>(magnitude);
    return out;
}

// "leading decimal number, 0 when there is none", kept within 32 bits.
std::int32_t leading_int32(const std::string& text)
{
    const parsed_integer p = parse_integer(text, false);
    if (p.value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (p.value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(p.value);
}

bool yes_or_true(const std::string& value)
{
    return value == "yes" || value == "true";
}

// Tabs become spaces, the ends are trimmed and every inner run of white
// space becomes one space.
std::string fold_white_space(const std::string& raw)
{
    std::string out;
    out.reserve(raw.size());
    bool in_space = false;
    for (char c : raw) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            in_space = true;
            continue;
        }
        if (in_space && !out.empty())
            out += ' ';
        in_space = false;
        out += c;
    }
    return out;
}

void warn(const std::string& text)
{
    SvLogStream(SvLogLvl::Warning) << text << std::endl;
}

} // namespace

SVcoreConfig::SVcoreConfig(const std::string& path)
{
    log_file_ = sv_paths::clientLogFile;
    read_file(path);
}

void SVcoreConfig::set_digital_sign_hash(const std::string& v)
{
    static const char* const allowed[]
        = {"md5", "blake2b512", "blake2s256", "gost", "md4", "rmd160", "sha1", "sha224", "sha256", "sha384", "sha512"};
    for (const char* name : allowed) {
        if (v == name) {
            digital_sign_hash_ = v;
            return;
        }
    }
    digital_sign_hash_ = "md5";
}

void SVcoreConfig::read_file(const std::string& path)
{
    boost::system::error_code ec;
    if (boost::filesystem::is_directory(path, ec))
        return;
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return;
    std::string line;
    unsigned long number = 0;
    while (std::getline(in, line)) {
        ++number;
        read_line(line, number);
    }
    additional_check_client_timeouts();
}

void SVcoreConfig::read_line(const std::string& raw, unsigned long number)
{
    std::string line = fold_white_space(raw);
    if (line.empty() || line[0] == '#')
        return;
    const std::string::size_type hash = line.find('#');
    if (hash != std::string::npos)
        line.erase(hash);
    const std::string n = std::to_string(number);

    typedef std::function<void(const std::string&)> handler;
    // Both shutdown scenarios take the same words; anything else falls back
    // to "cancel-if-tasks" with a warning naming the key.
    const auto shutdown_scenario = [&n](const std::string& key, std::int32_t* target) -> handler {
        return [&n, key, target](const std::string& v) {
            if (v == "immediately")
                *target = 0;
            else if (v == "after-all-tasks")
                *target = 1;
            else if (v == "cancel-if-tasks")
                *target = 2;
            else {
                warn("Wrong value in the config file at the string " + n + ", ignored. Set " + key
                    + "  to cancel-if-tasks");
                *target = 2;
            }
        };
    };
    const std::vector<std::pair<const char*, handler>> keys = {
        {"dbname", [&](const std::string& v) { dbname_ = v; }},
        {"user", [&](const std::string& v) { user_ = v; }},
        {"password", [&](const std::string& v) { password_ = v; }},
        {"host", [&](const std::string& v) { host_ = v; }},
        {"port", [&](const std::string& v) { port_ = v; }},
        {"sslmode", [&](const std::string& v) { sslmode_ = v; }},
        {"sslrootcert", [&](const std::string& v) { sslrootcert_ = v; }},
        {"sslcert", [&](const std::string& v) { sslcert_ = v; }},
        {"sslkey", [&](const std::string& v) { sslkey_ = v; }},
        {"node",
            [&](const std::string& v) {
                if (v == "client")
                    node_type_ = 0;
                else if (v == "primary-server")
                    node_type_ = 1;
                else if (v == "secondary-server")
                    node_type_ = 2;
                else if (v == "media-server")
                    node_type_ = 3;
            }},
        {"who-is-primary-server", [&](const std::string& v) { primary_server_ = v; }},
        {"who-is-secondary-server", [&](const std::string& v) { secondary_server_ = v; }},
        {"parallelizm", [&](const std::string& v) { parallelism_ = leading_int32(v); }},
        {"parallelizm_media", [&](const std::string& v) { media_parallelism_ = leading_int32(v); }},
        {"client-inet-interface", [&](const std::string& v) { client_inet_interface_ = v; }},
        {"server-inet-interfaces", [&](const std::string& v) { server_inet_interfaces_ = v; }},
        {"use-local-backup-directory",
            [&](const std::string& v) {
                boost::system::error_code ec;
                if (!v.empty() && boost::filesystem::is_directory(v, ec)) {
                    local_backup_directory_ = v;
                    use_local_backup_directory_ = true;
                } else {
                    warn("Wrong local backup directory defined in the config file: " + v + ". Ignored.");
                }
            }},
        {"svd_algorithm",
            [&](const std::string& v) {
                if (v == "streebog" || v == "GOST_R_34_11_2012" || v == "sha2" || v == "skein" || v == "blake2b") {
                    svd_hash_algorithm_ = v;
                } else {
                    warn("Wrong SVD hash algorithm in the config file at the string " + n
                        + ", ignored. Set algorithm sha2");
                    svd_hash_algorithm_ = "sha2";
                }
            }},
        {"svd_block_size",
            [&](const std::string& v) {
                const parsed_integer p = parse_integer(v, false);
                if (p.value >= 1 && p.value <= 1048576) {
                    svd_block_size_ = static_cast<std::uint32_t>(p.value);
                } else {
                    warn("Wrong svd block size in the config file at the string " + n + ", ignored. Set 16384");
                    svd_block_size_ = 16384;
                }
            }},
        {"svd_hash_length",
            [&](const std::string& v) {
                const parsed_integer p = parse_integer(v, false);
                if (p.value == 256 || p.value == 512) {
                    svd_hash_length_ = static_cast<std::uint32_t>(p.value);
                } else {
                    warn("Wrong svd hash length in the config file at the string " + n + ", ignored. Set 256");
                    svd_hash_length_ = 256;
                }
            }},
        {"digital-signature", [&](const std::string& v) { digital_sign_ = yes_or_true(v); }},
        {"digital-sign-hash",
            [&](const std::string& v) {
                if (digsig_algorithms::exists(v)) {
                    digital_sign_hash_ = v;
                } else {
                    warn("Wrong value of digital-sign-hash : " + v);
                    warn("Allowed values: " + digsig_algorithms::show());
                    digital_sign_hash_ = "sha1";
                    warn("digital-sign-hash  set to: sha1");
                }
            }},
        {"client-shutdown_scenario", shutdown_scenario("client-shutdown_scenario", &client_shutdown_scenario_)},
        {"server-shutdown_scenario", shutdown_scenario("server-shutdown_scenario", &server_shutdown_scenario_)},
        {"parallel-tasks",
            [&](const std::string& v) {
                const parsed_integer p = parse_integer(v, true);
                const bool empty = v.find_first_not_of(" \t") == std::string::npos;
                if (empty || (p.has_number && p.value == 0)) {
                    parallel_tasks_ = 2;
                } else if (!p.has_number || p.overflow || p.value < 0
                    || p.value > static_cast<long long>(std::numeric_limits<std::uint32_t>::max())) {
                    warn("Wrong value in the config file at the string " + n + ", ignored. Set parallel-tasks  to 2");
                    parallel_tasks_ = 2;
                } else {
                    parallel_tasks_ = static_cast<std::uint32_t>(p.value);
                }
            }},
        {"deduplication-task-memory", [&](const std::string& v) { read_task_memory(v, number); }},
        {"remote-replication", [&](const std::string& v) { remote_replication_ = yes_or_true(v); }},
        {"centralized-recovery", [&](const std::string& v) { centralized_recovery_ = yes_or_true(v); }},
        {"client-ping-timeout",
            [&](const std::string& v) { read_timeout("client-ping-timeout", v, number, client_ping_timeout_); }},
        {"client-alive-timeout",
            [&](const std::string& v) { read_timeout("client-alive-timeout", v, number, client_alive_timeout_); }},
        {"use-blocks-aggregation", [&](const std::string& v) { blocks_aggregation_ = yes_or_true(v); }},
        {"use-ip-instead-hostname",
            [&](const std::string& v) { ip_instead_hostname_ = sarvelin_common::is_client_answer_yes(v); }},
        {"use-product-uuid", [&](const std::string& v) { use_product_uuid_ = v == "true"; }},
    };

    for (const auto& key : keys) {
        const std::string prefix = std::string(key.first) + " ";
        if (line.compare(0, prefix.size(), prefix) == 0) {
            key.second(line.substr(prefix.size()));
            return;
        }
    }
    warn("Wrong expression in the config file at the string " + n + ", ignored");
}

void SVcoreConfig::read_task_memory(const std::string& value, unsigned long number)
{
    const std::string n = std::to_string(number);
    warn("deduplication-task-memory  is deprecated in /opt/sarvelin/etc/config.file");
    const parsed_integer p = parse_integer(value, false);
    const std::uint64_t fallback = 268435456;
    bool wrong = value.size() > p.digits + 1 || !p.has_number || p.value <= 0 || p.overflow;
    std::uint64_t amount = wrong ? 0 : static_cast<std::uint64_t>(p.value);
    if (!wrong) {
        std::uint64_t multiplier = 1;
        if (value.find_first_of("Kk") != std::string::npos)
            multiplier = 1024;
        else if (value.find_first_of("Mm") != std::string::npos)
            multiplier = 1048576;
        else if (value.find_first_of("Gg") != std::string::npos)
            multiplier = 1073741824;
        // A product beyond 64 bits is as wrong as a malformed value.
        if (amount > std::numeric_limits<std::uint64_t>::max() / multiplier)
            wrong = true;
        else
            amount *= multiplier;
    }
    if (wrong) {
        warn("Wrong value in config file at string " + n + ", ignored. Set deduplication-task-memory  to 268435456");
        deduplication_task_memory_ = fallback;
        return;
    }
    if (amount <= 16383) {
        deduplication_task_memory_ = 16384;
        warn("amount_memory has been changed from " + value + " to 16384");
        return;
    }
    deduplication_task_memory_ = amount;
}

void SVcoreConfig::read_timeout(
    const std::string& key, const std::string& value, unsigned long number, std::uint32_t& setting)
{
    const parsed_integer p = parse_integer(value, true);
    const bool empty = value.find_first_not_of(" \t") == std::string::npos;
    if (empty || (p.has_number && p.value == 0))
        return;
    if (!p.has_number || p.overflow || p.value < 0
        || p.value > static_cast<long long>(std::numeric_limits<std::uint32_t>::max())) {
        // Not a usable number: keep the current setting.
        warn("Wrong value in the config file at the string " + std::to_string(number) + ", ignored. Set " + key
            + "  to " + std::to_string(setting));
        return;
    }
    setting = static_cast<std::uint32_t>(p.value);
}

void SVcoreConfig::additional_check_client_timeouts()
{
    const std::uint64_t ping = client_ping_timeout_;
    const std::uint64_t alive = client_alive_timeout_;
    if (alive >= 60 && alive >= 2 * ping)
        return;
    warn("Wrong value in config file for setting client-ping-timeout  and client-alive-timeout  "
         "ignored. Set client-ping-timeout  to 1 and client-alive-timeout  to 60");
    client_ping_timeout_ = 1;
    client_alive_timeout_ = 60;
}
