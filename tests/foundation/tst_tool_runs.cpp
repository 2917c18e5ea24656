// The controller's logic around the tools it runs, in-process with the
// scripted runner: nothing runs, no root, no simulated medium.
#include "fsmodel.h"
#include "keymaster.h"
#include "medium_disk.h"
#include "notifier.h"
#include "sv_key_common.h"
#include "../common/keymaster_test_access.h"
#include "../devices/devices_support.h"
#include "../common/scripted_runner.h"
#include "../common/test_files.h"

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

// One LVM clean-up: pvs's standard output, the LVM tool calls after it, what
// the question lists ("" = not asked), what the operator is shown, a
// "program value" that fails with a message on standard error.
struct LvmCase
{
    QString pvs;
    QStringList removals;
    QString question, shown, failing, drive;
    bool confirm;
};

} // namespace

Q_DECLARE_METATYPE(LvmCase)

class ToolRunsTest : public QObject
{
    Q_OBJECT

private slots:
    void lvmCleanup_data()
    {
        QTest::addColumn<LvmCase>("c");
        const QString other = "  /dev/sdb1|vg1|data\n", vg0 = "  /dev/sda2|vg0|root\n";
        const QString none = "Volume groups to remove: none\nLogical volumes to remove: none\n";
        QTest::newRow("no PV on the disk") << LvmCase {other, {}, "", "", "", "sda", true};
        QTest::newRow("two PVs of one group") << LvmCase {other + vg0 + "  /dev/sda2|vg0|swap\n  /dev/sda3|vg0|\n",
            {"lvremove -y vg0", "vgremove -y vg0", "pvremove -y /dev/sda2", "pvremove -y /dev/sda3"},
            "Volume groups to remove: vg0\nLogical volumes to remove: vg0/root, vg0/swap\n"
            "Physical volumes to remove: /dev/sda2, /dev/sda3",
            "", "", "sda", true};
        // nvme0n12 is another disk than nvme0n1, though its name begins alike.
        QTest::newRow("partition of an nvme disk") << LvmCase {"  /dev/nvme0n1p2|vgn|\n  /dev/nvme0n12|vgz|\n",
            {"lvremove -y vgn", "vgremove -y vgn", "pvremove -y /dev/nvme0n1p2"},
            "Volume groups to remove: vgn\nLogical volumes to remove: none\nPhysical volumes to remove: /dev/nvme0n1p2",
            "", "", "nvme0n1", true};
        QTest::newRow("group spanning two disks") << LvmCase {vg0 + "  /dev/sdb1|vg0|\n", {}, "",
            "error: LVM volume group vg0 also lies on /dev/sdb1. It is not removed: restore to /dev/sda canceled", "",
            "sda", true};
        QTest::newRow("PV without a group") << LvmCase {"  /dev/sda3||\n", {"pvremove -y /dev/sda3"},
            none + "Physical volumes to remove: /dev/sda3", "", "", "sda", true};
        QTest::newRow("failing lvremove") << LvmCase {vg0, {"lvremove -y vg0"}, "Volume groups to remove: vg0",
            "error: Can't delete LVM logical volumes: vg0 [  vg0/root is in use.\n]", "lvremove vg0", "sda", true};
        QTest::newRow("failing pvs") << LvmCase {
            "", {}, "", "error: Can't read LVM physical volumes [  vg0/root is in use.\n]", "pvs", "sda", true};
        QTest::newRow("Cancel on the question")
            << LvmCase {vg0, {}, "Logical volumes to remove: vg0/root", "", "", "sda", false};
        QTest::newRow("shell characters stay data") << LvmCase {QString("  /dev/sda2|%1|root\n").arg(kHostile),
            {"lvremove -y " + kHostile, "vgremove -y " + kHostile, "pvremove -y /dev/sda2"},
            "Volume groups to remove: " + kHostile, "", "", "sda", true};
    }
    void lvmCleanup()
    {
        QFETCH(LvmCase, c);
        const auto& [pvs, removals, question, shown, failing, drive, confirm] = c;
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
        devices_test::NoteRecorder seen;
        KeyMaster km;
        QStringList asked;
        connect(&km, &KeyMaster::needConfirmRestoreLVM, &km, [&](const QString& text) {
            asked << text;
            km.answerRestoreLVM(c.confirm);
        });
        QCOMPARE(KeyMasterTestAccess::clearLvmOnDrive(km, drive), shown.isEmpty() && confirm);

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
        QVERIFY2(question.isEmpty()
                || (asked[0].startsWith("Device " + drive
                        + " is configured as LVM physical volume. If you continue all it's data will be lost\n\n")
                    && asked[0].contains(question)),
            qPrintable(asked.join("")));
        QCOMPARE(seen.lines(), shown.isEmpty() ? QStringList() : QStringList {shown});
    }

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
        devices_test::NoteRecorder seen;
        KeyMaster km;
        km.init();
        QCOMPARE(seen.lines(), QStringList());
        QCOMPARE(km.drives(), QStringList({"sda", "nvme0n1", "ZRAM1"}));
        QCOMPARE(km.driveIdentity("sda"), QString("128 GB, SIMTEK SSD, serial S1"));
        QCOMPARE(km.driveIdentity("nvme0n1"), QString());

