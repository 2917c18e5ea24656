// Faults of the key client link: no daemon, half-open queues, a daemon that
// stopped reading, payload framing, answers that fill the buffer or do not
// decode, answers left from earlier requests, queue-library errors; and the
// 10-second deadline: a silent daemon, a late answer that must not be read by
// the next request, a full request queue, a payload whose last part never
// comes. Sequences the daemon stand-in cannot produce come
// from queues the test makes, with a thread answering each request.

#include "link_support.h"

#include "sv_payload_decode.h"

#include <atomic>
#include <thread>

using namespace link_test;
namespace bip = boost::interprocess;

namespace {

using Script = std::vector<std::vector<std::string>>;

// Queues made by the test instead of a daemon; with a script, a thread takes
// each request and sends the next group of answers.
struct ScriptedDaemon
{
    explicit ScriptedDaemon(Script script = {}, std::size_t maxMessage = 102400)
    {
        remove();
        answers = std::make_unique<bip::message_queue>(bip::create_only, kAnswerQueue, 20, maxMessage);
        requests = std::make_unique<bip::message_queue>(bip::create_only, kRequestQueue, 20, maxMessage);
        if (!script.empty())
            responder = std::thread([this, script] { respond(script); });
    }
    ~ScriptedDaemon()
    {
        stop = true;
        if (responder.joinable())
            responder.join();
        answers.reset();
        requests.reset();
        remove();
    }
    static void remove()
    {
        bip::message_queue::remove(kAnswerQueue);
        bip::message_queue::remove(kRequestQueue);
    }
    void answer(const std::string& message) { answers->send(message.data(), message.size(), 0); }
    // The next request, without a responder.
    std::string takeRequest()
    {
        std::string buffer(requests->get_max_msg_size(), '\0');
        bip::message_queue::size_type received = 0;
        unsigned int priority = 0;
        if (!requests->try_receive(&buffer[0], buffer.size(), received, priority))
            return "<none>";
        buffer.resize(received);
        return buffer;
    }
    std::unique_ptr<bip::message_queue> answers;
    std::unique_ptr<bip::message_queue> requests;

private:
    void respond(const Script& script)
    {
        for (const auto& group : script) {
            std::string request;
            while (!stop && (request = takeRequest()) == "<none>")
                QThread::msleep(5);
            if (stop)
                return;
            for (const std::string& message : group)
                answer(message);
        }
    }
    std::atomic<bool> stop { false };
    std::thread responder;
};

void sendRaw(const std::string& text)
{
    bip::message_queue q(bip::open_only, kRequestQueue);
    q.send(text.data(), text.size(), 0);
}

// Runs `request` and checks it gave up at the deadline (whole seconds of
// UTC time plus 10: between 9 and 10 seconds, plus scheduling slack).
void checkDeadline(const std::function<void()>& request)
{
    QElapsedTimer t;
    t.start();
    request();
    QVERIFY2(t.elapsed() >= 8900 && t.elapsed() <= 10800, qPrintable(QString::number(t.elapsed())));
}

} // namespace

class TestLinkFaults : public QObject
{
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase() { LINK_TEST_IN_SANDBOX_ONLY(); }
    void init() { f.reset(); }
    void cleanup()
    {
        f.daemon.stop();
        ScriptedDaemon::remove();
    }

