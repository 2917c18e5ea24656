// The controller's side of the key client link, in-process against a
// scripted link and a scripted runner (no daemon, no root, no sandbox), and
// the archive and recovery plan models it fills.

#include "../common/fake_daemon_link.h"
#include "../common/scripted_runner.h"
#include "link_support.h"

#include "drpmanager.h"
#include "resquearchivesmodel.h"
#include "sv_payload_decode.h"

#include <boost/date_time/posix_time/posix_time.hpp>

#include <crypt.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

#include <cstdint>
#include <limits>

using namespace link_test;
using Reply = FakeDaemonLink::Reply;

namespace {

Reply in(std::vector<std::string> messages, int pauseMs = 0)
{
    return Reply {std::move(messages), Reply::InTime, pauseMs};
}

const std::string kAuthenticated = "SV KEY AUTHENTICATED";

std::string clientList()
{
    return sv_payload::encode_client_list({{"web01", kWeb01}, {"db01", kDb01}, {"mail01", "52:54:00:1a:2b:03"}});
}

// A list answer: keyword, length, then the payload in parts of 102400 bytes.
std::vector<std::string> listAnswer(const std::string& keyword, const std::string& payload, int dropParts = 0)
{
    std::vector<std::string> messages {keyword, std::to_string(payload.size())};
    for (std::size_t at = 0; at < payload.size(); at += 102400)
        messages.push_back(payload.substr(at, 102400));
    messages.resize(messages.size() - std::size_t(dropParts));
    return messages;
}

// Two archives whose encoded list is exactly `bytes` long (the second one
// padded).
std::string archivesOfSize(std::size_t bytes)
{
    std::vector<sv_archive_short> two(2);
    two[0].set_name("web01 rescue image, Monday");
    std::size_t pad = bytes - sv_payload::encode_archive_list(two).size();
    for (int round = 0; round < 4; ++round) {
        two[1].set_aux_text_1(std::string(pad, 'p'));
        const std::size_t size = sv_payload::encode_archive_list(two).size();
        pad = pad + bytes - size;
    }
    return sv_payload::encode_archive_list(two);
}

sv_archive_short makeArchive(std::uint64_t id, const std::string& name, bool signedArchive, std::uint32_t verification,
    std::uint64_t size = 1024)
{
    sv_archive_short a;
    a.set_id(id);
    a.set_name(name);
    a.set_archive_size(size);
    a.set_snapshot_size(size / 2);
    a.set_crypt_algorithm("kuznyechik");
    a.set_digitally_signed(signedArchive);
    a.set_verification_status(verification);
    return a;
}

disaster_recovery_plan_record makeEntry(
    std::uint32_t id, const std::string& resource, std::vector<std::uint64_t> archiveIds)
{
    disaster_recovery_plan_record e;
    e.set_id(id);
    e.set_resource(resource);
    e.set_resource_type("filesystem");
    e.set_resource_destination("/restore" + resource);
    e.set_priority(10 + id);
    e.set_description("entry " + std::to_string(id));
    std::vector<sv_archive_drp> archives;
    for (std::uint64_t archiveId : archiveIds) {
        sv_archive_drp drp;
        drp.archive = makeArchive(archiveId, "plan-archive-" + std::to_string(archiveId), archiveId % 2 == 0, 6);
        archives.push_back(drp);
    }
    e.set_archives(archives);
    return e;
}

// One role of every row.
QStringList column(const QStandardItemModel& model, int role = ArchiveRoles::Id)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.item(row, 0)->data(role).toString();
    return texts;
}

// The texts of one row, in role order.
QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList texts;
    for (int role = Qt::UserRole + 1; role <= Qt::UserRole + model.roleNames().size(); ++role)
        texts << model.data(model.index(row, 0), role).toString();
    return texts;
}

// A controller on a scripted link.
struct Linked
{
    FakeDaemonLink* link;
    std::unique_ptr<KeyMaster> km;
    explicit Linked(std::vector<Reply> script = {})
    {
        auto fake = std::make_unique<FakeDaemonLink>();
        link = fake.get();
        link->script.assign(script.begin(), script.end());
        km = std::make_unique<KeyMaster>(std::move(fake));
        Access::shortenScenarioWaits(*km, 1000);
    }
    bool connect() { return Access::messageQueuesConnect(*km); }
};

} // namespace

class TestLinkLogic : public QObject
{
    Q_OBJECT
    std::unique_ptr<NotifierCapture> shown;

private slots:
    void initTestCase() { qInstallMessageHandler(captureHandler); }
    void init()
    {
        logLines().clear();
        shown = std::make_unique<NotifierCapture>();
    }

