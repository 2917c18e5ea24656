// Local client control against its stand-in: the plain start, the checked
// start with each classification of the client's output, the authorization
// warning, the poll budget, the window kept alive while waiting, refused
// re-entry, and the stop.

#include "link_support.h"

#include <QSignalSpy>
#include <QTimer>

using namespace link_test;

namespace {

const QString kClient = QStringLiteral("/opt/sarvelin/bin/sarvelin_client");
const QString kCheckLog = QStringLiteral("/tmp/startSarvelinClientWithCheck.log");

bool writeScenario(const QByteArray& start, const QByteArray& extra = "authorize_after = 0")
{
    QByteArray scenario = baseScenario();
    scenario.replace("start = authorized", "start = " + start);
    scenario.replace("authorize_after = 2", extra);
    return writeFile(standinsDir() + "/scenario.ini", scenario);
}

QString callsLog()
{
    QFile f(standinsDir() + "/calls.log");
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool daemonQueuesExist()
{
    return QFile::exists(QString("/dev/shm/") + kRequestQueue);
}

} // namespace

class TestLinkClient : public QObject
{
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase()
    {
        LINK_TEST_IN_SANDBOX_ONLY();
        QVERIFY2(QFile::exists(kClient), "the local client stand-in is not installed");
    }
    void init() { f.reset(); }
    void cleanup()
    {
        // End whatever daemon a start left behind.
        QProcess::execute(kClient, {"stop"});
        QVERIFY(waitFor([] { return !daemonQueuesExist(); }));
    }

    void classification_data();
    void classification();
    void warningOnceThenAuthorized();
    void neverAuthorizedWindowStaysAliveAndReentryIsRefused();
    void outputFileGone();
    void plainStartAndStopTwice();
    void clientNotInstalled();
};

void TestLinkClient::classification_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QString>("error");
    QTest::newRow("refused") << QByteArray("refused") << "Connect to Sarvelin server failed: Connection refused";
    QTest::newRow("no route") << QByteArray("no_route") << "Connect to Sarvelin server failed: No route to host";
    QTest::newRow("no address") << QByteArray(
        "no_ip") << "Client interface has no IP address v4 or v6. Sarvelin client can't work without IP address";
    QTest::newRow("no resolve") << QByteArray("no_resolve")
                                << "Can't resolve hostname. You must define it in /etc/hosts or in DNS";
    QTest::newRow("other connect failure") << QByteArray("connect_failed") << "Connect to Sarvelin server failed";
    QTest::newRow("duplicated MAC") << QByteArray("duplicated_mac")
                                    << "Sarvelin server has duplicated MAC address in unauthorized clients";
    QTest::newRow("second instance") << QByteArray("second_instance")
                                     << "Can't run second instance of Sarvelin client process on one node";
}

void TestLinkClient::classification()
{
    QFETCH(QByteArray, start);
    QFETCH(QString, error);
    QVERIFY(writeScenario(start));
    KeyMaster km;
    QElapsedTimer t;
    t.start();
    QVERIFY(!km.startSarvelinClientWithCheck());
    QVERIFY(t.elapsed() >= 1000 && t.elapsed() < 4000);
    QCOMPARE(f.shown->errors(), QStringList({error}));
    QVERIFY(f.shown->warnings().isEmpty());
    // Set at once, even though the start failed: the next stop ends it.
    QVERIFY(KeyMasterTestAccess::clientStartedHere(km));
    QVERIFY(logContains("Sarvelin client 2.0 is starting"));
    QVERIFY(callsLog().contains("sarvelin_client start"));
}

void TestLinkClient::warningOnceThenAuthorized()
{
    QVERIFY(writeScenario("authorized", "authorize_after = 2.5\nstderr = sarvelin_client: note on standard error"));
    KeyMaster km;
    KeyMasterTestAccess::setPollBudget(km, 10);
    QElapsedTimer t;
    t.start();
    QVERIFY(km.startSarvelinClientWithCheck());
    QVERIFY(t.elapsed() >= 2500 && t.elapsed() < 6000);
    QCOMPARE(f.shown->warnings(),
        QStringList(
            {"Required authorization at Sarvelin server. Please contact system administrator.\n Waiting 15 min.."}));
    QVERIFY(f.shown->errors().isEmpty());
    QVERIFY(KeyMasterTestAccess::clientStartedHere(km));
    // The mutex of the started client is open before the restore side needs it.
    QVERIFY(KeyMasterTestAccess::mutexOpen(km));
    QVERIFY(logContains("This client was authorized by Sarvelin server"));
    // Standard error is read with the output, never left in a buffer.
    QVERIFY(logContains("sarvelin_client: note on standard error"));
    QVERIFY(km.findChild<QProcess*>()->readAllStandardError().isEmpty());
    QFile output(kCheckLog);
    QVERIFY(output.open(QIODevice::ReadOnly));
    QVERIFY(output.readAll().contains("Required authorization at Sarvelin server."));
}

