// The restore side of the controller against the stand-ins: the
// connection, client choice and restore run against the daemon stand-in
// (the LVM clean-up's tables: tests/foundation/tst_tool_runs.cpp).

#include "../link/link_support.h"

#include <QSignalSpy>

using namespace link_test;

namespace {

QString mediumDir()
{
    return qEnvironmentVariable("SV_MEDIUM_DIR", "/tmp/.sv-sandbox/medium");
}

// One connect-choose-restore case.
struct Walk
{
    QByteArray extra; // scenario sections
    QString keyPassword;
    int connects;
    QStringList entries; // client entries chosen, in order
    int result; // restoreEnded: -1 no restore
    bool connected;
    int rows; // archives shown
    QStringList errors;
    QStringList sent; // requests sent, in order (fragments)
    QStringList notSent;
    QString log;
};

} // namespace

Q_DECLARE_METATYPE(Walk)

class TestRestoreController : public QObject
{
    Q_OBJECT
    Fixture f;

private slots:
    void initTestCase() { LINK_TEST_IN_SANDBOX_ONLY(); }
    void init() { f.reset(); }

    // Connect, choose clients (the entries, in order) and, with a result
    // expected, restore to a disk without LVM.
    void connectChooseRestore_data()
    {
        QTest::addColumn<Walk>("walk");
        const QString hash = QString::fromStdString(Access::hashPassword("web01-secret"));
        const QStringList connect {"HELLO:10.0.0.5:9991:9993:", "SV KEY PASSWORD:", "GET CLIENT LIST"};
        const QString web01 = "web01{52:54:00:1a:2b:01}";
        QTest::newRow("refused key password") << Walk {{}, "wrong", 1, {}, -1, false, 0, {"Wrong authentication"},
            {"HELLO:", "SV KEY PASSWORD:", "DISCONNECT"}, {"GET CLIENT LIST"}, ""};
        QTest::newRow("daemon absent") << Walk {"[local_client]\ndaemon = no\n", "key-secret", 1, {}, -1, false, 0,
            {"Sarvelin client doesn't work"}, {}, {}, "Unable to open mutex_svc"};
        QTest::newRow("connect while connected")
            << Walk {{}, "key-secret", 2, {}, -1, true, 0, {}, connect, {"DISCONNECT"}, ""};
        QTest::newRow("name holding {") << Walk {
            "[client we{b]\nhwid = 52:54:00:1a:2b:09\npassword = x\n[archive 3001]\nclient = we{b\n", "key-secret", 1,
            {"we{b{52:54:00:1a:2b:09}"}, -1, true, 1, {},
            connect + QStringList {"GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:09:rescue_image"}, {}, ""};
        QTest::newRow("entry without {") << Walk {
            {}, "key-secret", 1, {"web01"}, -1, true, 0, {}, connect, {"GET ARCHIVES"}, "wrong format of client data"};
        QTest::newRow("unknown HWID") << Walk {{}, "key-secret", 1, {"web01{52:54:00:1a:2b:02}"}, -1, true, 0,
            {"No HWID for such client: web01"}, connect, {"GET ARCHIVES"}, ""};
        QTest::newRow("client without archives") << Walk {{}, "key-secret", 1, {"mail01{52:54:00:1a:2b:03}"}, -1, true,
            0, {}, connect + QStringList {"GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:03"}, {"GET DISASTER RECOVERY PLAN"},
            ""};
        QTest::newRow("failed archive request after another client")
            << Walk {fault("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:02", "wrong_keyword", "NO SUCH LIST"), "key-secret",
                   1, {web01, "db01{52:54:00:1a:2b:02}"}, -1, true, 0, {"NO SUCH LIST"},
                   connect
                       + QStringList {"GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01",
                           "GET DISASTER RECOVERY PLAN:", "GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:02"},
                   {}, ""};
        QTest::newRow("assigned for a few polls, then done") << Walk {"[restore]\nstatus = 2, 2, 2, 5\n", "key-secret",
            1, {web01}, 1, false, 0, {},
            connect
                + QStringList {"GET ARCHIVES LIST", "HELLO:10.0.0.5:", "SV KEY CLIENT PASSWORD:web01:" + hash,
                    "SV KEY RESTORE ARCHIVES" + hash + ":PWD_SEPARATE:/dev/sdz:1001", "ASK LAST RESTORE STATUS",
                    "ASK LAST RESTORE STATUS", "ASK LAST RESTORE STATUS", "ASK LAST RESTORE STATUS", "DISCONNECT"},
            {}, "Wait please for restore ... 4"};
    }
    void connectChooseRestore()
    {
        QFETCH(Walk, walk);
        const auto& [extra, keyPassword, connects, entries, result, connected, rows, errors, sent, notSent, log] = walk;
        QDir().mkpath(standinsDir());
        QFile::remove(standinsDir() + "/requests.log");
        // A "[restore]" row replaces the base scenario's statuses (a section
        // may not appear twice); other rows add their sections.
        QByteArray scenario = baseScenario();
        if (extra.startsWith("[restore]\n"))
            scenario.replace("status = 2, 2, 5\n", extra.mid(int(qstrlen("[restore]\n"))));
        else
            scenario += "\n" + extra;
        QVERIFY(writeFile(standinsDir() + "/scenario.ini", scenario));
        QVERIFY(writeFile(mediumDir() + "/lvm.state", ""));

        KeyMaster km;
        // The daemon may take 300 ms to come up; status polls 0.1 s apart.
        Access::shortenScenarioWaits(km, 100);
        Access::setClientPause(km, 50);
        km.setSarvelinServerIp("10.0.0.1");
        QSignalSpy ended(&km, &KeyMaster::restoreEnded);
        for (int i = 0; i < connects; ++i)
            km.connectToRestoreServer(kServer, keyPassword);
        // Kept while the daemon cannot be reached, emptied by a refused password.
        const bool refused = errors.contains("Wrong authentication");
        QCOMPARE(km.getSarvelinServerIp(), connected || result >= 0 ? kServer : refused ? "" : "10.0.0.1");
        for (const QString& entry : entries)
            km.loadRecoveringClientData(entry);
        if (result >= 0) {
            Access::archivesModel(km).setSelectedRow(0);
            km.setSelectedDrive("sdz");
            km.restore("web01-secret");
            QCOMPARE(ended.size(), 1);
            QCOMPARE(ended[0][0].toBool(), result == 1);
        }
        QCOMPARE(km.isServerConnected(), connected);
        QCOMPARE(Access::archivesModel(km).rowCount(), rows);
        if (rows == 0 && result < 0) // no archives chosen from, no plan either (not the previous client's)
            QCOMPARE(km.drpManager()->entries()->rowCount(), 0);
        QCOMPARE(f.shown->errors(), errors);
        if (errors.contains("Wrong authentication"))
            QCOMPARE(f.shown->shown[0].details.count('\n'), 2);
        // In the log, or in the details of what was shown.
        if (!log.isEmpty())
            QVERIFY2(logContains(log) || (!f.shown->shown.isEmpty() && f.shown->shown[0].details.contains(log)),
                qPrintable(log));
        // The requests, in order; HELLO only once however often connect ran.
        const QStringList requests = Daemon::requests();
        int at = 0;
        for (const QString& fragment : sent) {
            while (at < requests.size() && !requests[at].startsWith(fragment))
                ++at;
            QVERIFY2(at < requests.size(), qPrintable(fragment + " not sent (in order): " + requests.join(" | ")));
            ++at;
        }
        for (const QString& fragment : notSent)
            QVERIFY2(requests.filter(fragment).isEmpty(), qPrintable(fragment));
        QCOMPARE(requests.filter("HELLO").size(), requests.isEmpty() ? 0 : (result >= 0 ? 2 : 1));
    }

    void cleanup()
    {
        QProcess::execute("/opt/sarvelin/bin/sarvelin_client", {"stop"});
        QVERIFY(waitFor([] { return !QFile::exists("/dev/shm/Sarvelin_SVKEY_to_client_MQ"); }));
    }
};

QTEST_MAIN(TestRestoreController)
#include "tst_restore_controller.moc"
