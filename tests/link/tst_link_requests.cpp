// Requests to the key client daemon stand-in: the exact texts it received,
// how each answer is understood, the catalogue payloads, the restore launch,
// the task status, the password hash and the named mutex.

#include "link_support.h"

#include "sv_payload_decode.h"

using link_test::Daemon;
using link_test::NotifierCapture;

namespace {

const QString kServer = QStringLiteral("10.0.0.5");
const std::string kWeb01 = "52:54:00:1a:2b:01";
const std::string kDb01 = "52:54:00:1a:2b:02";
const std::string kMail01 = "52:54:00:1a:2b:03";

QByteArray fault(const char* request, const char* kind, const char* text = nullptr, int number = 1)
{
    QByteArray s = "[fault " + QByteArray::number(number) + "]\nrequest = " + request + "\nkind = " + kind + "\n";
    if (text)
        s += QByteArray("text = ") + text + "\n";
    return s;
}

} // namespace

class TestLinkRequests : public QObject
{
    Q_OBJECT

private:
    // Opens the queues, greets the daemon and proves the key password.
    bool connectAndAuthenticate(KeyMaster& km)
    {
        return km.messageQueuesConnect() && km.helloDaemon(kServer)
            && km.svkey_authentication(KeyMaster::hashPassword("key-secret"));
    }

    Daemon daemon;
    NotifierCapture* shown = nullptr;

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controllerOwnsTheModels();
    void passwordHash();
    void helloText();
    void helloServerUnreachable();
    void helloAcceptsExactOkOnly_data();
    void helloAcceptsExactOkOnly();
    void helloWithoutQueues();
    void keyPassword();
    void keyPasswordPrefix_data();
    void keyPasswordPrefix();
    void keyPasswordWithoutQueues();
    void clientList();
    void clientListLaterHwidWins();
    void clientListWrongKeyword();
    void archives();
    void archivesOfClientWithout();
    void archivesWrongKeyword();
    void planThenClientWithoutPlanKeepsIt();
    void planWrongKeyword();
    void clientPassword();
    void restoreLaunch();
    void restoreWithNothingSelected();
    void restoreRefused();
    void disconnectVariants();
    void statusAnswers_data();
    void statusAnswers();
    void statusOfARunningRestore();
    void statusWithoutQueue();
    void closingQueues();
    void mutexLockAndRelease();
    void mutexHeldElsewhere();
    void mutexMissing();
    void mutexGivenBackWhenTheControllerEnds();
};

void TestLinkRequests::initTestCase()
{
    if (!link_test::insideSandbox())
        QSKIP("runs only inside the sandbox (sandbox/sv-sandbox)");
    QVERIFY2(QFile::exists(link_test::daemonProgram()), "the daemon stand-in is not installed");
    link_test::installLogCapture();
}

void TestLinkRequests::init()
{
    link_test::logLines().clear();
    delete shown;
    shown = new NotifierCapture;
}

void TestLinkRequests::cleanup()
{
    daemon.stop();
}

void TestLinkRequests::controllerOwnsTheModels()
{
    KeyMaster km;
    QVERIFY(km.drpManager());
    QCOMPARE(km.drpManager()->parent(), &km);
    QVERIFY(qobject_cast<ResqueArchivesModel*>(km.getResqueArchivesModel()));
    QCOMPARE(km.property("resqueArchivesModel").value<QAbstractItemModel*>(), km.getResqueArchivesModel());
    QVERIFY(!KeyMasterTestAccess::mutexOpen(km));
    QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km));
    QVERIFY(!KeyMasterTestAccess::requestQueueOpen(km));
}

void TestLinkRequests::passwordHash()
{
    const std::string first = KeyMaster::hashPassword("key-secret");
    QVERIFY(QString::fromStdString(first).startsWith("$1$q8vzt2mw$"));
    QCOMPARE(first.size(), std::size_t(12 + 22));
    QCOMPARE(KeyMaster::hashPassword("key-secret"), first);
    QVERIFY(KeyMaster::hashPassword("key-secreT") != first);
    // The salt is the same for every password; the text is UTF-8.
    const std::string cyrillic = KeyMaster::hashPassword(QString::fromUtf8("\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c"));
    QVERIFY(QString::fromStdString(cyrillic).startsWith("$1$q8vzt2mw$"));
    QVERIFY(cyrillic != KeyMaster::hashPassword("?????"));
}

