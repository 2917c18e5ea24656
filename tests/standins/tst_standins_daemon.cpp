// Contract of the key client daemon stand-in: every request the rescue tool
// speaks, with the exact answers; the list framing; the injected faults; and
// the daemon's own life (queues and mutex exist while it runs, are gone
// after it ends).
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>

#include <boost/interprocess/sync/named_mutex.hpp>

#include "sv_payload_decode.h"
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
    void connectAndAuthenticate()
    {
        QVERIFY(ch->request("HELLO:10.0.0.5:9991:9993:eth0"));
        QCOMPARE(ch->answerText(), std::string("ok"));
        QVERIFY(ch->request("SV KEY PASSWORD:" + toolHash("key-secret")));
        QCOMPARE(ch->answerText(), std::string("SV KEY AUTHENTICATED"));
    }
    std::string listRequest(const std::string& text, const std::string& keyword)
    {
        std::string payload;
        if (!ch->request(text))
            return "<no answer>";
        if (ch->answerText() != keyword)
            return "<keyword " + ch->answerText() + ">";
        if (!ch->receivePayload(payload))
            return "<no payload>";
        return payload;
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
        QVERIFY(shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
        QVERIFY(shmEntryExists("Sarvelin_client_to_SVKEY_MQ"));
        bool mutexOpened = false;
        try {
            bip::named_mutex m(bip::open_only, "Sarvelin_SVC_mutex");
            mutexOpened = m.try_lock();
            m.unlock();
        } catch (const bip::interprocess_exception&) {
        }
        QVERIFY(mutexOpened);
        QCOMPARE(ch->toDaemon()->get_max_msg_size(), std::size_t(102400));
        ch.reset();
        QVERIFY(h->stopDaemon());
        QCOMPARE(h->daemon()->exitCode(), 0);
        QVERIFY(!shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
        QVERIFY(!shmEntryExists("Sarvelin_client_to_SVKEY_MQ"));
        QVERIFY(!shmEntryExists("sem.Sarvelin_SVC_mutex"));
        QVERIFY(!QFile::exists(h->path("sv_keyclientd.pid")));
    }

    void everyShippedScenarioLoads()
    {
        const QDir dir(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios");
        const QStringList files = dir.entryList({"*.ini"}, QDir::Files);
        QVERIFY(files.contains("default.ini") && files.contains("server-unreachable.ini"));
        sv_standin::scenario sc;
        std::string error;
        for (const QString& f : files)
            QVERIFY2(sv_standin::load_scenario(dir.filePath(f).toStdString(), sc, error), (f.toStdString() + ": " + error).c_str());
        sc = sv_standin::scenario();
        QVERIFY(sv_standin::load_scenario(dir.filePath("server-unreachable.ini").toStdString(), sc, error));
        QVERIFY(!sc.server_reachable);
        QCOMPARE(sc.client_start, std::string("no_route"));
        QCOMPARE(sc.backup_task_id, quint64(4101));   // a default kept
    }

    void wrongScenarioIsRefusedWithAMessage()
    {
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
        const QStringList connect{"HELLO:10.0.0.5:9991:9993:eth0 -> ok", "SV KEY PASSWORD:<key-secret> -> SV KEY AUTHENTICATED"};
        const QString noConnection = "NO CONNECTION WITH SARVELIN SERVER";
        QTest::newRow("hello") << QString() << QStringList{
            "HELLO:10.0.0.5:9991:9993:eth0 -> ok", "HELLO:10.0.0.5:9991 -> WRONG HELLO"};
        QTest::newRow("unreachable server") << "[server]\nreachable = no\n" << QStringList{
            "HELLO:10.0.0.5:9991:9993:eth0 -> " + noConnection, "SV KEY PASSWORD:<key-secret> -> " + noConnection};
        QTest::newRow("another address than the server's") << "[server]\naddress = backup.example.lan\n" << QStringList{
            "HELLO:10.9.9.9:9991:9993:eth0 -> " + noConnection, "HELLO:backup.example.lan:9991:9993:eth0 -> ok"};
        QTest::newRow("key password") << QString() << QStringList{"HELLO:10.0.0.5:9991:9993:eth0 -> ok",
            "SV KEY PASSWORD:<wrong> -> SV KEY NOT AUTHENTICATED",
            "SV KEY PASSWORD:key-secret -> SV KEY NOT AUTHENTICATED",   // the plain password is no hash
            "GET CLIENT LIST\\0 -> SV KEY NOT AUTHENTICATED",           // the catalogue needs it
            "SV KEY PASSWORD:<key-secret> -> SV KEY AUTHENTICATED"};
        QTest::newRow("client password") << QString() << connect + QStringList{
            "SV KEY CLIENT PASSWORD:web01:<db01-secret> -> CLIENT NOT AUTHENTICATED",
            "SV KEY CLIENT PASSWORD:nosuch:<web01-secret> -> CLIENT NOT AUTHENTICATED",
            "SV KEY CLIENT PASSWORD:web01:<web01-secret> -> SV KEY AUTHENTICATED"};
        QTest::newRow("disconnect") << QString() << QStringList{"DISCONNECT -> " + noConnection} + connect + QStringList{
            "DISCONNECT -> SERVER WAS DISCONNECTED", "GET CLIENT LIST\\0 -> " + noConnection};
        QTest::newRow("restore launch and status") << QString() << connect + QStringList{
            "ASK LAST RESTORE STATUS -> LAST RESTORE STATUS:0",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda:1001 -> TASK WASN'T ADDED: client is not authenticated",
            "SV KEY CLIENT PASSWORD:web01:<web01-secret> -> SV KEY AUTHENTICATED",
            "SV KEY RESTORE ARCHIVES<bad>:PWD_SEPARATE:/dev/sda:1001 -> TASK WASN'T ADDED: wrong client password",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda: -> TASK WASN'T ADDED: no archive '' of client web01",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda:2001 -> TASK WASN'T ADDED: no archive '2001' of client web01",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/:1001 -> TASK WASN'T ADDED: wrong target device",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda:1002 -> TASK WAS ADDED TO QUEUE:4102",
            "ASK LAST RESTORE STATUS -> LAST RESTORE STATUS:2", "ASK LAST RESTORE STATUS -> LAST RESTORE STATUS:2",
            "ASK LAST RESTORE STATUS -> LAST RESTORE STATUS:5", "ASK LAST RESTORE STATUS -> LAST RESTORE STATUS:5"};
        QTest::newRow("restore refused by the server") << "[restore]\naccept = no\n" << connect + QStringList{
            "SV KEY CLIENT PASSWORD:web01:<web01-secret> -> SV KEY AUTHENTICATED",
            "SV KEY RESTORE ARCHIVES<web01-secret>:PWD_SEPARATE:/dev/sda:1001 -> TASK WASN'T ADDED: refused by server"};
        QTest::newRow("unknown request") << QString() << QStringList{"WHAT IS THIS -> UNKNOWN REQUEST"};
        QTest::newRow("fault: chosen answer, once") << "[fault 1]\nrequest = HELLO:\nkind = answer\ntext = OK\ntimes = 1\n"
            << QStringList{"HELLO:10.0.0.5:9991:9993:eth0 -> OK", "HELLO:10.0.0.5:9991:9993:eth0 -> ok"};
        QTest::newRow("fault: malformed status") << "[fault 1]\nrequest = ASK LAST RESTORE STATUS\nkind = malformed\n"
            << QStringList{"ASK LAST RESTORE STATUS -> LAST RESTORE STATUS:0#?"};
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
        QVERIFY(h->requestLog().contains("REQUEST " + steps.first().section(" -> ", 0, 0).replace("<key-secret>",
            QString::fromStdString(toolHash("key-secret")))));
    }

    // The client list, a client's archives and its recovery plan, decoded
    // as the tool decodes them; empty lists where there is nothing.
    void catalogue()
    {
        up();
        connectAndAuthenticate();
        sv_payload::client_list clients;
        std::vector<sv_archive_short> list;
        std::vector<disaster_recovery_plan_record> plan;
        std::string error;
        QVERIFY2(sv_payload::decode_client_list(listRequest(std::string("GET CLIENT LIST\0", 16), "TAKE CLIENT LIST"),
                                                clients, error), error.c_str());
        QCOMPARE(clients, (sv_payload::client_list{{"web01", "52:54:00:1a:2b:01"}, {"db01", "52:54:00:1a:2b:02"},
                                                  {"mail01", "52:54:00:1a:2b:03"}}));
        QVERIFY(h->requestLog().contains("REQUEST GET CLIENT LIST\\0"));

        const std::string archives = "GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01:rescue_image";
        QVERIFY2(sv_payload::decode_archive_list(listRequest(archives, "TAKE ARCHIVES TYPE LIST"), list, error), error.c_str());
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
        QCOMPARE(list[0].get_archive_size(), quint64(3221225472ULL));
        QCOMPARE(list[0].verification_status_str(), std::string("Verified"));
        QCOMPARE(list[1].get_id(), quint64(1002));
        QCOMPARE(list[1].get_crypt_algorithm(), std::string("kuznyechik"));
        QVERIFY(list[1].is_digitally_signed());
        // A client without archives and an unknown HWID: an empty list.
        for (const char* hwid : {"52:54:00:1a:2b:03", "00:00:00:00:00:00"}) {
            list.resize(5);
            QVERIFY2(sv_payload::decode_archive_list(listRequest(std::string("GET ARCHIVES LIST SV KEY:") + hwid + ":rescue_image",
                                                                 "TAKE ARCHIVES TYPE LIST"), list, error), error.c_str());
            QCOMPARE(list.size(), std::size_t(0));
        }
        QVERIFY(ch->request("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01:full"));
        QCOMPARE(ch->answerText(), std::string("WRONG ARCHIVES REQUEST"));

        QVERIFY2(sv_payload::decode_recovery_plan(listRequest("GET DISASTER RECOVERY PLAN:52:54:00:1a:2b:01",
                                                              "TAKE DISASTER RECOVERY PLAN"), plan, error), error.c_str());
        QCOMPARE(plan.size(), std::size_t(2));
        QCOMPARE(plan[0].resource_destination(), std::string("/dev/sda"));
        QCOMPARE(plan[0].description(), std::string("system disk"));
        QCOMPARE(plan[0].archives().size(), std::size_t(2));
        QCOMPARE(plan[0].archives()[1].archive.get_id(), quint64(1002));
        QCOMPARE(plan[1].resource_type(), std::string("directory"));
        QVERIFY(ch->request("GET DISASTER RECOVERY PLAN:52:54:00:1a:2b:02"));   // plan = no
        QCOMPARE(ch->answerText(), std::string("CLIENT HASNT DISASTER RECOVERY PLAN"));
        // A client with a plan of no entries gets an empty list.
        QVERIFY2(sv_payload::decode_recovery_plan(listRequest("GET DISASTER RECOVERY PLAN:52:54:00:1a:2b:03",
                                                              "TAKE DISASTER RECOVERY PLAN"), plan, error), error.c_str());
        QCOMPARE(plan.size(), std::size_t(0));
    }

    void backupStatusFollowsTheQueuedTask()
    {
        up("[backup]\nstatus = 2, 2, 15\n");
        QVERIFY(ch->request("ASK LAST BACKUP STATUS"));
        QCOMPARE(ch->answerText(), std::string("LAST BACKUP STATUS:0"));   // nothing queued
        auto queue = [&](const char* line) {
            QFile task(h->path("backup.task"));
            QVERIFY(task.open(QIODevice::WriteOnly | QIODevice::Truncate));
            task.write(line);
        };
        queue("4101 1\n");
        for (const char* expected : {"LAST BACKUP STATUS:2", "LAST BACKUP STATUS:2", "LAST BACKUP STATUS:15",
                                     "LAST BACKUP STATUS:15"}) {
            QVERIFY(ch->request("ASK LAST BACKUP STATUS"));
            QCOMPARE(ch->answerText(), std::string(expected));
        }
        queue("4101 2\n");   // a new task starts the sequence over
        QVERIFY(ch->request("ASK LAST BACKUP STATUS"));
        QCOMPARE(ch->answerText(), std::string("LAST BACKUP STATUS:2"));
    }

    void framing_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QVector<int>>("parts");
        QTest::newRow("102399") << 102399 << QVector<int>{102399};
        QTest::newRow("102400") << 102400 << QVector<int>{102400};
        QTest::newRow("102401") << 102401 << QVector<int>{102400, 1};
        QTest::newRow("204801") << 204801 << QVector<int>{102400, 102400, 1};
    }

    void framing()
    {
        QFETCH(int, bytes);
        QFETCH(QVector<int>, parts);
        up(QString("[client web01]\narchives_payload_bytes = %1\n").arg(bytes));
        connectAndAuthenticate();
        QVERIFY(ch->request("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01:rescue_image"));
        QCOMPARE(ch->answerText(), std::string("TAKE ARCHIVES TYPE LIST"));
        // Raw messages: the length in decimal, then the parts.
        std::string length;
        QVERIFY(ch->receiveRaw(length, 2));
        QCOMPARE(length, std::to_string(bytes));
        std::string joined;
        for (int expected : parts) {
            std::string part;
            QVERIFY(ch->receiveRaw(part, 2));
            QCOMPARE(int(part.size()), expected);
            joined += part;
        }
        std::string extra;
        QVERIFY(!ch->receiveRaw(extra, 0.2));   // nothing more
        std::vector<sv_archive_short> list;
        std::string error;
        QVERIFY2(sv_payload::decode_archive_list(joined, list, error), error.c_str());
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[1].get_id(), quint64(1002));

        // The same answer read the tool's way (keyword and length in one
        // buffer, zero-filled parts) decodes to the same records.
        QVERIFY(ch->request("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01:rescue_image"));
        std::string payload;
        std::vector<std::size_t> got;
        QVERIFY(ch->receivePayload(payload, &got));
        QCOMPARE(int(got.size()), parts.size());
        QCOMPARE(payload.size(), std::size_t(parts.size()) * 102400);
        list.clear();
        QVERIFY2(sv_payload::decode_archive_list(payload, list, error), error.c_str());
        QCOMPARE(list.size(), std::size_t(2));
        // The padding travels in the last record's first auxiliary text.
        QVERIFY(list[1].get_aux_text_1().size() > std::size_t(bytes) - 2000);
        QCOMPARE(list[0].get_aux_text_1(), std::string());
    }

    // Faults: the late answer, the never-ending payload and the full
    // request queue are run through the tool in the link tests; here the
    // reading pause that only the demo scenarios use.
    void stopReadingForAWhile()
    {
        up("[fault 1]\nrequest = HELLO:\nkind = stop_reading\ndelay = 0.5\ntimes = 1\n");
        QVERIFY(!ch->request("HELLO:10.0.0.5:9991:9993:eth0", 0.2));
        QVERIFY(!ch->request("HELLO:10.0.0.5:9991:9993:eth0", 0.1));
        QCOMPARE(ch->toDaemon()->get_num_msg(), std::size_t(1));
        QThread::msleep(700);
        std::string answer;
        QVERIFY(ch->receiveRaw(answer, 2));   // the queued HELLO is answered now
        QCOMPARE(answer, std::string("ok"));
        QVERIFY(h->requestLog().contains("READING AGAIN"));
    }
};

QTEST_GUILESS_MAIN(TestDaemon)
#include "tst_standins_daemon.moc"
