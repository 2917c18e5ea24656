// The controller's side of the key client link, in-process against a
// scripted link (no daemon, no root, no sandbox): the failure tables of the
// requests, payload framing, answers left from earlier requests, the status
// polls of backup and restore, and the window kept alive while a call waits
// on the link thread (refusals meanwhile, leaving mid-call, the mutex given
// back on the thread that took it).

#include "../common/cpu_wait.h"
#include "../common/fake_daemon_link.h"
#include "../common/scripted_runner.h"
#include "link_support.h"

#include "sv_payload_decode.h"

#include <crypt.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

using namespace link_test;
using Reply = FakeDaemonLink::Reply;

namespace {

Reply in(std::vector<std::string> messages, int pauseMs = 0)
{
    return Reply {std::move(messages), Reply::InTime, pauseMs};
}
Reply late(std::vector<std::string> messages)
{
    return Reply {std::move(messages), Reply::Late, 0};
}
Reply never()
{
    return Reply {{}, Reply::Never, 0};
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
        KeyMasterTestAccess::shortenScenarioWaits(*km, 1000);
    }
    bool connect() { return km->messageQueuesConnect(); }
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

    // A client started for the restore may bring its daemon up after the
    // first second: the connection looks for the daemon's queues again for
    // a bounded time instead of failing at once, and shows the usual error
    // when they never come.
    void daemonUpAfterTheClientStarted()
    {
        ScriptedRunner runner;
        runner.answer("", 0); // the host name and the client's start
        for (const bool comes : {true, false}) {
            shown = std::make_unique<NotifierCapture>();
            Linked l({in({"ok"}), in({kAuthenticated})});
            KeyMasterTestAccess::shortenScenarioWaits(*l.km, 15); // 2 s for the daemon
            {
                std::lock_guard<std::mutex> g(l.link->lock);
                l.link->queuesThere = false;
            }
            QTimer daemonUp; // scoped: never fires after this round
            daemonUp.setSingleShot(true);
            daemonUp.setTimerType(Qt::PreciseTimer); // a coarse one may fire 5 % early
            QObject::connect(&daemonUp, &QTimer::timeout, [&] {
                std::lock_guard<std::mutex> g(l.link->lock);
                l.link->queuesThere = true;
            });
            if (comes)
                daemonUp.start(1500);
            QElapsedTimer took;
            took.start();
            l.km->connectToRestoreServer(kServer, "secret");
            const qint64 ms = took.elapsed();
            const bool failedToOpen = shown->errors().contains("Try to open message queues");
            QVERIFY2(ms >= (comes ? 1450 : 2000) && ms < 5000, qPrintable(QString::number(ms)));
            QCOMPARE(failedToOpen, !comes);
            QCOMPARE(l.link->requests.empty(), !comes);
            if (comes)
                QCOMPARE(l.link->requests.front().rfind("HELLO", 0), std::size_t(0));
        }
    }

    // The connection requests see the unread request and give up at once;
    // the others wait for room in the full queue until the deadline (10 s
    // from the whole second the exchange began).
    void daemonNotReadingRequests()
    {
        Linked l;
        QVERIFY(l.connect());
        l.link->requestQueueFull = true;
        QVERIFY(!l.km->helloDaemon(kServer));
        QVERIFY(!l.km->disconnect());
        std::vector<sv_archive_short> list(2);
        l.km->ask_archives(list, kWeb01);
        const double deadline = l.link->lastDeadlineSeconds();
        QVERIFY2(deadline > 8.8 && deadline <= 10.0, qPrintable(QString::number(deadline)));
        QCOMPARE(shown->errors(),
            QStringList({"It looks like Sarvelin key client process doesn's work now or doesn't read messages from "
                         "svkey",
                "It looks like Sarvelin key client process doesn's work now or doesn't read messages from SVC",
                "It looks like Sarvelin client process doesn's work now. Unable to send message to client's process"}));
        QCOMPARE(list.size(), std::size_t(2));
        // A send that timed out closed the channel.
        QVERIFY(!KeyMasterTestAccess::answerQueueOpen(*l.km) && !KeyMasterTestAccess::requestQueueOpen(*l.km));
        QVERIFY(l.link->allCallsOnOneThreadBut(std::this_thread::get_id()));
    }