void TestLinkRequests::helloText()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    km.setNetworkInterface("eth0");
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon(kServer));
    km.setCmdPort(7001);
    km.setMediaPort(7003);
    km.setNetworkInterface("ens3");
    QVERIFY(km.helloDaemon("backup.example.lan"));
    QCOMPARE(Daemon::requests(), QStringList({ "HELLO:10.0.0.5:9991:9993:eth0", "HELLO:backup.example.lan:7001:7003:ens3" }));
    QCOMPARE(Daemon::answersToLast(), QStringList({ "ok" }));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::helloServerUnreachable()
{
    QVERIFY(daemon.start(QByteArray(), QByteArray(link_test::baseScenario()).replace("reachable = yes", "reachable = no")));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(!km.helloDaemon(kServer));
    QCOMPARE(Daemon::answersToLast(), QStringList({ "NO CONNECTION WITH SARVELIN SERVER" }));
    QCOMPARE(shown->errors(), QStringList({ "It looks like we can't connect to Sarvelin server..." }));
}

void TestLinkRequests::helloAcceptsExactOkOnly_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("capitals") << QByteArray("OK");
    QTest::newRow("longer") << QByteArray("oks");
    QTest::newRow("punctuated") << QByteArray("ok!");
    QTest::newRow("no connection, longer") << QByteArray("NO CONNECTION WITH SARVELIN SERVER!");
}

void TestLinkRequests::helloAcceptsExactOkOnly()
{
    QFETCH(QByteArray, answer);
    QVERIFY(daemon.start(fault("HELLO:", "answer", answer.constData())));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(!km.helloDaemon(kServer));
    QCOMPARE(Daemon::answersToLast(), QStringList({ QString::fromLatin1(answer) }));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::helloWithoutQueues()
{
    KeyMaster km;
    QVERIFY(!km.helloDaemon(kServer));
    QCOMPARE(shown->errors(), QStringList({ "There is no connection to Sarvelin client process" }));
}

void TestLinkRequests::keyPassword()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon(kServer));
    QVERIFY(km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
    QVERIFY(link_test::logContains("In svkey authentification"));
    QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("wrong")));
    const QStringList requests = Daemon::requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(1), "SV KEY PASSWORD:" + QString::fromStdString(KeyMaster::hashPassword("key-secret")));
    QVERIFY(requests.at(1).startsWith("SV KEY PASSWORD:$1$q8vzt2mw$"));
    // The plain password never travels.
    QVERIFY(!Daemon::log().contains("key-secret"));
    // A refused key password shows nothing here.
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::keyPasswordPrefix_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("longer") << QByteArray("SV KEY AUTHENTICATED, welcome") << true;
    QTest::newRow("shorter") << QByteArray("SV KEY AUTHENTICATE") << false;
    QTest::newRow("lower case") << QByteArray("sv key authenticated") << false;
}

