// The 10-second deadline of a request, against the daemon stand-in: a silent
// daemon, an answer that comes late and is read by the next request, a
// request queue that is full, and a payload whose last part never comes.
// These wait for real deadlines, so they are kept to the few that need it.

#include "link_support.h"

using link_test::Daemon;
using link_test::NotifierCapture;
namespace bip = boost::interprocess;

namespace {

const std::string kWeb01 = "52:54:00:1a:2b:01";

// The deadline is whole seconds of UTC time plus 10: between 9 and 10
// seconds after the start, plus scheduling slack.
void checkDeadline(qint64 elapsedMs)
{
    QVERIFY2(elapsedMs >= 8900 && elapsedMs <= 10800, qPrintable(QString::number(elapsedMs)));
}

} // namespace

class TestLinkDeadlines : public QObject
{
    Q_OBJECT

private:
    Daemon daemon;
    NotifierCapture* shown = nullptr;

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void silentDaemon();
    void lateAnswerIsReadByTheNextRequest();
    void fullRequestQueue();
    void missingPayloadPart();
};

void TestLinkDeadlines::initTestCase()
{
    if (!link_test::insideSandbox())
        QSKIP("runs only inside the sandbox (sandbox/sv-sandbox)");
    link_test::installLogCapture();
}

void TestLinkDeadlines::init()
{
    link_test::logLines().clear();
    delete shown;
    shown = new NotifierCapture;
}

void TestLinkDeadlines::cleanup()
{
    daemon.stop();
}

void TestLinkDeadlines::silentDaemon()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = HELLO\nkind = never\n"));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QElapsedTimer t;
    t.start();
    QVERIFY(!km.helloDaemon("10.0.0.5"));
    checkDeadline(t.elapsed());
    QCOMPARE(shown->errors(), QStringList({
        "It looks like Sarvelin key client process doesn's work now. Unable to recieve message from client's process" }));
}

void TestLinkDeadlines::lateAnswerIsReadByTheNextRequest()
{
    QVERIFY(daemon.start("[fault 1]\nrequest = SV KEY PASSWORD\nkind = late\ndelay = 11\ntimes = 1\n"));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon("10.0.0.5"));
    QElapsedTimer t;
    t.start();
    QVERIFY(!km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
    checkDeadline(t.elapsed());
    QCOMPARE(shown->errors(), QStringList({
        "It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process" }));

    // The late "SV KEY AUTHENTICATED" waits in the answer queue and is taken
    // as the answer to the next request, a wrong client password.
    QVERIFY(link_test::waitForPendingAnswer(3000));
    QVERIFY(km.svkey_client_authentication("web01", KeyMaster::hashPassword("not the password")));
    // And the refusal of that password is read by the request after it.
    QCOMPARE(km.getTaskStatus("ASK LAST RESTORE STATUS"), 0u);
    QVERIFY(link_test::logContains("Wrong answer to request ASK LAST RESTORE STATUS ( CLIENT NOT AUTHENTICATED )"));
}

void TestLinkDeadlines::fullRequestQueue()
{
    QByteArray scenario = link_test::baseScenario();
    scenario.replace("queue_capacity = 10", "queue_capacity = 1");
    QVERIFY(daemon.start("[fault 1]\nrequest = PING\nkind = stop_reading\n", scenario));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    {
        bip::message_queue requests(bip::open_only, "Sarvelin_SVKEY_to_client_MQ");
        requests.send("PING", 4, 0);
        QElapsedTimer wait;
        wait.start();
        while (!Daemon::log().contains("FAULT stop_reading") && wait.elapsed() < 3000)
            QThread::msleep(10);
        requests.send("PING AGAIN", 10, 0);
        QCOMPARE(requests.get_num_msg(), requests.get_max_msg());
    }
    std::vector<sv_archive_short> list(2);
    QElapsedTimer t;
    t.start();
    km.ask_archives(list, kWeb01);
    checkDeadline(t.elapsed());
    QCOMPARE(shown->errors(), QStringList({
        "It looks like Sarvelin client process doesn's work now. Unable to send message to client's process" }));
    QCOMPARE(list.size(), std::size_t(2));
}

void TestLinkDeadlines::missingPayloadPart()
{
    QByteArray scenario = link_test::baseScenario();
    scenario.replace("password = web01-secret\n", "password = web01-secret\narchives_payload_bytes = 250000\n");
    QVERIFY(daemon.start("[fault 1]\nrequest = GET ARCHIVES LIST\nkind = truncated\n", scenario));
    KeyMaster km;
    QVERIFY(km.messageQueuesConnect());
    QVERIFY(km.helloDaemon("10.0.0.5"));
    QVERIFY(km.svkey_authentication(KeyMaster::hashPassword("key-secret")));
    std::vector<sv_archive_short> list(2);
    QElapsedTimer t;
    t.start();
    km.ask_archives(list, kWeb01);
    checkDeadline(t.elapsed());
    // The list was emptied when the keyword came, and stays empty.
    QVERIFY(list.empty());
    QCOMPARE(shown->errors(), QStringList({
        "It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process" }));
}

QTEST_MAIN(TestLinkDeadlines)
#include "tst_link_deadlines.moc"
