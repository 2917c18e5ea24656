// The controller's logic around the tools it runs, in-process with the
// scripted runner (nothing runs, no root, no simulated medium): the LVM
// clean-up of a restore's target disk, the start-up checks, the device
// lookup, the local client's starts and stops, the archive tool's answers,
// and what the operator can trigger while a tool runs (the window answers
// meanwhile).
#include "fsmodel.h"
#include "keymaster.h"
#include "notifier.h"
#include "sv_key_common.h"
#include "../common/keymaster_test_access.h"
#include "../common/scripted_runner.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kPvs = "/sbin/pvs --noheadings --separator | -o pv_name,vg_name,lv_name";
const char* const kOsReleaseCommand
    = "/bin/cat /etc/os-release | /bin/grep PRETTY_NAME | /bin/sed -e 's/[=\"]/ /g' -e 's/PRETTY_NAME  //'";
const char* const kDrivesCommand = "/bin/lsblk -d | /bin/grep disk | /usr/bin/awk '{print $1}'";
const QString kClient = "/opt/sarvelin/bin/sarvelin_client";
const QString kClientLogText = "Please see logfile: /opt/sarvelin/log/Sarvelin.log";
// Run by a shell unquoted, it would split into several words and run `id`.
const QString kHostile = "vg$(id${IFS}-u);x'y&z`w`";

// What the operator was shown: "E: message|details", "W: ...", "A: ...".
class Shown : public QObject
{
public:
    Shown()
    {
        Notifier* n = Notifier::getInstance();
        const auto add = [this](const char* kind) {
            return [this, kind](const QString& m, const QString& d, const QVariantList&) {
                texts << QString(kind) + m + (d.isEmpty() ? QString() : "|" + d);
            };
        };
        connect(n, &Notifier::hasError, this, add("E: "));
        connect(n, &Notifier::hasWarning, this, add("W: "));
        connect(n, &Notifier::hasAssert, this, add("A: "));
    }
    QStringList texts;
};

} // namespace

class ToolRunsTest : public QObject
{
    Q_OBJECT

private slots:
    // --- the LVM clean-up of the target disk

