// The fstab model and the block device tree in-process, with the scripted
// runner: every command is compared as the text a shell would run.

#include "devices_support.h"
#include "devicestree.h"
#include "fsmodel.h"
#include "../common/scripted_runner.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace devices_test;

namespace {

const QString kMount = "run: /bin/mount -o ro,nodev,nosuid,noexec -- ";

// A runner on which df finds nothing mounted on the folder (it names "/")
// and mount and umount succeed.
class Tools : public ScriptedRunner
{
public:
    Tools()
    {
        answer("/bin/df", 0, "Filesystem 1K-blocks Used Available Use% Mounted on\n/dev/vda1 1000 10 990 1% /\n");
        answer("/bin/mount", 0);
        answer("/bin/umount", 0);
    }
};

// The rows of the model, one line each: the six fields joined by '|'.
QString rows(const FsModel& model)
{
    QString out;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList fields;
        for (int role = FsModel::FilesystemRole; role <= FsModel::PassRole; ++role)
            fields << model.item(r)->data(role).toString();
        out += fields.join('|') + '\n';
    }
    return out;
}

const QByteArray kStandard = R"({"blockdevices": [
   {"name":"sda", "fstype":null, "fsver":null, "label":null, "uuid":null, "mountpoint":null, "children": [
      {"name":"sda1", "fstype":"ext4", "label":"boot", "uuid":"4ffc4faf-1dad", "mountpoint":null},
      {"name":"sda3", "fstype":"swap", "label":null, "uuid":"d7aaf5c3-ab6a", "mountpoint":"[SWAP]"},
      {"name":"sda4", "fstype":"LVM2_member", "label":null, "uuid":"jVZje6-y8Pc", "mountpoint":null, "children": [
         {"name":"vg_data-srv", "fstype":"xfs", "label":null, "uuid":"abf5122b-0877", "mountpoint":null, "children": [
            {"name":"crypt-srv", "fstype":"crypto_LUKS", "label":null, "uuid":"11111111-2222", "mountpoint":null}]}]}]}
]})";

const QByteArray kMountpointsArrays = R"({"blockdevices": [
   {"name":"nvme0n1", "fstype":null, "label":null, "uuid":null, "mountpoints":[null], "children": [
      {"name":"nvme0n1p1", "fstype":"vfat", "label":"EFI", "uuid":"ABCD-1234", "mountpoints":[null, "/boot/efi"]},
      {"name":"nvme0n1p2", "fstype":"ext4", "label":null, "uuid":"aaaaaaaa", "mountpoints":["/", "/var/snap"]},
      {"name":"nvme0n1p3", "fstype":"ext4", "label":null, "uuid":"bbbbbbbb", "mountpoints":[null]},
      {"name":"nvme0n1p4", "fstype":"ext4", "label":null, "uuid":"cccccccc", "mountpoints":[]}]}
]})";

// The whole tree, one line per row in depth order, the disk's first, then
// indented by depth: name|fstype|label|uuid|mountpoint|type.
QString dump(const DevicesTree& tree, const QModelIndex& i = QModelIndex(), int depth = -1)
{
    QString out = QString(qMax(depth, 0) * 2, ' ')
        + QStringList {tree.getName(i), tree.getFstype(i), tree.getLabel(i), tree.getUuid(i), tree.getMountpoint(i),
            QString::number(tree.getType(i))}
              .join('|')
        + '\n';
    for (int r = 0; r < tree.rowCount(i); ++r)
        out += dump(tree, tree.index(r, 0, i), depth + 1);
    return out;
}

} // namespace

class TestModels : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString fstabFile(const QByteArray& content)
    {
        const QString path = dir.path() + "/fstab";
        writeFile(path, content);
        return path;
    }

