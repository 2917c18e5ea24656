// Controller core: the rescue-medium check, the disk list, the device lookup
// by UUID and the clean-up. Runs in the sandbox: each case lays its own /etc/os-release and
// stub tools over /bin and /sbin.
#include "keymaster.h"
#include "medium_disk.h"
#include "notifier.h"
#include "../common/keymaster_test_access.h"
#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* const kOsReleaseCommand =
    "/bin/cat /etc/os-release | /bin/grep PRETTY_NAME | /bin/sed -e 's/[=\"]/ /g' -e 's/PRETTY_NAME  //'";
const char* const kDrivesCommand = "/bin/lsblk -d | /bin/grep disk | /usr/bin/awk '{print $1}'";

// A stub lsblk that prints an `lsblk -d` listing of the given disks.
QByteArray lsblkStub(const QStringList& names)
{
    QByteArray script = "#!/bin/sh\ncat <<'LIST'\nNAME    MAJ:MIN RM  SIZE RO TYPE MOUNTPOINTS\n";
    for (const QString& name : names)
        script += name.toUtf8() + "    8:0    0   20G  0 disk \n";
    script += "sr0    11:0    1 1024M  0 rom  \nLIST\n";
    return script;
}

} // namespace

class TestController : public QObject
{
    Q_OBJECT

    std::unique_ptr<QSignalSpy> errors, warnings;

private slots:
    void initTestCase()
    {
        QVERIFY2(insideSandbox(), "this test replaces /etc/os-release and system tools: sandbox only");
    }

    void init()
    {
        errors = std::make_unique<QSignalSpy>(Notifier::getInstance(), &Notifier::hasError);
        warnings = std::make_unique<QSignalSpy>(Notifier::getInstance(), &Notifier::hasWarning);
    }

    // --- the rescue-medium check

    void checkClient_data()
    {
        QTest::addColumn<QByteArray>("osRelease");
        QTest::addColumn<bool>("warned");
        QTest::newRow("exact") << QByteArray("NAME=\"Sarvelin key\"\nPRETTY_NAME=\"Sarvelin key\"\nID=sarvelin\n") << false;
        QTest::newRow("extra blanks") << QByteArray("PRETTY_NAME=\"  Sarvelin    key   \"\n") << false;
        // Unquoted, only one blank follows the key: the key is not stripped.
        QTest::newRow("unquoted") << QByteArray("PRETTY_NAME=Sarvelin key\n") << true;
        QTest::newRow("longer name") << QByteArray("PRETTY_NAME=\"Sarvelin key 2\"\n") << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }

    void checkClient()
    {
        QFETCH(QByteArray, osRelease);
        QFETCH(bool, warned);
        writeFile("/etc/os-release", osRelease);
        KeyMaster k;
        KeyMasterTestAccess::checkClient(k);
        QCOMPARE(errors->count(), 0);
        QCOMPARE(warnings->count(), warned ? 1 : 0);
        if (warned) {
            QCOMPARE(warnings->at(0).at(0).toString(), QString("You can run this application on Sarvelin key only"));
            QCOMPARE(warnings->at(0).at(1).toString(), QString());
        }
    }

    void checkClientCommandFails()
    {
        writeFile("/etc/os-release", "PRETTY_NAME=\"Sarvelin key\"\n");
        QVERIFY(QFile::copy("/usr/bin/sed", "/tmp/sed.saved"));
        writeFile("/usr/bin/sed", "#!/bin/sh\necho broken >&2\nexit 4\n", true);
        KeyMaster k;
        KeyMasterTestAccess::checkClient(k);
        QFile::remove("/usr/bin/sed");
        QVERIFY(QFile::copy("/tmp/sed.saved", "/usr/bin/sed"));
        QCOMPARE(warnings->count(), 0);
        QCOMPARE(errors->count(), 1);
        QCOMPARE(errors->at(0).at(0).toString(), QString("Can't execute: ") + kOsReleaseCommand);
        QCOMPARE(errors->at(0).at(1).toString(), QString());
    }

    // --- disks