    void lvmCleanup_data()
    {
        QTest::addColumn<QString>("pvs"); // pvs's standard output
        QTest::addColumn<QString>("failing"); // "program value" that fails with a message on stderr
        QTest::addColumn<QString>("drive");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("removals"); // LVM tool calls after pvs
        QTest::addColumn<QString>("question"); // what the question lists ("" = not asked)
        QTest::addColumn<QString>("shown");
        const QString other = "  /dev/sdb1|vg1|data\n";
        QTest::newRow("no PV on the disk") << other << ""
                                           << "sda" << true << true << QStringList() << ""
                                           << "";
        QTest::newRow("two PVs of one group")
            << other + "  /dev/sda2|vg0|root\n  /dev/sda2|vg0|swap\n  /dev/sda3|vg0|\n"
            << ""
            << "sda" << true << true
            << QStringList {"lvremove -y vg0", "vgremove -y vg0", "pvremove -y /dev/sda2", "pvremove -y /dev/sda3"}
            << "Volume groups to remove: vg0\nLogical volumes to remove: vg0/root, vg0/swap\n"
               "Physical volumes to remove: /dev/sda2, /dev/sda3"
            << "";
        QTest::newRow("sda beside sdab") << "  /dev/sdab2|vgb|x\n"
                                         << ""
                                         << "sda" << true << true << QStringList() << ""
                                         << "";
        QTest::newRow("partition of an nvme disk")
            << "  /dev/nvme0n1p2|vgn|\n  /dev/nvme0n12|vgz|\n"
            << ""
            << "nvme0n1" << true << true
            << QStringList {"lvremove -y vgn", "vgremove -y vgn", "pvremove -y /dev/nvme0n1p2"}
            << "Volume groups to remove: vgn\nLogical volumes to remove: none\nPhysical volumes to remove: "
               "/dev/nvme0n1p2"
            << "";
        QTest::newRow("group spanning two disks")
            << "  /dev/sda2|vg0|root\n  /dev/sdb1|vg0|\n"
            << ""
            << "sda" << true << false << QStringList() << ""
            << "E: LVM volume group vg0 also lies on /dev/sdb1. It is not removed: restore to /dev/sda canceled";
        QTest::newRow("PV without a group") << "  /dev/sda3||\n"
                                            << ""
                                            << "sda" << true << true << QStringList {"pvremove -y /dev/sda3"}
                                            << "Volume groups to remove: none\nLogical volumes to remove: none\n"
                                               "Physical volumes to remove: /dev/sda3"
                                            << "";
        QTest::newRow("failing lvremove")
            << "  /dev/sda2|vg0|root\n"
            << "lvremove vg0"
            << "sda" << true << false << QStringList {"lvremove -y vg0"} << "Volume groups to remove: vg0"
            << "E: Can't delete LVM logical volumes: vg0|  vg0/root is in use.\n";
        QTest::newRow("failing pvs") << ""
                                     << "pvs"
                                     << "sda" << true << false << QStringList() << ""
                                     << "E: Can't read LVM physical volumes|  vg0/root is in use.\n";
        QTest::newRow("Cancel on the question")
            << "  /dev/sda2|vg0|root\n"
            << ""
            << "sda" << false << false << QStringList() << "Logical volumes to remove: vg0/root"
            << "";
        QTest::newRow("shell characters stay data")
            << QString("  /dev/sda2|%1|root\n").arg(kHostile) << ""
            << "sda" << true << true
            << QStringList {"lvremove -y " + kHostile, "vgremove -y " + kHostile, "pvremove -y /dev/sda2"}
            << "Volume groups to remove: " + kHostile << "";
    }
    void lvmCleanup()
    {
        QFETCH(QString, pvs);
        QFETCH(QString, failing);
        QFETCH(QString, drive);
        QFETCH(bool, confirm);
        QFETCH(bool, result);
        QFETCH(QStringList, removals);
        QFETCH(QString, question);
        QFETCH(QString, shown);
        ScriptedRunner runner;
        // A warning on standard error is logged, never parsed as a volume.
        runner.answer(kPvs, 0, pvs.toUtf8(), "  /dev/sda9|vgstale|gone\n");
        for (const char* tool : {"lvremove", "vgremove", "pvremove"})
            runner.answer(QString("/sbin/") + tool + " -y ", 0);
        if (!failing.isEmpty()) {
            const QString program = failing.section(' ', 0, 0), value = failing.section(' ', 1);
            runner.answer(
                "/sbin/" + program + (value.isEmpty() ? "" : " -y " + value), 5, {}, "  vg0/root is in use.\n");
        }
        Shown seen;
        KeyMaster km;
        QStringList asked;
        connect(&km, &KeyMaster::needConfirmRestoreLVM, &km, [&](const QString& text) {
            asked << text;
            km.answerRestoreLVM(confirm);
        });
        QCOMPARE(KeyMasterTestAccess::clearLvmOnDrive(km, drive), result);

        QStringList expected {"run: " + kPvs};
        for (const QString& call : removals)
            expected << "run: /sbin/" + call;
        QCOMPARE(runner.calls, expected);
        // Each value is one argument of its own.
        for (int i = 1; i < runner.argumentLists.size(); ++i)
            QCOMPARE(runner.argumentLists[i].mid(1),
                removals[i - 1].split(' ').mid(1, 1) + QStringList {removals[i - 1].section(' ', 2)});
        QCOMPARE(runner.timeouts, QVector<int>(runner.calls.size(), 120000).toList());
        QCOMPARE(asked.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            QVERIFY2(asked[0].startsWith("Device " + drive
                         + " is configured as LVM physical volume. If you continue all"
                           " it's data will be lost\n\n"),
                qPrintable(asked[0]));
            QVERIFY2(asked[0].contains(question), qPrintable(asked[0]));
        }
        QCOMPARE(seen.texts, shown.isEmpty() ? QStringList() : QStringList {shown});
    }

    // --- start-up checks and device lookup

