// The client core configuration reader: keys, conversions, warnings,
// deduplication memory, the timeout check and hostile files.
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "backend_support.h"
#include "coreconfig.h"
#include "sv_log_stream.h"

namespace {

// One configuration read: the object, its output and the warnings' texts.
struct reading
{
    std::unique_ptr<SVcoreConfig> config;
    QStringList warnings;
    std::string raw;
};

reading read_path(const std::string& path)
{
    static const QRegularExpression line(
        "^\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\] \\x1b\\[1;33mWarning: (.*) \\x1b\\[0m$");
    reading r;
    {
        captured_output c;
        r.config.reset(new SVcoreConfig(path));
        r.raw = c.out();
    }
    for (const QString& l : QString::fromStdString(r.raw).split('\n', Qt::SkipEmptyParts)) {
        const auto m = line.match(l);
        r.warnings << (m.hasMatch() ? m.captured(1) : "<unexpected line> " + l);
    }
    return r;
}

reading read_text(const std::string& text)
{
    const std::string path = QDir::tempPath().toStdString() + "/svcore-test.conf";
    write_file(path, text);
    return read_path(path);
}

const QString timeout_reset
    = "Wrong value in config file for setting client-ping-timeout and client-alive-timeout ignored. "
      "Set client-ping-timeout to 1 and client-alive-timeout to 60";

} // namespace

class TestBackendCoreConfig : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        QVERIFY(QDir().mkpath("/opt/sarvelin/etc"));
        write_file(
            "/opt/sarvelin/etc/sv_logger.config", "log_level Info\nlog_file_max_size 1\nlog_file_max_rotate 10\n");
    }
    void defaults_when_the_file_is_missing_or_empty();
    void keys_the_tool_copies();
    void values_and_warnings();
    void line_handling_and_hostile_files();
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
        QCOMPARE(
            QVector<qlonglong>({c.get_node_type(), c.get_parallel_tasks(), c.get_SVD_block_size(),
                c.get_SVD_hash_length(), c.get_client_shutdown_scenario(), qlonglong(c.get_deduplication_task_memory()),
                c.get_client_ping_timeout(), c.get_client_alive_timeout(), c.get_parallelism()}),
            QVector<qlonglong>({0, 2, 16384, 256, 2, 268435456, 1, 60, 8}));
    }
    for (const char* text : {"", "# only a comment\n   \t  \r\n"})
        QCOMPARE(read_text(text).raw, std::string());
}

void TestBackendCoreConfig::keys_the_tool_copies()
{
    QTemporaryDir backups;
    reading r = read_text("who-is-primary-server 10.0.0.5\nwho-is-secondary-server backup.local\n"
                          "client-inet-interface eth0\nserver-inet-interfaces eth1 eth2\n"
                          "digital-signature yes\ndigital-sign-hash sha512\nuse-ip-instead-hostname Y\n"
                          "client-shutdown_scenario immediately\nsvd_algorithm GOST_R_34_11_2012\nnode primary-server\n"
                          "use-local-backup-directory "
        + backups.path().toStdString() + "\n");
    QCOMPARE(r.warnings, QStringList());
    const SVcoreConfig& c = *r.config;
    QCOMPARE(B(c.get_primary_server() + '|' + c.get_secondary_server() + '|' + c.get_client_inet_interface() + '|'
                 + c.get_server_inet_interfaces() + '|' + c.get_digital_sign_hash() + '|' + c.get_SVD_hash_algorithm()
                 + '|' + c.get_local_backup_directory()),
        B("10.0.0.5|backup.local|eth0|eth1 eth2|sha512|GOST_R_34_11_2012|" + backups.path().toStdString()));
    QCOMPARE(QVector<int>({c.is_digital_sign(), c.is_ip_instead_hostname_enabled(), c.get_client_shutdown_scenario(),
                 c.get_node_type(), c.is_local_backup_directory()}),
        QVector<int>({1, 1, 0, 1, 1}));
}

