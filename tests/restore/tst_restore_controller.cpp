// The restore side of the controller against the stand-ins: the LVM
// clean-up of the target disk over the simulated LVM state, and the
// connection, client choice and restore run against the daemon stand-in.

#include "../link/link_support.h"

#include <QSignalSpy>

using namespace link_test;

namespace {

QString mediumDir() { return qEnvironmentVariable("SV_MEDIUM_DIR", "/tmp/.sv-sandbox/medium"); }

QStringList readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

const char* const kPvsCall = "pvs --noheadings --separator | -o pv_name,vg_name,lv_name";
// Run by a shell unquoted, it would change the arguments the stubs log.
const char* const kHostile = "vg$(id${IFS}-u);x'y&z`w`";

} // namespace

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
        QCOMPARE(km.clearLvmOnDrive(drive), result);

        QCOMPARE(readLines(mediumDir() + "/lvm.log"), QStringList{kPvsCall} + calls);
        QCOMPARE(asked.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            QVERIFY2(asked[0].startsWith("Device " + drive + " is configured as LVM physical volume. If you continue all"
                                         " it's data will be lost\n\n"), qPrintable(asked[0]));
            QVERIFY2(asked[0].contains(question), qPrintable(asked[0]));
        }
        QCOMPARE(f.shown->errors(), error.isEmpty() ? QStringList() : QStringList{error});
        // What was not removed is still there.
        if (calls.isEmpty())
            QCOMPARE(readLines(mediumDir() + "/lvm.state"), state.split('\n', Qt::SkipEmptyParts));
    }
};

QTEST_MAIN(TestRestoreController)
#include "tst_restore_controller.moc"
