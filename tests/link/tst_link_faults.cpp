// Faults of the key client link that end without waiting for a deadline:
// no daemon, half-open queues, a daemon that stopped reading, payloads at and
// beyond one message, answers that fill the whole buffer, payloads that do
// not decode and queue-library errors inside requests. Where the daemon
// stand-in cannot produce an answer sequence, the test creates the queues
// itself and places the answers in advance (answers are never flushed before
// a request, so they are read as the answers to the next requests).

#include "link_support.h"

#include "sv_payload_decode.h"

using link_test::Daemon;
using link_test::NotifierCapture;
namespace bip = boost::interprocess;

namespace {

const char* const kAnswerQueue = "Sarvelin_client_to_SVKEY_MQ";
const char* const kRequestQueue = "Sarvelin_SVKEY_to_client_MQ";
const std::string kWeb01 = "52:54:00:1a:2b:01";
const QString kClientReceiveFailure =
    "It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process";

// Queues made by the test instead of a daemon.
struct ScriptedQueues
{
    explicit ScriptedQueues(std::size_t maxMessage = 102400)
    {
        remove();
        answers = std::make_unique<bip::message_queue>(bip::create_only, kAnswerQueue, 20, maxMessage);
        requests = std::make_unique<bip::message_queue>(bip::create_only, kRequestQueue, 20, maxMessage);
    }
    ~ScriptedQueues()
    {
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
};

void sendRaw(const std::string& text)
{
    bip::message_queue q(bip::open_only, kRequestQueue);
    q.send(text.data(), text.size(), 0);
}

bool waitForLogged(const QString& text)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3000) {
        if (Daemon::log().contains(text))
            return true;
        QThread::msleep(10);
    }
    return false;
}

std::vector<sv_archive_short> twoArchives()
{
    std::vector<sv_archive_short> list(2);
    list[0].set_id(77);
    list[0].set_name("first");
    list[1].set_id(78);
    list[1].set_name("second");
    return list;
}

QByteArray clientSection(const char* extra)
{
    QByteArray scenario = link_test::baseScenario();
    scenario.replace("password = web01-secret\n", QByteArray("password = web01-secret\n") + extra + "\n");
    return scenario;
}

} // namespace

class TestLinkFaults : public QObject
{
    Q_OBJECT

private:
    bool connectAndAuthenticate(KeyMaster& km)
    {
        return km.messageQueuesConnect() && km.helloDaemon("10.0.0.5")
            && km.svkey_authentication(KeyMaster::hashPassword("key-secret"));
    }

    Daemon daemon;
    NotifierCapture* shown = nullptr;

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void daemonAbsent();
    void onlyTheAnswerQueueExists();
    void daemonNotReadingRequests();
    void payloadOfOneFullMessage();
    void payloadOneByteBeyond();
    void planOverSeveralParts();
    void answerFillingTheWholeBuffer();
    void malformedArchiveList();
    void malformedClientList();
    void malformedPlan();
    void truncatedArchive();
    void lengthThatIsNotANumber();
    void twoDigitLengthOverTheKeyword();
    void helloOkWithTrailingBlank();
    void libraryErrorsInsideRequests();
    void requestsWithClosedQueues();
};

void TestLinkFaults::initTestCase()
{
    if (!link_test::insideSandbox())
        QSKIP("runs only inside the sandbox (sandbox/sv-sandbox)");
    link_test::installLogCapture();
}

void TestLinkFaults::init()
{
    link_test::logLines().clear();
    delete shown;
    shown = new NotifierCapture;
}

void TestLinkFaults::cleanup()
{
    daemon.stop();
    ScriptedQueues::remove();
}

void TestLinkFaults::daemonAbsent()
{
    KeyMaster km;
    QVERIFY(!km.messageQueuesConnect());
    QCOMPARE(shown->errors(), QStringList({ "Try to open message queues" }));
    const QString details = shown->shown.first().details;
    QVERIFY(details.startsWith("Try to open message queues to communicate with Sarvelin key client. "
                               "It looks like Sarvelin key clients doesn't work on this host. "));
    QVERIFY2(details.endsWith("No such file or directory"), qPrintable(details));
    QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km));
    QVERIFY(!KeyMasterTestAccess::requestQueueOpen(km));
}

void TestLinkFaults::onlyTheAnswerQueueExists()
{
    bip::message_queue answers(bip::create_only, kAnswerQueue, 4, 102400);
    KeyMaster km;
    QVERIFY(!km.messageQueuesConnect());
    QVERIFY(KeyMasterTestAccess::answerQueueOpen(km));
    QVERIFY(!KeyMasterTestAccess::requestQueueOpen(km));
    QVERIFY(!km.messageQueuesClose());
    QVERIFY(link_test::logContains("Message queues close, but queue 'Manager to client' is empty"));
    QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km));
    // The tool never removes a queue.
    QVERIFY(QFile::exists(QString("/dev/shm/") + kAnswerQueue));
}

