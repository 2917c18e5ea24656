// The restore side of the controller against the stand-ins: the LVM
// clean-up of the target disk over the simulated LVM state, and the
// connection, client choice and restore run against the daemon stand-in.

#include "../link/link_support.h"

#include <QSignalSpy>

using namespace link_test;

namespace {

QString mediumDir() { return qEnvironmentVariable("SV_MEDIUM_DIR", "/tmp/.sv-sandbox/medium"); }

const char* const kPvsCall = "pvs --noheadings --separator | -o pv_name,vg_name,lv_name";
// Run by a shell unquoted, it would change the arguments the stubs log.
const char* const kHostile = "vg$(id${IFS}-u);x'y&z`w`";

// One connect-choose-restore case.
struct Walk
{
    QByteArray extra;      // scenario sections
    QString keyPassword;
    int connects;
    QStringList entries;   // client entries chosen, in order
    int result;            // restoreEnded: -1 no restore
    bool connected;
    int rows;              // archives shown
    QStringList errors;
    QStringList sent;      // requests sent, in order (fragments)
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

    void lvmCleanup_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("calls");      // LVM tool calls after pvs
        QTest::addColumn<QString>("question");       // what the question lists ("" = not asked)
        QTest::addColumn<QString>("error");
        const QString other = "pv /dev/sdb1 vg1\nlv vg1 data ext4 u1\n";
        QTest::newRow("no PV on the disk") << other << "sda" << true << true << QStringList() << "" << "";
        QTest::newRow("two PVs of one group")
            << other + "pv /dev/sda2 vg0\npv /dev/sda3 vg0\nlv vg0 root ext4 u2\nlv vg0 swap swap u3\n" << "sda" << true
            << true << QStringList{"lvremove -y vg0", "vgremove -y vg0", "pvremove -y /dev/sda2", "pvremove -y /dev/sda3"}
            << "Volume groups to remove: vg0\nLogical volumes to remove: vg0/root, vg0/swap\n"
               "Physical volumes to remove: /dev/sda2, /dev/sda3" << "";
        QTest::newRow("sda beside sdab") << "pv /dev/sdab2 vgb\nlv vgb x ext4 u4\n" << "sda" << true << true
                                         << QStringList() << "" << "";
        QTest::newRow("partition of an nvme disk")
            << "pv /dev/nvme0n1p2 vgn\npv /dev/nvme0n12 vgz\n" << "nvme0n1" << true << true
            << QStringList{"lvremove -y vgn", "vgremove -y vgn", "pvremove -y /dev/nvme0n1p2"}
            << "Volume groups to remove: vgn\nLogical volumes to remove: none\nPhysical volumes to remove: /dev/nvme0n1p2"
            << "";
        QTest::newRow("group spanning two disks")
            << "pv /dev/sda2 vg0\npv /dev/sdb1 vg0\nlv vg0 root ext4 u5\n" << "sda" << true << false << QStringList() << ""
            << "LVM volume group vg0 also lies on /dev/sdb1. It is not removed: restore to /dev/sda canceled";
        QTest::newRow("PV without a group") << "pv /dev/sda3 -\n" << "sda" << true << true
                                            << QStringList{"pvremove -y /dev/sda3"}
                                            << "Volume groups to remove: none\nLogical volumes to remove: none\n"
                                               "Physical volumes to remove: /dev/sda3" << "";
        QTest::newRow("failing lvremove")
            << "pv /dev/sda2 vg0\nlv vg0 root ext4 u6\nfail lvremove vg0\n" << "sda" << true << false
            << QStringList{"lvremove -y vg0"} << "Volume groups to remove: vg0" << "Can't delete LVM logical volumes: vg0";
        QTest::newRow("Cancel on the question") << "pv /dev/sda2 vg0\nlv vg0 root ext4 u7\n" << "sda" << false << false
                                                << QStringList() << "Logical volumes to remove: vg0/root" << "";
        QTest::newRow("shell characters stay data")
            << QString("pv /dev/sda2 %1\nlv %1 root ext4 u8\n").arg(kHostile) << "sda" << true << true
            << QStringList{QString("lvremove -y ") + kHostile, QString("vgremove -y ") + kHostile, "pvremove -y /dev/sda2"}
            << QString("Volume groups to remove: ") + kHostile << "";
    }
    void lvmCleanup()
    {
        QFETCH(QString, state);
        QFETCH(QString, drive);
        QFETCH(bool, confirm);
        QFETCH(bool, result);
        QFETCH(QStringList, calls);
        QFETCH(QString, question);
        QFETCH(QString, error);
        QDir().mkpath(mediumDir());
        QVERIFY(writeFile(mediumDir() + "/lvm.state", state.toUtf8()));
        QVERIFY(writeFile(mediumDir() + "/lvm.log", ""));

        KeyMaster km;
        QStringList asked;
        connect(&km, &KeyMaster::needConfirmRestoreLVM, &km, [&](const QString& text) {
            asked << text;
            km.answerRestoreLVM(confirm);
        });
        QCOMPARE(KeyMasterTestAccess::clearLvmOnDrive(km, drive), result);

        QCOMPARE(fileLines(mediumDir() + "/lvm.log"), QStringList{kPvsCall} + calls);
        QCOMPARE(asked.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            QVERIFY2(asked[0].startsWith("Device " + drive + " is configured as LVM physical volume. If you continue all"
                                         " it's data will be lost\n\n"), qPrintable(asked[0]));
            QVERIFY2(asked[0].contains(question), qPrintable(asked[0]));
        }
        QCOMPARE(f.shown->errors(), error.isEmpty() ? QStringList() : QStringList{error});
        // What was not removed is still there.
        if (calls.isEmpty())
            QCOMPARE(fileLines(mediumDir() + "/lvm.state"), state.split('\n', Qt::SkipEmptyParts));
    }