    void daemonAbsentHalfThereOrClosed()
    {
        KeyMaster km;
        QVERIFY(!km.messageQueuesConnect());
        QCOMPARE(f.shown->errors(), QStringList({ "Try to open message queues" }));
        const QString details = f.shown->shown.first().details;
        QVERIFY(details.startsWith("Try to open message queues to communicate with Sarvelin key client. "
                                   "It looks like Sarvelin key clients doesn't work on this host. "));
        QVERIFY2(details.endsWith("No such file or directory"), qPrintable(details));
        QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km));
        QVERIFY(!KeyMasterTestAccess::requestQueueOpen(km));

        // Only the answer queue: half open, and closing says which is missing.
        bip::message_queue answers(bip::create_only, kAnswerQueue, 4, 102400);
        QVERIFY(!km.messageQueuesConnect());
        QVERIFY(KeyMasterTestAccess::answerQueueOpen(km));
        QVERIFY(!KeyMasterTestAccess::requestQueueOpen(km));
        QVERIFY(!km.messageQueuesClose());
        QVERIFY(logContains("Message queues close, but queue 'Manager to client' is empty"));
        QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km));
        // The tool never removes a queue.
        QVERIFY(QFile::exists(QString("/dev/shm/") + kAnswerQueue));

        // Every request fails without its queues, and says so or logs it.
        f.shown->shown.clear();
        QVERIFY(!km.helloDaemon(kServer));
        QVERIFY(!km.disconnect());
        QCOMPARE(f.shown->errors(), QVector<QString>(2, "There is no connection to Sarvelin client process").toList());
        f.shown->shown.clear();
        QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
        QVERIFY(logContains("queue from manager to client is empty"));
        QCOMPARE(km.getTaskStatus("ASK LAST BACKUP STATUS"), 0u);
        QVERIFY(logContains("zero queue"));
        QVERIFY(f.shown->shown.isEmpty());
        std::vector<sv_archive_short> list(2);
        km.ask_archives(list, kWeb01);
        QCOMPARE(list.size(), std::size_t(2));
        QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
        QVERIFY(!km.svkey_client_authentication("web01", "hash"));
        QVERIFY(!km.launchRestoreArchive("hash", "/dev/sda"));
        QCOMPARE(f.shown->errors().size(), 4);
    }

    // The connection requests see the unread request and give up at once;
    // the others wait for room in the full queue until the deadline.
    void daemonNotReadingRequests()
    {
        QByteArray scenario = baseScenario();
        scenario.replace("queue_capacity = 10", "queue_capacity = 1");
        QVERIFY(f.daemon.start(fault("PING", "stop_reading"), scenario));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        sendRaw("PING");
        QVERIFY(waitFor([] { return Daemon::log().contains("FAULT stop_reading"); }));
        sendRaw("PING AGAIN");
        QVERIFY(!km.helloDaemon(kServer));
        QVERIFY(!km.disconnect());
        // Neither request was queued behind the unread one, which fills the queue.
        bip::message_queue requests(bip::open_only, kRequestQueue);
        QCOMPARE(requests.get_num_msg(), requests.get_max_msg());
        std::vector<sv_archive_short> list(2);
        checkDeadline([&] { km.ask_archives(list, kWeb01); });
        QCOMPARE(f.shown->errors(), QStringList({
            "It looks like Sarvelin key client process doesn's work now or doesn't read messages from svkey",
            "It looks like Sarvelin key client process doesn's work now or doesn't read messages from SVC",
            "It looks like Sarvelin client process doesn's work now. Unable to send message to client's process" }));
        QCOMPARE(list.size(), std::size_t(2));
    }

    // The length message, then the payload in parts of at most 102400 bytes.
    void payloadFraming_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("parts");
        QTest::newRow("one byte short of a message") << QByteArray("102399") << 1;
        QTest::newRow("one full message") << QByteArray("102400") << 1;
        QTest::newRow("one byte beyond") << QByteArray("102401") << 2;
        QTest::newRow("three parts") << QByteArray("204801") << 3;
    }

    void payloadFraming()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, parts);
        QVERIFY(f.daemon.start(QByteArray(), withWeb01Keys("archives_payload_bytes = " + bytes)));
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        std::vector<sv_archive_short> list;
        km.ask_archives(list, kWeb01);
        const QStringList answers = Daemon::answersToLast(2 + parts);
        QCOMPARE(answers.size(), 2 + parts);
        QCOMPARE(bip::message_queue(bip::open_only, kAnswerQueue).get_num_msg(), bip::message_queue::size_type(0));
        QCOMPARE(answers.at(1), QString::fromLatin1(bytes));
        QVERIFY(answers.at(2).endsWith(parts == 1 ? "...(" + bytes + " bytes)" : "...(102400 bytes)"));
        if (parts > 1)
            QVERIFY(!answers.last().contains("bytes)"));
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
        QVERIFY(list[1].get_aux_text_1().size() > 90000);   // the padding
        QVERIFY(f.shown->shown.isEmpty());
    }

    void answerFillingTheWholeBuffer()
    {
        QVERIFY(f.daemon.start(fault("ASK LAST RESTORE STATUS", "oversize") + fault("HELLO", "oversize", nullptr, 2)));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        sendRaw("ASK LAST RESTORE STATUS");
        bool ok = false;
        const std::string answer = KeyMasterTestAccess::receiveOne(km, &ok);
        QVERIFY(ok);
        // Read up to its length: every byte of the message, nothing behind it.
        QCOMPARE(answer.size(), std::size_t(102400));
        QVERIFY(answer.compare(0, 21, "LAST RESTORE STATUS:0") == 0);
        QCOMPARE(answer.find_first_not_of('X', 21), std::string::npos);
        QVERIFY(!km.helloDaemon(kServer));
        QVERIFY(f.shown->shown.isEmpty());
    }

    // A payload that does not decode: shown as a receive failure, the list
    // emptied, and the link still in step for the next request.
    void undecodablePayloads_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("malformed archive list") << QByteArray("GET ARCHIVES LIST") << QByteArray("malformed");
        QTest::newRow("truncated archive list") << QByteArray("GET ARCHIVES LIST") << QByteArray("truncated");
        QTest::newRow("malformed client list") << QByteArray("GET CLIENT LIST") << QByteArray("malformed");
        QTest::newRow("malformed plan") << QByteArray("GET DISASTER RECOVERY PLAN") << QByteArray("malformed");
    }

    void undecodablePayloads()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, kind);
        QVERIFY(f.daemon.start(fault(request.constData(), kind.constData(), nullptr, 1, 1)));
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        QMap<QString, QString> clients { { "old", "entry" } };
        std::vector<sv_archive_short> list(3);
        if (request == "GET CLIENT LIST") {
            km.ask_client_list(clients);
            QVERIFY(clients.isEmpty());
        } else if (request == "GET ARCHIVES LIST") {
            km.ask_archives(list, kWeb01);
            QVERIFY(list.empty());
        } else {
            disaster_recovery_plan_record entry;
            entry.set_id(9);
            QVERIFY(km.drpManager()->fillPlan(sv_payload::encode_recovery_plan({ entry })));
            QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
            QVERIFY(km.drpManager()->plan().empty());
            QCOMPARE(km.drpManager()->getDrpModel()->rowCount(), 0);
        }
        QCOMPARE(f.shown->errors(), QStringList({ kClientReceiveFailure }));
        QVERIFY(!f.shown->shown.first().details.isEmpty());
        km.ask_client_list(clients);
        QCOMPARE(clients.size(), 3);
    }

    // A length that is not a number reads as 0: exactly one payload message
    // is taken. A two-digit length overwrites only the keyword's first two
    // characters and still ends at the next letter.
    void lengthMessages()
    {
        std::vector<sv_archive_short> two(2);
        two[1].set_name("second");
        const std::string clients = sv_payload::encode_client_list({ { "a", "b" } });
        QVERIFY(clients.size() >= 10 && clients.size() < 100);
        ScriptedDaemon daemon({ { "TAKE ARCHIVES TYPE LIST", "many", sv_payload::encode_archive_list(two), "LEFT OVER" },
                                { "TAKE CLIENT LIST", std::to_string(clients.size()), clients } });
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        std::vector<sv_archive_short> list;
        km.ask_archives(list, "AA:BB");
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[1].get_name(), std::string("second"));
        QVERIFY(waitFor([&] { return daemon.answers->get_num_msg() == 1; }));
        QMap<QString, QString> map;
        km.ask_client_list(map);
        QCOMPARE(map, (QMap<QString, QString> { { "b", "a" } }));
        QVERIFY(f.shown->shown.isEmpty());
    }

    // An answer waiting before the queues are opened, or before a request is
    // sent, belongs to an earlier request and is never read for this one.
    void answersOfEarlierRequestsAreDropped()
    {
        ScriptedDaemon daemon({ { "CLIENT NOT AUTHENTICATED" }, { "CLIENT NOT AUTHENTICATED" }, { "ok " },
                                { std::string("ok\0", 3) } });
        daemon.answer("SV KEY AUTHENTICATED");
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        QVERIFY(!km.svkey_client_authentication("web01", KeyMaster::hashPassword("guess")));
        daemon.answer("SV KEY AUTHENTICATED");
        QVERIFY(!km.svkey_client_authentication("web01", KeyMaster::hashPassword("guess")));
        QCOMPARE(f.shown->errors(), QStringList({ "Wrong password", "Wrong password" }));
        // Only the exact word greets; a terminating zero ends the text.
        daemon.answer("ok");
        QVERIFY(!km.helloDaemon(kServer));
        QVERIFY(km.helloDaemon(kServer));
        QCOMPARE(f.shown->shown.size(), 2);
    }

    void libraryErrorsInsideRequests()
    {
        // Messages longer than the 102400-byte receive buffer: every receive
        // fails in the queue library.
        ScriptedDaemon queues({}, 204800);
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());

        // The connection requests check for unread requests first: keep the
        // request queue empty for them.
        QVERIFY(!km.helloDaemon(kServer));
        QCOMPARE(queues.takeRequest(), std::string("HELLO:10.0.0.5:9991:9993:"));
        QVERIFY(!km.disconnect());
        QCOMPARE(queues.takeRequest(), std::string("DISCONNECT"));
        QCOMPARE(f.shown->errors().size(), 2);
        QVERIFY(f.shown->shown.at(0).msg.startsWith("hello_daemon to 10.0.0.5: "));
        QVERIFY(f.shown->shown.at(1).msg.startsWith("disconnect server was failed: "));
        f.shown->shown.clear();

        std::vector<sv_archive_short> list(3);
        km.ask_archives(list, kWeb01);
        QCOMPARE(list.size(), std::size_t(3));
        QMap<QString, QString> clients { { "kept", "x" } };
        km.ask_client_list(clients);
        QCOMPARE(clients.size(), 1);
        QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
        QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
        QVERIFY(!km.svkey_client_authentication("web01", KeyMaster::hashPassword("x")));
        QCOMPARE(f.shown->errors(), QVector<QString>(5, kClientReceiveFailure).toList());
        for (const Shown& s : f.shown->shown)
            QVERIFY(!s.details.isEmpty());
        f.shown->shown.clear();

        QVERIFY(!km.launchRestoreArchive("hash", "/dev/sda"));
        QCOMPARE(f.shown->errors(), QStringList({ "Sarvelin client process doesn's work" }));
        QCOMPARE(f.shown->shown.at(0).details, kClientReceiveFailure);
        QCOMPARE(km.getTaskStatus("ASK LAST BACKUP STATUS"), 0u);
        QVERIFY(logContains("svkey_getstatus exception:"));
        QVERIFY(logContains("svkey_getstatus out"));
        QCOMPARE(f.shown->shown.size(), 1);
    }

    // The 10-second deadline of a request (real deadlines: kept to the few
    // that need one).
    void silentDaemon()
    {
        QVERIFY(f.daemon.start(fault("HELLO", "never")));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        checkDeadline([&] { QVERIFY(!km.helloDaemon(kServer)); });
        QCOMPARE(f.shown->errors(), QStringList({
            "It looks like Sarvelin key client process doesn's work now. Unable to recieve message from client's process" }));
    }

    // The late "SV KEY AUTHENTICATED" of the key password must never stand
    // for the answer to a wrong client password.
    void lateAnswerIsNeverTakenForTheNextRequest()
    {
        QVERIFY(f.daemon.start("[fault 1]\nrequest = SV KEY PASSWORD\nkind = late\ndelay = 11\ntimes = 1\n"));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        QVERIFY(km.helloDaemon(kServer));
        checkDeadline([&] { QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("key-secret"))); });
        QCOMPARE(f.shown->errors(), QStringList({ kClientReceiveFailure }));
        // The channel was closed at the deadline.
        QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km) && !KeyMasterTestAccess::requestQueueOpen(km));

        QVERIFY(waitForPendingAnswer(3000));
        QVERIFY(km.messageQueuesConnect());
        QVERIFY(!km.svkey_client_authentication("web01", KeyMaster::hashPassword("not the password")));
        QCOMPARE(f.shown->errors(), QStringList({ kClientReceiveFailure, "Wrong password" }));
        // The link is in step: the next request reads its own answer.
        QVERIFY(km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
        QMap<QString, QString> clients;
        km.ask_client_list(clients);
        QCOMPARE(clients.size(), 3);
    }

    void missingPayloadPart()
    {
        QVERIFY(f.daemon.start(fault("GET ARCHIVES LIST", "truncated"), withWeb01Keys("archives_payload_bytes = 250000")));
        KeyMaster km;
        QVERIFY(connectAndAuthenticate(km));
        std::vector<sv_archive_short> list(2);
        checkDeadline([&] { km.ask_archives(list, kWeb01); });
        // The list was emptied when the keyword came, and stays empty.
        QVERIFY(list.empty());
        QCOMPARE(f.shown->errors(), QStringList({ kClientReceiveFailure }));
    }
};

QTEST_MAIN(TestLinkFaults)
#include "tst_link_faults.moc"