// Never authorized: gives up after the poll budget (900 polls, shortened
// here to 3), keeping the window alive meanwhile. What a page calls during
// that wait is refused with a warning, and the run pages' end signals come
// with false.
void TestLinkClient::neverAuthorizedWindowStaysAliveAndReentryIsRefused()
{
    QVERIFY(writeScenario("silence"));
    KeyMaster km;
    KeyMasterTestAccess::setPollBudget(km, 3);

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(50);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();

    QSignalSpy backupEnded(&km, &KeyMaster::creatingBackupEnded);
    QSignalSpy restoreEnded(&km, &KeyMaster::restoreEnded);
    bool busyMeanwhile = false;
    QTimer::singleShot(1500, [&] {
        busyMeanwhile = km.isBusy();
        km.connectToRestoreServer("10.0.0.5", "secret");
        km.disconnectFromRestoreServer();
        km.loadRecoveringClientData("web01{52:54}");
        km.createBackup();
        km.restore("secret");
    });
    QElapsedTimer t;
    t.start();
    {
        KeyMaster::OperationScope backup(km, KeyMaster::Operation::BackingUp, "test");
        QVERIFY(backup.granted() && km.isBusy());
        QVERIFY(!km.startSarvelinClientWithCheck());
    }
    QVERIFY2(t.elapsed() >= 3000 && t.elapsed() < 6000, qPrintable(QString::number(t.elapsed())));
    ticker.stop();
    QCOMPARE(logLines().count("Sarvelin client output is:"), 3);

    // Events flowed all along the three seconds (up to 60 ticks), not once
    // per second (which would give at most a handful).
    QVERIFY2(ticks >= 15, qPrintable(QString::number(ticks)));
    QVERIFY(busyMeanwhile && !km.isBusy());
    QStringList refusals;
    for (int i = 0; i < 5; ++i)
        refusals << "This cannot be done now: a backup is running. Wait until it ends.";
    QCOMPARE(f.shown->warnings(), refusals);
    QCOMPARE(backupEnded.count(), 1);
    QCOMPARE(backupEnded.at(0).at(0).toBool(), false);
    QCOMPARE(restoreEnded.count(), 1);
    QCOMPARE(restoreEnded.at(0).at(0).toBool(), false);
    // The refused calls changed nothing.
    QCOMPARE(f.shown->errors(),
        QStringList({"Required authorization at Sarvelin server. Retry after authorization\nOr unknown error"}));
    QVERIFY(KeyMasterTestAccess::clientStartedHere(km));
    QVERIFY(!KeyMasterTestAccess::answerQueueOpen(km));
    QVERIFY(km.stopSarvelinClient());
}

void TestLinkClient::outputFileGone()
{
    QVERIFY(writeScenario("silence"));
    KeyMaster km;
    QTimer::singleShot(400, [] { QFile::remove(kCheckLog); });
    QVERIFY(!km.startSarvelinClientWithCheck());
    QVERIFY(logContains(
        "/tmp/startSarvelinClientWithCheck.log is not opened, startSarvelinClientWithCheck will return false"));
    QVERIFY(f.shown->shown.isEmpty());
}

void TestLinkClient::plainStartAndStopTwice()
{
    QVERIFY(writeScenario("authorized"));
    KeyMaster km;
    QVERIFY(!km.stopSarvelinClient());
    QVERIFY(logContains("Sarvelin client wasnt started"));

    QVERIFY(km.startSarvelinClient());
    // The client starts the daemon in the background; the stop ends it.
    QVERIFY(waitFor(daemonQueuesExist, 5000));
    QVERIFY(km.stopSarvelinClient());
    QVERIFY(waitFor([] { return !daemonQueuesExist(); }, 5000));
    QCOMPARE(
        logLines().filter("Sarvelin client").mid(1), QStringList({"Start Sarvelin client", "Stop Sarvelin client"}));
    QVERIFY(!km.stopSarvelinClient());
    QCOMPARE(logLines().filter("Sarvelin client wasnt started").size(), 2);
    QVERIFY(f.shown->shown.isEmpty());
}

void TestLinkClient::clientNotInstalled()
{
    const QString aside = kClient + ".aside";
    QVERIFY(QFile::rename(kClient, aside));
    KeyMaster km;
    QVERIFY(!km.startSarvelinClient());
    QVERIFY(!KeyMasterTestAccess::clientStartedHere(km));
    QElapsedTimer t;
    t.start();
    QVERIFY(!km.startSarvelinClientWithCheck());
    QVERIFY(t.elapsed() < 1000);
    QVERIFY(QFile::rename(aside, kClient));
    QCOMPARE(f.shown->errors(),
        QStringList({"Can't start Sarvelin client. Please see logfile: /opt/sarvelin/log/Sarvelin.log",
            "Can't start Sarvelin client. Please see logfile: /opt/sarvelin/log/Sarvelin.log"}));
}

QTEST_MAIN(TestLinkClient)
#include "tst_link_client.moc"