    // The medium check and the disk list parse standard output only; a
    // failed pipeline is shown with what it wrote on standard error, a
    // failed disk list keeps the list it had.
    void startUpChecks()
    {
        ScriptedRunner runner;
        runner.answer(kOsReleaseCommand, 0, "Sarvelin key\n", "grep: warning: stray \\ before -\n");
        runner.answer(kDrivesCommand, 0, "sda\nzram0\nnvme0n1\nZRAM1\n", "lsblk: sr1: failed to get device path\n");
        runner.answer("/bin/lsblk -d -b -n -P", 0,
            "NAME=\"sda\" TYPE=\"disk\" SIZE=\"128000000000\" MODEL=\"SIMTEK\\x20SSD\" SERIAL=\"S1\"\n"
            "NAME=\"sr0\" TYPE=\"rom\" SIZE=\"1024\" MODEL=\"CD\" SERIAL=\"\"\n",
            "lsblk: nvme0n1: NAME=\"nvme0n1\" TYPE=\"disk\"\n");
        Shown seen;
        KeyMaster km;
        km.init();
        QCOMPARE(seen.texts, QStringList());
        QCOMPARE(km.drives(), QStringList({"sda", "nvme0n1", "ZRAM1"}));
        QCOMPARE(km.driveIdentity("sda"), QString("128 GB, SIMTEK SSD, serial S1"));
        QCOMPARE(km.driveIdentity("nvme0n1"), QString());

        runner.answer(kOsReleaseCommand, 0, "Other\n");
        runner.answer(kDrivesCommand, 2, "sdq\n", "awk: broken\n");
        runner.answer(kOsReleaseCommand, 4, {}, "sed: -e expression #1: unknown command\n");
        KeyMasterTestAccess::checkClient(km);
        KeyMasterTestAccess::loadDrives(km);
        QCOMPARE(km.drives(), QStringList({"sda", "nvme0n1", "ZRAM1"}));
        QCOMPARE(seen.texts,
            QStringList(
                {QString("E: Can't execute: ") + kOsReleaseCommand + "|sed: -e expression #1: unknown command\n",
                    QString("W: Can't execute: ") + kDrivesCommand + "|sdq\nawk: broken\n"}));
        runner.rules.removeAt(0);
        KeyMasterTestAccess::checkClient(km);
        QCOMPARE(seen.texts.mid(2), QStringList {"W: You can run this application on Sarvelin key only"});
    }

    // The UUID reaches blkid quoted as one word, the answer is its standard
    // output alone.
    void devicePath()
    {
        ScriptedRunner runner;
        runner.answer("/sbin/blkid --uuid '1234-ABCD'", 0, "/dev/sdb1\n", "blkid: warning: cache file is stale\n");
        runner.answer("/sbin/blkid --uuid 'x'\\''; touch /tmp/pwned; '\\'''", 2);
        runner.answer("/usr/bin/hostnamectl", 0);
        KeyMaster km;
        QCOMPARE(KeyMasterTestAccess::getDevicePath(km, "1234-ABCD"), QString("/dev/sdb1"));
        QCOMPARE(KeyMasterTestAccess::getDevicePath(km, "x'; touch /tmp/pwned; '"), QString());
        QCOMPARE(runner.calls.last(), QString("run: /sbin/blkid --uuid 'x'\\''; touch /tmp/pwned; '\\'''"));
        QVERIFY(KeyMasterTestAccess::updateUsedHostname(km, "web 01;reboot"));
        QCOMPARE(runner.calls.last(), QString("run: /usr/bin/hostnamectl set-hostname 'web 01;reboot'"));
    }

    // --- the local client and the backup's tools

    // Every start is checked: a client that cannot be started or stopped is
    // said so, and what was not started is not stopped.
    void clientStartsAndStops()
    {
        ScriptedRunner runner;
        Shown seen;
        KeyMaster km;
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        QVERIFY(!KeyMasterTestAccess::startSarvelinClient(km)); // not scripted: cannot start
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        runner.answer("", 0);
        QVERIFY(KeyMasterTestAccess::startSarvelinClient(km));
        ScriptedRunner::Rule refused;
        refused.prefix = kClient + " stop";
        refused.outcome = CommandResult::Outcome::NotStarted;
        runner.answer(refused);
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        runner.rules.removeFirst();
        QVERIFY(KeyMasterTestAccess::stopSarvelinClient(km));
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        QCOMPARE(runner.calls,
            QStringList(
                {"detached: " + kClient + " start", "detached: " + kClient + " start", "detached: " + kClient + " stop",
                    "detached: " + kClient + " stop", "detached: pkill sarvelin_client"}));
        QCOMPARE(seen.texts,
            QStringList({"E: Can't start Sarvelin client. " + kClientLogText,
                "E: Can't stop Sarvelin client. " + kClientLogText}));
        // The checked start gives up at once when the client cannot start.
        runner.rules.clear();
        QElapsedTimer took;
        took.start();
        QVERIFY(!KeyMasterTestAccess::startSarvelinClientWithCheck(km));
        QVERIFY(took.elapsed() < 900);
        QCOMPARE(runner.calls.last(), "watched: " + kClient + " start");
        QCOMPARE(seen.texts.last(), "E: Can't start Sarvelin client. " + kClientLogText);
        QFile::remove("/tmp/startSarvelinClientWithCheck.log");
    }