    // init runs both checks, the disk list after a failed medium check too;
    // a new list replaces the old one, a failed command keeps it.
    void initAndDrives()
    {
        writeFile("/etc/os-release", "PRETTY_NAME=\"Other\"\n");
        writeFile("/usr/bin/lsblk", lsblkStub({"sda", "zram0", "nvme0n1", "ZRAM1", "zramswap", "vdzram"}), true);
        KeyMaster k;
        k.init();
        QCOMPARE(warnings->count(), 1);
        QCOMPARE(k.drives(), QStringList({"sda", "nvme0n1", "ZRAM1", "vdzram"}));
        writeFile("/usr/bin/lsblk", lsblkStub({}), true);
        KeyMasterTestAccess::loadDrives(k);
        QVERIFY(k.drives().isEmpty());
        writeFile("/usr/bin/lsblk", lsblkStub({"sda"}), true);
        KeyMasterTestAccess::loadDrives(k);
        // The pipeline's status is its last command's.
        const QString target = QFile::symLinkTarget("/usr/bin/awk");
        QFile::remove("/usr/bin/awk");
        writeFile("/usr/bin/awk", "#!/bin/sh\nexit 2\n", true);
        KeyMasterTestAccess::loadDrives(k);
        QFile::remove("/usr/bin/awk");
        QVERIFY(QFile::link(target, "/usr/bin/awk"));
        QCOMPARE(k.drives(), QStringList({"sda"}));
        QCOMPARE(errors->count(), 0);
        QCOMPARE(warnings->count(), 2);
        QCOMPARE(warnings->at(1).at(0).toString(), QString("Can't execute: ") + kDrivesCommand);
    }

    // --- the medium's own disk