void TestLinkRequests::keyPasswordPrefix()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, accepted);
    QVERIFY(daemon.start(fault("SV KEY PASSWORD:", "answer", answer.constData())));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon(kServer));
    QCOMPARE(km.svkey_authentication(KeyMaster::hashPassword("anything")), accepted);
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::keyPasswordWithoutQueues()
{
    KeyMaster km;
    QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
    QVERIFY(link_test::logContains("queue from manager to client is empty"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::clientList()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QMap<QString, QString> clients { { "old", "entry" } };
    km.ask_client_list(clients);
    // Sixteen bytes: the text and its zero.
    QCOMPARE(Daemon::requests().last(), QString("GET CLIENT LIST\\0"));
    QCOMPARE(clients.size(), 3);
    QCOMPARE(clients.value("52:54:00:1a:2b:01"), QString("web01"));
    QCOMPARE(clients.value("52:54:00:1a:2b:02"), QString("db01"));
    QCOMPARE(clients.value("52:54:00:1a:2b:03"), QString("mail01"));
    QVERIFY(!clients.contains("old"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::clientListLaterHwidWins()
{
    QByteArray scenario = link_test::baseScenario();
    scenario.replace("hwid = 52:54:00:1a:2b:03", "hwid = 52:54:00:1a:2b:01");
    QVERIFY(daemon.start(QByteArray(), scenario));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QMap<QString, QString> clients;
    km.ask_client_list(clients);
    QCOMPARE(clients.size(), 2);
    QCOMPARE(clients.value("52:54:00:1a:2b:01"), QString("mail01"));
    // Ordered by HWID.
    QCOMPARE(clients.keys(), QStringList({ "52:54:00:1a:2b:01", "52:54:00:1a:2b:02" }));
}

void TestLinkRequests::clientListWrongKeyword()
{
    QVERIFY(daemon.start(fault("GET CLIENT LIST", "wrong_keyword", "SOMETHING ELSE ENTIRELY")));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QMap<QString, QString> clients { { "kept", "entry" } };
    km.ask_client_list(clients);
    QCOMPARE(shown->errors(), QStringList({ "SOMETHING ELSE ENTIRELY" }));
    QCOMPARE(clients.size(), 1);
    QCOMPARE(clients.value("kept"), QString("entry"));
}

void TestLinkRequests::archives()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short> list(5);
    km.ask_archives(list, kWeb01);
    QCOMPARE(Daemon::requests().last(), QString("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01:rescue_image"));
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(list[0].get_id(), std::uint64_t(1001));
    QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
    QCOMPARE(list[0].get_archive_size(), std::uint64_t(5368709123ull));
    QCOMPARE(list[0].verification_status_str(), std::string("Verified"));
    QCOMPARE(list[1].get_id(), std::uint64_t(1002));
    QCOMPARE(list[1].get_crypt_algorithm(), std::string("kuznyechik"));
    QVERIFY(list[1].is_digitally_signed());
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::archivesOfClientWithout()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short> list(3);
    km.ask_archives(list, kMail01);
    QVERIFY(Daemon::answersToLast().first().startsWith("TAKE ARCHIVES TYPE LIST"));
    QVERIFY(list.empty());
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::archivesWrongKeyword()
{
    QVERIFY(daemon.start(fault("GET ARCHIVES LIST", "wrong_keyword", "TAKE ARCHIVES LIST")));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short> list(3);
    km.ask_archives(list, kWeb01);
    QCOMPARE(shown->errors(), QStringList({ "TAKE ARCHIVES LIST" }));
    QCOMPARE(list.size(), std::size_t(3));
}

void TestLinkRequests::planThenClientWithoutPlanKeepsIt()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QVERIFY(km.askDisasterRecoveryPlan(kWeb01));
    QCOMPARE(Daemon::requests().last(), QString("GET DISASTER RECOVERY PLAN:52:54:00:1a:2b:01"));
    DrpManager* plan = km.drpManager();
    QCOMPARE(plan->plan().size(), std::size_t(2));
    QCOMPARE(plan->entries()->selectedRow(), 0);
    QCOMPARE(plan->getDrpArchiveModel()->rowCount(), 2);
    QCOMPARE(plan->plan()[1].resource(), std::string("/srv/data"));

    QVERIFY(!km.askDisasterRecoveryPlan(kDb01));
    QCOMPARE(Daemon::answersToLast(), QStringList({ "CLIENT HASNT DISASTER RECOVERY PLAN" }));
    QCOMPARE(plan->plan().size(), std::size_t(2));
    QCOMPARE(plan->getDrpModel()->rowCount(), 2);
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::planWrongKeyword()
{
    QVERIFY(daemon.start(fault("GET DISASTER RECOVERY PLAN", "wrong_keyword", "NO PLAN HERE")));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
    QCOMPARE(shown->errors(), QStringList({ "NO PLAN HERE" }));
}

void TestLinkRequests::clientPassword()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon(kServer));
    QVERIFY(km.svkey_client_authentication("web01", KeyMaster::hashPassword("web01-secret")));
    QCOMPARE(Daemon::requests().last(),
             "SV KEY CLIENT PASSWORD:web01:" + QString::fromStdString(KeyMaster::hashPassword("web01-secret")));
    QVERIFY(shown->shown.isEmpty());
    QVERIFY(!km.svkey_client_authentication("web01", KeyMaster::hashPassword("guess")));
    QCOMPARE(shown->errors(), QStringList({ "Wrong password" }));
}

void TestLinkRequests::restoreLaunch()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short>& archives = KeyMasterTestAccess::archives(km);
    km.ask_archives(archives, kWeb01);
    ResqueArchivesModel& model = KeyMasterTestAccess::archivesModel(km);
    model.fill(archives);
    model.setSelectedRow(1);
    const std::string hash = KeyMaster::hashPassword("web01-secret");
    QVERIFY(km.svkey_client_authentication("web01", hash));
    QVERIFY(km.launchRestoreArchive(hash, "/dev/sda"));
    QCOMPARE(Daemon::requests().last(),
             "SV KEY RESTORE ARCHIVES" + QString::fromStdString(hash) + ":PWD_SEPARATE:/dev/sda:1002");
    QVERIFY(Daemon::requests().last().startsWith("SV KEY RESTORE ARCHIVES$1$q8vzt2mw$"));
    QCOMPARE(KeyMasterTestAccess::lastTaskId(km), std::string("4102"));
    QVERIFY(link_test::logContains("Restore was started. Task ID: 4102"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::restoreWithNothingSelected()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    const std::string hash = KeyMaster::hashPassword("web01-secret");
    QVERIFY(km.svkey_client_authentication("web01", hash));
    QVERIFY(!km.launchRestoreArchive(hash, "/dev/sda"));
    QVERIFY(Daemon::requests().last().endsWith(":PWD_SEPARATE:/dev/sda:"));
    QVERIFY(link_test::logContains("Restore wasn`t started. Wrong response: TASK WASN'T ADDED"));
    QVERIFY(KeyMasterTestAccess::lastTaskId(km).empty());
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::restoreRefused()
{
    QByteArray scenario = link_test::baseScenario();
    scenario.replace("accept = yes", "accept = no");
    QVERIFY(daemon.start(QByteArray(), scenario));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    km.ask_archives(KeyMasterTestAccess::archives(km), kWeb01);
    KeyMasterTestAccess::archivesModel(km).fill(KeyMasterTestAccess::archives(km));
    KeyMasterTestAccess::archivesModel(km).setSelectedRow(0);
    const std::string hash = KeyMaster::hashPassword("web01-secret");
    QVERIFY(km.svkey_client_authentication("web01", hash));
    QVERIFY(!km.launchRestoreArchive(hash, "/dev/vdb"));
    QVERIFY(Daemon::requests().last().endsWith(":PWD_SEPARATE:/dev/vdb:1001"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::disconnectVariants()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon(kServer));
    QVERIFY(km.disconnect());
    QCOMPARE(Daemon::requests().last(), QString("DISCONNECT"));
    QVERIFY(link_test::logContains("disconnect from server"));
    QVERIFY(shown->shown.isEmpty());
    // Not connected any more: the daemon says so.
    QVERIFY(!km.disconnect());
    QCOMPARE(shown->errors(), QStringList({ "It looks like we can't connect to Sarvelin server..." }));

    // Any other answer: false, nothing shown.
    km.messageQueuesClose();
    daemon.stop();
    QVERIFY(daemon.start(fault("DISCONNECT", "answer", "GOOD BYE")));
    NotifierCapture quiet;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon(kServer));
    QVERIFY(!km.disconnect());
    QVERIFY(quiet.shown.isEmpty());

    // Queues closed.
    km.messageQueuesClose();
    QVERIFY(!km.disconnect());
    QCOMPARE(quiet.errors(), QStringList({ "There is no connection to Sarvelin client process" }));
}

void TestLinkRequests::statusAnswers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("logged");
    QTest::newRow("restore 5") << QByteArray("ASK LAST RESTORE STATUS") << QByteArray("LAST RESTORE STATUS:5") << 5u << "answer from client is: LAST RESTORE STATUS:5";
    QTest::newRow("restore blank 15") << QByteArray("ASK LAST RESTORE STATUS") << QByteArray("LAST RESTORE STATUS: 15") << 15u << "";
    QTest::newRow("restore 2 and text") << QByteArray("ASK LAST RESTORE STATUS") << QByteArray("LAST RESTORE STATUS:2 assigned") << 2u << "";
    QTest::newRow("restore letter") << QByteArray("ASK LAST RESTORE STATUS") << QByteArray("LAST RESTORE STATUS:x5") << 0u << "svkey_getstatus exception:";
    QTest::newRow("restore wrong keyword") << QByteArray("ASK LAST RESTORE STATUS") << QByteArray("LAST BACKUP STATUS:5") << 0u << "Wrong answer to request ASK LAST RESTORE STATUS ( LAST BACKUP STATUS:5 )";
    QTest::newRow("backup 15") << QByteArray("ASK LAST BACKUP STATUS") << QByteArray("LAST BACKUP STATUS:15") << 15u << "";
    QTest::newRow("backup 8") << QByteArray("ASK LAST BACKUP STATUS") << QByteArray("LAST BACKUP STATUS:8") << 8u << "";
    QTest::newRow("backup wrong keyword") << QByteArray("ASK LAST BACKUP STATUS") << QByteArray("LAST RESTORE STATUS:5") << 0u << "Wrong answer to request ASK LAST BACKUP STATUS";
    QTest::newRow("backup out of range") << QByteArray("ASK LAST BACKUP STATUS") << QByteArray("LAST BACKUP STATUS:99999999999") << 0u << "svkey_getstatus out";
    QTest::newRow("other request") << QByteArray("ASK LAST COFFEE STATUS") << QByteArray("LAST COFFEE STATUS:5") << 0u << "svkey_getstatus out";
}

void TestLinkRequests::statusAnswers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QFETCH(uint, code);
    QFETCH(QString, logged);
    QVERIFY(daemon.start(fault(request.constData(), "answer", answer.constData())));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QCOMPARE(km.getTaskStatus(request.toStdString()), code);
    QCOMPARE(Daemon::requests(), QStringList({ QString::fromLatin1(request) }));
    QVERIFY(link_test::logContains("get task status for request " + QString::fromLatin1(request)));
    if (!logged.isEmpty())
        QVERIFY2(link_test::logContains(logged), qPrintable(logged));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::statusOfARunningRestore()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QCOMPARE(km.getTaskStatus("ASK LAST RESTORE STATUS"), 0u);
    km.ask_archives(KeyMasterTestAccess::archives(km), kWeb01);
    KeyMasterTestAccess::archivesModel(km).fill(KeyMasterTestAccess::archives(km));
    KeyMasterTestAccess::archivesModel(km).setSelectedRow(0);
    const std::string hash = KeyMaster::hashPassword("web01-secret");
    QVERIFY(km.svkey_client_authentication("web01", hash));
    QVERIFY(km.launchRestoreArchive(hash, "/dev/sda"));
    QCOMPARE(km.getTaskStatus("ASK LAST RESTORE STATUS"), 2u);
    QCOMPARE(km.getTaskStatus("ASK LAST RESTORE STATUS"), 5u);
    QCOMPARE(km.getTaskStatus("ASK LAST RESTORE STATUS"), 5u);
}

void TestLinkRequests::statusWithoutQueue()
{
    KeyMaster km;
    QCOMPARE(km.getTaskStatus("ASK LAST BACKUP STATUS"), 0u);
    QVERIFY(link_test::logContains("zero queue"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::closingQueues()
{
    KeyMaster km;
    QVERIFY(!km.messageQueuesClose());
    QVERIFY(link_test::logContains("Message queues close, but queue 'Client to manager' is empty"));
    QVERIFY(daemon.start());
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(link_test::logContains("creating queues"));
    QVERIFY(KeyMasterTestAccess::answerQueueOpen(km) && KeyMasterTestAccess::requestQueueOpen(km));
    QVERIFY(km.messageQueuesClose());
    QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km) && !KeyMasterTestAccess::requestQueueOpen(km));
    // Closing a handle leaves the daemon's queue in place.
    QVERIFY(QFile::exists("/dev/shm/Sarvelin_SVKEY_to_client_MQ"));
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon(kServer));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::mutexLockAndRelease()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    {
        KeyMaster::ClientMutexLock outer(km);
        QVERIFY(outer.isLocked());
        QVERIFY(KeyMasterTestAccess::mutexOpen(km));
        {
            KeyMaster::ClientMutexLock inner(km);   // nested: shares the lock
            QVERIFY(inner.isLocked());
        }
        QVERIFY(outer.isLocked());
        // Another process sees it taken.
        boost::interprocess::named_mutex other(boost::interprocess::open_only, "Sarvelin_SVC_mutex");
        QVERIFY(!other.try_lock());
    }
    boost::interprocess::named_mutex other(boost::interprocess::open_only, "Sarvelin_SVC_mutex");
    QVERIFY(other.try_lock());
    other.unlock();
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkRequests::mutexHeldElsewhere()
{
    QVERIFY(daemon.start());
    KeyMaster km;
    KeyMasterTestAccess::setMutexWait(km, 1);
    boost::interprocess::named_mutex holder(boost::interprocess::open_only, "Sarvelin_SVC_mutex");
    holder.lock();
    QElapsedTimer t;
    t.start();
    QVERIFY(!km.lockClientMutex());
    QVERIFY(t.elapsed() >= 900 && t.elapsed() < 3000);
    QCOMPARE(shown->errors(), QStringList({ "Sarvelin client doesn't work" }));
    QVERIFY(shown->shown.first().details.startsWith(
        "It looks like Sarvelin client doesn't work on this host. Unable to lock mutex_svc: "));
    {
        KeyMaster::ClientMutexLock lock(km);
        QVERIFY(!lock.isLocked());
    }
    holder.unlock();
    KeyMaster::ClientMutexLock lock(km);
    QVERIFY(lock.isLocked());
}

void TestLinkRequests::mutexMissing()
{
    KeyMaster km;
    QVERIFY(!km.openClientMutex());
    QCOMPARE(shown->errors(), QStringList({ "Sarvelin client doesn't work" }));
    const QString details = shown->shown.first().details;
    QVERIFY(details.startsWith("It looks like Sarvelin client doesn't work on this host. Unable to open mutex_svc: "));
    QVERIFY2(details.contains("No such file or directory"), qPrintable(details));
    // The operation fails; the tool goes on and a later attempt works.
    KeyMaster::ClientMutexLock failed(km);
    QVERIFY(!failed.isLocked());
    QCOMPARE(shown->errors().size(), 2);
    QVERIFY(daemon.start());
    KeyMaster::ClientMutexLock lock(km);
    QVERIFY(lock.isLocked());
}

void TestLinkRequests::mutexGivenBackWhenTheControllerEnds()
{
    QVERIFY(daemon.start());
    {
        KeyMaster km;
        QVERIFY(km.lockClientMutex());
        boost::interprocess::named_mutex other(boost::interprocess::open_only, "Sarvelin_SVC_mutex");
        QVERIFY(!other.try_lock());
    }
    boost::interprocess::named_mutex other(boost::interprocess::open_only, "Sarvelin_SVC_mutex");
    QVERIFY(other.try_lock());
    other.unlock();
}

QTEST_MAIN(TestLinkRequests)
#include "tst_link_requests.moc"
