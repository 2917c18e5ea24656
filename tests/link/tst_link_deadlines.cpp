// The 10-second deadline of a request, against the daemon stand-in: a silent
// daemon, an answer that comes late and must not be read by the next one, a
// request queue that is full, and a payload whose last part never comes
// (real deadlines: kept to the few that need one).

#include "link_support.h"

using namespace link_test;
namespace bip = boost::interprocess;

namespace {

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

class TestLinkDeadlines : public QObject
{
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase() { LINK_TEST_IN_SANDBOX_ONLY(); }
    void init() { f.reset(); }
    void cleanup() { f.daemon.stop(); }

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

    void fullRequestQueue()
    {
        QByteArray scenario = baseScenario();
        scenario.replace("queue_capacity = 10", "queue_capacity = 1");
        QVERIFY(f.daemon.start(fault("PING", "stop_reading"), scenario));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        {
            bip::message_queue requests(bip::open_only, kRequestQueue);
            requests.send("PING", 4, 0);
            QVERIFY(waitFor([] { return Daemon::log().contains("FAULT stop_reading"); }));
            requests.send("PING AGAIN", 10, 0);
            QCOMPARE(requests.get_num_msg(), requests.get_max_msg());
        }
        std::vector<sv_archive_short> list(2);
        checkDeadline([&] { km.ask_archives(list, kWeb01); });
        QCOMPARE(f.shown->errors(), QStringList({
            "It looks like Sarvelin client process doesn's work now. Unable to send message to client's process" }));
        QCOMPARE(list.size(), std::size_t(2));
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

QTEST_MAIN(TestLinkDeadlines)
#include "tst_link_deadlines.moc"
