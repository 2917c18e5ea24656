// Controller core on the simulated medium: the rescue-medium check through
// the real pipeline, the medium's own disk and the clean-up. Runs in the
// sandbox: each case lays its own /etc/os-release and stub tools over /bin
// and /sbin (the logic around the tools' answers: tst_tool_runs.cpp).
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
        QTest::newRow("exact") << QByteArray("NAME=\"Sarvelin key\"\nPRETTY_NAME=\"Sarvelin key\"\nID=sarvelin\n")
                               << false;
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
        const QList<QPair<QString, QString>> nodes
            = {{"sdc2", "8:34"}, {"nvme0n1p1", "259:1"}, {"sdd", "8:48"}, {"sr0", "11:0"}};
        for (const auto& node : nodes) {
            const QString folder = node.first == "sdc2" ? "sdc/sdc2"
                : node.first == "nvme0n1p1"             ? "nvme0n1/nvme0n1p1"
                                                        : node.first;
            QVERIFY(QFile::link(devices + "/" + folder, d + "/sys/dev/block/" + node.second));
            QVERIFY(QFile::link(devices + "/" + folder, d + "/sys/class/block/" + node.first));
        }
        QVERIFY(QFile::link(d + "/sys/class/block/sdc2", d + "/by-label"));
        MediumDisk::Sources sources {
            d + "/mountinfo", "/run/live/medium", d + "/sys/dev/block", d + "/sys/class/block", d + "/cmdline"};
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
