// The stand-ins' own behaviour that the link tests (which run every request
// through the tool) take for granted: the daemon's queues and mutex live with
// it, the scenario files load; the local client and sv_archives run the way
// the tool runs them: a second start, "stop", the archive tool's refusals
// and exit codes.
#include <QtTest>

#include <cerrno>

#include <boost/interprocess/sync/named_mutex.hpp>

#include "scenario.h"
#include "standin_common.h"
#include "standin_harness.h"
#include "../common/test_files.h"

namespace bip = boost::interprocess;

class TestStandins : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandinHarness> h;

    struct Run
    {
        int exitCode = -1;
        QStringList lines;
    };

    Run run(const QString& program, const QStringList& args, int timeoutMs = 10000)
    {
        Run r;
        QProcess p;
        p.setProcessEnvironment(h->environment());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(h->bin(program), args);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitCode();
        r.lines = QString::fromUtf8(p.readAll()).split('\n', Qt::SkipEmptyParts);
        return r;
    }

    static bool mutexExists()
    {
        try {
            bip::named_mutex m(bip::open_only, "Sarvelin_SVC_mutex");
            return true;
        } catch (const bip::interprocess_exception&) {
            return false;
        }
    }

    static int svfdCount()
    {
        QProcess p;
        p.start("pgrep", {"svfd", "-c"});
        p.waitForFinished();
        return p.exitCode() == 0 ? p.readAll().trimmed().toInt() : 0;
    }

    void startClient()
    {
        h->writeScenario({"authorize_after = 0"});
        const Run r = run("sarvelin_client", {"start"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(mutexExists());
    }

private slots:
    void init()
    {
        h = std::make_unique<StandinHarness>();
        QVERIFY(h->ok());
        // The medium's client configuration and master key, as the tool
        // leaves them before it runs sv_archives.
        QDir().mkpath("/opt/sarvelin/etc");
        QDir().mkpath("/opt/sarvelin/keys");
        QFile config("/opt/sarvelin/etc/config.file");
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write("node client\nwho-is-primary-server backup.example.lan\n");
        QFile key("/opt/sarvelin/keys/master-key");
        QVERIFY(key.open(QIODevice::WriteOnly | QIODevice::Truncate));
        key.write(QByteArray(32, '\x5a'));
    }

    void initTestCase()
    {
        // /opt is the sandbox's own.
        QVERIFY2(qEnvironmentVariable("SV_SANDBOX_INSIDE") == "1", "run in the sandbox");
    }

    void cleanup()
    {
        if (h) {
            run("sarvelin_client", {"stop"});
            // An svfd still running from this test ends by its pid file.
            QFile pid(h->path("svfd.pid"));
            if (pid.open(QIODevice::ReadOnly))
                QProcess::execute("kill", {QString::fromUtf8(pid.readAll()).trimmed()});
        }
        h.reset();
        QTRY_COMPARE_WITH_TIMEOUT(svfdCount(), 0, 3000);
    }

    void queuesAndMutexLiveWithTheDaemon()
    {
        QVERIFY2(h->startDaemon(), "daemon did not start");
        const int pid = int(h->daemon()->processId());
        QVERIFY(sv_standin::process_alive(pid));
        QVERIFY(mutexExists());
        QVERIFY(h->stopDaemon());
        QCOMPARE(h->daemon()->exitCode(), 0);
        QVERIFY(!sv_standin::process_alive(pid));
        // No process id at all is never alive, whatever errno says.
        errno = EPERM;
        QVERIFY(!sv_standin::process_alive(0));
        QVERIFY(!shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
        QVERIFY(!shmEntryExists("Sarvelin_client_to_SVKEY_MQ"));
        QVERIFY(!shmEntryExists("sem.Sarvelin_SVC_mutex"));
        QVERIFY(!QFile::exists(h->path("sv_keyclientd.pid")));
    }

    void scenarioFiles()
    {
        const QDir dir(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios");
        const QStringList files = dir.entryList({"*.ini"}, QDir::Files);
        QVERIFY(files.contains("default.ini"));
        sv_standin::scenario sc;
        std::string error;
        for (const QString& f : files)
            QVERIFY2(sv_standin::load_scenario(dir.filePath(f).toStdString(), sc, error),
                (f.toStdString() + ": " + error).c_str());
        // A wrong value: the daemon does not start and says why.
        h->writeScenario({"start = maybe"});
        QVERIFY(!h->startDaemon());
        h->daemon()->waitForFinished(3000);
        QCOMPARE(h->daemon()->exitCode(), 1);
        QVERIFY(readFile(h->path("requests.log")).contains("unknown [local_client] start 'maybe'"));
        QVERIFY(!shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
    }

    void startSecondStartAndStop()
    {
        // (The daemon's mutex open within the tool's wait after the start is
        // checked by the local client link test.)
        startClient();
        const Run again = run("sarvelin_client", {"start"});
        QCOMPARE(again.exitCode, 1);
        QCOMPARE(again.lines.last(), QString("Can't run second instance of Sarvelin client process on one node"));
        QCOMPARE(run("sarvelin_client", {"stop"}).lines, QStringList {"Sarvelin client stopped"});
        QVERIFY(!mutexExists());
        QVERIFY(!shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
        QCOMPARE(run("sarvelin_client", {"stop"}).lines, QStringList {"Sarvelin client is not running"});
    }

    // sv_archives refuses, with its exit code and message (a queued task, a
    // refusing server and a missing marker run through the backup tests):
    // without the client, the configuration or (to encrypt) a
    // 32-byte master key, and on wrong arguments; no task, no svfd.
    void archivesRefusals_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("text");
        const QStringList plain {"-c", "/dev/loop0", "-m", "rescue_image", "-a", "nocrypt"};
        const QStringList serpent {"-c", "/dev/loop0", "-m", "rescue_image", "-a", "serpent"};
        QTest::newRow("no client") << "no client" << plain << 3 << "Sarvelin client doesn't work";
        QTest::newRow("no configuration")
            << "no config" << plain << 5 << "config file /opt/sarvelin/etc/config.file doesn't exist";
        QTest::newRow("key short") << "key 31" << serpent << 5 << "master key /opt/sarvelin/keys/master-key is missing";
        QTest::newRow("not a device") << "" << QStringList {"-c", "/dev/null", "-m", "rescue_image", "-a", "nocrypt"}
                                      << 2 << "";
    }

    void archivesRefusals()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, text);
        if (setup != "no client")
            startClient();
        if (setup == "no config")
            QVERIFY(QFile::remove("/opt/sarvelin/etc/config.file"));
        if (setup.startsWith("key ")) {
            QFile key("/opt/sarvelin/keys/master-key");
            QVERIFY(key.open(QIODevice::WriteOnly | QIODevice::Truncate) && key.write(QByteArray(31, '\x01')) == 31);
        }
        const Run r = run("sv_archives", args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.lines.join('\n').contains(text));
        QVERIFY(!r.lines.join('\n').contains("TASK WAS ADDED"));
        QVERIFY(!QFile::exists(h->path("backup.task")));
        QTest::qWait(200);
        QCOMPARE(svfdCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStandins)
#include "tst_standins.moc"