    // The archive tool's answer decides the run: its exit code, then the
    // queue marker in what it wrote (both streams, shown as details).
    void archiveTool_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("shown");
        QTest::newRow("queued") << 0 << QByteArray("TASK WAS ADDED TO QUEUE: 1001\n") << QByteArray() << true << "";
        QTest::newRow("fails") << 3 << QByteArray("Rescue image of /dev/sda\n") << QByteArray("Task wasn't added\n")
                               << false
                               << "E: Can't start a backup, sv_archives has problems|Rescue image of /dev/sda\nTask "
                                  "wasn't added\n";
        QTest::newRow("without the queue marker")
            << 0 << QByteArray("Server answer: task refused\n") << QByteArray() << false
            << "E: Wrong response from server. See log and journal for more info|Server answer: task refused\n";
    }
    void archiveTool()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(bool, result);
        QFETCH(QString, shown);
        ScriptedRunner runner;
        runner.answer("/opt/sarvelin/bin/sv_archives", code, out, err);
        Shown seen;
        KeyMaster km;
        km.setSelectedDrive("sda");
        km.setCrypto("kuznyechik");
        QCOMPARE(KeyMasterTestAccess::startSvArchives(km), result);
        const QStringList call {
            "/opt/sarvelin/bin/sv_archives", "-c", "/dev/sda", "-m", "rescue_image", "-a", "kuznyechik"};
        QCOMPARE(runner.argumentLists, QList<QStringList> {call});
        QCOMPARE(seen.texts, shown.isEmpty() ? QStringList() : QStringList {shown});
        QFile::remove("/tmp/sv_archives.log");
    }

    // --- what arrives while a tool runs

    // While a mount runs, the exit page's unmount and a check box are
    // refused (not run half-way through the mount); while the devices tree
    // is read, a second choice of disk is refused with a warning.
    void whileAToolRuns()
    {
        ScriptedRunner runner;
        FsModel model;
        model.setItem(0, 0, new QStandardItem);
        bool unmounted = true, marked = false;
        ScriptedRunner::Rule slowMount;
        slowMount.prefix = "/bin/mount";
        slowMount.during = [&] {
            unmounted = model.unmountAll();
            model.mark(0, true);
            marked = model.item(0)->data(FsModel::NeedBackupRole).toBool() || model.backupingFsNumber() > 0;
        };
        runner.answer(slowMount);
        runner.answer("/bin/df", 0);
        runner.answer("/bin/umount", 0);
        QVERIFY(model.mountDevice("/dev/sdz3", "/mnt", true));
        QVERIFY(!unmounted && !marked);
        QCOMPARE(runner.calls.filter("umount").size(), 0);
        model.mark(0, true);
        QCOMPARE(model.backupingFsNumber(), 1u);

        Shown seen;
        KeyMaster km;
        int trees = 0;
        connect(&km, &KeyMaster::devicesTreeChanged, &km, [&] { ++trees; });
        ScriptedRunner::Rule tree;
        tree.prefix = "/bin/lsblk -fJ '/dev/sda'";
        // A warning on standard error must not spoil the JSON.
        tree.out = R"({"blockdevices":[{"name":"sda","children":[{"name":"sda1","fstype":"ext4"}]}]})";
        tree.err = "lsblk: sda: warning\n";
        tree.during = [&] { km.loadDevicesTree("sdb"); };
        runner.answer(tree);
        km.loadDevicesTree("sda");
        QCOMPARE(trees, 1);
        QCOMPARE(runner.calls.filter("lsblk -fJ").size(), 1);
        QCOMPARE(km.getDevicesTree()->rowCount(), 1);
        QCOMPARE(seen.texts,
            QStringList {"W: This cannot be done now: the inspection of a partition is running. Wait "
                         "until it ends."});
    }
};

QTEST_MAIN(ToolRunsTest)
#include "tst_tool_runs.moc"