    // The length message, then the payload in parts of at most 102400 bytes.
    void payloadFraming_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("parts");
        QTest::newRow("one byte short of a message") << 102399 << 1;
        QTest::newRow("one full message") << 102400 << 1;
        QTest::newRow("one byte beyond") << 102401 << 2;
        QTest::newRow("three parts") << 204801 << 3;
    }
    void payloadFraming()
    {
        QFETCH(int, bytes);
        QFETCH(int, parts);
        const std::string payload = archivesOfSize(std::size_t(bytes));
        QCOMPARE(payload.size(), std::size_t(bytes));
        Linked l({in(listAnswer("TAKE ARCHIVES TYPE LIST", payload))});
        QVERIFY(l.connect());
        std::vector<sv_archive_short> list;
        l.km->ask_archives(list, kWeb01);
        QCOMPARE(l.link->requests, std::vector<std::string> {"GET ARCHIVES LIST SV KEY:" + kWeb01 + ":rescue_image"});
        QCOMPARE(l.link->receives, 2 + parts);
        QCOMPARE(l.link->waitingAnswers(), std::size_t(0));
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
        QVERIFY(shown->shown.isEmpty());
    }

    // A payload that does not decode, or whose last part never comes:
    // shown as a receive failure, the list emptied, and the link in step
    // for the next request.
    void undecodableOrMissingPayloads_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("dropParts");
        QTest::newRow("malformed archive list") << QByteArray("GET ARCHIVES LIST") << 0;
        QTest::newRow("archive list missing its last part") << QByteArray("GET ARCHIVES LIST") << 1;
        QTest::newRow("malformed client list") << QByteArray("GET CLIENT LIST") << 0;
        QTest::newRow("malformed plan") << QByteArray("GET DISASTER RECOVERY PLAN") << 0;
    }
    void undecodableOrMissingPayloads()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, dropParts);
        const std::string junk = dropParts ? archivesOfSize(250000) : "this is not an archive of the expected records ";
        const std::string keyword = request == "GET CLIENT LIST" ? "TAKE CLIENT LIST"
            : request == "GET ARCHIVES LIST"                     ? "TAKE ARCHIVES TYPE LIST"
                                                                 : "TAKE DISASTER RECOVERY PLAN";
        Linked l({in(listAnswer(keyword, junk, dropParts)), in(listAnswer("TAKE CLIENT LIST", clientList()))});
        QVERIFY(l.connect());
        QMap<QString, QString> clients {{"old", "entry"}};
        std::vector<sv_archive_short> list(3);
        if (request == "GET CLIENT LIST") {
            l.km->ask_client_list(clients);
            QVERIFY(clients.isEmpty());
        } else if (request == "GET ARCHIVES LIST") {
            l.km->ask_archives(list, kWeb01);
            QVERIFY(list.empty());
        } else {
            disaster_recovery_plan_record entry;
            entry.set_id(9);
            QVERIFY(l.km->drpManager()->fillPlan(sv_payload::encode_recovery_plan({entry})));
            QVERIFY(!l.km->askDisasterRecoveryPlan(kWeb01));
            QVERIFY(l.km->drpManager()->plan().empty());
            QCOMPARE(l.km->drpManager()->getDrpModel()->rowCount(), 0);
        }
        QCOMPARE(shown->errors(), QStringList({kClientReceiveFailure}));
        QCOMPARE(shown->shown.first().details.isEmpty(), dropParts == 1);
        if (dropParts)
            QVERIFY(l.connect()); // a missing part closed the channel
        l.km->ask_client_list(clients);
        QCOMPARE(clients.size(), 3);
    }

    // A length that is not a number reads as 0: exactly one payload message
    // is taken. A two-digit length overwrites only the keyword's first two
    // characters and still ends at the next letter.
    void lengthMessages()
    {
        std::vector<sv_archive_short> two(2);
        two[1].set_name("second");
        const std::string clients = sv_payload::encode_client_list({{"a", "b"}});
        QVERIFY(clients.size() >= 10 && clients.size() < 100);
        Linked l({in({"TAKE ARCHIVES TYPE LIST", "many", sv_payload::encode_archive_list(two), "LEFT OVER"}),
            in({"TAKE CLIENT LIST", std::to_string(clients.size()), clients})});
        QVERIFY(l.connect());
        std::vector<sv_archive_short> list;
        l.km->ask_archives(list, "AA:BB");
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[1].get_name(), std::string("second"));
        QCOMPARE(l.link->waitingAnswers(), std::size_t(1));
        QMap<QString, QString> map;
        l.km->ask_client_list(map);
        QCOMPARE(map, (QMap<QString, QString> {{"b", "a"}}));
        QVERIFY(shown->shown.isEmpty());
        QVERIFY(logContains("dropped 1 unread answer(s) of an earlier request"));
    }

    // An answer waiting before the queues are opened, or before a request is
    // sent, belongs to an earlier request and is never read for this one;
    // nor is an answer that came after the deadline. Only the exact word
    // greets; a terminating zero ends the text.
    void answersOfEarlierRequestsAreDropped()
    {
        Linked l({in({"CLIENT NOT AUTHENTICATED"}), in({"CLIENT NOT AUTHENTICATED"}), in({"ok "}),
            in({std::string("ok\0", 3)}), late({kAuthenticated}), in({"CLIENT NOT AUTHENTICATED"}),
            in({kAuthenticated}), in(listAnswer("TAKE CLIENT LIST", clientList()))});
        l.link->addAnswer(kAuthenticated);
        QVERIFY(l.connect());
        QVERIFY(!l.km->svkey_client_authentication("web01", KeyMaster::hashPassword("guess")));
        l.link->addAnswer(kAuthenticated);
        QVERIFY(!l.km->svkey_client_authentication("web01", KeyMaster::hashPassword("guess")));
        QCOMPARE(shown->errors(), QStringList({"Wrong password", "Wrong password"}));
        l.link->addAnswer("ok");
        QVERIFY(!l.km->helloDaemon(kServer));
        QVERIFY(l.km->helloDaemon(kServer));
        QCOMPARE(shown->shown.size(), 2);

        // The late "SV KEY AUTHENTICATED" of the key password must never
        // stand for the answer to a wrong client password.
        QVERIFY(!l.km->svkey_authentication(KeyMaster::hashPassword("key-secret")));
        QCOMPARE(shown->errors().last(), kClientReceiveFailure);
        QVERIFY(!KeyMasterTestAccess::answerQueueOpen(*l.km) && !KeyMasterTestAccess::requestQueueOpen(*l.km));
        QCOMPARE(l.link->waitingAnswers(), std::size_t(1));
        QVERIFY(l.connect());
        QVERIFY(!l.km->svkey_client_authentication("web01", KeyMaster::hashPassword("not the password")));
        QCOMPARE(shown->errors().last(), QString("Wrong password"));
        QVERIFY(l.km->svkey_authentication(KeyMaster::hashPassword("key-secret")));
        QMap<QString, QString> clients;
        l.km->ask_client_list(clients);
        QCOMPARE(clients.size(), 3);
    }

    void libraryErrorsInsideRequests()
    {
        // Messages longer than the 102400-byte receive buffer: every receive
        // fails in the queue library.
        Linked l;
        l.link->largestMessage = 204800;
        QVERIFY(l.connect());
        QVERIFY(!l.km->helloDaemon(kServer));
        QVERIFY(!l.km->disconnect());
        QCOMPARE(l.link->requests, (std::vector<std::string> {"HELLO:10.0.0.5:9991:9993:", "DISCONNECT"}));
        QCOMPARE(shown->errors().size(), 2);
        QVERIFY(shown->shown.at(0).msg.startsWith("hello_daemon to 10.0.0.5: "));
        QVERIFY(shown->shown.at(1).msg.startsWith("disconnect server was failed: "));
        shown->shown.clear();

        std::vector<sv_archive_short> list(3);
        l.km->ask_archives(list, kWeb01);
        QCOMPARE(list.size(), std::size_t(3));
        QMap<QString, QString> clients {{"kept", "x"}};
        l.km->ask_client_list(clients);
        QCOMPARE(clients.size(), 1);
        QVERIFY(!l.km->askDisasterRecoveryPlan(kWeb01));
        QVERIFY(!l.km->svkey_authentication(KeyMaster::hashPassword("key-secret")));
        QVERIFY(!l.km->svkey_client_authentication("web01", KeyMaster::hashPassword("x")));
        QCOMPARE(shown->errors(), QVector<QString>(5, kClientReceiveFailure).toList());
        for (const Shown& s : shown->shown)
            QVERIFY(!s.details.isEmpty());
        shown->shown.clear();

        QVERIFY(!l.km->launchRestoreArchive("hash", "/dev/sda"));
        QCOMPARE(shown->errors(), QStringList({"Sarvelin client process doesn's work"}));
        QCOMPARE(shown->shown.at(0).details, kClientReceiveFailure);
        QCOMPARE(l.km->getTaskStatus("ASK LAST BACKUP STATUS"), 0u);
        QVERIFY(logContains("svkey_getstatus exception:"));
        QVERIFY(logContains("svkey_getstatus out"));
        QCOMPARE(shown->shown.size(), 1);
    }

    // Every password travels as its MD5-crypt with the one salt.
    void passwordHash()
    {
        QCOMPARE(KeyMaster::hashPassword("key-secret"), std::string(::crypt("key-secret", "$1$q8vzt2mw$")));
        QVERIFY(KeyMaster::hashPassword("key-secret").rfind("$1$q8vzt2mw$", 0) == 0);
        Linked l({in({kAuthenticated})});
        QVERIFY(l.connect());
        QVERIFY(l.km->svkey_client_authentication("web01", KeyMaster::hashPassword("web01-secret")));
        QCOMPARE(l.link->requests.back(), "SV KEY CLIENT PASSWORD:web01:" + KeyMaster::hashPassword("web01-secret"));
    }

    // The status polls of both scenarios: the statuses the daemon gives, in
    // order, until a final one (or the backup's poll budget is spent).
    void statusPolls_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("logged");
        QTest::newRow("backup assigned, then done")
            << false << QStringList {"LAST BACKUP STATUS:2", "LAST BACKUP STATUS:2", "LAST BACKUP STATUS:5"} << true
            << 3 << "Got fine status of task: Task was successsully done";
        QTest::newRow("backup bad final status")
            << false << QStringList {"LAST BACKUP STATUS:2", "LAST BACKUP STATUS:8"} << false << 2
            << "Got bad status of task: Task finished with error";
        QTest::newRow("backup status never final") << false << QStringList {"LAST BACKUP STATUS:2"} << false << 180
                                                   << "Can`t get one of supported statuses of task";
        QTest::newRow("backup status request refused")
            << false << QStringList {"BUSY"} << false << 1 << "Got bad status of task: Task finished with wrong status";
        QTest::newRow("restore assigned, then done")
            << true << QStringList {"LAST RESTORE STATUS:2", "LAST RESTORE STATUS:2", "LAST RESTORE STATUS:15"} << true
            << 3 << "Got fine final status of task:";
        QTest::newRow("restore bad final status")
            << true << QStringList {"LAST RESTORE STATUS:2", "LAST RESTORE STATUS:14"} << false << 2
            << "Got bad status of task:";
        QTest::newRow("restore answer lost")
            << true << QStringList {"LAST RESTORE STATUS:2", "<never>"} << false << 2 << "Got bad status of task:";
    }
    void statusPolls()
    {
        QFETCH(bool, restore);
        QFETCH(QStringList, answers);
        QFETCH(bool, result);
        QFETCH(int, requests);
        QFETCH(QString, logged);
        Linked l;
        for (const QString& answer : answers)
            l.link->script.push_back(answer == "<never>" ? never() : in({answer.toStdString()}));
        const std::string last = answers.last().toStdString();
        l.link->respond = [last](const std::string&) { return in({last}); };
        QVERIFY(l.connect());
        QCOMPARE(restore ? KeyMasterTestAccess::didRestoreEndFine(*l.km) : KeyMasterTestAccess::didBackupEndFine(*l.km),
            result);
        QCOMPARE(int(l.link->requests.size()), requests);
        const std::string asked = restore ? "ASK LAST RESTORE STATUS" : "ASK LAST BACKUP STATUS";
        QCOMPARE(l.link->requests, std::vector<std::string>(std::size_t(requests), asked));
        QVERIFY2(logContains(logged), qPrintable(logged));
        // The channel is closed after the polls.
        QVERIFY(!KeyMasterTestAccess::answerQueueOpen(*l.km));
        QCOMPARE(shown->errors(), answers.contains("<never>") ? QStringList {kClientReceiveFailure} : QStringList());
    }

    // A call that waits on the link thread (an answer 0.8 s late, within the
    // deadline) leaves the window's events flowing: what a page calls
    // meanwhile is refused, and leaving mid-call ends the operation after
    // the call. A controller that ends holding the named mutex gives it
    // back on the thread that took it.
    void windowAliveDuringSlowCalls()
    {
        Linked l({in({"ok"}, 800), in({"SV KEY AUTHENTICATED"}, 800)});
        QVERIFY(l.km->lockClientMutex() && l.connect());
        // The longest pause of the event loop, less the time the thread only
        // waited for a CPU.
        QElapsedTimer sinceTick, clock;
        qint64 longest = 0, waitedForCpu = runQueueWaitMs();
        QTimer ticks;
        ticks.setInterval(5);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 cpuWait = runQueueWaitMs();
            longest = qMax(longest, sinceTick.restart() - (cpuWait - waitedForCpu));
            waitedForCpu = cpuWait;
        });
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
        sinceTick.start();
        clock.start();
        ticks.start();
        {
            KeyMaster::OperationScope connecting(*l.km, KeyMaster::Operation::Connecting, "test");
            QVERIFY(connecting.granted());
            QVERIFY(l.km->helloDaemon(kServer));
        }
        const qint64 helloMs = clock.elapsed();
        ticks.stop();
        std::printf("slow answer: %lld ms, longest pause of the event loop %lld ms\n", helloMs, longest);
        QVERIFY2(helloMs >= 800 && longest <= 100,
            qPrintable(QString("%1 ms, longest pause %2 ms").arg(helloMs).arg(longest)));
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
            KeyMaster::OperationScope connecting(*l.km, KeyMaster::Operation::Connecting, "test");
            QVERIFY(l.km->svkey_authentication(KeyMaster::hashPassword("key-secret")));
        }
        QVERIFY(clock.elapsed() >= 800 && clock.elapsed() < 2000);
        QVERIFY(!KeyMaster::OperationScope(*l.km, KeyMaster::Operation::Connecting, "test").granted());
        QVERIFY(l.link->allCallsOnOneThreadBut(std::this_thread::get_id()));

        bool lockedWhenEnded = true, unlockedWhereLocked = false;
        l.link->atEnd = [&](const FakeDaemonLink& link) {
            lockedWhenEnded = link.mutexLocked;
            unlockedWhereLocked = link.unlockedOn == link.lockedOn && link.lockedOn != std::thread::id()
                && std::this_thread::get_id() == link.lockedOn;
        };
        l.km.reset();
        QVERIFY(!lockedWhenEnded && unlockedWhereLocked);
    }
};

QTEST_MAIN(TestLinkLogic)
#include "tst_link_logic.moc"