// One key per row: the value taken, and the warnings printed (a wrong value
// falls back to the default or keeps the earlier setting).
void TestBackendCoreConfig::values_and_warnings()
{
    using C = const SVcoreConfig&;
    const QString deprecated = "deduplication-task-memory is deprecated in /opt/sarvelin/etc/config.file";
    const QString wrong_memory
        = "Wrong value in config file at string 1, ignored. Set deduplication-task-memory to 268435456";
    const QString wrong_tasks = "Wrong value in the config file at the string 1, ignored. Set parallel-tasks to 2";
    const QString wrong_block = "Wrong svd block size in the config file at the string 1, ignored. Set 16384";
    const QString wrong_expression = "Wrong expression in the config file at the string 1, ignored";
    struct row
    {
        const char* text;
        QStringList warnings;
        std::function<bool(C)> check;
    };
    const std::vector<row> rows = {
        // Words are compared exactly.
        {"node Primary-server", {}, [](C c) { return c.get_node_type() == 0; }},
        {"node media-server", {}, [](C c) { return c.get_node_type() == 3; }},
        {"digital-signature Yes", {}, [](C c) { return !c.is_digital_sign(); }},
        // A yes answer: yes, y, true or t in any case, nothing else.
        {"use-ip-instead-hostname 1", {}, [](C c) { return !c.is_ip_instead_hostname_enabled(); }},
        {"use-ip-instead-hostname yess", {}, [](C c) { return !c.is_ip_instead_hostname_enabled(); }},
        {"use-ip-instead-hostname tRuE", {}, [](C c) { return c.is_ip_instead_hostname_enabled(); }},
        {"client-shutdown_scenario after-all-tasks", {}, [](C c) { return c.get_client_shutdown_scenario() == 1; }},
        // Numbers: leading digits, clamped to the type.
        {"parallelizm 12abc", {}, [](C c) { return c.get_parallelism() == 12; }},
        {"parallelizm 99999999999999999999999", {}, [](C c) { return c.get_parallelism() == 2147483647; }},
        {"parallelizm_media 4", {}, [](C c) { return c.get_media_parallelism() == 4 && c.get_parallelism() == 8; }},
        {"parallel-tasks +7 tasks", {}, [](C c) { return c.get_parallel_tasks() == 7; }},
        {"parallel-tasks 0", {}, [](C c) { return c.get_parallel_tasks() == 2; }},
        {"svd_block_size 4096 bytes", {}, [](C c) { return c.get_SVD_block_size() == 4096; }},
        {"svd_algorithm sha3",
            {"Wrong SVD hash algorithm in the config file at the string 1, ignored. Set algorithm sha2"},
            [](C c) { return c.get_SVD_hash_algorithm() == "sha2"; }},
        {"svd_block_size 0", {wrong_block}, [](C c) { return c.get_SVD_block_size() == 16384; }},
        {"svd_block_size 1048577", {wrong_block}, [](C c) { return c.get_SVD_block_size() == 16384; }},
        {"svd_hash_length 128", {"Wrong svd hash length in the config file at the string 1, ignored. Set 256"},
            [](C c) { return c.get_SVD_hash_length() == 256; }},
        {"digital-sign-hash SHA1",
            {"Wrong value of digital-sign-hash : SHA1",
                "Allowed values: blake2b512 blake2s256 gost md4 md5 rmd160 sha1 sha224 sha256 sha384 sha512",
                "digital-sign-hash set to: sha1"},
            [](C c) { return c.get_digital_sign_hash() == "sha1"; }},
        {"client-shutdown_scenario never",
            {"Wrong value in the config file at the string 1, ignored. Set client-shutdown_scenario to "
             "cancel-if-tasks"},
            [](C c) { return c.get_client_shutdown_scenario() == 2; }},
        {"parallel-tasks many", {wrong_tasks}, [](C c) { return c.get_parallel_tasks() == 2; }},
        {"parallel-tasks -3", {wrong_tasks}, [](C c) { return c.get_parallel_tasks() == 2; }},
        {"use-local-backup-directory /no/such/folder",
            {"Wrong local backup directory defined in the config file: /no/such/folder. Ignored."},
            [](C c) { return !c.is_local_backup_directory() && c.get_local_backup_directory().empty(); }},
        {"logfile /var/log/x.log", {wrong_expression},
            [](C c) { return c.get_log_file() == "/opt/sarvelin/log/Sarvelin.log"; }},
        {"parallel-tasks", {wrong_expression}, [](C c) { return c.get_parallel_tasks() == 2; }},
        // Deduplication memory: deprecated, with a size suffix.
        {"deduplication-task-memory 64M", {deprecated},
            [](C c) { return c.get_deduplication_task_memory() == 67108864ULL; }},
        {"deduplication-task-memory 100000b", {deprecated},
            [](C c) { return c.get_deduplication_task_memory() == 100000ULL; }},
        {"deduplication-task-memory 64MB", {deprecated, wrong_memory},
            [](C c) { return c.get_deduplication_task_memory() == 268435456ULL; }},
        {"deduplication-task-memory 0", {deprecated, wrong_memory},
            [](C c) { return c.get_deduplication_task_memory() == 268435456ULL; }},
        {"deduplication-task-memory 10", {deprecated, "amount_memory has been changed from 10 to 16384"},
            [](C c) { return c.get_deduplication_task_memory() == 16384ULL; }},
        {"deduplication-task-memory 99999999999999999999999", {deprecated, wrong_memory},
            [](C c) { return c.get_deduplication_task_memory() == 268435456ULL; }},
        // Client timeouts: the ping must stay below the alive timeout.
        {"client-alive-timeout 30", {timeout_reset},
            [](C c) { return c.get_client_ping_timeout() == 1 && c.get_client_alive_timeout() == 60; }},
        {"client-ping-timeout 40\nclient-alive-timeout 60", {timeout_reset},
            [](C c) { return c.get_client_ping_timeout() == 1; }},
        {"client-ping-timeout 30\nclient-alive-timeout 60", {}, [](C c) { return c.get_client_ping_timeout() == 30; }},
        {"client-ping-timeout 4294967295", {timeout_reset}, [](C c) { return c.get_client_ping_timeout() == 1; }},
        {"client-ping-timeout 2147483647\nclient-alive-timeout 4294967295", {},
            [](C c) {
                return c.get_client_ping_timeout() == 2147483647u && c.get_client_alive_timeout() == 4294967295u;
            }},
        {"client-ping-timeout 5\nclient-ping-timeout soon",
            {"Wrong value in the config file at the string 2, ignored. Set client-ping-timeout to 5"},
            [](C c) { return c.get_client_ping_timeout() == 5 && c.get_client_alive_timeout() == 60; }},
        {"client-alive-timeout 120 seconds", {}, [](C c) { return c.get_client_alive_timeout() == 120; }},
        {"client-alive-timeout 0", {}, [](C c) { return c.get_client_alive_timeout() == 60; }},
        // Reading goes on after every wrong line.
        {"svd_hash_length 1\nbogus line\nparallel-tasks 5",
            {"Wrong svd hash length in the config file at the string 1, ignored. Set 256",
                "Wrong expression in the config file at the string 2, ignored"},
            [](C c) { return c.get_parallel_tasks() == 5; }},
    };
    for (const auto& row : rows) {
        reading one = read_text(std::string(row.text) + "\n");
        QCOMPARE(one.warnings, row.warnings);
        QVERIFY2(row.check(*one.config), row.text);
    }
}

