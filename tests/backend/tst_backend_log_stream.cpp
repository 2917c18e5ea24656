// Log streams: settings read once and rewritten, line format, level filtering.
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "backend_support.h"
#include "sv_log_stream.h"

namespace {

const std::string settings = "/opt/sarvelin/etc/sv_logger.config";
const std::string yellow = "\033[1;33m", red = "\033[1;31m", colour_end = " \033[0m";

// What one stream of `level` printed for `text`.
struct printed
{
    std::string out, err;
};
printed log_once(SvLogLvl::Level level, const char* text = nullptr)
{
    captured_output c;
    {
        SvLogStream s(level);
        if (text)
            s << text;
    }
    return {c.out(), c.err()};
}

// Back to the state of a fresh process.
void fresh_process()
{
    SvLogStream::read_config_ = true;
    SvLogStream::global_log_level_ = SvLogLvl::InfoMask;
    SvLogStream::m_logging_enabled = true;
    SvLogStream::tag_.clear();
    SvLogStream::default_loggers_.clear();
    SvLogStream::log_level_mask_default_loggers_.clear();
    SvDestination::FileLogger::max_size_ = 1048576;
    SvDestination::FileLogger::max_rotate_ = 10;
}

const std::string default_settings = "#Logging level: Error, Warning, Info, Debug, Debug1, Debug2, Debug3, Debug4\n"
                                     "log_level Info\n"
                                     "#Maximum size of log file in Mb\n"
                                     "log_file_max_size 1\n"
                                     "#Number of stored log file rotations, log file itself is not included\n"
                                     "log_file_max_rotate 10\n";

// Removes the "[date time] " stamp, checking its form.
std::string without_stamp(const std::string& line)
{
    static const QRegularExpression stamp("^\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\] ");
    const QString q = QString::fromStdString(line);
    const auto m = stamp.match(q);
    if (!m.hasMatch())
        return "<no stamp>" + line;
    return line.substr(static_cast<std::size_t>(m.capturedLength()));
}

} // namespace

class TestBackendLogStream : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        QVERIFY(QDir().mkpath("/opt/sarvelin/etc"));
    }
    void init() { fresh_process(); }
    void settings_are_read_once_per_process();
    void missing_or_incomplete_settings_are_rewritten();
    void line_format_colours_and_folding();
};

void TestBackendLogStream::settings_are_read_once_per_process()
{
    // Level, its mask, size, in bytes, rotations, as a number.
    const std::tuple<const char*, std::uint32_t, const char*, std::uint64_t, const char*, std::uint64_t> rows[] = {
        {"Info", 7, "1", 1048576, "10", 10},
        {"WarningMask", 3, "0", 0, "0", 0},
        {"FuncBase", 3840, "7MB", 7 * 1048576ULL, "2 files", 2},
        {"info", 7, "abc", 0, "", 0},
        {"ErrorMask", 7, "-4", 0, "-1", 0},
        {"Error", 1, "99999999999999999999999", 18446744073709551615ULL, "18446744073709551615",
            18446744073709551615ULL},
        {"Warning   Mask", 7, "1", 1048576, "1", 1},
    };
    for (const auto& [level, mask, size, bytes, rotate, rotations] : rows) {
        fresh_process();
        const std::string text = std::string("log_level ") + level + "\nlog_file_max_size " + size
            + "\nlog_file_max_rotate " + rotate + "\n";
        write_file(settings, text);
        QCOMPARE(B(log_once(SvLogLvl::Debug4).err), QByteArray());
        QCOMPARE(SvLogStream::global_log_level_, mask);
        QCOMPARE(SvDestination::FileLogger::max_size_, bytes);
        QCOMPARE(SvDestination::FileLogger::max_rotate_, rotations);
        QVERIFY(!SvLogStream::read_config_);
        QCOMPARE(B(read_file(settings)), B(text)); // a complete file is not rewritten
    }
    // A later change of the file has no effect in the same process.
    fresh_process();
    write_file(settings, "log_level Warning\nlog_file_max_size 1\nlog_file_max_rotate 1\n");
    log_once(SvLogLvl::Info);
    write_file(settings, "log_level Debug\nlog_file_max_size 1\nlog_file_max_rotate 1\n");
    QCOMPARE(B(log_once(SvLogLvl::Info, "hidden\n").out), QByteArray());
    QCOMPARE(SvLogStream::global_log_level_, std::uint32_t(3));
}

