// The client core configuration reader: keys, conversions, warnings,
// deduplication memory, the timeout check and hostile files.
#include <QtTest>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "backend_support.h"
#include "coreconfig.h"
#include "sv_log_stream.h"

namespace {

// One configuration read: the object and the warnings it printed (the text
// between "Warning: " and the colour end of each line).
struct reading {
    std::unique_ptr<SVcoreConfig> config;
    QStringList warnings;
    std::string raw;
};

QStringList warning_texts(const std::string& out)
{
    static const QRegularExpression line(
        "^\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\] \\x1b\\[1;33mWarning: (.*) \\x1b\\[0m$");
    QStringList found;
    for (const QString& l : QString::fromStdString(out).split('\n', Qt::SkipEmptyParts)) {
        const auto m = line.match(l);
        found << (m.hasMatch() ? m.captured(1) : "<unexpected line> " + l);
    }
    return found;
}

reading read_path(const std::string& path)
{
    std::ostringstream captured;
    std::streambuf* old = std::cout.rdbuf(captured.rdbuf());
    reading r;
    try {
        r.config.reset(new SVcoreConfig(path));
    } catch (...) {
        std::cout.rdbuf(old);
        throw;
    }
    std::cout.rdbuf(old);
    r.raw = captured.str();
    r.warnings = warning_texts(r.raw);
    return r;
}

std::string conf_path() { return QDir::tempPath().toStdString() + "/svcore-test.conf"; }

reading read_text(const std::string& text)
{
    write_file(conf_path(), text);
    return read_path(conf_path());
}

// Warning lines are printed with runs of white space folded, so the two
// spaces that follow a key name in a message show as one.
QStringList shown(QStringList composed)
{
    for (QString& text : composed)
        text.replace(QRegularExpression(" {2,}"), " ");
    return composed;
}

const QString timeout_reset =
    "Wrong value in config file for setting client-ping-timeout  and client-alive-timeout  ignored. "
    "Set client-ping-timeout  to 1 and client-alive-timeout  to 60";

} // namespace

class TestBackendCoreConfig : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        QVERIFY(QDir().mkpath("/opt/sarvelin/etc"));
        write_file("/opt/sarvelin/etc/sv_logger.config",
                   "log_level Info\nlog_file_max_size 1\nlog_file_max_rotate 10\n");
    }
    void defaults_when_the_file_is_missing_or_empty();
    void text_and_choice_keys();
    void numbers_and_checked_values();
    void wrong_values_warn_and_fall_back();
    void line_numbers_white_space_and_comments();
    void deduplication_task_memory();
    void client_timeouts();
    void hostile_files();
};

void TestBackendCoreConfig::defaults_when_the_file_is_missing_or_empty()
{
    const std::string paths[] = {"/nonexistent/config.file", QDir::tempPath().toStdString()};
    for (const auto& path : paths) {
        reading r = read_path(path);
        QCOMPARE(B(r.raw), QByteArray()); // nothing logged, no timeout check either
        const SVcoreConfig& c = *r.config;
        QCOMPARE(B(c.get_primary_server() + '|' + c.get_SVD_hash_algorithm() + '|' + c.get_digital_sign_hash()),
                 QByteArray("127.0.0.1|sha2|sha1"));
        QCOMPARE(QVector<qlonglong>({c.get_node_type(), c.get_parallel_tasks(), c.get_SVD_block_size(),
                                     c.get_SVD_hash_length(), c.get_client_shutdown_scenario(),
                                     qlonglong(c.get_deduplication_task_memory()), c.get_client_ping_timeout(),
                                     c.get_client_alive_timeout(), c.get_parallelism()}),
                 QVector<qlonglong>({0, 2, 16384, 256, 2, 268435456, 1, 60, 8}));
    }
    for (const char* text : {"", "# only a comment\n   \t  \r\n"}) {
        reading r = read_text(text);
        QCOMPARE(r.warnings, QStringList());
        QCOMPARE(r.config->get_client_alive_timeout(), 60u);
    }
}