    // Connect, choose clients (the entries, in order) and, with a result
    // expected, restore to a disk without LVM.
    void connectChooseRestore_data()
    {
        QTest::addColumn<Walk>("walk");
        const QString hash = QString::fromStdString(KeyMaster::hashPassword("web01-secret"));
        const QStringList connect{"HELLO:10.0.0.5:9991:9993:", "SV KEY PASSWORD:", "GET CLIENT LIST"};
        const QString web01 = "web01{52:54:00:1a:2b:01}";
        QTest::newRow("refused key password")
            << Walk{{}, "wrong", 1, {}, -1, false, 0, {"Wrong authentication"}, {"HELLO:", "SV KEY PASSWORD:", "DISCONNECT"},
                    {"GET CLIENT LIST"}, ""};
        QTest::newRow("daemon absent") << Walk{"[local_client]\ndaemon = no\n", "key-secret", 1, {}, -1, false, 0,
                                               {"Sarvelin client doesn't work"}, {}, {}, "Unable to open mutex_svc"};
        QTest::newRow("connect while connected")
            << Walk{{}, "key-secret", 2, {}, -1, true, 0, {}, connect, {"DISCONNECT"}, ""};
        QTest::newRow("name holding {")
            << Walk{"[client we{b]\nhwid = 52:54:00:1a:2b:09\npassword = x\n[archive 3001]\nclient = we{b\n", "key-secret", 1,
                    {"we{b{52:54:00:1a:2b:09}"}, -1, true, 1, {},
                    connect + QStringList{"GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:09:rescue_image"}, {}, ""};
        QTest::newRow("entry without {")
            << Walk{{}, "key-secret", 1, {"web01"}, -1, true, 0, {}, connect, {"GET ARCHIVES"}, "wrong format of client data"};
        QTest::newRow("unknown HWID") << Walk{{}, "key-secret", 1, {"web01{52:54:00:1a:2b:02}"}, -1, true, 0,
                                              {"No HWID for such client: web01"}, connect, {"GET ARCHIVES"}, ""};
        QTest::newRow("client without archives")
            << Walk{{}, "key-secret", 1, {"mail01{52:54:00:1a:2b:03}"}, -1, true, 0, {},
                    connect + QStringList{"GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:03"}, {"GET DISASTER RECOVERY PLAN"}, ""};
        QTest::newRow("failed archive request after another client")
            << Walk{fault("GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:02", "wrong_keyword", "NO SUCH LIST"), "key-secret", 1,
                    {web01, "db01{52:54:00:1a:2b:02}"}, -1, true, 0, {"NO SUCH LIST"},
                    connect + QStringList{"GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:01", "GET DISASTER RECOVERY PLAN:",
                                          "GET ARCHIVES LIST SV KEY:52:54:00:1a:2b:02"}, {}, ""};
        QTest::newRow("assigned for a few polls, then done")
            << Walk{"[restore]\nstatus = 2, 2, 2, 5\n", "key-secret", 1, {web01}, 1, false, 0, {},
                    connect + QStringList{"GET ARCHIVES LIST", "HELLO:10.0.0.5:", "SV KEY CLIENT PASSWORD:web01:" + hash,
                                          "SV KEY RESTORE ARCHIVES" + hash + ":PWD_SEPARATE:/dev/sdz:1001",
                                          "ASK LAST RESTORE STATUS", "ASK LAST RESTORE STATUS", "ASK LAST RESTORE STATUS",
                                          "ASK LAST RESTORE STATUS", "DISCONNECT"}, {}, "Wait please for restore ... 4"};
        QTest::newRow("bad final status")
            << Walk{"[restore]\nstatus = 2, 8\n", "key-secret", 1, {web01}, 0, false, 0, {},
                    {"SV KEY RESTORE ARCHIVES", "ASK LAST RESTORE STATUS", "ASK LAST RESTORE STATUS"}, {}, "Got bad status of task:"};
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
        KeyMasterTestAccess::shortenScenarioWaits(km, 1000);
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
            KeyMasterTestAccess::archivesModel(km).setSelectedRow(0);
            km.setSelectedDrive("sdz");
            km.restore("web01-secret");
            QCOMPARE(ended.size(), 1);
            QCOMPARE(ended[0][0].toBool(), result == 1);
        }
        QCOMPARE(km.isServerConnected(), connected);
        QCOMPARE(KeyMasterTestAccess::archivesModel(km).rowCount(), rows);
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