void TestBackendLogStream::missing_or_incomplete_settings_are_rewritten()
{
    // Missing file: a warning on standard error, the defaults, a fresh file.
    ::unlink(settings.c_str());
    QCOMPARE(B(log_once(SvLogLvl::Info).err),
        B("Warning: SvLogStream config file is absent: Can't open file '" + settings + "'\n"));
    QCOMPARE(B(read_file(settings)), B(default_settings));
    QCOMPARE(SvLogStream::global_log_level_, std::uint32_t(7));
    // One variable missing: the whole file is rewritten with the defaults,
    // a valid level included; nothing of the old file is applied.
    const std::pair<const char*, const char*> incomplete[]
        = {{"log_level", "log_file_max_size 9\nlog_file_max_rotate 4\n#mine\n"},
            {"log_file_max_rotate", "log_level Debug\nlog_file_max_size 9\n#mine\n"}};
    for (const auto& gone : incomplete) {
        fresh_process();
        write_file(settings, gone.second);
        QCOMPARE(B(log_once(SvLogLvl::Info).err),
            B(std::string("Warning: SvLogStream config variable is absent: ") + gone.first + "\n"));
        QCOMPARE(B(read_file(settings)), B(default_settings));
        QCOMPARE(SvLogStream::global_log_level_, std::uint32_t(7));
        QCOMPARE(SvDestination::FileLogger::max_size_, std::uint64_t(1048576));
        QCOMPARE(SvDestination::FileLogger::max_rotate_, std::uint64_t(10));
    }
    // A directory in place of the file, no folder.
    fresh_process();
    ::unlink(settings.c_str());
    QVERIFY(::mkdir(settings.c_str(), 0755) == 0);
    const printed dir = log_once(SvLogLvl::Warning, "still logged\n");
    QVERIFY(dir.err.find("config file is absent") != std::string::npos);
    QVERIFY(dir.out.find("still logged") != std::string::npos);
    QVERIFY(::rmdir(settings.c_str()) == 0);
    fresh_process();
    QVERIFY(QDir("/opt/sarvelin/etc").removeRecursively());
    QVERIFY(log_once(SvLogLvl::Warning, "no folder\n").out.find("no folder") != std::string::npos);
    QVERIFY(!QFile::exists(QString::fromStdString(settings)));
    QVERIFY(QDir().mkpath("/opt/sarvelin/etc"));
}

void TestBackendLogStream::line_format_colours_and_folding()
{
    write_file(settings, "log_level Debug\nlog_file_max_size 1\nlog_file_max_rotate 1\n");
    // Level, message, the line after its time stamp.
    const std::tuple<SvLogLvl::Level, std::string, std::string> rows[] = {
        {SvLogLvl::Warning, "two  spaces\n", yellow + "Warning: two spaces" + colour_end + "\n"},
        {SvLogLvl::Warning, "  lead\tand\t\ttabs  \n", yellow + "Warning: lead\tand\ttabs" + colour_end + "\n"},
        {SvLogLvl::Error, "broken\n", red + "Error: broken" + colour_end + "\n"},
        {SvLogLvl::Warning, "first\nsecond\n",
            yellow + "Warning: first" + colour_end + "\n" + yellow + "second" + colour_end + "\n"},
        {SvLogLvl::Warning, "a \n\n b\n", yellow + "Warning: a b" + colour_end + "\n"},
        {SvLogLvl::Info, "keeps  two\n", "Info: keeps  two\n"},
        {SvLogLvl::Info, "no newline", "Info: no newline"},
        {SvLogLvl::Warning, "bytes \xff\xfe ok\n", yellow + "Warning: bytes \xff\xfe ok" + colour_end + "\n"},
    };
    for (const auto& [level, message, expected] : rows)
        QCOMPARE(B(without_stamp(log_once(level, message.c_str()).out)), B(expected));
    // A 1 MB message goes through whole.
    const std::string big(1 << 20, 'x');
    QCOMPARE(without_stamp(log_once(SvLogLvl::Warning, (big + "\n").c_str()).out).size(),
        yellow.size() + 9 + big.size() + colour_end.size() + 1);
    // Default mask: Debug and the levels outside InfoMask are silent.
    fresh_process();
    write_file(settings, default_settings);
    const std::pair<SvLogLvl::Level, bool> shown[] = {{SvLogLvl::Error, true}, {SvLogLvl::Warning, true},
        {SvLogLvl::Info, true}, {SvLogLvl::Debug, false}, {SvLogLvl::Measure, false}};
    for (const auto& s : shown)
        QCOMPARE(!log_once(s.first, "m\n").out.empty(), s.second);
}

QTEST_GUILESS_MAIN(TestBackendLogStream)
#include "tst_backend_log_stream.moc"
