// The GUI log: place extraction, templates and level masks, the file line,
// the console, the journal signal and a file that cannot be opened.
#include "fdcapture.h"
#include "logger.h"
#include "../common/test_files.h"

#include <QTextCodec>
#include <QtTest>

namespace {

QString format(QtMsgType type, const char* file, int line, const char* function, const QString& text)
{
    const QMessageLogContext context(file, line, function, "default");
    return Logger::getInstance()->buildLogMessage(type, context, text);
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString folder;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        folder = dir.path() + "/";
    }

    void init()
    {
        Logger::getInstance()->setLogType(Logger::Console);
        Logger::getInstance()->setLogsLevel(5);
    }

    // --- the place of a message

    void placeOfAMessage_data()
    {
        QTest::addColumn<int>("type");
        for (const char* column : {"file", "function", "text", "expected"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<int>("line");
        const auto add = [](const char* tag, QtMsgType type, const char* file, int line, const char* function,
                             const char* text, const char* expected) {
            QTest::newRow(tag) << int(type) << QString(file) << QString(function) << text << expected << line;
        };
        add("class method", QtInfoMsg, "/src/svkey2/keymaster_backup.cpp", 845, "void KeyMaster::createBackupPrivate()",
            "Load...", "Info: [KeyMaster::createBackupPrivate][line:845] Load...");
        add("arguments and qualifiers", QtWarningMsg, "/src/fsmodel.cpp", 10,
            "virtual bool FsModel::mountDevice(const QString&, int) const", "m",
            "Warning: [FsModel::mountDevice][line:10] m");
        add("free function", QtDebugMsg, "/work/main/svkey2/main.cpp", 12, "int main(int, char**)", "started",
            "Debug: [main.cpp::int main(int, char**)][line:12] started");
        add("QML function", QtWarningMsg, "qrc:/qml/main.qml", 123, "onHasWarning", "w",
            "Warning: [main.qml::onHasWarning][line:123] w");
        add("no file, no function", QtCriticalMsg, nullptr, 0, nullptr, "c", "Critical: [][line:0] c");
        // %-signs in the text are not placeholders.
        add("percent signs", QtInfoMsg, "qrc:/qml/a.qml", 1, "f", "100% %1 done",
            "Info: [a.qml::f][line:1] 100% %1 done");
    }

    void placeOfAMessage()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(int, line);
        QFETCH(QString, function);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QByteArray f = file.toUtf8(), fn = function.toUtf8();
        QCOMPARE(format(QtMsgType(type), file.isNull() ? nullptr : f.constData(), line,
                     function.isNull() ? nullptr : fn.constData(), text),
            expected);
    }

    // --- destinations

    // One walk through the destinations: the file line (time stamp, two
    // blanks), the console in UTF-8 whatever the locale's codec, console
    // only, a masked level, and Qt's own messages through the handler.
    void destinations()
    {
        Logger* log = Logger::getInstance();
        const QString logFile = folder + ".logs";
        log->init(folder, Logger::File, 5);
        QVERIFY(log->isFileOpen());
        QSignalSpy journal(log, &Logger::hasLogMessage);
        FdCapture out(1);
        Logger::logger(
            QtDebugMsg, QMessageLogContext("qrc:/qml/main.qml", 7, "onClicked", "qml"), QString::fromUtf8("файл ok"));
        QCOMPARE(out.text(), QByteArray()); // file only: nothing on the console
        out.restore();
        const QRegularExpression pattern("^\\[\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\]  Debug: "
                                         "\\[main\\.qml::onClicked\\]\\[line:7\\] файл ok$");
        QVERIFY2(pattern.match(fileLines(logFile).value(fileLines(logFile).size() - 1)).hasMatch(),
            qPrintable(fileLines(logFile).join("\n")));
        QCOMPARE(
            journal.takeFirst().at(0).toString(), QString::fromUtf8("Debug: [main.qml::onClicked][line:7] файл ok"));

        QTextCodec* locale = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        log->init(folder, Logger::FileAndConsole, 5); // file already open: warns "twice"
        FdCapture both(1);
        Logger::logger(QtInfoMsg, QMessageLogContext("/x/keymaster_core.cpp", 99, "void KeyMaster::init()", "default"),
            QString::fromUtf8("оба both"));
        const QByteArray console = both.text();
        both.restore();
        QTextCodec::setCodecForLocale(locale);
        QCOMPARE(console, QByteArray("Info: [KeyMaster::init][line:99] оба both\n"));
        QVERIFY(fileLines(logFile).last().endsWith(QString::fromUtf8("  Info: [KeyMaster::init][line:99] оба both")));

        // A masked level goes nowhere, but the journal gets an empty line.
        log->init(folder, Logger::FileAndConsole, 3);
        const int lineCount = fileLines(logFile).size();
        journal.clear();
        FdCapture masked(1);
        Logger::logger(QtDebugMsg, QMessageLogContext("a.cpp", 1, "void A::b()", "default"), "hidden");
        QCOMPARE(masked.text(), QByteArray());
        masked.restore();
        QCOMPARE(fileLines(logFile).size(), lineCount);
        QCOMPARE(journal.takeFirst().at(0).toString(), QString());

        // Console only: the file gets nothing; Qt's messages keep their place.
        log->init(folder, Logger::Console, 5);
        QVERIFY(!log->isFileOpen());
        FdCapture again(1);
        Logger::logger(QtCriticalMsg, QMessageLogContext("a.cpp", 5, "void A::c()", "default"), "console");
        qInstallMessageHandler(Logger::logger);
        qWarning() << "through the handler";
        qInstallMessageHandler(nullptr);
        const QByteArray lines = again.text();
        again.restore();
        QVERIFY2(lines.startsWith("Critical: [A::c][line:5] console\nWarning: [TestLogger::destinations][line:"),
            lines.constData());
        QVERIFY(lines.endsWith("] through the handler\n"));
        QCOMPARE(fileLines(logFile).size(), lineCount);
        QCOMPARE(journal.count(), 2);

        // A ".logs" that is a folder cannot be opened: console and journal go on.
        QTemporaryDir other;
        QVERIFY(QDir(other.path()).mkdir(".logs"));
        const QString otherFolder = other.path() + "/";
        FdCapture err(2);
        log->init(otherFolder, Logger::FileAndConsole, 5);
        QCOMPARE(err.text(),
            ("Warning: [Logger::initLoggerToFile] Could not initialize logger using file" + otherFolder + ".logs")
                .toLocal8Bit());
        err.restore();
        QVERIFY(!log->isFileOpen());
        FdCapture shown(1);
        Logger::logger(QtWarningMsg, QMessageLogContext("a.cpp", 8, "void A::d()", "default"), "still shown");
        QCOMPARE(shown.text(), QByteArray("Warning: [A::d][line:8] still shown\n"));
        shown.restore();
        QCOMPARE(journal.count(), 3);
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