    // A client started for the restore may bring its daemon up late: the
    // connection looks for its queues again for a bounded time, and shows
    // the usual error when they never come.
    void daemonUpAfterTheClientStarted()
    {
        ScriptedRunner runner;
        runner.answer("", 0); // the host name and the client's start
        for (const bool comes : {true, false}) {
            shown = std::make_unique<NotifierCapture>();
            Linked l({in({"ok"}), in({kAuthenticated})});
            Access::shortenScenarioWaits(*l.km, 30); // 1 s for the daemon
            Access::setClientPause(*l.km, 20);
            l.link->queuesThere = false;
            QObject round; // its timer never fires after this round; a coarse one may fire 5 % early
            if (comes)
                QTimer::singleShot(600, Qt::PreciseTimer, &round, [&] {
                    std::lock_guard<std::mutex> g(l.link->lock);
                    l.link->queuesThere = true;
                });
            QElapsedTimer took;
            took.start();
            l.km->connectToRestoreServer(kServer, "secret");
            QVERIFY2(took.elapsed() >= (comes ? 570 : 1000) && took.elapsed() < 3000,
                qPrintable(QString::number(took.elapsed())));
            QCOMPARE(shown->errors().contains("Try to open message queues"), !comes);
            QCOMPARE(l.link->requests.empty() ? "" : l.link->requests.front().substr(0, 5), comes ? "HELLO" : "");
        }
    }

    // The checked start reads the client's output file once per pause, the
    // window's events flowing: each failure line and what is shown, the
    // authorization warning once, then success (the client's mutex opened);
    // the poll budget spent; the output file gone.
    void checkedClientStart()
    {
        const QString start = "/opt/sarvelin/bin/sarvelin_client start";
        const QString checkLog = "/tmp/startSarvelinClientWithCheck.log";
        const QString connectFailed = "Connect to Sarvelin server failed";
        const QString noAddress = "Sarvelin client can't work without IP address";
        const QList<QPair<QString, QString>> failures {{connectFailed + ": Connection refused", ""},
            {connectFailed + ": No route to host", ""},
            {noAddress, "Client interface has no IP address v4 or v6. " + noAddress},
            {"Can't resolve hostname", "Can't resolve hostname. You must define it in /etc/hosts or in DNS"},
            {connectFailed + ": Timeout", connectFailed},
            {"Sarvelin server has duplicated MAC address in unauthorized clients", ""},
            {"Can't run second instance of Sarvelin client process on one node", ""}};
        ScriptedRunner runner;
        for (const auto& [line, error] : failures) {
            shown = std::make_unique<NotifierCapture>();
            runner.answer(start, 0, "Sarvelin client 2.0 is starting\n" + line.toUtf8() + "\n");
            Linked l;
            Access::setClientPause(*l.km, 20);
            QVERIFY(!Access::startSarvelinClientWithCheck(*l.km));
            QCOMPARE(shown->errors(), QStringList {error.isEmpty() ? line : error});
            QVERIFY(Access::clientStartedHere(*l.km)); // the next stop ends it
        }

        shown = std::make_unique<NotifierCapture>();
        const QString warning = "Required authorization at Sarvelin server. Please contact system administrator.";
        runner.answer(start, 0, warning.toUtf8() + "\n");
        Linked l;
        Access::setClientPause(*l.km, 20);
        Access::setPollBudget(*l.km, 20);
        QTimer::singleShot(70, [&] {
            QFile f(checkLog);
            QVERIFY(f.open(QIODevice::Append) && f.write("This client was authorized by Sarvelin server\n"));
        });
        QVERIFY(Access::startSarvelinClientWithCheck(*l.km));
        QCOMPARE(shown->warnings(), QStringList {warning + "\n Waiting 15 min.."});
        QVERIFY(shown->errors().isEmpty() && Access::mutexOpen(*l.km));

        shown = std::make_unique<NotifierCapture>();
        logLines().clear();
        runner.answer(start, 0, "Sarvelin client 2.0 is starting\n");
        Access::setPollBudget(*l.km, 3);
        QVERIFY(!Access::startSarvelinClientWithCheck(*l.km));
        QCOMPARE(logLines().count("Sarvelin client output is:"), 3);
        QCOMPARE(shown->errors(),
            QStringList {"Required authorization at Sarvelin server. Retry after authorization\nOr unknown error"});

        shown = std::make_unique<NotifierCapture>();
        Access::setPollBudget(*l.km, 100);
        QTimer::singleShot(30, [&] { QFile::remove(checkLog); });
        QVERIFY(!Access::startSarvelinClientWithCheck(*l.km));
        QVERIFY(logContains(checkLog + " is not opened, startSarvelinClientWithCheck will return false"));
        QVERIFY(shown->shown.isEmpty());
        QCOMPARE(runner.calls.filter("watched: " + start).size(), 10);
        QFile::remove(checkLog);
    }

