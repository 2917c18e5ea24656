// The inspection of an installed system by the controller on real file
// systems of loop devices (inspection-setup.sh), and its checks that need the
// simulated medium: the medium's os-release, its own disk, the clean-up.

#include "devices_support.h"
#include "keymaster.h"
#include "../common/keymaster_test_access.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QtTest>

using namespace devices_test;

class TestInspection : public QObject
{
    Q_OBJECT

    // The UUIDs inspection-setup.sh wrote (KEY=VALUE lines).
    std::unique_ptr<QSettings> env;
    // The other device carrying the clones' UUID, as blkid names it.
    QString firstClone;

    // Picks the row `name` of disk `disk` as the root partition.
    bool pick(KeyMaster& km, const QString& disk, const QString& name)
    {
        km.loadDevicesTree(disk);
        QAbstractItemModel* tree = km.getDevicesTree();
        return km.handleSelectedDevicePartition(
            tree->match(tree->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly | Qt::MatchRecursive).value(0));
    }

    void setFixture(const QByteArray& json) { QVERIFY(writeFile(workDir() + "/lsblk.fixture", json)); }

private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        env = std::make_unique<QSettings>(workDir() + "/medium.env", QSettings::IniFormat);
        QVERIFY2(env->contains("ROOT"), "the simulated disks were not built (inspection-setup.sh)");
        // The UUID of the clones leads to the first one.
        QCOMPARE(runBash("/sbin/blkid --uuid " + env->value("CLONE").toString()), QStringLiteral("/dev/sdf1"));
        firstClone = runBash("sv_part_loop sdf 1");
    }

    void cleanup()
    {
        QFile::remove(workDir() + "/lsblk.fixture");
        // Whatever a failed check left behind must not spoil the next one.
        const QStringList left = mountsBelowMnt();
        for (const QString& mp : left)
            runBash(QStringLiteral("umount -l '%1'").arg(mp));
        QVERIFY2(left.isEmpty(), qPrintable("left mounted: " + left.join(' ')));
    }

    // Accepted systems: what is read from them and what the operator is told.
    // Then QML reads every model of the controller, its garbage collector
    // runs, and the models are still there, the controller's own.
    void acceptedSystems_data()
    {
        for (const char* column : {"disk", "row", "hostname", "os", "notes"})
            QTest::addColumn<QString>(column);
        const auto add = [](const char* tag, const char* disk, const char* row, const char* host, const char* os,
                             const char* notes) { QTest::newRow(tag) << disk << row << host << os << notes; };
        // Moved to /mnt; os-release is an absolute link, read inside /mnt.
        add("complete system mounted elsewhere", "sda", "sda1", "web01", "Installed Linux 7 (inside)",
            "info: Device /dev/sda1 is mounted. It will be unmounted amd mounted again to /mnt");
        // The first PRETTY_NAME line counts; every double quote goes.
        add("unquoted name, host name with a blank", "sdb", "sdb1", "plain01 ", "Plain Linux 3 test", "");
        // Cloned disks: the UUID leads to sdf1 too, but sdg1 is inspected.
        add("second of two clones", "sdg", "sdg1", "clone-b", "Debian GNU/Linux 12 (bookworm)",
            "warning: UUID %CLONE of the chosen device /dev/sdg1 also belongs to %FIRSTCLONE. Only the chosen device "
            "is used");
    }

    void acceptedSystems()
    {
        QFETCH(QString, disk);
        QFETCH(QString, row);
        QFETCH(QString, hostname);
        QFETCH(QString, os);
        QFETCH(QString, notes);
        const QString elsewhere = workDir() + "/elsewhere";
        if (notes.startsWith("info"))
            runBash(QString("mkdir -p %1 && mount -o ro /dev/%2 %1").arg(elsewhere, row));
        KeyMaster km;
        NoteRecorder recorder;
        QSignalSpy fstabChanged(&km, &KeyMaster::fstabModelChanged);
        const bool accepted = pick(km, disk, row);
        const QString still = runBash("findmnt -n -o TARGET " + elsewhere);
        runBash("umount -l " + elsewhere);
        QVERIFY2(accepted, qPrintable(recorder.dump()));
        QVERIFY(still.isEmpty());
        QCOMPARE(fstabChanged.count(), 1);
        QCOMPARE(recorder.dump(),
            notes.replace("%CLONE", env->value("CLONE").toString()).replace("%FIRSTCLONE", firstClone));
        QCOMPARE(km.getHostname(), hostname);
        QCOMPARE(km.getOs(), os);
        // Nothing stays mounted (cleanup checks), and the model forgot it.
        QVERIFY(qobject_cast<FsModel*>(km.getFstabModel())->getMountedDevices().isEmpty());

        QQmlEngine engine;
        engine.rootContext()->setContextProperty("KeyMaster", &km);
        engine.rootContext()->setContextProperty("DrpManager", km.drpManager());
        QQmlComponent component(&engine);
        component.setData("import QtQml 2.12\n"
                          "QtObject { function rows() { return [KeyMaster.devicesTree, KeyMaster.getDevicesTree(),"
                          " KeyMaster.fstabModel, KeyMaster.getFstabModel(), KeyMaster.resqueArchivesModel,"
                          " KeyMaster.getResqueArchivesModel(), DrpManager.drpModel, DrpManager.drpArchiveModel]"
                          ".map(function(m) { return m ? m.rowCount() : -1 }).join(' ') }"
                          " function collect() { rows(); gc() } }",
            QUrl());
        std::unique_ptr<QObject> reader(component.create());
        QVERIFY2(reader, qPrintable(component.errorString()));
        QPointer<QAbstractItemModel> tree = km.getDevicesTree();
        const int treeRows = tree->rowCount(), fstabRows = km.getFstabModel()->rowCount();
        QVERIFY(treeRows > 0 && fstabRows > 0);
        for (int round = 0; round < 2; ++round) {
            QVERIFY(QMetaObject::invokeMethod(reader.get(), "collect"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVariant rows;
            QVERIFY(QMetaObject::invokeMethod(reader.get(), "rows", Q_RETURN_ARG(QVariant, rows)));
            QCOMPARE(rows.toString(), QString("%1 %1 %2 %2 0 0 0 0").arg(treeRows).arg(fstabRows));
        }
        // A new disk choice replaces (and deletes) the tree.
        km.loadDevicesTree("sde");
        QVERIFY(tree.isNull());
        QCOMPARE(qobject_cast<DevicesTree*>(km.getDevicesTree())->getName(QModelIndex()), QStringLiteral("sde"));
    }

    // Each refused choice and its exact warning. The row is a name ("-", no
    // row: the disk's), "#0" for the first row as it is, "stale" for a row of
    // an earlier tree; a fixture replaces lsblk's answer (%1: the root's UUID).
    void refusedChoices_data()
    {
        for (const char* column : {"disk", "row", "fixture", "warning"})
            QTest::addColumn<QString>(column);
        const auto add
            = [](const char* tag, const char* disk, const char* row, const char* sdaChildren, const QString& warning) {
                  const QString answer = R"({"blockdevices":[{"name":"sda","children":[%1]}]})";
                  QTest::newRow(tag) << disk << row << (*sdaChildren ? answer.arg(sdaChildren) : QString()) << warning;
              };
        const QString notLogical = "Chosen not a logical drive, choose another device";
        const QString noPath = "Path to device is empty!";
        add("boot partition only", "sda", "sda2", "",
            "Device /dev/sda2 doesn't look like a root device. You need to select the root partition");
        add("swap", "sda", "sda3", "", "Fstype swap doesnt supported");
        add("LVM physical volume", "sda", "sda4", "", "Fstype LVM2_member doesnt supported");
        add("no file system, no UUID", "sdd", "sdd3", "", "Uuid of device is empty!");
        add("disk row", "sda", "-", "", notLogical);
        add("row without data", "sda", "#0", R"({"size":"8M"})", notLogical);
        add("row of an earlier tree", "sda", "stale", "", notLogical);
        add("empty file-system type", "sda", "sda1", R"({"name":"sda1","fstype":null,"uuid":"%1"})",
            "Fstype  doesnt supported");
        add("UUID blkid cannot resolve", "sda", "sda1",
            R"({"name":"sda1","fstype":"ext4","uuid":"0badc0de-0000-4000-8000-000000000000"})", noPath);
        // A row naming a device outside /dev is no device of the disk.
        add("name leading out of /dev", "sda", "../tmp/x", R"({"name":"../tmp/x","fstype":"ext4","uuid":"%1"})",
            noPath);
    }

    void refusedChoices()
    {
        QFETCH(QString, disk);
        QFETCH(QString, row);
        QFETCH(QString, fixture);
        QFETCH(QString, warning);
        if (!fixture.isEmpty())
            setFixture(QString(fixture).replace("%1", env->value("ROOT").toString()).toUtf8());
        KeyMaster km;
        NoteRecorder notes;
        if (row == "#0" || row == "stale") {
            km.loadDevicesTree(disk);
            const QModelIndex first = km.getDevicesTree()->index(0, 0);
            if (row == "stale")
                km.loadDevicesTree("sdb");
            QVERIFY(!km.handleSelectedDevicePartition(first));
        } else {
            QVERIFY(!pick(km, disk, row));
        }
        QCOMPARE(notes.dump(), "warning: " + warning);
        QCOMPARE(km.getFstabModel()->rowCount(), 0);
    }

    // Systems refused once mounted: what the operator is told; the host
    // name and system name shown before are cleared, nothing stays mounted.
    void refusedSystems_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("notes");
        const auto add = [](const char* tag, const char* disk, const char* row, const QStringList& notes) {
            QTest::newRow(tag) << disk << row << notes;
        };
        // The first unmount of the rejected partition fails (busy): it is
        // retried, nothing stays mounted.
        add("os-release with NAME lines only, busy at first", "sdb", "sdb2",
            {"error: Can't execute: /bin/umount -lf -- '/dev/sdb2'",
                "warning: Device /dev/sdb2 doesn't look like a root device. You need to select the root partition"});
        add("no fstab", "sdd", "sdd4",
            {"error: /mnt/etc/fstab doesnt exists", "warning: Fstab couldn`t be loaded for /dev/sdd4"});
        add("fstab entry that cannot be mounted", "sdc", "sdc1",
            {"error: Can't mount device UUID=%MISSING to mountpoint /mnt/srv",
                "warning: Device UUID=%MISSING from fstab can`t be mounted to /mnt/srv"});
        add("no client configuration", "sdb", "sdb3", {"error: Sarvelin client didn't find here: /dev/sdb3"});
        // The installed fstab mounts another disk's file system as the root.
        add("fstab root on another disk", "sde", "sde1",
            {"error: The installed fstab mounts /dev/sda1 (%sda1) on /mnt instead of the chosen device /dev/sde1 "
             "(%sde1)"});
    }

    void refusedSystems()
    {
        QFETCH(QString, disk);
        QFETCH(QString, row);
        QFETCH(QStringList, notes);
        KeyMaster km;
        km.setHostname("before");
        KeyMasterTestAccess::setOs(km, "before");
        NoteRecorder recorder;
        if (notes.value(0).contains("/bin/umount"))
            QVERIFY(writeFile(workDir() + "/umount.fail-once", ""));
        QVERIFY(!pick(km, disk, row));
        QVERIFY(!QFile::exists(workDir() + "/umount.fail-once"));
        notes.replaceInStrings("%MISSING", env->value("MISSING").toString());
        for (const char* dev : {"sda1", "sde1"})
            notes.replaceInStrings(QStringLiteral("%") + dev, runBash("mountpoint -x /dev/" + QString(dev)));
        QCOMPARE(recorder.dump(false), notes.join("\n"));
        QCOMPARE(km.getHostname(), QString());
        QCOMPARE(km.getOs(), QString());
        QVERIFY(qobject_cast<FsModel*>(km.getFstabModel())->getMountedDevices().isEmpty());
    }

    // A file system already on /mnt is never covered by another, whether the
    // mount point is written "/mnt" or "/mnt/" (as the fstab root becomes).
    void mountPointAlreadyInUse()
    {
        runBash("mount -o ro /dev/sda2 /mnt");
        KeyMaster km;
        NoteRecorder notes;
        const bool accepted = pick(km, "sda", "sda1");
        const bool mountedOnSlash = qobject_cast<FsModel*>(km.getFstabModel())->mountDevice("/dev/sda1", "/mnt/", true);
        const QStringList mounted = mountsBelowMnt();
        runBash("umount /mnt");
        QVERIFY(!accepted);
        QVERIFY(!mountedOnSlash);
        QCOMPARE(notes.messages(),
            QStringList({"The mount point /mnt is used. Please unmount it first",
                "The mount point /mnt/ is used. Please unmount it first"}));
        QVERIFY2(notes.notes.at(0).details.contains("/mnt"), qPrintable(notes.notes.at(0).details));
        // The foreign mount stays; nothing of ours joined it.
        QCOMPARE(mounted, QStringList("/mnt"));
    }

    void hostileSystemExecutesNothing()
    {
        KeyMaster km;
        NoteRecorder notes;
        QVERIFY(!pick(km, "sdd", "sdd1"));
        // Each unusable entry is reported.
        QCOMPARE(notes.messages("error").size(), 5);
        QCOMPARE(notes.messages("warning").size(), 5);
        // Neither the fstab's values nor the host name ran.
        for (const char* marker : {"pwned-semicolon", "pwned-dollar", "pwned-backquote", "pwned-pipe",
                 "pwned-mountpoint", "pwned-hostname", "pwned-hostq"})
            QVERIFY2(!QFile::exists(workDir() + "/" + marker), marker);
    }

    // Links in the installed system are followed inside /mnt; an fstab
    // mount point that a link leads out of /mnt is refused before mount runs.
    void installedFilesAreResolvedInsideMnt()
    {
        // Links laid directly in the (empty) /mnt folder of the sandbox.
        QCOMPARE(runBash("mkdir -p /mnt/etc && cd /mnt/etc && ln -s /usr/lib/os-release os-release && ln -s "
                         "../../../../outside up && ln -s loop2 loop1 && ln -s loop1 loop2 && ln -s /etc sys && ln -s "
                         "/data/opt /mnt/opt && echo ok"),
            QString("ok"));
        QVERIFY(writeFile(workDir() + "/fstab.link", "UUID=c /etc/sys ext4 defaults 0 2\n"));
        FsModel model;
        QVERIFY(model.fill(workDir() + "/fstab.link"));
        NoteRecorder notes;
        const bool mounted = model.mountAll();
        QStringList resolved;
        for (const char* path :
            {"/etc/os-release", "/etc/up", "/etc/loop1/x", "/opt/sarvelin/etc/config.file", "/etc/./hostname"})
            resolved << KeyMasterTestAccess::installedFilePath(path);
        runBash("rm -rf /mnt/etc /mnt/opt");
        QVERIFY(!mounted);
        QCOMPARE(notes.notes.value(0).details, QStringLiteral("The mount point leads outside of /mnt"));
        QVERIFY(mountsBelowMnt().isEmpty());
        QCOMPARE(resolved,
            QStringList({"/mnt/usr/lib/os-release", "/mnt/outside", "", "/mnt/data/opt/sarvelin/etc/config.file",
                "/mnt/etc/hostname"}));

        // Before any tree there is nothing to choose from.
        KeyMaster fresh;
        QTest::ignoreMessage(QtWarningMsg, "devicesTree is empty");
        QVERIFY(!fresh.handleSelectedDevicePartition(QModelIndex()));
    }

    // The rescue-medium check through the real pipeline over /etc/os-release.
    void checkClient()
    {
        const QList<QPair<QByteArray, bool>> cases {
            {"NAME=\"Sarvelin key\"\nPRETTY_NAME=\"Sarvelin key\"\nID=sarvelin\n", false},
            {"PRETTY_NAME=\"  Sarvelin    key   \"\n", false},
            // Unquoted, only one blank follows the key: the key is not stripped.
            {"PRETTY_NAME=Sarvelin key\n", true}, {"PRETTY_NAME=\"Sarvelin key 2\"\n", true}, {"", true}};
        NoteRecorder notes;
        QStringList expected;
        for (const auto& c : cases) {
            QVERIFY(writeFile("/etc/os-release", c.first));
            KeyMaster k;
            KeyMasterTestAccess::checkClient(k);
            if (c.second)
                expected << "warning: You can run this application on Sarvelin key only";
            QVERIFY2(notes.dump() == expected.join('\n'), c.first.constData());
        }
    }

    // Booted from a USB key, the key is a disk of the machine: the live
    // system's mount of the medium (a fake sysfs and a mount whose source is
    // /dev/sdb1) takes sdb out of the disk list and out of the LVM clean-up.
    void mediumDiskNotOffered()
    {
        setFixture("NAME MAJ:MIN RM SIZE RO TYPE MOUNTPOINTS\nsda 8:0 0 20G 0 disk\nsdb 8:16 0 20G 0 disk\n"
                   "nvme0n1 259:0 0 20G 0 disk\nsr0 11:0 1 1024M 0 rom\n");
        QVERIFY(writeFile("/usr/sbin/pvs", "#!/bin/sh\ntouch /tmp/pvs.ran\necho '  /dev/sdb2|medvg|data'\n", true));
        QFile::remove("/tmp/pvs.ran");
        QCOMPARE(
            runBash("set -e; mkdir -p /run/live/medium; mount -t tmpfs sv-sysblock /sys/class/block; mount -t tmpfs "
                    "/dev/sdb1 /run/live/medium; cd /sys/class/block; mkdir -p devices/sdb/sdb1; echo 1 > "
                    "devices/sdb/sdb1/partition; ln -s devices/sdb sdb; ln -s devices/sdb/sdb1 sdb1; echo ready"),
            QString("ready"));
        KeyMaster k;
        KeyMasterTestAccess::loadDrives(k);
        const QStringList drives = k.drives();
        const bool cleared = KeyMasterTestAccess::clearLvmOnDrive(k, "sdb");
        const bool pvsRan = QFile::exists("/tmp/pvs.ran");
        runBash("umount /run/live/medium /sys/class/block");
        QCOMPARE(drives, QStringList({"sda", "nvme0n1"}));
        QVERIFY2(!cleared && !pvsRan, "LVM clean-up reached the medium's disk");
        // Without the live mount nothing is taken out.
        KeyMasterTestAccess::loadDrives(k);
        QCOMPARE(k.drives(), QStringList({"sda", "sdb", "nvme0n1"}));
    }

    // Every listed file goes, whatever fails before it; the client
    // configuration goes too, nothing else; a second end finds nothing.
    void handleScenarioEnding()
    {
        for (const char* file : {"/opt/sarvelin/etc/config.file", "/tmp/t1", "/tmp/t2", "/opt/sarvelin/etc/other.file"})
            writeFile(file, "x");
        QDir().mkpath("/tmp/not-a-file");
        KeyMaster k;
        NoteRecorder notes;
        KeyMasterTestAccess::temporaryFiles(k) = {"/tmp/t1", "/tmp/missing", "/tmp/not-a-file", "/tmp/t2"};
        k.handleScenarioEnding();
        for (const char* file : {"/tmp/t1", "/tmp/t2", "/opt/sarvelin/etc/config.file"})
            QVERIFY2(!QFile::exists(file), file);
        QVERIFY(QFileInfo("/tmp/not-a-file").isDir());
        QVERIFY(QFile::exists("/opt/sarvelin/etc/other.file"));
        k.handleScenarioEnding();
        QCOMPARE(notes.dump(), QString());
    }
};

QTEST_GUILESS_MAIN(TestInspection)
#include "tst_inspection.moc"