private slots:
    // Fields beyond six are ignored, missing ones stay empty; pseudo file
    // systems (by prefix), swap and CD-ROMs are left out. A fill replaces the
    // rows of the one before; they stay when a file cannot be read.
    void readsEntries()
    {
        FsModel model;
        QVERIFY(model.fill(fstabFile("/dev/old / ext4 defaults 0 1\n")));
        QVERIFY(model.fill(fstabFile("# /etc/fstab: static file system information.\n"
                                     "UUID=ff48e5ab-b3cf-45bf-bb11-e7cad3e48bde / ext4 errors=remount-ro 0 1\n"
                                     "\t\tLABEL=boot\t/boot   ext4\t\tdefaults   0    2   \n"
                                     "\n"
                                     "   # an indented comment\n"
                                     "/dev/sdb1 /srv/data xfs defaults,nofail 0 2 extra fields here\n"
                                     "proc /proc proc defaults 0 0\n"
                                     "devpts /dev/pts devpts gid=5,mode=620 0 0\n"
                                     "tmpfs /tmp tmpfs defaults 0 0\n"
                                     "processed-disk /data ext4 defaults 0 2\n"
                                     "UUID=1111 none swap sw 0 0\n"
                                     "/dev/sr0 /media/cdrom0 udf,iso9660 user,noauto 0 0\n"
                                     "/dev/sr2 /media/cdrom2 ISO9660 ro 0 0\n"
                                     "/dev/sda5 /proc ext4 defaults 0 0\n"
                                     "/dev/sda6 /swap ext4 defaults 0 0\n"
                                     "/dev/sdc1 /mnt/data auto noauto\n"
                                     "/dev/sda1\n")));
        QCOMPARE(rows(model),
            QString("UUID=ff48e5ab-b3cf-45bf-bb11-e7cad3e48bde|/|ext4|errors=remount-ro|0|1\n"
                    "LABEL=boot|/boot|ext4|defaults|0|2\n/dev/sdb1|/srv/data|xfs|defaults,nofail|0|2\n"
                    "/dev/sr2|/media/cdrom2|ISO9660|ro|0|0\n/dev/sda5|/proc|ext4|defaults|0|0\n"
                    "/dev/sda6|/swap|ext4|defaults|0|0\n/dev/sdc1|/mnt/data|auto|noauto||\n/dev/sda1|||||\n"));
        for (int r = 0; r < model.rowCount(); ++r)
            QCOMPARE(model.item(r)->data(FsModel::NeedBackupRole), QVariant(false));
        NoteRecorder notes;
        const QString missing = dir.path() + "/no-such-fstab";
        QVERIFY(!model.fill(missing));
        // A folder exists but cannot be opened as a file.
        QVERIFY(!model.fill(dir.path()));
        QCOMPARE(notes.messages("error"), QStringList({missing + " doesnt exists", "Can't open " + dir.path()}));
        QCOMPARE(model.rowCount(), 8);
        QVERIFY(model.fill(fstabFile("# nothing\nproc /proc proc defaults 0 0\n")));
        QCOMPARE(model.rowCount(), 0);
    }

    // Every call counts, a second mark of the same row too; the count never
    // goes below zero (the forward buttons go off at zero); rows outside the
    // model change nothing; a reset keeps the marks, a new fill drops the count.
    void marks()
    {
        FsModel model;
        QVERIFY(model.fill(fstabFile("/dev/a / ext4 d 0 1\n/dev/b /home ext4 d 0 2\n")));
        QSignalSpy changed(&model, &FsModel::backupingFsNumberChanged);
        model.mark(0, false);
        QTest::ignoreMessage(QtWarningMsg, "you try to mark wrong row: -1");
        model.mark(-1, true);
        QTest::ignoreMessage(QtWarningMsg, "you try to mark wrong row: 2");
        model.mark(2, true);
        QCOMPARE(changed.count(), 0);
        for (const auto& [row, on] : {std::pair {0, true}, {0, true}, {1, true}, {1, false}})
            model.mark(row, on);
        QCOMPARE(model.backupingFsNumber(), 2u);
        QCOMPARE(model.item(1)->data(FsModel::NeedBackupRole), QVariant(false));
        for (const auto& [row, on] : {std::pair {0, false}, {0, false}, {0, true}})
            model.mark(row, on);
        QCOMPARE(model.backupingFsNumber(), 1u);
        model.resetBackupingFsNumber();
        QCOMPARE(model.backupingFsNumber(), 0u);
        QCOMPARE(model.item(0)->data(FsModel::NeedBackupRole), QVariant(true));
        model.mark(0, true);
        QVERIFY(model.fill(fstabFile("/dev/a / ext4 d 0 1\n")));
        QCOMPARE(model.backupingFsNumber(), 0u);
    }

    void unmountAllGoesBackwardsAndKeepsFailures()
    {
        Tools tools;
        FsModel model;
        QVERIFY(model.unmountAll()); // nothing mounted: runs nothing
        QVERIFY(tools.calls.isEmpty());
        for (const char* dev : {"UUID=root", "UUID=boot", "UUID=home", "UUID=opt"})
            QVERIFY(model.mountDevice(QString::fromLatin1(dev), "/mnt/x", true));
        tools.answer("/bin/umount -lf -- 'UUID=home'", 32, "umount: UUID=home: not mounted.\n");
        NoteRecorder notes;
        QVERIFY(!model.unmountAll());
        QCOMPARE(tools.calls.filter("run: /bin/umount"),
            QStringList({"run: /bin/umount -lf -- 'UUID=opt'", "run: /bin/umount -lf -- 'UUID=home'",
                "run: /bin/umount -lf -- 'UUID=boot'", "run: /bin/umount -lf -- 'UUID=root'"}));
        QCOMPARE(notes.dump(),
            QStringLiteral("error: Can't execute: /bin/umount -lf -- 'UUID=home' "
                           "[umount: UUID=home: not mounted.\n]\n"
                           "error: Can't unmount device: UUID=home"));
        QCOMPARE(model.getMountedDevices(), QStringList("UUID=home"));

        // The remembered device is retried by the next call.
        tools.rules.removeFirst();
        QVERIFY(model.unmountAll());
        QVERIFY(model.getMountedDevices().isEmpty());
    }

    // Marked rows for a backup, then every row: read-only, below /mnt, a
    // device already mounted not twice, a failed entry reported and skipped,
    // a mount point leading out of /mnt refused before mount runs, and
    // shell syntax in a value passed as one word.
    void mountAllPutsEntriesBelowMnt()
    {
        Tools tools;
        FsModel model;
        QVERIFY(model.fill(fstabFile("UUID=root / ext4 errors=remount-ro 0 1\n"
                                     "UUID=gone /srv ext4 defaults 0 2\n"
                                     "$(touch${IFS}x)|y /home ext4 defaults 0 2\n"
                                     "/dev/sdc1 /mnt/data xfs defaults 0 2\n"
                                     "UUID=root /again ext4 defaults 0 2\n"
                                     "UUID=q /it's ext4 d 0 2\n"
                                     "UUID=a /../etc ext4 defaults 0 2\n"
                                     "UUID=b /mnt/../usr/bin ext4 defaults 0 2\n"
                                     "UUID=d /mntx ext4 defaults 0 2\n")));
        model.mark(0, true);
        model.mark(3, true);
        QVERIFY(model.mountAllNeedBackup());
        QCOMPARE(tools.calls.filter("run: /bin/mount"),
            QStringList({kMount + "'UUID=root' '/mnt/'", kMount + "'/dev/sdc1' '/mnt/data'"}));
        QCOMPARE(tools.calls.filter("run: /bin/df"),
            QStringList({"run: /bin/df -k -- '/mnt'", "run: /bin/df -k -- '/mnt/data'"}));
        QVERIFY(model.unmountAll());
        tools.calls.clear();
        tools.answer(
            "/bin/mount -o ro,nodev,nosuid,noexec -- 'UUID=gone'", 32, {}, "mount: /mnt/srv: can't find UUID=gone.\n");
        NoteRecorder notes;
        QVERIFY(!model.mountAll());
        QCOMPARE(tools.calls.filter("run: /bin/mount"),
            QStringList({kMount + "'UUID=root' '/mnt/'", kMount + "'UUID=gone' '/mnt/srv'",
                kMount + "'$(touch${IFS}x)|y' '/mnt/home'", kMount + "'/dev/sdc1' '/mnt/data'",
                kMount + "'UUID=q' '/mnt/it'\\''s'"}));
        QCOMPARE(notes.notes.at(0).details,
            QStringLiteral("Can't execute: /bin/mount -o ro,nodev,nosuid,noexec -- 'UUID=gone' '/mnt/srv'\nResult: "
                           "mount: /mnt/srv: can't find UUID=gone.\n"));
        QCOMPARE(notes.messages(),
            QStringList({"Can't mount device UUID=gone to mountpoint /mnt/srv",
                "Device UUID=gone from fstab can`t be mounted to /mnt/srv",
                "Can't mount device UUID=a to mountpoint /mnt/../etc",
                "Device UUID=a from fstab can`t be mounted to /mnt/../etc",
                "Can't mount device UUID=b to mountpoint /mnt/../usr/bin",
                "Device UUID=b from fstab can`t be mounted to /mnt/../usr/bin",
                "Can't mount device UUID=d to mountpoint /mntx",
                "Device UUID=d from fstab can`t be mounted to /mntx"}));
        QCOMPARE(notes.notes.at(2).details, QStringLiteral("The mount point leads outside of /mnt"));
        QCOMPARE(model.getMountedDevices(), QStringList({"UUID=root", "$(touch${IFS}x)|y", "/dev/sdc1", "UUID=q"}));
        QVERIFY(model.unmountAll());
        QCOMPARE(
            tools.calls.filter("run: /bin/umount").value(2), QString("run: /bin/umount -lf -- '$(touch${IFS}x)|y'"));
    }

    // The tree each lsblk answer gives (dump's lines).
    void answerVariants_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("tree");
        const auto add = [](const char* tag, const QByteArray& answer, const char* tree) {
            QTest::newRow(tag) << answer << QString(tree);
        };
        add("LVM volumes and a deeper mapping", kStandard,
            "sda|||||2\nsda1|ext4|boot|4ffc4faf-1dad||3\nsda3|swap||d7aaf5c3-ab6a|[SWAP]|3\n"
            "sda4|LVM2_member||jVZje6-y8Pc||3\n  vg_data-srv|xfs||abf5122b-0877||3\n"
            "    crypt-srv|crypto_LUKS||11111111-2222||3\n");
        // util-linux 2.37 and later: "mountpoints" arrays, the first non-null counts.
        add("mountpoints arrays", kMountpointsArrays,
            "nvme0n1|||||2\nnvme0n1p1|vfat|EFI|ABCD-1234|/boot/efi|3\nnvme0n1p2|ext4||aaaaaaaa|/|3\n"
            "nvme0n1p3|ext4||bbbbbbbb||3\nnvme0n1p4|ext4||cccccccc||3\n");
        // The "mountpoint" key wins over the array; a child without any known
        // key is no partition, a bare name is one; a disk without those keys
        // keeps the captions.
        add("mountpoint key and array, unknown keys", R"({"blockdevices":[{"name":"sdd",
            "children":[{"name":"sdd1","uuid":"u1","mountpoint":"/a","mountpoints":["/b"]},
                   {"name":"sdd2","uuid":"u2","mountpoint":null,"mountpoints":["/c"]}, {"size":"1G"}, {"name":"sdd4"}]}]})",
            "sdd|fstype|Label|UUID|Mountpoint|2\nsdd1|||u1|/a|3\nsdd2|||u2||3\n|||||0\nsdd4|||||3\n");
        add("disk without partitions",
            R"({"blockdevices":[{"name":"sde","fstype":null,"label":null,"uuid":null,"mountpoint":null}]})",
            "sde|||||2\n");
        // Unusable answers give an empty tree without a message.
        for (const char* answer : {"lsblk: /dev/sdz: not a block device\n", "", R"({"devices":[{"name":"sda"}]})",
                 R"({"blockdevices":{"name":"sda"}})", R"([{"name":"sda"}])",
                 R"({"blockdevices":[{"name":"sda","children":[{"name":"sda1")"})
            QTest::addRow("unusable: %s", answer) << QByteArray(answer) << "Name|fstype|Label|UUID|Mountpoint|0\n";
    }

    void answerVariants()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, tree);
        ScriptedRunner runner;
        runner.answer("/bin/lsblk -fJ ", 0, answer);
        NoteRecorder notes;
        DevicesTree model("sda");
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(dump(model), tree);
        QVERIFY2(notes.notes.isEmpty(), qPrintable(notes.dump()));
    }

    // No device runs nothing; a name holding shell syntax is one word; a
    // failed lsblk raises the assertion.
    void treeCommand()
    {
        ScriptedRunner runner;
        NoteRecorder notes;
        QCOMPARE(DevicesTree(QString()).rowCount(), 0);
        QVERIFY(runner.calls.isEmpty() && notes.notes.isEmpty());
        runner.answer("/bin/lsblk -fJ ", 0, kStandard);
        DevicesTree hostile(QStringLiteral("sda; touch x $(touch y)"));
        QCOMPARE(runner.calls, QStringList("run: /bin/lsblk -fJ '/dev/sda; touch x $(touch y)'"));
        QVERIFY(notes.notes.isEmpty());
        runner.answer("/bin/lsblk -fJ ", 32, "lsblk: /dev/sdz: not a block device\n");
        DevicesTree failed(QStringLiteral("sdz"));
        QCOMPARE(failed.rowCount(), 0);
        QCOMPARE(notes.dump(), QStringLiteral("assert: Can't execute: /bin/lsblk -fJ '/dev/sdz'"));
    }
};

QTEST_GUILESS_MAIN(TestModels)
#include "tst_models.moc"
