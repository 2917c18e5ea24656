// Requests to the key client daemon stand-in: the exact texts it received,
// how each answer is understood, the catalogue payloads, the restore launch,
// the task status, the password hash and the named mutex.

#include "link_support.h"
#include "task_status.h"

#include <crypt.h>

using namespace link_test;
namespace bip = boost::interprocess;

class TestLinkRequests : public QObject
{
    Q_OBJECT
    Fixture f;

    // Fetches web01's archives into the controller and selects `row`.
    static void selectArchive(KeyMaster& km, int row)
    {
        km.ask_archives(KeyMasterTestAccess::archives(km), kWeb01);
        KeyMasterTestAccess::archivesModel(km).fill(KeyMasterTestAccess::archives(km));
        KeyMasterTestAccess::archivesModel(km).setSelectedRow(row);
    }

private slots:
    void initTestCase()
    {
        LINK_TEST_IN_SANDBOX_ONLY();
        QVERIFY2(QFile::exists(daemonProgram()), "the daemon stand-in is not installed");
    }
    void init() { f.reset(); }
    void cleanup() { f.daemon.stop(); }

    void passwordHash()
    {
        const std::string first = KeyMaster::hashPassword("key-secret");
        QVERIFY(QString::fromStdString(first).startsWith("$1$q8vzt2mw$"));
        QCOMPARE(first.size(), std::size_t(12 + 22));
        QCOMPARE(KeyMaster::hashPassword("key-secret"), first);
        QVERIFY(KeyMaster::hashPassword("key-secreT") != first);
        // The text is hashed as UTF-8.
        QVERIFY(KeyMaster::hashPassword(QString::fromUtf8("\xd0\xbf\xd0\xb0\xd1\x80")) != KeyMaster::hashPassword("???"));
    }

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
        QCOMPARE(Daemon::requests(), QStringList({ "HELLO:10.0.0.5:9991:9993:eth0",
                                                   "HELLO:backup.example.lan:7001:7003:ens3", "DISCONNECT" }));
        QVERIFY(f.shown->shown.isEmpty());
    }

    // Greeting and disconnect: only the exact word is success; "no connection"
    // is shown; any other answer fails quietly. The key password: the answer
    // must begin with the word.
    void answerWords_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("shown");
        const QByteArray hello("HELLO:"), bye("DISCONNECT"), key("SV KEY PASSWORD:");
        QTest::newRow("hello ok") << hello << QByteArray("ok") << true << false;
        QTest::newRow("hello no connection") << hello << QByteArray("NO CONNECTION WITH SARVELIN SERVER") << false << true;
        QTest::newRow("hello capitals") << hello << QByteArray("OK") << false << false;
        QTest::newRow("disconnect confirmed") << bye << QByteArray("SERVER WAS DISCONNECTED") << true << false;
        QTest::newRow("disconnect no connection") << bye << QByteArray("NO CONNECTION WITH SARVELIN SERVER") << false << true;
        QTest::newRow("key password longer") << key << QByteArray("SV KEY AUTHENTICATED, welcome") << true << false;
        QTest::newRow("key password shorter") << key << QByteArray("SV KEY AUTHENTICATE") << false << false;
    }

    void answerWords()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(bool, accepted);
        QFETCH(bool, shown);
        QVERIFY(f.daemon.start(fault(request.constData(), "answer", answer.constData())));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        if (request == "DISCONNECT") {
            QCOMPARE(km.disconnect(), accepted);
        } else if (request == "HELLO:") {
            QCOMPARE(km.helloDaemon(kServer), accepted);
        } else {
            QVERIFY(km.helloDaemon(kServer));
            QCOMPARE(km.svkey_authentication(KeyMaster::hashPassword("anything")), accepted);
        }
        QCOMPARE(Daemon::answersToLast(), QStringList({ QString::fromLatin1(answer) }));
        QCOMPARE(f.shown->errors(), shown ? QStringList({ "It looks like we can't connect to Sarvelin server..." }) : QStringList());
    }

    // Only the hash travels, made with the one salt: the daemon refuses the
    // right password hashed with another salt.
    void passwords()
    {
        QVERIFY(f.daemon.start());
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        QVERIFY(km.helloDaemon(kServer));
        QVERIFY(!km.svkey_authentication(::crypt("key-secret", "$1$otherslt$")));
        QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("wrong")));
        QVERIFY(km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
        QCOMPARE(Daemon::requests().last(), "SV KEY PASSWORD:" + QString::fromStdString(KeyMaster::hashPassword("key-secret")));
        QVERIFY(!Daemon::log().contains("key-secret"));
        // A refused key password shows nothing.
        QVERIFY(f.shown->shown.isEmpty());

        QVERIFY(km.svkey_client_authentication("web01", KeyMaster::hashPassword("web01-secret")));
        QCOMPARE(Daemon::requests().last(),
                 "SV KEY CLIENT PASSWORD:web01:" + QString::fromStdString(KeyMaster::hashPassword("web01-secret")));
        QVERIFY(!km.svkey_client_authentication("web01", ::crypt("web01-secret", "$1$otherslt$")));
        QVERIFY(!km.svkey_client_authentication("web01", KeyMaster::hashPassword("guess")));
        QCOMPARE(f.shown->errors(), QStringList({ "Wrong password", "Wrong password" }));
    }

    // Keyed by HWID: a later pair with the same HWID replaces the earlier one.
    void clientList()
    {
        QByteArray scenario = baseScenario();
        scenario.replace("hwid = 52:54:00:1a:2b:03", "hwid = 52:54:00:1a:2b:01");
        QVERIFY(f.daemon.start(QByteArray(), scenario));
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        QMap<QString, QString> clients { { "old", "entry" } };
        km.ask_client_list(clients);
        QCOMPARE(Daemon::requests().last(), QString("GET CLIENT LIST\\0"));
        QCOMPARE(clients, (QMap<QString, QString> { { "52:54:00:1a:2b:01", "mail01" }, { "52:54:00:1a:2b:02", "db01" } }));
        QVERIFY(f.shown->shown.isEmpty());
    }

    void archives()
    {
        QVERIFY(f.daemon.start());
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        std::vector<sv_archive_short> list(5);
        km.ask_archives(list, kWeb01);
        QCOMPARE(Daemon::requests().last(), QString("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01:rescue_image"));
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].get_id(), std::uint64_t(1001));
        QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
        QCOMPARE(list[0].get_archive_size(), std::uint64_t(3221225472ull));
        QCOMPARE(list[1].get_crypt_algorithm(), std::string("kuznyechik"));
        // A client without archives: an empty list.
        km.ask_archives(list, kMail01);
        QVERIFY(Daemon::answersToLast().first().startsWith("TAKE ARCHIVES TYPE LIST"));
        QVERIFY(list.empty());
        QVERIFY(f.shown->shown.isEmpty());
    }

    // An answer without the expected keyword is shown as it is; the caller's
    // list is left as it was.
    void catalogueWrongKeywords()
    {
        QVERIFY(f.daemon.start(fault("GET CLIENT LIST", "wrong_keyword", "SOMETHING ELSE ENTIRELY", 1)
                               + fault("GET ARCHIVES LIST", "wrong_keyword", "TAKE ARCHIVES LIST", 2)
                               + fault("GET DISASTER RECOVERY PLAN", "wrong_keyword", "NO PLAN HERE", 3)));
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        QMap<QString, QString> clients { { "kept", "entry" } };
        km.ask_client_list(clients);
        std::vector<sv_archive_short> list(3);
        km.ask_archives(list, kWeb01);
        QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
        QCOMPARE(f.shown->errors(), QStringList({ "SOMETHING ELSE ENTIRELY", "TAKE ARCHIVES LIST", "NO PLAN HERE" }));
        QCOMPARE(clients, (QMap<QString, QString> { { "kept", "entry" } }));
        QCOMPARE(list.size(), std::size_t(3));
    }

    void planThenClientWithoutPlanKeepsIt()
    {
        QVERIFY(f.daemon.start());
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        QVERIFY(km.askDisasterRecoveryPlan(kWeb01));
        QCOMPARE(Daemon::requests().last(), QString("GET DISASTER RECOVERY PLAN:52:54:00:1a:2b:01"));
        DrpManager* plan = km.drpManager();
        QCOMPARE(plan->plan().size(), std::size_t(2));
        QCOMPARE(plan->plan()[1].resource(), std::string("/srv/data"));

        QVERIFY(!km.askDisasterRecoveryPlan(kDb01));
        QCOMPARE(Daemon::answersToLast(), QStringList({ "CLIENT HASNT DISASTER RECOVERY PLAN" }));
        QCOMPARE(plan->plan().size(), std::size_t(2));
        QVERIFY(f.shown->shown.isEmpty());
    }

    void restoreLaunchAndStatus()
    {
        QVERIFY(f.daemon.start());
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        const std::string hash = KeyMaster::hashPassword("web01-secret");
        QVERIFY(km.svkey_client_authentication("web01", hash));
        // Nothing selected: the daemon refuses the empty archive id.
        QVERIFY(!km.launchRestoreArchive(hash, "/dev/sda"));
        QVERIFY(Daemon::requests().last().endsWith(":PWD_SEPARATE:/dev/sda:"));
        QVERIFY(logContains("Restore wasn`t started. Wrong response: TASK WASN'T ADDED"));
        QVERIFY(KeyMasterTestAccess::lastTaskId(km).empty());
        QCOMPARE(km.getTaskStatus("ASK LAST RESTORE STATUS"), 0u);

        selectArchive(km, 1);
        QVERIFY(km.launchRestoreArchive(hash, "/dev/sda"));
        QCOMPARE(Daemon::requests().last(),
                 "SV KEY RESTORE ARCHIVES" + QString::fromStdString(hash) + ":PWD_SEPARATE:/dev/sda:1002");
        QCOMPARE(KeyMasterTestAccess::lastTaskId(km), std::string("4102"));
        QVERIFY(logContains("Restore was started. Task ID: 4102"));
        // Polled as the restore run polls it: until a final code.
        std::vector<unsigned> codes;
        do codes.push_back(km.getTaskStatus("ASK LAST RESTORE STATUS"));
        while (!isFinalGoodTaskStatus(codes.back()) && !isFinalBadTaskStatus(codes.back()) && codes.size() < 5);
        QCOMPARE(codes, (std::vector<unsigned> { 2, 2, 5 }));
        QVERIFY(f.shown->shown.isEmpty());
    }

    void statusAnswers_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("logged");
        const QByteArray restore("ASK LAST RESTORE STATUS"), backup("ASK LAST BACKUP STATUS");
        QTest::newRow("restore 5") << restore << QByteArray("LAST RESTORE STATUS:5") << 5u << "answer from client is: LAST RESTORE STATUS:5";
        QTest::newRow("restore blank 15") << restore << QByteArray("LAST RESTORE STATUS: 15") << 15u << "";
        QTest::newRow("restore letter") << restore << QByteArray("LAST RESTORE STATUS:x5") << 0u << "svkey_getstatus exception:";
        QTest::newRow("restore wrong keyword") << restore << QByteArray("LAST BACKUP STATUS:5") << 0u << "Wrong answer to request ASK LAST RESTORE STATUS ( LAST BACKUP STATUS:5 )";
        QTest::newRow("backup out of range") << backup << QByteArray("LAST BACKUP STATUS:99999999999") << 0u << "svkey_getstatus out";
        QTest::newRow("other request") << QByteArray("ASK LAST COFFEE STATUS") << QByteArray("LAST COFFEE STATUS:5") << 0u << "svkey_getstatus out";
    }

    void statusAnswers()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(uint, code);
        QFETCH(QString, logged);
        QVERIFY(f.daemon.start(fault(request.constData(), "answer", answer.constData())));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        QCOMPARE(km.getTaskStatus(request.toStdString()), code);
        QCOMPARE(Daemon::requests(), QStringList({ QString::fromLatin1(request) }));
        QVERIFY(logContains("get task status for request " + QString::fromLatin1(request)));
        if (!logged.isEmpty())
            QVERIFY2(logContains(logged), qPrintable(logged));
        QVERIFY(f.shown->shown.isEmpty());
    }

    // Missing: shown, the operation fails and the tool goes on. Then taken
    // and shared by nested scopes, given back when the controller ends
    // holding it, and given up after the wait when another process holds it.
    void namedMutex()
    {
        KeyMaster km;
        QVERIFY(!KeyMaster::ClientMutexLock(km).isLocked());
        QCOMPARE(f.shown->errors(), QStringList({ "Sarvelin client doesn't work" }));
        QVERIFY(f.shown->shown.first().details.startsWith(
            "It looks like Sarvelin client doesn't work on this host. Unable to open mutex_svc: No such file or directory"));
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
        QCOMPARE(f.shown->errors(), QStringList({ "Sarvelin client doesn't work" }));
        QVERIFY(f.shown->shown.first().details.startsWith(
            "It looks like Sarvelin client doesn't work on this host. Unable to lock mutex_svc: "));
        other.unlock();
        QVERIFY(KeyMaster::ClientMutexLock(km).isLocked());
    }
};

QTEST_MAIN(TestLinkRequests)
#include "tst_link_requests.moc"