void TestBackendCoreConfig::text_and_choice_keys()
{
    reading r = read_text("dbname db1\nuser u1\npassword p w\nhost h1\nport 6543\nsslmode require\n"
                          "sslrootcert /r.pem\nsslcert /c.pem\nsslkey /k.pem\n"
                          "who-is-primary-server 10.0.0.5\nwho-is-secondary-server backup.local\n"
                          "client-inet-interface eth0\nserver-inet-interfaces eth1 eth2\n"
                          "digital-signature yes\ndigital-sign-hash sha512\nremote-replication true\n"
                          "centralized-recovery yes\nuse-blocks-aggregation true\n"
                          "use-ip-instead-hostname Y\nuse-product-uuid true\n"
                          "client-shutdown_scenario immediately\nserver-shutdown_scenario after-all-tasks\n"
                          "svd_algorithm GOST_R_34_11_2012\nnode primary-server\n");
    QCOMPARE(r.warnings, QStringList());
    const SVcoreConfig& c = *r.config;
    QCOMPARE(B(c.get_dbname() + '|' + c.get_user() + '|' + c.get_password() + '|' + c.get_host() + '|' + c.get_port() +
               '|' + c.get_sslmode() + '|' + c.get_sslrootcert() + '|' + c.get_sslcert() + '|' + c.get_sslkey() + '|' +
               c.get_primary_server() + '|' + c.get_secondary_server() + '|' + c.get_client_inet_interface() + '|' +
               c.get_server_inet_interfaces() + '|' + c.get_digital_sign_hash() + '|' + c.get_SVD_hash_algorithm()),
             QByteArray("db1|u1|p w|h1|6543|require|/r.pem|/c.pem|/k.pem|10.0.0.5|backup.local|eth0|eth1 eth2|sha512|"
                        "GOST_R_34_11_2012"));
    QCOMPARE(QVector<int>({c.is_digital_sign(), c.is_remote_replication_enabled(), c.is_centralized_recovery_enabled(),
                           c.is_blocks_aggregation_enabled(), c.is_ip_instead_hostname_enabled(),
                           c.is_using_product_uuid_enabled(), c.get_client_shutdown_scenario(),
                           c.get_server_shutdown_scenario(), c.get_node_type()}),
             QVector<int>({1, 1, 1, 1, 1, 1, 0, 1, 1}));

    // Words are compared exactly, one key at a time.
    QCOMPARE(read_text("node Primary-server\n").config->get_node_type(), 0);
    QCOMPARE(read_text("node media-server\n").config->get_node_type(), 3);
    QVERIFY(!read_text("digital-signature Yes\n").config->is_digital_sign());
    QVERIFY(!read_text("digital-signature y\n").config->is_digital_sign());
    QVERIFY(read_text("use-ip-instead-hostname t\n").config->is_ip_instead_hostname_enabled());
    QVERIFY(!read_text("use-ip-instead-hostname 1\n").config->is_ip_instead_hostname_enabled());
    QCOMPARE(read_text("client-shutdown_scenario after-all-tasks\n").config->get_client_shutdown_scenario(), 1);
    // An existing directory is taken for the local backups.
    QTemporaryDir backups;
    reading d = read_text("use-local-backup-directory " + backups.path().toStdString() + "\n");
    QCOMPARE(d.warnings, QStringList());
    QCOMPARE(d.config->is_local_backup_directory(), true);
    QCOMPARE(B(d.config->get_local_backup_directory()), B(backups.path().toStdString()));
}

void TestBackendCoreConfig::numbers_and_checked_values()
{
    struct row { const char* line; std::function<bool(const SVcoreConfig&)> check; };
    const std::vector<row> rows = {
        {"parallelizm 12abc", [](const SVcoreConfig& c) { return c.get_parallelism() == 12; }},
        {"parallelizm -3", [](const SVcoreConfig& c) { return c.get_parallelism() == -3; }},
        {"parallelizm 99999999999999999999999", [](const SVcoreConfig& c) { return c.get_parallelism() == 2147483647; }},
        {"parallelizm_media 4", [](const SVcoreConfig& c) { return c.get_media_parallelism() == 4 && c.get_parallelism() == 8; }},
        {"parallel-tasks +7 tasks", [](const SVcoreConfig& c) { return c.get_parallel_tasks() == 7; }},
        {"parallel-tasks 0", [](const SVcoreConfig& c) { return c.get_parallel_tasks() == 2; }},
        {"svd_block_size 1", [](const SVcoreConfig& c) { return c.get_SVD_block_size() == 1; }},
        {"svd_block_size 4096 bytes", [](const SVcoreConfig& c) { return c.get_SVD_block_size() == 4096; }},
        {"client-alive-timeout 0", [](const SVcoreConfig& c) { return c.get_client_alive_timeout() == 60; }},
    };
    for (const auto& row : rows) {
        reading one = read_text(std::string(row.line) + "\n");
        QVERIFY2(row.check(*one.config), row.line);
        QVERIFY2(one.warnings.isEmpty(), qPrintable(QString(row.line) + ": " + one.warnings.join(" | ")));
    }
}

