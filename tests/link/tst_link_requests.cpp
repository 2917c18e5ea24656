// Requests to the key client daemon stand-in: the exact texts it received,
// how each answer is understood, the catalogue payloads, a refused restore,
// the task status and the named mutex (the launch of a
// selected archive and its status polls run in the restore controller test).

#include "link_support.h"

using namespace link_test;
namespace bip = boost::interprocess;

class TestLinkRequests : public QObject
{
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase()
    {
        LINK_TEST_IN_SANDBOX_ONLY();
        QVERIFY2(QFile::exists(daemonProgram()), "the daemon stand-in is not installed");
    }
    void init() { f.reset(); }
    void cleanup() { f.daemon.stop(); }

    void openCloseHelloDisconnect()
    {
        KeyMaster km;
        QVERIFY(!km.messageQueuesClose());
        QVERIFY(logContains("Message queues close, but queue 'Client to manager' is empty"));
        QVERIFY(f.daemon.start());
        QVERIFY(km.messageQueuesConnect());
        QVERIFY(km.messageQueuesClose());
        QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km) && !KeyMasterTestAccess::requestQueueOpen(km));

        km.setNetworkInterface("eth0");
        QVERIFY(km.messageQueuesConnect());
        QVERIFY(km.helloDaemon(kServer));
        km.setCmdPort(7001);
        km.setMediaPort(7003);
        km.setNetworkInterface("ens3");
        QVERIFY(km.helloDaemon("backup.example.lan"));
        QVERIFY(km.disconnect());
        QCOMPARE(Daemon::requests(),
            QStringList({"HELLO:10.0.0.5:9991:9993:eth0", "HELLO:backup.example.lan:7001:7003:ens3", "DISCONNECT"}));
        QVERIFY(f.shown->shown.isEmpty());
    }

    // One request against one answer. Greeting and disconnect: only the exact
    // word is success; "no connection" is shown; any other answer fails
    // quietly. The key password: the answer must begin with the word. Task
    // status: the code behind the keyword of the request asked, else 0 and a
    // log line.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<uint>("result"); // accepted (1/0), or the status code
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("logged");
        const QByteArray hello("HELLO:"), bye("DISCONNECT"), key("SV KEY PASSWORD:");
        const QByteArray restore("ASK LAST RESTORE STATUS"), backup("ASK LAST BACKUP STATUS");
        const QByteArray noConnection("NO CONNECTION WITH SARVELIN SERVER");
        QTest::newRow("hello ok") << hello << QByteArray("ok") << 1u << false << "";
        QTest::newRow("hello no connection") << hello << noConnection << 0u << true << "";
        QTest::newRow("hello capitals") << hello << QByteArray("OK") << 0u << false << "";
        QTest::newRow("disconnect confirmed") << bye << QByteArray("SERVER WAS DISCONNECTED") << 1u << false << "";
        QTest::newRow("disconnect no connection") << bye << noConnection << 0u << true << "";
        QTest::newRow("key password longer") << key << QByteArray("SV KEY AUTHENTICATED, welcome") << 1u << false << "";
        QTest::newRow("key password shorter") << key << QByteArray("SV KEY AUTHENTICATE") << 0u << false << "";
        QTest::newRow("restore 5") << restore << QByteArray("LAST RESTORE STATUS:5") << 5u << false
                                   << "answer from client is: LAST RESTORE STATUS:5";
        QTest::newRow("restore blank 15") << restore << QByteArray("LAST RESTORE STATUS: 15") << 15u << false << "";
        QTest::newRow("restore letter") << restore << QByteArray("LAST RESTORE STATUS:x5") << 0u << false
                                        << "svkey_getstatus exception:";
        QTest::newRow("restore wrong keyword")
            << restore << QByteArray("LAST BACKUP STATUS:5") << 0u << false
            << "Wrong answer to request ASK LAST RESTORE STATUS ( LAST BACKUP STATUS:5 )";
        QTest::newRow("backup out of range")
            << backup << QByteArray("LAST BACKUP STATUS:99999999999") << 0u << false << "svkey_getstatus out";
        QTest::newRow("other request") << QByteArray("ASK LAST COFFEE STATUS") << QByteArray("LAST COFFEE STATUS:5")
                                       << 0u << false << "svkey_getstatus out";
    }

    void answers()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(uint, result);
        QFETCH(bool, shown);
        QFETCH(QString, logged);
        QVERIFY(f.daemon.start(fault(request.constData(), "answer", answer.constData())));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        if (request == "DISCONNECT") {
            QCOMPARE(uint(km.disconnect()), result);
        } else if (request == "HELLO:") {
            QCOMPARE(uint(km.helloDaemon(kServer)), result);
        } else if (request.startsWith("SV KEY")) {
            QVERIFY(km.helloDaemon(kServer));
            QCOMPARE(uint(km.svkey_authentication(KeyMaster::hashPassword("anything"))), result);
        } else {
            QCOMPARE(km.getTaskStatus(request.toStdString()), result);
            QCOMPARE(Daemon::requests(), QStringList({QString::fromLatin1(request)}));
            QVERIFY(logContains("get task status for request " + QString::fromLatin1(request)));
        }
        QCOMPARE(Daemon::answersToLast(), QStringList({QString::fromLatin1(answer)}));
        if (!logged.isEmpty())
            QVERIFY2(logContains(logged), qPrintable(logged));
        QCOMPARE(f.shown->errors(),
            shown ? QStringList({"It looks like we can't connect to Sarvelin server..."}) : QStringList());
    }

    // The catalogue requests in one walk. Each first answer lacks its keyword:
    // shown as it is, the caller's list left as it was. Then the client list
    // is keyed by HWID (a later pair with the same HWID replaces the earlier
    // one), the archives and the plan arrive, and a client without a plan
    // keeps the plan shown. Nothing selected: no restore is started.
    void catalogues()
    {
        QVERIFY(f.daemon.start(fault("GET CLIENT LIST", "wrong_keyword", "SOMETHING ELSE ENTIRELY", 1, 1)
            + fault("GET ARCHIVES LIST", "wrong_keyword", "TAKE ARCHIVES LIST", 2, 1)
            + fault("GET DISASTER RECOVERY PLAN", "wrong_keyword", "NO PLAN HERE", 3, 1)
            + "[client web01b]\nhwid = 52:54:00:1a:2b:01\npassword = x\n"));
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        QMap<QString, QString> clients {{"kept", "entry"}};
        km.ask_client_list(clients);
        std::vector<sv_archive_short> list(3);
        km.ask_archives(list, kWeb01);
        QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
        QCOMPARE(f.shown->errors(), QStringList({"SOMETHING ELSE ENTIRELY", "TAKE ARCHIVES LIST", "NO PLAN HERE"}));
        QCOMPARE(clients, (QMap<QString, QString> {{"kept", "entry"}}));
        QCOMPARE(list.size(), std::size_t(3));
        f.shown->shown.clear();

        km.ask_client_list(clients);
        QCOMPARE(Daemon::requests().last(), QString("GET CLIENT LIST\\0"));
        QCOMPARE(clients,
            (QMap<QString, QString> {
                {"52:54:00:1a:2b:01", "web01b"}, {"52:54:00:1a:2b:02", "db01"}, {"52:54:00:1a:2b:03", "mail01"}}));
        km.ask_archives(list, kWeb01);
        QCOMPARE(Daemon::requests().last(), QString("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01:rescue_image"));
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
        QCOMPARE(list[0].get_archive_size(), std::uint64_t(3221225472ull));
        QCOMPARE(list[1].get_crypt_algorithm(), std::string("kuznyechik"));

        QVERIFY(km.askDisasterRecoveryPlan(kWeb01));
        QCOMPARE(Daemon::requests().last(), QString("GET DISASTER RECOVERY PLAN:52:54:00:1a:2b:01"));
        DrpManager* plan = km.drpManager();
        QCOMPARE(plan->plan().size(), std::size_t(2));
        QCOMPARE(plan->plan()[1].resource(), std::string("/srv/data"));
        QVERIFY(!km.askDisasterRecoveryPlan(kDb01));
        QCOMPARE(Daemon::answersToLast(), QStringList({"CLIENT HASNT DISASTER RECOVERY PLAN"}));
        QCOMPARE(plan->plan().size(), std::size_t(2));

        // Nothing selected: the daemon refuses the empty archive id.
        const std::string hash = KeyMaster::hashPassword("web01-secret");
        QVERIFY(km.svkey_client_authentication("web01", hash));
        QVERIFY(!km.launchRestoreArchive(hash, "/dev/sda"));
        QVERIFY(Daemon::requests().last().endsWith(":PWD_SEPARATE:/dev/sda:"));
        QVERIFY(logContains("Restore wasn`t started. Wrong response: TASK WASN'T ADDED"));
        QVERIFY(KeyMasterTestAccess::lastTaskId(km).empty());
        QVERIFY(f.shown->shown.isEmpty());
    }

    // Missing: shown, the operation fails and the tool goes on. Then taken
    // and shared by nested scopes, given back when the controller ends
    // holding it, and given up after the wait when another process holds it.
    void namedMutex()
    {
        KeyMaster km;
        QVERIFY(!KeyMaster::ClientMutexLock(km).isLocked());
        QCOMPARE(f.shown->errors(), QStringList({"Sarvelin client doesn't work"}));
        QVERIFY(f.shown->shown.first().details.startsWith("It looks like Sarvelin client doesn't work on this host. "
                                                          "Unable to open mutex_svc: No such file or directory"));
        QVERIFY(f.daemon.start());
        bip::named_mutex other(bip::open_only, "Sarvelin_SVC_mutex");
        {
            KeyMaster::ClientMutexLock outer(km);
            QVERIFY(outer.isLocked());
            {
                KeyMaster::ClientMutexLock inner(km);
                QVERIFY(inner.isLocked());
            }
            QVERIFY(outer.isLocked() && !other.try_lock());
        }
        QVERIFY(other.try_lock());
        other.unlock();
        {
            KeyMaster ending;
            QVERIFY(ending.lockClientMutex());
            QVERIFY(!other.try_lock());
        }
        QVERIFY(other.try_lock());

        f.shown->shown.clear();
        KeyMasterTestAccess::setMutexWait(km, 1);
        QElapsedTimer t;
        t.start();
        QVERIFY(!km.lockClientMutex());
        QVERIFY(t.elapsed() >= 900 && t.elapsed() < 3000);
        QCOMPARE(f.shown->errors(), QStringList({"Sarvelin client doesn't work"}));
        QVERIFY(f.shown->shown.first().details.startsWith(
            "It looks like Sarvelin client doesn't work on this host. Unable to lock mutex_svc: "));
        other.unlock();
        QVERIFY(KeyMaster::ClientMutexLock(km).isLocked());
    }
};

QTEST_MAIN(TestLinkRequests)
#include "tst_link_requests.moc"