    // One request against one answer. Greeting and disconnect: only the exact
    // word is success; "no connection" is shown; any other answer fails
    // quietly. The key password: the answer must begin with the word. Task
    // status: the code behind the keyword of the request asked, else 0. A
    // catalogue answer without its keyword is shown as it is; "no plan" is
    // quiet; a refused restore leaves no task. A refusal keeps what the
    // caller had.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<uint>("result"); // accepted (1/0), or the status code
        QTest::addColumn<QString>("logged"); // or "shown: " and the error shown
        const auto add = [](const char* request, const char* answer, uint result, QString logged = "") {
            QTest::addRow("%s / %s", request, answer) << QByteArray(request) << QByteArray(answer) << result << logged;
        };
        const char *hello = "HELLO", *bye = "DISCONNECT", *key = "SV KEY PASSWORD",
                   *restore = "ASK LAST RESTORE STATUS", *plan = "GET DISASTER RECOVERY PLAN";
        const char* noConnection = "NO CONNECTION WITH SARVELIN SERVER";
        const QString noServer = "shown: It looks like we can't connect to Sarvelin server...";
        add(hello, "ok", 1);
        add(hello, noConnection, 0, noServer);
        add(hello, "OK", 0);
        add(bye, "SERVER WAS DISCONNECTED", 1);
        add(bye, noConnection, 0, noServer);
        add(key, "SV KEY AUTHENTICATED, welcome", 1);
        add(key, "SV KEY AUTHENTICATE", 0);
        add(restore, "LAST RESTORE STATUS:5", 5, "answer from client is: LAST RESTORE STATUS:5");
        add(restore, "LAST RESTORE STATUS: 15", 15);
        add(restore, "LAST RESTORE STATUS:x5", 0, "svkey_getstatus exception:");
        add(restore, "LAST BACKUP STATUS:5", 0,
            "Wrong answer to request ASK LAST RESTORE STATUS ( LAST BACKUP STATUS:5 )");
        add("ASK LAST BACKUP STATUS", "LAST BACKUP STATUS:99999999999", 0, "svkey_getstatus out");
        add("ASK LAST COFFEE STATUS", "LAST COFFEE STATUS:5", 0, "svkey_getstatus out");
        add("GET CLIENT LIST", "SOMETHING ELSE ENTIRELY", 0, "shown: SOMETHING ELSE ENTIRELY");
        add("GET ARCHIVES LIST SV KEY", "TAKE ARCHIVES LIST", 0, "shown: TAKE ARCHIVES LIST");
        add(plan, "NO PLAN HERE", 0, "shown: NO PLAN HERE");
        add(plan, "CLIENT HASNT DISASTER RECOVERY PLAN", 0);
        add("SV KEY RESTORE ARCHIVES", "TASK WASN'T ADDED", 0,
            "Restore wasn`t started. Wrong response: TASK WASN'T ADDED");
    }
    void answers()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(uint, result);
        QFETCH(QString, logged);
        Linked l({in({answer.toStdString()})});
        QVERIFY(l.connect());
        KeyMaster& km = *l.km;
        QMap<QString, QString> clients {{"kept", "entry"}};
        std::vector<sv_archive_short> list(1);
        QVERIFY(km.drpManager()->fillPlan(sv_payload::encode_recovery_plan({{}})));
        const uint got = request == "DISCONNECT"      ? Access::disconnect(km)
            : request == "HELLO"                      ? Access::helloDaemon(km, kServer)
            : request == "SV KEY PASSWORD"            ? Access::svkey_authentication(km, Access::hashPassword("x"))
            : request == "GET CLIENT LIST"            ? (Access::ask_client_list(km, clients), 0u)
            : request == "GET ARCHIVES LIST SV KEY"   ? (Access::ask_archives(km, list, kWeb01), 0u)
            : request == "GET DISASTER RECOVERY PLAN" ? Access::askDisasterRecoveryPlan(km, kWeb01)
            : request == "SV KEY RESTORE ARCHIVES"    ? Access::launchRestoreArchive(km, "HASH", "/dev/sda")
                                                      : Access::getTaskStatus(km, request.toStdString());
        QCOMPARE(got, result);
        QVERIFY(QString::fromStdString(l.link->requests.at(0)).startsWith(request));
        QCOMPARE(clients.size() + int(list.size() + km.drpManager()->plan().size()), 3);
        QVERIFY(Access::lastTaskId(km).empty());
        if (logged.startsWith("shown: ")) {
            QCOMPARE(shown->errors(), QStringList {logged.mid(7)});
        } else {
            QVERIFY(shown->shown.isEmpty());
            QVERIFY2(logContains(logged), qPrintable(logged));
        }
    }

    // The restore scenario through the controller's public calls, every
    // request compared whole: a refused key password, a second Connect,
    // entries that cannot be chosen, a client without archives, a failed
    // archive request after a client with a plan (nothing of that client
    // stays), then the restore polled to its end.
    void restoreScenario()
    {
        ScriptedRunner runner;
        runner.answer("", 0); // host name, client start and stop, pvs, lsblk
        const auto crypted = [](const char* password) { return std::string(::crypt(password, "$1$q8vzt2mw$")); };
        const std::string mail01 = "52:54:00:1a:2b:03", archives = "GET ARCHIVES LIST SV KEY:";
        const std::string plan = "GET DISASTER RECOVERY PLAN:", clientHash = crypted("web01-secret");
        // A later pair with the same HWID replaces the earlier one.
        const std::string clients = sv_payload::encode_client_list(
            {{"web01", kWeb01}, {"we{b", kWeb01}, {"db01", kDb01}, {"mail01", mail01}});
        std::vector<sv_archive_short> two(2);
        two[0].set_id(1001);
        const std::vector<std::pair<std::string, Reply>> replies {{"HELLO:", in({"ok"})},
            {"SV KEY PASSWORD:" + crypted("key-secret"), in({kAuthenticated})},
            {"SV KEY PASSWORD:", in({"SV KEY NOT AUTHENTICATED"})},
            {"SV KEY CLIENT PASSWORD:we{b:" + clientHash, in({kAuthenticated})},
            {"GET CLIENT LIST", in(listAnswer("TAKE CLIENT LIST", clients))},
            {archives + kWeb01, in(listAnswer("TAKE ARCHIVES TYPE LIST", sv_payload::encode_archive_list(two)))},
            {archives + mail01, in(listAnswer("TAKE ARCHIVES TYPE LIST", sv_payload::encode_archive_list({})))},
            {archives, in({"NO SUCH LIST"})},
            {plan, in(listAnswer("TAKE DISASTER RECOVERY PLAN", sv_payload::encode_recovery_plan({{}})))},
            {"SV KEY RESTORE ARCHIVES", in({"TASK WAS ADDED TO QUEUE:77"})},
            {"DISCONNECT", in({"SERVER WAS DISCONNECTED"})}};
        int polls = 0;
        Linked l;
        l.link->respond = [&](const std::string& request) {
            if (request == "ASK LAST RESTORE STATUS")
                return in({++polls < 4 ? "LAST RESTORE STATUS:2" : "LAST RESTORE STATUS:15"});
            for (const auto& [prefix, reply] : replies)
                if (request.rfind(prefix, 0) == 0)
                    return reply;
            return Reply {{}, Reply::Never};
        };
        KeyMaster& km = *l.km;
        Access::setClientPause(km, 20);
        km.setSarvelinServerIp("10.0.0.1");
        km.connectToRestoreServer(kServer, "wrong");
        QCOMPARE(km.getSarvelinServerIp(), QString());
        QCOMPARE(shown->shown.value(0).details.count('\n'), 2);
        km.setCmdPort(7001);
        km.setMediaPort(7003);
        km.setNetworkInterface("ens3");
        km.connectToRestoreServer(kServer, "key-secret");
        km.connectToRestoreServer(kServer, "key-secret");
        QVERIFY(km.isServerConnected());
        QCOMPARE(km.getSarvelinServerIp(), kServer);
        const QString web = "we{b{52:54:00:1a:2b:01}", db = "db01{52:54:00:1a:2b:02}";
        QCOMPARE(km.getClientNames(), QStringList({web, db, "mail01{52:54:00:1a:2b:03}"}));
        km.loadRecoveringClientData("web01");
        km.loadRecoveringClientData("web01{52:54:00:1a:2b:01}");
        km.loadRecoveringClientData("mail01{52:54:00:1a:2b:03}");
        km.loadRecoveringClientData(web);
        QCOMPARE(Access::archivesModel(km).rowCount() + km.drpManager()->entries()->rowCount(), 3);
        km.loadRecoveringClientData(db);
        QCOMPARE(Access::archivesModel(km).rowCount() + km.drpManager()->entries()->rowCount(), 0);
        QCOMPARE(
            shown->errors(), QStringList({"Wrong authentication", "No HWID for such client: web01", "NO SUCH LIST"}));

        km.loadRecoveringClientData(web);
        Access::archivesModel(km).setSelectedRow(0);
        km.setSelectedDrive("sdz");
        QSignalSpy ended(&km, &KeyMaster::restoreEnded);
        km.restore("web01-secret");
        QCOMPARE(ended.size(), 1);
        QVERIFY(ended[0][0].toBool() && !km.isServerConnected());
        QVERIFY(logContains("Wait please for restore ... 4"));
        const std::string hello = "HELLO:10.0.0.5:7001:7003:ens3", list = std::string("GET CLIENT LIST\0", 16);
        std::vector<std::string> expected {"HELLO:10.0.0.5:9991:9993:", "SV KEY PASSWORD:" + crypted("wrong"),
            "DISCONNECT", hello, "SV KEY PASSWORD:" + crypted("key-secret"), list, archives + mail01 + ":rescue_image",
            archives + kWeb01 + ":rescue_image", plan + kWeb01, archives + kDb01 + ":rescue_image",
            archives + kWeb01 + ":rescue_image", plan + kWeb01, hello, "SV KEY CLIENT PASSWORD:we{b:" + clientHash,
            "SV KEY RESTORE ARCHIVES" + clientHash + ":PWD_SEPARATE:/dev/sdz:1001"};
        expected.insert(expected.end(), 4, "ASK LAST RESTORE STATUS");
        expected.push_back("DISCONNECT");
        QCOMPARE(l.link->requests, expected);
    }

    // The connection requests see the unread request and give up at once;
    // the others wait for room in the full queue until the deadline (10 s
    // from the whole second the exchange began).
    void daemonNotReadingRequests()
    {
        Linked l;
        QVERIFY(l.connect());
        l.link->requestQueueFull = true;
        QVERIFY(!Access::helloDaemon(*l.km, kServer));
        QVERIFY(!Access::disconnect(*l.km));
        std::vector<sv_archive_short> list(2);
        Access::ask_archives(*l.km, list, kWeb01);
        const double deadline
            = (l.link->lastDeadline - boost::posix_time::microsec_clock::universal_time()).total_milliseconds()
            / 1000.0;
        QVERIFY2(deadline > 8.8 && deadline <= 10.0, qPrintable(QString::number(deadline)));
        QCOMPARE(shown->errors(),
            QStringList({"It looks like Sarvelin key client process doesn's work now or doesn't read messages from "
                         "svkey",
                "It looks like Sarvelin key client process doesn's work now or doesn't read messages from SVC",
                "It looks like Sarvelin client process doesn's work now. Unable to send message to client's process"}));
        QCOMPARE(list.size(), std::size_t(2));
        // A send that timed out closed the channel.
        QVERIFY(!Access::answerQueueOpen(*l.km) && !Access::requestQueueOpen(*l.km));
        QVERIFY(l.link->threads.size() == 1 && !l.link->threads.count(std::this_thread::get_id()));
    }

    // The length message, then the payload in parts of at most 102400 bytes.
    // A length that is not a number reads as 0: exactly one part is taken.
    void payloadFraming_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("length"); // empty: the payload's own
        QTest::newRow("one byte short of a message") << 102399 << "";
        QTest::newRow("one full message") << 102400 << "";
        QTest::newRow("one byte beyond") << 102401 << "";
        QTest::newRow("three parts") << 204801 << "";
        QTest::newRow("length not a number") << 1000 << "many";
    }
    void payloadFraming()
    {
        QFETCH(int, bytes);
        QFETCH(QString, length);
        std::vector<std::string> answer = listAnswer("TAKE ARCHIVES TYPE LIST", archivesOfSize(std::size_t(bytes)));
        if (!length.isEmpty())
            answer[1] = length.toStdString();
        Linked l({in(answer)});
        QVERIFY(l.connect());
        std::vector<sv_archive_short> list;
        Access::ask_archives(*l.km, list, kWeb01);
        QCOMPARE(l.link->answers.size(), std::size_t(0));
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
        QVERIFY(shown->shown.isEmpty());
    }

    // A payload that does not decode, or whose last part never comes:
    // shown as a receive failure (with the decoder's reason), the list
    // emptied, and the link in step for the next request.
    void undecodableOrMissingPayloads()
    {
        const std::string junk = "this is not an archive of the expected records ";
        Linked l({in(listAnswer("TAKE ARCHIVES TYPE LIST", junk)), in(listAnswer("TAKE CLIENT LIST", junk)),
            in(listAnswer("TAKE DISASTER RECOVERY PLAN", junk)),
            in(listAnswer("TAKE ARCHIVES TYPE LIST", archivesOfSize(250000), 1)),
            in(listAnswer("TAKE CLIENT LIST", clientList()))});
        QVERIFY(l.connect());
        std::vector<sv_archive_short> list(3), cut(3);
        QMap<QString, QString> clients {{"old", "entry"}};
        Access::ask_archives(*l.km, list, kWeb01);
        Access::ask_client_list(*l.km, clients);
        QVERIFY(l.km->drpManager()->fillPlan(sv_payload::encode_recovery_plan({{}})));
        QVERIFY(!Access::askDisasterRecoveryPlan(*l.km, kWeb01));
        QVERIFY(list.empty() && clients.isEmpty() && l.km->drpManager()->plan().empty());
        Access::ask_archives(*l.km, cut, kWeb01);
        QVERIFY(cut.empty());
        QCOMPARE(shown->errors(), QVector<QString>(4, kClientReceiveFailure).toList());
        QStringList details;
        for (const Shown& s : shown->shown)
            details << (s.details.isEmpty() ? "" : "reason");
        QCOMPARE(details, QStringList({"reason", "reason", "reason", ""}));
        QVERIFY(l.connect()); // the missing part closed the channel
        Access::ask_client_list(*l.km, clients);
        QCOMPARE(clients.size(), 3);
    }

    // An answer waiting before the queues are opened, or before a request is
    // sent, belongs to an earlier request and is never read for this one;
    // nor is an answer that came after the deadline. Only the exact word
    // greets; a terminating zero ends the text.
    void answersOfEarlierRequestsAreDropped()
    {
        Linked l({in({"CLIENT NOT AUTHENTICATED"}), in({"CLIENT NOT AUTHENTICATED"}), in({"ok "}),
            in({std::string("ok\0", 3)}), Reply {{kAuthenticated}, Reply::Late}, in({"CLIENT NOT AUTHENTICATED"}),
            in({kAuthenticated})});
        l.link->answers.push_back(kAuthenticated);
        QVERIFY(l.connect());
        QVERIFY(!Access::svkey_client_authentication(*l.km, "web01", Access::hashPassword("guess")));
        l.link->answers.push_back(kAuthenticated);
        QVERIFY(!Access::svkey_client_authentication(*l.km, "web01", Access::hashPassword("guess")));
        QCOMPARE(shown->errors(), QStringList({"Wrong password", "Wrong password"}));
        l.link->answers.push_back("ok");
        QVERIFY(!Access::helloDaemon(*l.km, kServer));
        QVERIFY(Access::helloDaemon(*l.km, kServer));
        QCOMPARE(shown->shown.size(), 2);

        // The late "SV KEY AUTHENTICATED" of the key password must never
        // stand for the answer to a wrong client password.
        QVERIFY(!Access::svkey_authentication(*l.km, Access::hashPassword("key-secret")));
        QCOMPARE(shown->errors().last(), kClientReceiveFailure);
        QVERIFY(!Access::answerQueueOpen(*l.km) && !Access::requestQueueOpen(*l.km));
        QCOMPARE(l.link->answers.size(), std::size_t(1));
        QVERIFY(l.connect());
        QVERIFY(!Access::svkey_client_authentication(*l.km, "web01", Access::hashPassword("not the password")));
        QCOMPARE(shown->errors().last(), QString("Wrong password"));
        QVERIFY(Access::svkey_authentication(*l.km, Access::hashPassword("key-secret")));
    }

    // Messages longer than the 102400-byte receive buffer: every receive
    // fails in the queue library, and is shown with the library's reason.
    void libraryErrorsInsideRequests()
    {
        Linked l;
        l.link->largestMessage = 204800;
        QVERIFY(l.connect());
        std::vector<sv_archive_short> list;
        QMap<QString, QString> clients;
        Access::ask_archives(*l.km, list, kWeb01);
        Access::ask_client_list(*l.km, clients);
        QVERIFY(!Access::helloDaemon(*l.km, kServer) && !Access::disconnect(*l.km)
            && !Access::askDisasterRecoveryPlan(*l.km, kWeb01) && !Access::svkey_authentication(*l.km, "h")
            && !Access::svkey_client_authentication(*l.km, "web01", "h")
            && !Access::launchRestoreArchive(*l.km, "h", "/dev/sda")
            && Access::getTaskStatus(*l.km, "ASK LAST BACKUP STATUS") == 0u);
        QStringList texts;
        for (const Shown& s : shown->shown)
            texts << s.msg + " | " + s.details;
        const QString why = "boost::interprocess::message_queue receive buffer too small";
        const QString failed = kClientReceiveFailure + " | " + why;
        QCOMPARE(texts,
            QStringList({failed, failed, "hello_daemon to 10.0.0.5: " + why + " | ",
                "disconnect server was failed: " + why + " | ", failed, failed, failed,
                "Sarvelin client process doesn's work | " + kClientReceiveFailure}));
        QVERIFY(logContains("svkey_getstatus exception:") && logContains("svkey_getstatus out"));
    }

    // The status polls of both scenarios: the statuses the daemon gives, in
    // order, until a final one (or the backup's poll budget is spent).
    void statusPolls_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QStringList>("codes"); // the status codes answered, or a whole answer
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("logged");
        const auto add = [](const char* name, bool restore, QStringList codes, bool result, int requests,
                             const char* logged = "Got bad status of task:") {
            QTest::newRow(name) << restore << codes << result << requests << QString(logged);
        };
        add("backup assigned, then done", false, {"2", "2", "5"}, true, 3,
            "Got fine status of task: Task was successsully done");
        add("backup bad final status", false, {"2", "8"}, false, 2, "Got bad status of task: Task finished with error");
        add("backup status never final", false, {"2"}, false, 180, "Can`t get one of supported statuses of task");
        add("backup status request refused", false, {"BUSY"}, false, 1,
            "Got bad status of task: Task finished with wrong status");
        add("restore bad final status", true, {"2", "14"}, false, 2);
        add("restore answer lost", true, {"2", "<never>"}, false, 2);
    }
    void statusPolls()
    {
        QFETCH(bool, restore);
        QFETCH(QStringList, codes);
        QFETCH(bool, result);
        QFETCH(int, requests);
        QFETCH(QString, logged);
        const std::string keyword = restore ? "LAST RESTORE STATUS:" : "LAST BACKUP STATUS:";
        const auto answer = [&](const QString& code) {
            return code.at(0).isDigit() ? in({keyword + code.toStdString()}) : in({code.toStdString()});
        };
        Linked l;
        for (const QString& code : codes)
            l.link->script.push_back(code == "<never>" ? Reply {{}, Reply::Never} : answer(code));
        l.link->respond = [&](const std::string&) { return answer(codes.last()); };
        QVERIFY(l.connect());
        QCOMPARE(restore ? Access::didRestoreEndFine(*l.km) : Access::didBackupEndFine(*l.km), result);
        QCOMPARE(l.link->requests,
            std::vector<std::string>(std::size_t(requests), "ASK " + keyword.substr(0, keyword.size() - 1)));
        QVERIFY2(logContains(logged), qPrintable(logged));
        // The channel is closed after the polls.
        QVERIFY(!Access::answerQueueOpen(*l.km));
        QCOMPARE(shown->errors(), codes.contains("<never>") ? QStringList {kClientReceiveFailure} : QStringList());
    }

    // While a call waits on the link thread (an answer 0.8 s late), what a
    // page calls is refused and leaving ends the operation after the call.
    // A controller that ends holding the named mutex gives it back on the
    // thread that took it.
    void windowAliveDuringSlowCalls()
    {
        Linked l({in({"ok"}, 800), in({"SV KEY AUTHENTICATED"}, 800)});
        QVERIFY(Access::lockClientMutex(*l.km) && l.connect());
        QElapsedTimer clock;
        QSignalSpy backupEnded(l.km.get(), &KeyMaster::creatingBackupEnded);
        QSignalSpy restoreEnded(l.km.get(), &KeyMaster::restoreEnded);
        bool busyMeanwhile = false;
        QTimer::singleShot(300, [&] {
            busyMeanwhile = l.km->isBusy();
            l.km->connectToRestoreServer(kServer, "secret");
            l.km->disconnectFromRestoreServer();
            l.km->loadRecoveringClientData("web01{52:54}");
            l.km->createBackup();
            l.km->restore("secret");
        });
        clock.start();
        {
            Access::OperationScope connecting(*l.km, KeyMaster::Operation::Connecting, "test");
            QVERIFY(connecting.granted());
            QVERIFY(Access::helloDaemon(*l.km, kServer));
        }
        QVERIFY(clock.elapsed() >= 800);
        QVERIFY(busyMeanwhile && !l.km->isBusy());
        QCOMPARE(shown->warnings(),
            QVector<QString>(5,
                "This cannot be done now: connecting to the Sarvelin server is running. "
                "Wait until it ends.")
                .toList());
        QCOMPARE(backupEnded.count(), 1);
        QCOMPARE(restoreEnded.count(), 1);
        QCOMPARE(l.link->requests.size(), std::size_t(1));

        // Leaving mid-call: the call ends in its time, nothing more is
        // asked, and the wait neither hangs nor spins while the
        // application quits.
        QTimer::singleShot(300, [&] {
            l.km->exitHandler();
            QCoreApplication::quit();
        });
        clock.restart();
        {
            Access::OperationScope connecting(*l.km, KeyMaster::Operation::Connecting, "test");
            QVERIFY(Access::svkey_authentication(*l.km, Access::hashPassword("key-secret")));
        }
        QVERIFY(clock.elapsed() >= 800 && clock.elapsed() < 2000);
        QVERIFY(!Access::OperationScope(*l.km, KeyMaster::Operation::Connecting, "test").granted());
        QVERIFY(l.link->threads.size() == 1 && !l.link->threads.count(std::this_thread::get_id()));

        bool unlockedWhereLocked = false;
        l.link->atEnd = [&](const FakeDaemonLink& link) {
            unlockedWhereLocked
                = !link.mutexLocked && link.unlockedOn == link.lockedOn && link.lockedOn != std::thread::id();
        };
        l.km.reset();
        QVERIFY(unlockedWhereLocked);
    }

    // The archive list model: the texts it shows and its selection rules.
    void archivesModel()
    {
        ResqueArchivesModel model;
        QSignalSpy changed(&model, &ResqueArchivesModel::selectedRowChanged);
        QVERIFY(model.fill({makeArchive(7, "web01 rescue", true, 3),
            makeArchive(
                8, "db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87", false, 1, std::numeric_limits<std::uint64_t>::max())}));
        // Names arrive as UTF-8; sizes keep all 64 bits.
        const QStringList second = rowTexts(model, 1);
        QCOMPARE(second.at(2), QString::fromUtf8("db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87"));
        QCOMPARE(second.at(8) + " " + second.at(9), QString("18446744073709551615 9223372036854775807"));
        QCOMPARE(model.getId(model.index(5, 0)) + model.getCrypto(QModelIndex()), QString());

        // Nothing was selected: filling does not announce a change.
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.selectedBackupName(), QString("undefined"));
        QVERIFY(model.setProperty("selectedRow", 1));
        model.setSelectedRow(1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.property("selectedBackupName").toString(),
            QString::fromUtf8("db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87"));
        // Clearing keeps the row, but it names nothing any more.
        model.clear();
        QCOMPARE(model.selectedRow(), 1);
        QCOMPARE(model.selectedBackupName(), QString("undefined"));

        // Every verification status code, and codes beyond the known ones;
        // refilling resets a selection.
        std::vector<sv_archive_short> codes;
        for (std::uint32_t code = 0; code <= 8; ++code)
            codes.push_back(makeArchive(code, "a", false, code));
        QVERIFY(model.fill(codes));
        QCOMPARE(model.selectedRow(), -1);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(column(model, ArchiveRoles::VerificationStatus),
            QStringList({"Wrong status", "Not Verified", "Verification failed", "Verified", "Unreliable", "Mistrusted",
                "Trusted", "Broken chain", "Wrong status"}));
        model.resetSelectedRow();
        QCOMPARE(changed.count(), 2);
    }

    // Filling selects the first entry and loads its archives; selecting another
    // entry loads its own; entries sharing an id show the first one's archives;
    // a plan that does not decode, or a clearing, leaves everything empty.
    void planLifeCycle()
    {
        DrpManager manager;
        manager.entries()->setSelectedRow(0); // no plan yet: only a warning
        QSignalSpy rowChanged(manager.entries(), &DrpModel::selectedRowChanged);
        const std::string payload = sv_payload::encode_recovery_plan({makeEntry(1, "/", {10, 11}),
            makeEntry(1, "/var", {51}), makeEntry(2, "/home", {20}), makeEntry(6, "/b", {})});
        QVERIFY(manager.fillPlan(payload));
        QCOMPARE(rowTexts(*manager.getDrpModel(), 2),
            QStringList({"2", "filesystem", "/home", "/restore/home", "12", "entry 2"}));
        QCOMPARE(manager.entries()->selectedRow(), 0);
        QCOMPARE(column(*manager.entryArchives()), QStringList({"10", "11"}));
        QCOMPARE(rowTexts(*manager.getDrpArchiveModel(), 1).at(16), QString("Trusted"));
        // The archive row survives a change of entry.
        manager.entryArchives()->setSelectedRow(1);
        QVERIFY(manager.entries()->setProperty("selectedRow", 2));
        QCOMPARE(column(*manager.entryArchives()), QStringList({"20"}));
        QCOMPARE(manager.entryArchives()->selectedRow(), 1);
        manager.entries()->setSelectedRow(1); // the first entry with the id wins
        QCOMPARE(column(*manager.entryArchives()), QStringList({"10", "11"}));
        manager.entries()->setSelectedRow(3);
        QCOMPARE(manager.getDrpArchiveModel()->rowCount(), 0);
        manager.entries()->setSelectedRow(4);
        QCOMPARE(manager.getDrpArchiveModel()->rowCount(), 0);

        // Filling the same plan again: -1 from the clearing, then 0.
        rowChanged.clear();
        QVERIFY(manager.fillPlan(payload));
        QCOMPARE(rowChanged.count(), 2);

        std::string cut = payload;
        cut.resize(cut.size() / 2); // cut in the middle of a record
        std::string error;
        QVERIFY(!manager.fillPlan(cut, &error));
        QVERIFY(!error.empty());
        QVERIFY(manager.plan().empty());
        QCOMPARE(manager.getDrpModel()->rowCount() + manager.getDrpArchiveModel()->rowCount(), 0);
        QCOMPARE(manager.entries()->selectedRow(), -1);
        QCOMPARE(manager.entryArchives()->selectedRow(), -1);
        QVERIFY(manager.fillPlan(sv_payload::encode_recovery_plan({}))); // empty, not an error
        QStringList rows; // the rows that loaded no archives, as warned
        for (const QString& line : logLines().filter(" DRP archive model can`t be loaded"))
            rows << line.section(' ', 2, 2);
        QCOMPARE(rows, QStringList({"0", "-1", "4", "-1", "-1"}));
    }
};

QTEST_MAIN(TestLinkLogic)
#include "tst_link_logic.moc"