        runner.answer(kOsReleaseCommand, 0, "Other\n");
        runner.answer(kDrivesCommand, 2, "sdq\n", "awk: broken\n");
        runner.answer(kOsReleaseCommand, 4, {}, "sed: -e expression #1: unknown command\n");
        KeyMasterTestAccess::checkClient(km);
        KeyMasterTestAccess::loadDrives(km);
        QCOMPARE(km.drives(), QStringList({"sda", "nvme0n1", "ZRAM1"}));
        QCOMPARE(seen.lines(),
            QStringList(
                {QString("error: Can't execute: ") + kOsReleaseCommand + " [sed: -e expression #1: unknown command\n]",
                    QString("warning: Can't execute: ") + kDrivesCommand + " [sdq\nawk: broken\n]"}));
        runner.rules.removeAt(0);
        KeyMasterTestAccess::checkClient(km);
        QCOMPARE(seen.lines().mid(2), QStringList {"warning: You can run this application on Sarvelin key only"});
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

    // Resolution to the whole disk on a fake system: partitions of SCSI and
    // NVMe disks, a key written whole (the ISO's file system on the disk
    // itself), a CD, blanks escaped in mountinfo, and the kernel's
    // live-media= argument when the medium is not mounted.
    void mediumDiskResolution()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString d = dir.path();
        const QString devices = d + "/sys/devices/pci/block";
        QVERIFY(QDir().mkpath(d + "/sys/dev/block") && QDir().mkpath(d + "/sys/class/block"));
        // Each device's folder (a partition's below its disk's) and number.
        for (const QStringList& node : QList<QStringList> {
                 {"sdc/sdc2", "8:34"}, {"nvme0n1/nvme0n1p1", "259:1"}, {"sdd", "8:48"}, {"sr0", "11:0"}}) {
            const QString folder = devices + "/" + node[0];
            QVERIFY(node[0].contains('/') ? writeFile(folder + "/partition", "1\n") : QDir().mkpath(folder));
            QVERIFY(QFile::link(folder, d + "/sys/dev/block/" + node[1]));
            QVERIFY(QFile::link(folder, d + "/sys/class/block/" + node[0].section('/', -1)));
        }
        QVERIFY(QFile::link(d + "/sys/class/block/sdc2", d + "/by-label"));
        MediumDisk::Sources sources {
            d + "/mountinfo", "/run/live/my medium", d + "/sys/dev/block", d + "/sys/class/block", d + "/cmdline"};
        const auto mountLine = [](const QString& number, const QString& point, const QString& source) {
            return QByteArray("21 1 0:20 / /proc rw - proc proc rw\n")
                + QString("35 28 %1 / %2 ro,noatime - iso9660 %3 ro\n").arg(number, point, source).toUtf8();
        };
        writeFile(d + "/cmdline", "BOOT_IMAGE=/live/vmlinuz boot=live quiet\n");
        // mountinfo escapes the blank of the medium's mount point.
        const QString point = "/run/live/my\\040medium";
        const QList<QStringList> cases = {
            {"8:48", "/run/live/my", "/dev/sdd", ""},
            {"0:99", point, "/dev/gone", ""},
            {"8:34", point, "/dev/sdc2", "sdc"},
            {"259:1", point, "/dev/nvme0n1p1", "nvme0n1"},
            {"11:0", point, "/dev/sr0", "sr0"},
            {"8:48", point, "/dev/sdd", "sdd"},
        };
        for (const QStringList& c : cases) {
            writeFile(d + "/mountinfo", mountLine(c[0], c[1], c[2]));
            QVERIFY2(MediumDisk::find(sources) == c[3], qPrintable(c.join(' ') + " -> " + MediumDisk::find(sources)));
        }
        QCOMPARE(MediumDisk::without({"sda", "sdd", "sde"}, sources), QStringList({"sda", "sde"}));
        writeFile(d + "/mountinfo", mountLine("0:20", "/", "overlay"));
        QCOMPARE(MediumDisk::find(sources), QString());
        writeFile(d + "/cmdline", "boot=live live-media=" + (d + "/by-label").toUtf8() + " quiet\n");
        QCOMPARE(MediumDisk::find(sources), QString("sdc"));
        QCOMPARE(MediumDisk::without({"sdc"}, sources), QStringList());
    }

    // Every start is checked: a client that cannot be started or stopped is
    // said so, and what was not started is not stopped.
    void clientStartsAndStops()
    {
        ScriptedRunner runner;
        devices_test::NoteRecorder seen;
        KeyMaster km;
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        QVERIFY(!KeyMasterTestAccess::startSarvelinClient(km)); // not scripted: cannot start
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        runner.answer("", 0);
        QVERIFY(KeyMasterTestAccess::startSarvelinClient(km));
        runner.answer({kClient + " stop", 0, {}, {}, CommandResult::Outcome::NotStarted, {}});
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        runner.rules.removeFirst();
        QVERIFY(KeyMasterTestAccess::stopSarvelinClient(km));
        QVERIFY(!KeyMasterTestAccess::stopSarvelinClient(km));
        QCOMPARE(runner.calls,
            QStringList(
                {"detached: " + kClient + " start", "detached: " + kClient + " start", "detached: " + kClient + " stop",
                    "detached: " + kClient + " stop", "detached: pkill sarvelin_client"}));
        QCOMPARE(seen.lines(),
            QStringList({"error: Can't start Sarvelin client. " + kClientLogText,
                "error: Can't stop Sarvelin client. " + kClientLogText}));
        // The checked start gives up at once when the client cannot start.
        runner.rules.clear();
        QElapsedTimer took;
        took.start();
        QVERIFY(!KeyMasterTestAccess::startSarvelinClientWithCheck(km));
        QVERIFY(took.elapsed() < 900);
        QCOMPARE(runner.calls.last(), "watched: " + kClient + " start");
        QCOMPARE(seen.lines().last(), "error: Can't start Sarvelin client. " + kClientLogText);
        QFile::remove("/tmp/startSarvelinClientWithCheck.log");
    }

    // The archive tool's answer decides the run: its exit code, then the
    // queue marker in what it wrote (both streams, shown as details).
    void archiveTool()
    {
        const QList<std::tuple<int, QByteArray, QByteArray, QString>> answers {
            {0, "TASK WAS ADDED TO QUEUE: 1001\n", "", ""},
            {3, "Rescue image of /dev/sda\n", "Task wasn't added\n",
                "error: Can't start a backup, sv_archives has problems [Rescue image of /dev/sda\nTask wasn't "
                "added\n]"},
            {0, "Server answer: task refused\n", "",
                "error: Wrong response from server. See log and journal for more info [Server answer: task "
                "refused\n]"}};
        for (const auto& [code, out, err, shown] : answers) {
            ScriptedRunner runner;
            runner.answer("/opt/sarvelin/bin/sv_archives", code, out, err);
            devices_test::NoteRecorder seen;
            KeyMaster km;
            km.setSelectedDrive("sda");
            km.setCrypto("kuznyechik");
            QCOMPARE(KeyMasterTestAccess::startSvArchives(km), shown.isEmpty());
            QCOMPARE(runner.argumentLists.value(0).join(' '),
                QString("/opt/sarvelin/bin/sv_archives -c /dev/sda -m rescue_image -a kuznyechik"));
            QCOMPARE(runner.argumentLists.size(), 1);
            QCOMPARE(seen.lines(), shown.isEmpty() ? QStringList() : QStringList {shown});
        }
        QFile::remove("/tmp/sv_archives.log");
    }

    // While a mount runs, the exit page's unmount and a check box are
    // refused (not run half-way through the mount); while the devices tree
    // is read, a second choice of disk is refused with a warning.
    void whileAToolRuns()
    {
        ScriptedRunner runner;
        FsModel model;
        model.setItem(0, 0, new QStandardItem);
        bool unmounted = true, marked = false;
        runner.answer({"/bin/mount", 0, {}, {}, CommandResult::Outcome::Finished, [&] {
                           unmounted = model.unmountAll();
                           model.mark(0, true);
                           marked
                               = model.item(0)->data(FsModel::NeedBackupRole).toBool() || model.backupingFsNumber() > 0;
                       }});
        runner.answer("/bin/df", 0);
        runner.answer("/bin/umount", 0);
        QVERIFY(model.mountDevice("/dev/sdz3", "/mnt", true));
        QVERIFY(!unmounted && !marked);
        QCOMPARE(runner.calls.filter("umount").size(), 0);
        model.mark(0, true);
        QCOMPARE(model.backupingFsNumber(), 1u);

        devices_test::NoteRecorder seen;
        KeyMaster km;
        int trees = 0;
        connect(&km, &KeyMaster::devicesTreeChanged, &km, [&] { ++trees; });
        // A warning on standard error must not spoil the JSON.
        runner.answer({"/bin/lsblk -fJ '/dev/sda'", 0,
            R"({"blockdevices":[{"name":"sda","children":[{"name":"sda1","fstype":"ext4"}]}]})",
            "lsblk: sda: warning\n", CommandResult::Outcome::Finished, [&] { km.loadDevicesTree("sdb"); }});
        km.loadDevicesTree("sda");
        QCOMPARE(trees, 1);
        QCOMPARE(runner.calls.filter("lsblk -fJ").size(), 1);
        QCOMPARE(km.getDevicesTree()->rowCount(), 1);
        QCOMPARE(seen.lines(),
            QStringList {"warning: This cannot be done now: the inspection of a partition is running. Wait "
                         "until it ends."});
    }
};

QTEST_MAIN(ToolRunsTest)
#include "tst_tool_runs.moc"