void TestLinkFaults::daemonNotReadingRequests()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = PING\nkind = stop_reading\n"));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    sendRaw("PING");
    QVERIFY(waitForLogged("FAULT stop_reading"));
    sendRaw("PING AGAIN");
    QVERIFY(!km.helloDaemon("10.0.0.5"));
    QVERIFY(!km.disconnect());
    QCOMPARE(shown->errors(), QStringList({
        "It looks like Sarvelin key client process doesn's work now or doesn't read messages from svkey",
        "It looks like Sarvelin key client process doesn's work now or doesn't read messages from SVC" }));
    // Neither request was queued behind the unread one.
    bip::message_queue requests(bip::open_only, kRequestQueue);
    QCOMPARE(requests.get_num_msg(), bip::message_queue::size_type(1));
}

void TestLinkFaults::payloadOfOneFullMessage()
{
    QVERIFY(daemon.start(QByteArray(), clientSection("archives_payload_bytes = 102400")));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short> list;
    km.ask_archives(list, kWeb01);
    const QStringList answers = Daemon::answersToLast(3);
    QCOMPARE(answers.size(), 3);
    QCOMPARE(answers.at(1), QString("102400"));
    QVERIFY(answers.at(2).endsWith("...(102400 bytes)"));
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(list[1].get_id(), std::uint64_t(1002));
    QVERIFY(list[1].get_aux_text_1().size() > 90000);   // the padding
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkFaults::payloadOneByteBeyond()
{
    QVERIFY(daemon.start(QByteArray(), clientSection("archives_payload_bytes = 102401")));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short> list;
    km.ask_archives(list, kWeb01);
    const QStringList answers = Daemon::answersToLast(4);
    QCOMPARE(answers.size(), 4);
    QCOMPARE(answers.at(1), QString("102401"));
    QVERIFY(answers.at(2).endsWith("...(102400 bytes)"));
    QVERIFY(!answers.at(3).contains("bytes)"));
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(list[0].get_name(), std::string("web01 rescue image, Monday"));
    QCOMPARE(list[1].verification_status_str(), std::string("Trusted"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkFaults::planOverSeveralParts()
{
    QVERIFY(daemon.start(QByteArray(), clientSection("plan_payload_bytes = 350000")));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QVERIFY(km.askDisasterRecoveryPlan(kWeb01));
    QCOMPARE(Daemon::answersToLast(6).size(), 6);   // keyword, length, 4 parts
    QCOMPARE(km.drpManager()->plan().size(), std::size_t(2));
    QVERIFY(km.drpManager()->plan()[1].description().size() > 300000);
    QCOMPARE(km.drpManager()->getDrpArchiveModel()->rowCount(), 2);
}

void TestLinkFaults::answerFillingTheWholeBuffer()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = ASK LAST RESTORE STATUS\nkind = oversize\n"
                         "[fault 2]\nrequest = HELLO\nkind = oversize\n"));
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

    QVERIFY(!km.helloDaemon("10.0.0.5"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkFaults::malformedArchiveList()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = GET ARCHIVES LIST\nkind = malformed\n"));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short> list(3);
    km.ask_archives(list, kWeb01);
    QVERIFY(list.empty());
    QCOMPARE(shown->errors(), QStringList({ kClientReceiveFailure }));
    QVERIFY(!shown->shown.first().details.isEmpty());
    // The link is still in step: the next request gets its own answer.
    QMap<QString, QString> clients;
    km.ask_client_list(clients);
    QCOMPARE(clients.size(), 3);
}

void TestLinkFaults::malformedClientList()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = GET CLIENT LIST\nkind = malformed\n"));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    QMap<QString, QString> clients { { "old", "entry" } };
    km.ask_client_list(clients);
    QVERIFY(clients.isEmpty());
    QCOMPARE(shown->errors(), QStringList({ kClientReceiveFailure }));
}

void TestLinkFaults::malformedPlan()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = GET DISASTER RECOVERY PLAN\nkind = malformed\n"));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    disaster_recovery_plan_record entry;
    entry.set_id(9);
    QVERIFY(km.drpManager()->fillPlan(sv_payload::encode_recovery_plan({ entry })));
    QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
    QCOMPARE(shown->errors(), QStringList({ kClientReceiveFailure }));
    QVERIFY(km.drpManager()->plan().empty());
    QCOMPARE(km.drpManager()->getDrpModel()->rowCount(), 0);
}

void TestLinkFaults::truncatedArchive()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = GET ARCHIVES LIST\nkind = truncated\n"));
    KeyMaster km;
    QVERIFY(connectAndAuthenticate(km));
    std::vector<sv_archive_short> list(1);
    km.ask_archives(list, kWeb01);
    QVERIFY(list.empty());
    QCOMPARE(shown->errors(), QStringList({ kClientReceiveFailure }));
}

