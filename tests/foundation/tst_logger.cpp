// The GUI log: the place of a message, its destinations and level mask.
#include "fdcapture.h"
#include "logger.h"
#include "../common/test_files.h"

#include <QTextCodec>
#include <QtTest>

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

    // The place of a message: class and function, file and QML names; %-signs are no placeholders.
    void placeOfAMessage()
    {
        struct Case
        {
            QtMsgType type;
            const char *file, *function, *text, *expected;
            int line;
        };
        for (const Case& c : std::initializer_list<Case> {
                 {QtInfoMsg, "/src/svkey2/keymaster_backup.cpp", "void KeyMaster::createBackupPrivate()", "Load...",
                     "Info: [KeyMaster::createBackupPrivate][line:845] Load...", 845},
                 {QtWarningMsg, "/src/fsmodel.cpp", "virtual bool FsModel::mountDevice(const QString&, int) const", "m",
                     "Warning: [FsModel::mountDevice][line:10] m", 10},
                 {QtDebugMsg, "/work/main/svkey2/main.cpp", "int main(int, char**)", "started",
                     "Debug: [main.cpp::int main(int, char**)][line:12] started", 12},
                 {QtWarningMsg, "qrc:/qml/main.qml", "onHasWarning", "w",
                     "Warning: [main.qml::onHasWarning][line:123] w", 123},
                 {QtCriticalMsg, nullptr, nullptr, "c", "Critical: [][line:0] c", 0},
                 {QtInfoMsg, "qrc:/qml/a.qml", "f", "100% %1 done", "Info: [a.qml::f][line:1] 100% %1 done", 1}})
            QCOMPARE(Logger::getInstance()->buildLogMessage(
                         c.type, QMessageLogContext(c.file, c.line, c.function, "default"), c.text),
                QString(c.expected));
    }

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
        QCOMPARE(captured(1,
                     [] { // file only: nothing on the console
                         Logger::logger(QtDebugMsg, QMessageLogContext("qrc:/qml/main.qml", 7, "onClicked", "qml"),
                             QString::fromUtf8("файл ok"));
                     }),
            QByteArray());
        const QRegularExpression pattern("^\\[\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\]  Debug: "
                                         "\\[main\\.qml::onClicked\\]\\[line:7\\] файл ok$");
        QVERIFY2(pattern.match(fileLines(logFile).value(fileLines(logFile).size() - 1)).hasMatch(),
            qPrintable(fileLines(logFile).join("\n")));
        QCOMPARE(
            journal.takeFirst().at(0).toString(), QString::fromUtf8("Debug: [main.qml::onClicked][line:7] файл ok"));

        QTextCodec* locale = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        log->init(folder, Logger::FileAndConsole, 5); // file already open: warns "twice"
        const QByteArray console = captured(1, [] {
            Logger::logger(QtInfoMsg,
                QMessageLogContext("/x/keymaster_core.cpp", 99, "void KeyMaster::init()", "default"),
                QString::fromUtf8("оба both"));
        });
        QTextCodec::setCodecForLocale(locale);
        QCOMPARE(console, QByteArray("Info: [KeyMaster::init][line:99] оба both\n"));
        QVERIFY(fileLines(logFile).last().endsWith(QString::fromUtf8("  Info: [KeyMaster::init][line:99] оба both")));

        // A masked level goes nowhere, but the journal gets an empty line.
        log->init(folder, Logger::FileAndConsole, 3);
        const int lineCount = fileLines(logFile).size();
        journal.clear();
        QCOMPARE(
            captured(1,
                [] { Logger::logger(QtDebugMsg, QMessageLogContext("a.cpp", 1, "void A::b()", "default"), "hidden"); }),
            QByteArray());
        QCOMPARE(fileLines(logFile).size(), lineCount);
        QCOMPARE(journal.takeFirst().at(0).toString(), QString());

        // Console only: the file gets nothing; Qt's messages keep their place.
        log->init(folder, Logger::Console, 5);
        QVERIFY(!log->isFileOpen());
        const QByteArray lines = captured(1, [] {
            Logger::logger(QtCriticalMsg, QMessageLogContext("a.cpp", 5, "void A::c()", "default"), "console");
            qInstallMessageHandler(Logger::logger);
            qWarning() << "through the handler";
            qInstallMessageHandler(nullptr);
        });
        QVERIFY2(lines.startsWith("Critical: [A::c][line:5] console\nWarning: [TestLogger::destinations][line:"),
            lines.constData());
        QVERIFY(lines.endsWith("] through the handler\n"));
        QCOMPARE(fileLines(logFile).size(), lineCount);
        QCOMPARE(journal.count(), 2);

        // A ".logs" that is a folder cannot be opened: console and journal go on.
        QTemporaryDir other;
        QVERIFY(QDir(other.path()).mkdir(".logs"));
        const QString otherFolder = other.path() + "/";
        QCOMPARE(captured(2, [&] { log->init(otherFolder, Logger::FileAndConsole, 5); }),
            ("Warning: [Logger::initLoggerToFile] Could not initialize logger using file" + otherFolder + ".logs")
                .toLocal8Bit());
        QVERIFY(!log->isFileOpen());
        QCOMPARE(captured(1,
                     [] {
                         Logger::logger(
                             QtWarningMsg, QMessageLogContext("a.cpp", 8, "void A::d()", "default"), "still shown");
                     }),
            QByteArray("Warning: [A::d][line:8] still shown\n"));
        QCOMPARE(journal.count(), 3);
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
