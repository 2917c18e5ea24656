// Faults of the real key client link against the daemon stand-in: no
// daemon, half-open queues, payload framing over the real queues, an answer
// that fills the whole buffer, an answer left unread, and the real 10-second
// deadline of a silent daemon. The controller's handling of the other
// faults runs in-process against a scripted link (tst_link_logic).

#include "link_support.h"

using namespace link_test;
namespace bip = boost::interprocess;

namespace {

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
        bip::message_queue::remove(kAnswerQueue);
    }

    void daemonAbsentHalfThereOrClosed()
    {
        KeyMaster km;
        QVERIFY(!km.messageQueuesConnect());
        QCOMPARE(f.shown->errors(), QStringList({"Try to open message queues"}));
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

    // The length message, then the payload in parts of at most 102400 bytes.
    void payloadFraming_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("parts");
        QTest::newRow("one full message") << QByteArray("102400") << 1;
        QTest::newRow("one byte beyond") << QByteArray("102401") << 2;
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
        QVERIFY(list[1].get_aux_text_1().size() > 90000); // the padding
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
        // An answer left unread is dropped before the next request.
        sendRaw("ASK LAST RESTORE STATUS");
        QVERIFY(waitForPendingAnswer(3000));
        QVERIFY(!km.helloDaemon(kServer));
        QVERIFY(logContains("dropped 1 unread answer(s) of an earlier request"));
        QVERIFY(f.shown->shown.isEmpty());
    }

    // The 10-second deadline of a request, waited for in real time once.
    void silentDaemon()
    {
        QVERIFY(f.daemon.start(fault("HELLO", "never")));
        KeyMaster km;
        QVERIFY(km.messageQueuesConnect());
        checkDeadline([&] { QVERIFY(!km.helloDaemon(kServer)); });
        QCOMPARE(f.shown->errors(),
            QStringList({"It looks like Sarvelin key client process doesn's work now. Unable to recieve message from "
                         "client's process"}));
    }
};

QTEST_MAIN(TestLinkFaults)
#include "tst_link_faults.moc"