void TestLinkFaults::lengthThatIsNotANumber()
{
    ScriptedQueues queues;
    const std::string payload = sv_payload::encode_archive_list(twoArchives());
    queues.answer("TAKE ARCHIVES TYPE LIST");
    queues.answer("many");
    queues.answer(payload);
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    std::vector<sv_archive_short> list;
    km.ask_archives(list, "AA:BB");
    QCOMPARE(queues.takeRequest(), std::string("GET ARCHIVES LIST SV KEY:AA:BB:rescue_image"));
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(list[1].get_name(), std::string("second"));
    QVERIFY(shown->shown.isEmpty());
    // Exactly one payload message was taken.
    QCOMPARE(queues.answers->get_num_msg(), bip::message_queue::size_type(0));
}

void TestLinkFaults::twoDigitLengthOverTheKeyword()
{
    ScriptedQueues queues;
    const std::string payload = sv_payload::encode_client_list({ { "a", "b" } });
    QVERIFY(payload.size() >= 10 && payload.size() < 100);
    queues.answer("TAKE CLIENT LIST");
    queues.answer(std::to_string(payload.size()));
    queues.answer(payload);
    queues.answer("LAST BACKUP STATUS:5");
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QMap<QString, QString> clients;
    km.ask_client_list(clients);
    QCOMPARE(queues.takeRequest(), std::string("GET CLIENT LIST\0", 16));
    QCOMPARE(clients.size(), 1);
    QCOMPARE(clients.value("b"), QString("a"));
    // Nothing of the list was left behind for the next request.
    QCOMPARE(km.getTaskStatus("ASK LAST BACKUP STATUS"), 5u);
}

void TestLinkFaults::helloOkWithTrailingBlank()
{
    ScriptedQueues queues;
    queues.answer("ok ");
    queues.answer(std::string("ok\0", 3));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(!km.helloDaemon("10.0.0.5"));
    queues.takeRequest();
    // A terminating zero ends the text: "ok" and its zero is the exact word.
    QVERIFY(km.helloDaemon("10.0.0.5"));
    QVERIFY(shown->shown.isEmpty());
}

void TestLinkFaults::libraryErrorsInsideRequests()
{
    // Messages longer than the 102400-byte receive buffer: every receive
    // fails in the queue library.
    ScriptedQueues queues(204800);
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());

    // The connection requests check for unread requests first: keep the
    // request queue empty for them.
    QVERIFY(!km.helloDaemon("10.0.0.5"));
    QCOMPARE(queues.takeRequest(), std::string("HELLO:10.0.0.5:9991:9993:"));
    QVERIFY(!km.disconnect());
    QCOMPARE(queues.takeRequest(), std::string("DISCONNECT"));
    QCOMPARE(shown->errors().size(), 2);
    QVERIFY(shown->shown.at(0).msg.startsWith("hello_daemon to 10.0.0.5"));
    QVERIFY(shown->shown.at(1).msg.startsWith("disconnect server was failed: "));
    shown->shown.clear();

    std::vector<sv_archive_short> list(3);
    km.ask_archives(list, kWeb01);
    QCOMPARE(list.size(), std::size_t(3));
    QMap<QString, QString> clients { { "kept", "x" } };
    km.ask_client_list(clients);
    QCOMPARE(clients.size(), 1);
    QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
    QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
    QVERIFY(!km.svkey_client_authentication("web01", KeyMaster::hashPassword("x")));
    QCOMPARE(shown->errors(), QStringList(QVector<QString>(5, kClientReceiveFailure).toList()));
    for (const link_test::Shown& s : shown->shown)
        QVERIFY(!s.details.isEmpty());

    NotifierCapture more;
    QVERIFY(!km.launchRestoreArchive("hash", "/dev/sda"));
    QCOMPARE(more.errors().size(), 1);
    QCOMPARE(more.shown.at(0).msg, QString("Sarvelin client process doesn's work"));
    QCOMPARE(more.shown.at(0).details, kClientReceiveFailure);

    QCOMPARE(km.getTaskStatus("ASK LAST BACKUP STATUS"), 0u);
    QVERIFY(link_test::logContains("svkey_getstatus exception:"));
    QVERIFY(link_test::logContains("svkey_getstatus out"));
    QCOMPARE(more.shown.size(), 1);
}

void TestLinkFaults::requestsWithClosedQueues()
{
    KeyMaster km;
    std::vector<sv_archive_short> list(2);
    km.ask_archives(list, kWeb01);
    QCOMPARE(list.size(), std::size_t(2));
    QVERIFY(!km.askDisasterRecoveryPlan(kWeb01));
    QVERIFY(!km.svkey_client_authentication("web01", "hash"));
    QVERIFY(!km.launchRestoreArchive("hash", "/dev/sda"));
    QCOMPARE(shown->errors().size(), 4);
}

QTEST_MAIN(TestLinkFaults)
#include "tst_link_faults.moc"