    // Booted from a USB key, the key is a disk of the machine: the live
    // system's mount of the medium (a fake sysfs and a mount whose source is
    // /dev/sdb1) takes sdb out of the disk list and out of the LVM clean-up.
    void mediumDiskNotOffered()
    {
        writeFile("/usr/bin/lsblk", lsblkStub({"sda", "sdb", "nvme0n1"}), true);
        writeFile("/usr/sbin/pvs", "#!/bin/sh\ntouch /tmp/pvs.ran\necho '  /dev/sdb2|medvg|data'\n", true);
        QFile::remove("/tmp/pvs.ran");
        QVERIFY(QDir().mkpath("/run/live/medium"));
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "sv-sysblock", "/sys/class/block"}), 0);
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "/dev/sdb1", "/run/live/medium"}), 0);
        QVERIFY(writeFile("/sys/class/block/devices/sdb/sdb1/partition", "1\n"));
        QVERIFY(QFile::link("devices/sdb", "/sys/class/block/sdb"));
        QVERIFY(QFile::link("devices/sdb/sdb1", "/sys/class/block/sdb1"));
        KeyMaster k;
        KeyMasterTestAccess::loadDrives(k);
        const QStringList drives = k.drives();
        const bool cleared = KeyMasterTestAccess::clearLvmOnDrive(k, "sdb");
        const bool pvsRan = QFile::exists("/tmp/pvs.ran");
        QProcess::execute("umount", {"/run/live/medium"});
        QProcess::execute("umount", {"/sys/class/block"});
        QCOMPARE(drives, QStringList({"sda", "nvme0n1"}));
        QVERIFY2(!cleared && !pvsRan, "LVM clean-up reached the medium's disk");
        // Without the live mount nothing is taken out.
        KeyMasterTestAccess::loadDrives(k);
        QCOMPARE(k.drives(), QStringList({"sda", "sdb", "nvme0n1"}));
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
        QVERIFY(writeFile(devices + "/sdc/sdc2/partition", "2\n"));
        QVERIFY(writeFile(devices + "/nvme0n1/nvme0n1p1/partition", "1\n"));
        QVERIFY(QDir().mkpath(devices + "/sdd"));
        QVERIFY(QDir().mkpath(devices + "/sr0"));
        QVERIFY(QDir().mkpath(d + "/sys/dev/block"));
        QVERIFY(QDir().mkpath(d + "/sys/class/block"));
        const QList<QPair<QString, QString>> nodes = {
            {"sdc2", "8:34"}, {"nvme0n1p1", "259:1"}, {"sdd", "8:48"}, {"sr0", "11:0"}};
        for (const auto& node : nodes) {
            const QString folder = node.first == "sdc2" ? "sdc/sdc2"
                                   : node.first == "nvme0n1p1" ? "nvme0n1/nvme0n1p1" : node.first;
            QVERIFY(QFile::link(devices + "/" + folder, d + "/sys/dev/block/" + node.second));
            QVERIFY(QFile::link(devices + "/" + folder, d + "/sys/class/block/" + node.first));
        }
        QVERIFY(QFile::link(d + "/sys/class/block/sdc2", d + "/by-label"));
        MediumDisk::Sources sources{d + "/mountinfo", "/run/live/medium", d + "/sys/dev/block", d + "/sys/class/block",
                                    d + "/cmdline"};
        const auto mountLine = [](const QString& number, const QString& point, const QString& source) {
            return QByteArray("21 1 0:20 / /proc rw - proc proc rw\n")
                   + QString("35 28 %1 / %2 ro,noatime - iso9660 %3 ro\n").arg(number, point, source).toUtf8();
        };
        writeFile(d + "/cmdline", "BOOT_IMAGE=/live/vmlinuz boot=live quiet\n");
        const QList<QStringList> cases = {
            {"8:34", "/run/live/medium", "/dev/sdc2", "sdc"},
            {"259:1", "/run/live/medium", "/dev/nvme0n1p1", "nvme0n1"},
            {"8:48", "/run/live/medium", "/dev/sdd", "sdd"},
            {"11:0", "/run/live/medium", "/dev/sr0", "sr0"},
            {"0:99", "/run/live/medium", "/dev/gone", ""},
            {"8:48", "/run/live/medium2", "/dev/sdd", ""},
        };
        for (const QStringList& c : cases) {
            writeFile(d + "/mountinfo", mountLine(c[0], c[1], c[2]));
            QVERIFY2(MediumDisk::find(sources) == c[3], qPrintable(c.join(' ') + " -> " + MediumDisk::find(sources)));
        }
        sources.mediumMount = "/run/live/my medium";
        writeFile(d + "/mountinfo", mountLine("8:48", "/run/live/my\\040medium", "/dev/sdd"));
        QCOMPARE(MediumDisk::find(sources), QString("sdd"));
        QCOMPARE(MediumDisk::without({"sda", "sdd", "sde"}, sources), QStringList({"sda", "sde"}));
        writeFile(d + "/mountinfo", mountLine("0:20", "/", "overlay"));
        QCOMPARE(MediumDisk::find(sources), QString());
        writeFile(d + "/cmdline", "boot=live live-media=" + (d + "/by-label").toUtf8() + " quiet\n");
        QCOMPARE(MediumDisk::find(sources), QString("sdc"));
        QCOMPARE(MediumDisk::without({"sdc"}, sources), QStringList());
    }

    // --- device lookup

    // The UUID reaches blkid as one argument, whatever it holds (more hostile
    // UUIDs are refused through the partition choice by tst_devices_inspection).
    void getDevicePath_data()
    {
        QTest::addColumn<QString>("uuid");
        QTest::addColumn<QString>("path");
        QTest::newRow("known") << "1234-ABCD" << "/dev/sdb1";
        QTest::newRow("unknown") << "0000-0000" << "";
        QTest::newRow("apostrophe") << "x'; touch /tmp/pwned; '" << "";
    }

    void getDevicePath()
    {
        QFETCH(QString, uuid);
        QFETCH(QString, path);
        writeFile("/usr/sbin/blkid",
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" > /tmp/blkid.args\n"
                  "if [ \"$1\" = --uuid ] && [ \"$2\" = 1234-ABCD ]; then echo /dev/sdb1; exit 0; fi\nexit 2\n",
                  true);
        QFile::remove("/tmp/pwned");
        KeyMaster k;
        QCOMPARE(KeyMasterTestAccess::getDevicePath(k, uuid), path);
        QVERIFY2(!QFile::exists("/tmp/pwned"), "a UUID was executed");
        QFile args("/tmp/blkid.args");
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(args.readAll()), "--uuid\n" + uuid + "\n");
        QCOMPARE(errors->count() + warnings->count(), 0);
    }

    // --- clean-up

    // Every listed file goes, whatever fails before it; the client
    // configuration goes too, nothing else; a second end finds nothing.
    void handleScenarioEnding()
    {
        writeFile("/opt/sarvelin/etc/config.file", "SV_HOST=1\n");
        writeFile("/tmp/t1", "a");
        writeFile("/tmp/t2", "b");
        writeFile("/opt/sarvelin/etc/other.file", "kept");
        QDir().mkpath("/tmp/not-a-file");
        KeyMaster k;
        KeyMasterTestAccess::temporaryFiles(k) = {"/tmp/t1", "/tmp/missing", "/tmp/not-a-file", "/tmp/t2"};
        k.handleScenarioEnding();
        QVERIFY(!QFile::exists("/tmp/t1"));
        QVERIFY(!QFile::exists("/tmp/t2"));
        QVERIFY(QFileInfo("/tmp/not-a-file").isDir());
        QVERIFY(!QFile::exists("/opt/sarvelin/etc/config.file"));
        QVERIFY(QFile::exists("/opt/sarvelin/etc/other.file"));
        k.handleScenarioEnding();
        QCOMPARE(errors->count() + warnings->count(), 0);
    }
};

QTEST_MAIN(TestController)
#include "tst_controller.moc"