void TestBackendCoreConfig::line_handling_and_hostile_files()
{
    // Line numbers count comments and blank lines.
    reading r = read_text("# head\n\nnode client\n   \nsvd_hash_length 3\n#x\nwrong\n");
    QCOMPARE(r.warnings,
        QStringList({"Wrong svd hash length in the config file at the string 5, ignored. Set 256",
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

    // 1 MB lines, bytes that are not UTF-8, NUL bytes, an enormous negative
    // number (the other overflows are rows of values_and_warnings).
    const std::string big(1024 * 1024, 'x');
    std::string text = "dbname " + big + "\n" + big + "\n";
    text += "who-is-primary-server \xff\xfe\x80\n";
    text += std::string("user a\0b\n", 9);
    text += "parallelizm -99999999999999999999999\n";
    text += std::string(100000, ' ') + "\n";
    text += "client-ping-timeout";
    r = read_text(text);
    QCOMPARE(r.config->get_dbname().size(), big.size());
    QCOMPARE(B(r.config->get_primary_server()), QByteArray("\xff\xfe\x80"));
    QCOMPARE(B(r.config->get_user()), QByteArray("a\0b", 3));
    QCOMPARE(r.config->get_parallelism(), -2147483647 - 1);
    QVERIFY(r.warnings.contains("Wrong expression in the config file at the string 2, ignored"));
    QVERIFY(r.warnings.contains("Wrong expression in the config file at the string 7, ignored"));
    for (const QString& w : r.warnings)
        QVERIFY2(!w.startsWith("<unexpected"), qPrintable(w));
}

QTEST_GUILESS_MAIN(TestBackendCoreConfig)
#include "tst_backend_core_config.moc"