void TestBackendCoreConfig::wrong_values_warn_and_fall_back()
{
    struct row {
        const char* line;
        QStringList warnings;
        std::function<bool(const SVcoreConfig&)> check;
    };
    const std::vector<row> rows = {
        {"svd_algorithm sha3", {"Wrong SVD hash algorithm in the config file at the string 1, ignored. Set algorithm sha2"},
         [](const SVcoreConfig& c) { return c.get_SVD_hash_algorithm() == "sha2"; }},
        {"svd_block_size 0", {"Wrong svd block size in the config file at the string 1, ignored. Set 16384"},
         [](const SVcoreConfig& c) { return c.get_SVD_block_size() == 16384; }},
        {"svd_block_size 18446744073709555616", {"Wrong svd block size in the config file at the string 1, ignored. Set 16384"},
         [](const SVcoreConfig& c) { return c.get_SVD_block_size() == 16384; }},
        {"svd_hash_length 128", {"Wrong svd hash length in the config file at the string 1, ignored. Set 256"},
         [](const SVcoreConfig& c) { return c.get_SVD_hash_length() == 256; }},
        {"digital-sign-hash SHA1",
         {"Wrong value of digital-sign-hash : SHA1",
          "Allowed values: blake2b512 blake2s256 gost md4 md5 rmd160 sha1 sha224 sha256 sha384 sha512",
          "digital-sign-hash  set to: sha1"},
         [](const SVcoreConfig& c) { return c.get_digital_sign_hash() == "sha1"; }},
        {"client-shutdown_scenario never", {"Wrong value in the config file at the string 1, ignored. Set client-shutdown_scenario  to cancel-if-tasks"},
         [](const SVcoreConfig& c) { return c.get_client_shutdown_scenario() == 2; }},
        {"parallel-tasks many", {"Wrong value in the config file at the string 1, ignored. Set parallel-tasks  to 2"},
         [](const SVcoreConfig& c) { return c.get_parallel_tasks() == 2; }},
        {"parallel-tasks -3", {"Wrong value in the config file at the string 1, ignored. Set parallel-tasks  to 2"},
         [](const SVcoreConfig& c) { return c.get_parallel_tasks() == 2; }},
        {"use-local-backup-directory /no/such/folder", {"Wrong local backup directory defined in the config file: /no/such/folder. Ignored."},
         [](const SVcoreConfig& c) { return !c.is_local_backup_directory() && c.get_local_backup_directory().empty(); }},
        {"logfile /var/log/x.log", {"Wrong expression in the config file at the string 1, ignored"},
         [](const SVcoreConfig& c) { return c.get_log_file() == "/opt/sarvelin/log/Sarvelin.log"; }},
        {"parallel-tasks", {"Wrong expression in the config file at the string 1, ignored"},
         [](const SVcoreConfig& c) { return c.get_parallel_tasks() == 2; }},
    };
    for (const auto& row : rows) {
        reading one = read_text(std::string(row.line) + "\n");
        QCOMPARE(one.warnings, shown(row.warnings));
        QVERIFY2(row.check(*one.config), row.line);
    }
    // Reading goes on after every wrong line.
    reading many = read_text("svd_hash_length 1\nbogus line\nparallel-tasks 5\n");
    QCOMPARE(many.warnings.size(), 2);
    QCOMPARE(many.config->get_parallel_tasks(), 5u);
}

void TestBackendCoreConfig::line_numbers_white_space_and_comments()
{
    // Line numbers count comments and blank lines.
    reading r = read_text("# head\n\nnode client\n   \nsvd_hash_length 3\n#x\nwrong\n");
    QCOMPARE(r.warnings, QStringList({"Wrong svd hash length in the config file at the string 5, ignored. Set 256",
                                      "Wrong expression in the config file at the string 7, ignored"}));
    // Several spaces or tabs before the value; two spaces inside a value.
    reading w = read_text("who-is-primary-server \t  server.one\nserver-inet-interfaces eth0  \t eth1\n"
                          "\t  client-inet-interface\teth9  \r\n");
    QCOMPARE(w.warnings, QStringList());
    QCOMPARE(B(w.config->get_primary_server()), QByteArray("server.one"));
    QCOMPARE(B(w.config->get_server_inet_interfaces()), QByteArray("eth0 eth1"));
    QCOMPARE(B(w.config->get_client_inet_interface()), QByteArray("eth9"));
    // An inline comment leaves one trailing space in the value.
    reading c = read_text("who-is-primary-server 10.1.1.1 # main\nnode client # comment\n");
    QCOMPARE(B(c.config->get_primary_server()), QByteArray("10.1.1.1 "));
    QCOMPARE(c.config->get_node_type(), 0);
    // CR LF endings and a last line without a newline.
    reading crlf = read_text("svd_block_size 8192\r\nparallel-tasks 3");
    QCOMPARE(crlf.config->get_SVD_block_size() + crlf.config->get_parallel_tasks(), 8195u);
    // A later line for the same key wins.
    reading twice = read_text("dbname a\ndbname b\n");
    QCOMPARE(B(twice.config->get_dbname()), QByteArray("b"));
}

