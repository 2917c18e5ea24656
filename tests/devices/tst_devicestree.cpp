// The block device tree read from lsblk's JSON answer: the answers lsblk gives
// on different systems, unusable answers and the device name as one word.
// The test replaces /bin/lsblk by a stub that prints a prepared answer, so it
// runs only on the simulated rescue medium.

#include "devices_support.h"
#include "devicestree.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace devices_test;

namespace {

const QByteArray kStandard = R"({"blockdevices": [
   {"name":"sda", "fstype":null, "fsver":null, "label":null, "uuid":null, "mountpoint":null, "children": [
      {"name":"sda1", "fstype":"ext4", "label":"boot", "uuid":"4ffc4faf-1dad", "mountpoint":null},
      {"name":"sda3", "fstype":"swap", "label":null, "uuid":"d7aaf5c3-ab6a", "mountpoint":"[SWAP]"},
      {"name":"sda4", "fstype":"LVM2_member", "label":null, "uuid":"jVZje6-y8Pc", "mountpoint":null, "children": [
         {"name":"vg_data-srv", "fstype":"xfs", "label":null, "uuid":"abf5122b-0877", "mountpoint":null, "children": [
            {"name":"crypt-srv", "fstype":"crypto_LUKS", "label":null, "uuid":"11111111-2222", "mountpoint":null}]}]}]}
]})";

// util-linux 2.37 and later: only "mountpoints" arrays.
const QByteArray kMountpointsArrays = R"({"blockdevices": [
   {"name":"nvme0n1", "fstype":null, "label":null, "uuid":null, "mountpoints":[null], "children": [
      {"name":"nvme0n1p1", "fstype":"vfat", "label":"EFI", "uuid":"ABCD-1234", "mountpoints":[null, "/boot/efi"]},
      {"name":"nvme0n1p2", "fstype":"ext4", "label":null, "uuid":"aaaaaaaa", "mountpoints":["/", "/var/snap"]},
      {"name":"nvme0n1p3", "fstype":"ext4", "label":null, "uuid":"bbbbbbbb", "mountpoints":[null]},
      {"name":"nvme0n1p4", "fstype":"ext4", "label":null, "uuid":"cccccccc", "mountpoints":[]}]}
]})";

void setAnswer(const QByteArray& json, int exitCode = 0)
{
    QVERIFY(writeFile(workDir() + "/lsblk.out", json));
    QVERIFY(writeFile(workDir() + "/lsblk.rc", QByteArray::number(exitCode)));
    QFile::remove(workDir() + "/lsblk.args");
}

// The whole tree, one line per row in depth order, indented by depth:
// name|fstype|label|uuid|mountpoint|type.
QString dump(const DevicesTree& tree, const QModelIndex& parent = QModelIndex(), int depth = 0)
{
    QString out;
    for (int r = 0; r < tree.rowCount(parent); ++r) {
        const QModelIndex i = tree.index(r, 0, parent);
        out += QString(depth * 2, ' ')
            + QStringList {tree.getName(i), tree.getFstype(i), tree.getLabel(i), tree.getUuid(i), tree.getMountpoint(i),
                QString::number(tree.getType(i))}
                  .join('|')
            + '\n';
        out += dump(tree, i, depth + 1);
    }
    return out;
}

} // namespace

class TestDevicesTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        QVERIFY(installScript("/usr/bin/lsblk",
            "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> /tmp/.sv-devices/lsblk.args\n"
            "cat /tmp/.sv-devices/lsblk.out\n"
            "exit $(cat /tmp/.sv-devices/lsblk.rc)\n"));
    }

    // lsblk answers of different systems and versions, as the rows they give.
    void answerVariants_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("rows");
        QTest::newRow("LVM volumes and a deeper mapping") << kStandard << "sda|||||2"
                                                          << "sda1|ext4|boot|4ffc4faf-1dad||3\n"
                                                             "sda3|swap||d7aaf5c3-ab6a|[SWAP]|3\n"
                                                             "sda4|LVM2_member||jVZje6-y8Pc||3\n"
                                                             "  vg_data-srv|xfs||abf5122b-0877||3\n"
                                                             "    crypt-srv|crypto_LUKS||11111111-2222||3\n";
        // util-linux 2.37 and later: "mountpoints" arrays, the first non-null counts.
        QTest::newRow("mountpoints arrays")
            << kMountpointsArrays << "nvme0n1|||||2"
            << "nvme0n1p1|vfat|EFI|ABCD-1234|/boot/efi|3\nnvme0n1p2|ext4||aaaaaaaa|/|3\n"
               "nvme0n1p3|ext4||bbbbbbbb||3\nnvme0n1p4|ext4||cccccccc||3\n";
        QTest::newRow("mountpoint key wins over the array") << QByteArray(R"({"blockdevices":[{"name":"sdd","children":[
                   {"name":"sdd1","uuid":"u1","mountpoint":"/a","mountpoints":["/b"]},
                   {"name":"sdd2","uuid":"u2","mountpoint":null,"mountpoints":["/c"]}]}]})")
                                                            << "sdd|fstype|Label|UUID|Mountpoint|2"
                                                            << "sdd1|||u1|/a|3\nsdd2|||u2||3\n";
        // null values and missing keys give empty texts; a known key makes it a
        // partition. A disk without those keys keeps the header captions.
        QTest::newRow("null values and a bare name")
            << QByteArray(R"({"blockdevices":[{"name":"sdb","fstype":null,"label":null,"uuid":null,"mountpoint":null,
                   "children":[{"name":"sdb1","fstype":null,"label":null,"uuid":null,"mountpoint":null},
                               {"name":"sdb2"}]}]})")
            << "sdb|||||2"
            << "sdb1|||||3\nsdb2|||||3\n";
        QTest::newRow("child without any known key")
            << QByteArray(R"({"blockdevices":[{"name":"sdc","children":[{"size":"1G"}]}]})")
            << "sdc|fstype|Label|UUID|Mountpoint|2"
            << "|||||0\n";
        // Unusable answers give an empty tree without a message.
        for (const char* answer : {"lsblk: /dev/sdz: not a block device\n", "", R"({"devices":[{"name":"sda"}]})",
                 R"({"blockdevices":{"name":"sda"}})", R"([{"name":"sda"}])",
                 R"({"blockdevices":[{"name":"sda","children":[{"name":"sda1")"})
            QTest::addRow("unusable: %s", answer) << QByteArray(answer) << "Name|fstype|Label|UUID|Mountpoint|0"
                                                  << "";
        QTest::newRow("disk without partitions") << QByteArray(
            R"({"blockdevices":[{"name":"sde","fstype":null,"label":null,"uuid":null,"mountpoint":null}]})")
                                                 << "sde|||||2"
                                                 << "";
    }

    void answerVariants()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, disk);
        QFETCH(QString, rows);
        setAnswer(answer);
        NoteRecorder notes;
        DevicesTree tree(disk.section('|', 0, 0) == "Name" ? "sda" : disk.section('|', 0, 0));
        QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QModelIndex root;
        QCOMPARE(QStringList({tree.getName(root), tree.getFstype(root), tree.getLabel(root), tree.getUuid(root),
                                 tree.getMountpoint(root), QString::number(tree.getType(root))})
                     .join('|'),
            disk);
        QCOMPARE(dump(tree), rows);
        QVERIFY2(notes.notes.isEmpty(), qPrintable(notes.dump()));
    }

    void failedCommandRaisesTheAssertion()
    {
        setAnswer("lsblk: /dev/sdz: not a block device\n", 32);
        NoteRecorder notes;
        DevicesTree tree(QStringLiteral("sdz"));
        QCOMPARE(tree.rowCount(), 0);
        QCOMPARE(notes.dump(), QStringLiteral("assert: Can't execute: /bin/lsblk -fJ '/dev/sdz'"));
    }

    // No device runs nothing; a name holding shell syntax is one word.
    void deviceNameReachesLsblkAsOneWord()
    {
        setAnswer(kStandard);
        NoteRecorder notes;
        QCOMPARE(DevicesTree(QString()).rowCount(), 0);
        QVERIFY(!QFile::exists(workDir() + "/lsblk.args"));
        QVERIFY(notes.notes.isEmpty());
        const QString marker = workDir() + "/tree-pwned";
        DevicesTree tree(QStringLiteral("sda; touch ") + marker + QStringLiteral(" $(touch ") + marker + ")");
        QCOMPARE(QString::fromLocal8Bit(readFile(workDir() + "/lsblk.args")).trimmed(),
            QStringLiteral("-fJ\n/dev/sda; touch %1 $(touch %1)").arg(marker));
        QVERIFY(!QFile::exists(marker));
    }
};

QTEST_GUILESS_MAIN(TestDevicesTree)
#include "tst_devicestree.moc"
