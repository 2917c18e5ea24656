// Contract of the key client daemon stand-in beyond what the link tests
// already run through the tool: its life (queues and mutex exist while it
// runs, are gone after it ends), the scenario files, the answers the tool's
// requests do not reach (unreachable server, refusals), and the pause in
// reading that the demo scenarios use.
#include <QRegularExpression>
#include <QtTest>

#include <cerrno>

#include <boost/interprocess/sync/named_mutex.hpp>

#include "scenario.h"
#include "standin_common.h"
#include "standin_harness.h"

namespace bip = boost::interprocess;

class TestDaemon : public QObject {
    Q_OBJECT

    std::unique_ptr<StandinHarness> h;
    std::unique_ptr<ToolChannel> ch;

    // A daemon with the default scenario plus `extra`, and an open channel.
    void up(const QString& extra = QString())
    {
        h = std::make_unique<StandinHarness>();
        QVERIFY(h->ok());
        h->writeScenario(extra);
        QVERIFY2(h->startDaemon(), "daemon did not start");
        ch = std::make_unique<ToolChannel>();
        QVERIFY2(ch->open(), ch->error().c_str());
    }

private slots:
    void cleanup()
    {
        ch.reset();
        h.reset();
    }

    void queuesAndMutexLiveWithTheDaemon()
    {
        up();
        const int pid = int(h->daemon()->processId());
        QVERIFY(sv_standin::process_alive(pid));
        bip::named_mutex m(bip::open_only, "Sarvelin_SVC_mutex");
        QVERIFY(m.try_lock());
        m.unlock();
        QCOMPARE(ch->toDaemon()->get_max_msg_size(), std::size_t(102400));
        ch.reset();
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
            QVERIFY2(sv_standin::load_scenario(dir.filePath(f).toStdString(), sc, error), (f.toStdString() + ": " + error).c_str());
        // A wrong value: the daemon does not start and says why.
        h = std::make_unique<StandinHarness>();
        h->writeScenario("[local_client]\nstart = maybe\n");
        QVERIFY(!h->startDaemon());
        h->daemon()->waitForFinished(3000);
        QCOMPARE(h->daemon()->exitCode(), 1);
        QVERIFY(h->requestLog().join('\n').contains("unknown [local_client] start 'maybe'"));
        QVERIFY(!shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
    }

    // Request and answer exchanges, each answer exact (no terminating zero).
    // In a step "REQUEST -> ANSWER", <secret> stands for the tool's hash of
    // that password and a final \0 for a zero byte.
    void exchanges_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QStringList>("steps");
        const QString hello = "HELLO:10.0.0.5:9991:9993:eth0 -> ";
        const QStringList connect{hello + "ok", "SV KEY PASSWORD:<key-secret> -> SV KEY AUTHENTICATED"};
        const QString noConnection = "NO CONNECTION WITH SARVELIN SERVER";
        QTest::newRow("unreachable server") << "[server]\nreachable = no\n" << QStringList{
            hello + noConnection, "SV KEY PASSWORD:<key-secret> -> " + noConnection};
        QTest::newRow("another address than the server's") << "[server]\naddress = backup.example.lan\n" << QStringList{
            hello + noConnection, "HELLO:backup.example.lan:9991:9993:eth0 -> ok", "HELLO:10.0.0.5:9991 -> WRONG HELLO"};
        QTest::newRow("key password") << QString() << QStringList{hello + "ok",
            "SV KEY PASSWORD:key-secret -> SV KEY NOT AUTHENTICATED",   // the plain password is no hash
            "GET CLIENT LIST\\0 -> SV KEY NOT AUTHENTICATED",           // the catalogue needs it
            "WHAT IS THIS -> UNKNOWN REQUEST"};
        QTest::newRow("disconnect") << QString() << QStringList{"DISCONNECT -> " + noConnection} + connect + QStringList{
            "SV KEY CLIENT PASSWORD:nosuch:<web01-secret> -> CLIENT NOT AUTHENTICATED",
            "DISCONNECT -> SERVER WAS DISCONNECTED", "GET CLIENT LIST\\0 -> " + noConnection};
        QTest::newRow("restore refusals") << "[restore]\naccept = no\n" << connect + QStringList{
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda:1001 -> TASK WASN'T ADDED: client is not authenticated",
            "SV KEY CLIENT PASSWORD:web01:<web01-secret> -> SV KEY AUTHENTICATED",
            "SV KEY RESTORE ARCHIVES<bad>:PWD_SEPARATE:/dev/sda:1001 -> TASK WASN'T ADDED: wrong client password",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda:2001 -> TASK WASN'T ADDED: no archive '2001' of client web01",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/:1001 -> TASK WASN'T ADDED: wrong target device",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda:1001 -> TASK WASN'T ADDED: refused by server"};
    }

    void exchanges()
    {
        QFETCH(QString, scenario);
        QFETCH(QStringList, steps);
        up(scenario);
        const QRegularExpression secret("<([a-z0-9-]+)>");
        for (const QString& step : steps) {
            QString request = step.section(" -> ", 0, 0);
            const std::string answer = step.section(" -> ", 1).toStdString();
            for (auto m = secret.match(request); m.hasMatch(); m = secret.match(request))
                request.replace(m.captured(0), QString::fromStdString(toolHash(m.captured(1).toStdString())));
            std::string text = request.toStdString();
            if (request.endsWith("\\0"))
                text.replace(text.size() - 2, 2, std::string(1, '\0'));
            QVERIFY2(ch->request(text), qPrintable(step));
            QCOMPARE(ch->answerText(), answer);
            QCOMPARE(ch->answerLength(), answer.size());
        }
    }

    // The reading pause of the demo scenarios: requests wait, then are answered.
    void stopReadingForAWhile()
    {
        up("[fault 1]\nrequest = HELLO:\nkind = stop_reading\ndelay = 0.5\ntimes = 1\n");
        QVERIFY(!ch->request("HELLO:10.0.0.5:9991:9993:eth0", 0.2));
        QVERIFY(!ch->request("HELLO:10.0.0.5:9991:9993:eth0", 0.1));
        QCOMPARE(ch->toDaemon()->get_num_msg(), std::size_t(1));
        std::string answer;
        QVERIFY(ch->receiveRaw(answer, 2));
        QCOMPARE(answer, std::string("ok"));
        QVERIFY(h->requestLog().contains("READING AGAIN"));
    }
};

QTEST_GUILESS_MAIN(TestDaemon)
#include "tst_standins_daemon.moc"