void TestBackendCoreConfig::deduplication_task_memory()
{
    const QString deprecated = "deduplication-task-memory  is deprecated in /opt/sarvelin/etc/config.file";
    const QString wrong = "Wrong value in config file at string 1, ignored. Set deduplication-task-memory  to 268435456";
    struct row { const char* value; std::uint64_t bytes; QStringList more; };
    const std::vector<row> rows = {
        {"64M", 67108864ULL, {}},
        {"100000b", 100000ULL, {}},
        {"64MB", 268435456ULL, {wrong}},
        {"0", 268435456ULL, {wrong}},
        {"10", 16384ULL, {"amount_memory has been changed from 10 to 16384"}},
        {"99999999999999999999999", 268435456ULL, {wrong}},
    };
    for (const auto& r : rows) {
        reading one = read_text(std::string("deduplication-task-memory ") + r.value + "\n");
        QCOMPARE(one.config->get_deduplication_task_memory(), r.bytes);
        QCOMPARE(one.warnings, shown(QStringList({deprecated}) + r.more));
    }
}

void TestBackendCoreConfig::client_timeouts()
{
    struct row { const char* text; std::uint32_t ping; std::uint32_t alive; QStringList warnings; };
    const std::vector<row> rows = {
        {"client-alive-timeout 30\n", 1, 60, {timeout_reset}},
        {"client-ping-timeout 40\nclient-alive-timeout 60\n", 1, 60, {timeout_reset}},
        {"client-ping-timeout 30\nclient-alive-timeout 60\n", 30, 60, {}},
        {"client-ping-timeout 4294967295\n", 1, 60, {timeout_reset}},
        {"client-ping-timeout 2147483647\nclient-alive-timeout 4294967295\n", 2147483647u, 4294967295u, {}},
        // Not a usable number: the setting stays and a warning says so.
        {"client-ping-timeout 5\nclient-ping-timeout soon\n", 5, 60,
         {"Wrong value in the config file at the string 2, ignored. Set client-ping-timeout  to 5"}},
        {"client-alive-timeout 120 seconds\n", 1, 120, {}},
    };
    for (const auto& r : rows) {
        reading one = read_text(r.text);
        QCOMPARE(one.config->get_client_ping_timeout(), r.ping);
        QCOMPARE(one.config->get_client_alive_timeout(), r.alive);
        QCOMPARE(one.warnings, shown(r.warnings));
    }
}

void TestBackendCoreConfig::hostile_files()
{
    // 1 MB lines, bytes that are not UTF-8, NUL bytes, enormous numbers.
    const std::string big(1024 * 1024, 'x');
    std::string text = "dbname " + big + "\n" + big + "\n";
    text += "who-is-primary-server \xff\xfe\x80\n";
    text += std::string("user a\0b\n", 9);
    text += "svd_block_size 999999999999999999999999999999999\n";
    text += "parallelizm -99999999999999999999999\n";
    text += "deduplication-task-memory 18446744073709551615K\n";
    text += std::string(100000, ' ') + "\n";
    text += "client-ping-timeout";
    reading r = read_text(text);
    QCOMPARE(r.config->get_dbname().size(), big.size());
    QCOMPARE(B(r.config->get_primary_server()), QByteArray("\xff\xfe\x80"));
    QCOMPARE(B(r.config->get_user()), QByteArray("a\0b", 3));
    QCOMPARE(r.config->get_SVD_block_size(), 16384u);
    QCOMPARE(r.config->get_parallelism(), -2147483647 - 1);
    QCOMPARE(r.config->get_deduplication_task_memory(), std::uint64_t(268435456));
    QVERIFY(r.warnings.contains("Wrong expression in the config file at the string 2, ignored"));
    QVERIFY(r.warnings.contains("Wrong expression in the config file at the string 9, ignored"));
    for (const QString& w : r.warnings)
        QVERIFY2(!w.startsWith("<unexpected"), qPrintable(w));
}

QTEST_GUILESS_MAIN(TestBackendCoreConfig)
#include "tst_backend_core_config.moc"
