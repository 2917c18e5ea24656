// The archive list model and the recovery plan models: the texts they show,
// the selection rules and the plan life cycle (the pages reach them from QML
// in the restore walk and the key dialogs test).

#include "drpmanager.h"
#include "resquearchivesmodel.h"
#include "sv_payload_decode.h"

#include <QSignalSpy>
#include <QtTest>

#include <cstdint>
#include <limits>

namespace {

sv_archive_short makeArchive(std::uint64_t id, const std::string& name, bool signedArchive, std::uint32_t verification,
    std::uint64_t size = 1024)
{
    sv_archive_short a;
    a.set_id(id);
    a.set_name(name);
    a.set_archive_size(size);
    a.set_snapshot_size(size / 2);
    a.set_crypt_algorithm("kuznyechik");
    a.set_digitally_signed(signedArchive);
    a.set_verification_status(verification);
    return a;
}

disaster_recovery_plan_record makeEntry(
    std::uint32_t id, const std::string& resource, std::vector<std::uint64_t> archiveIds)
{
    disaster_recovery_plan_record e;
    e.set_id(id);
    e.set_resource(resource);
    e.set_resource_type("filesystem");
    e.set_resource_destination("/restore" + resource);
    e.set_priority(10 + id);
    e.set_description("entry " + std::to_string(id));
    std::vector<sv_archive_drp> archives;
    for (std::uint64_t archiveId : archiveIds) {
        sv_archive_drp drp;
        drp.archive = makeArchive(archiveId, "plan-archive-" + std::to_string(archiveId), archiveId % 2 == 0, 6);
        archives.push_back(drp);
    }
    e.set_archives(archives);
    return e;
}

QStringList archiveIds(const QStandardItemModel& model)
{
    QStringList ids;
    for (int row = 0; row < model.rowCount(); ++row)
        ids << model.item(row, 0)->data(ArchiveRoles::Id).toString();
    return ids;
}

// The texts of one row, in role order.
QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList texts;
    for (int role = Qt::UserRole + 1; role <= Qt::UserRole + model.roleNames().size(); ++role)
        texts << model.data(model.index(row, 0), role).toString();
    return texts;
}

} // namespace

class TestLinkModels : public QObject
{
    Q_OBJECT

private slots:
    void archivesModel();
    void planLifeCycle();
};

void TestLinkModels::archivesModel()
{
    ResqueArchivesModel model;
    QSignalSpy changed(&model, &ResqueArchivesModel::selectedRowChanged);
    QVERIFY(model.fill({makeArchive(7, "web01 rescue", true, 3),
        makeArchive(8, "db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87", false, 1, std::numeric_limits<std::uint64_t>::max())}));
    QCOMPARE(model.rowCount(), 2);
    // Names arrive as UTF-8; sizes keep all 64 bits.
    const QStringList second = rowTexts(model, 1);
    QCOMPARE(second.at(2), QString::fromUtf8("db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87"));
    QCOMPARE(second.at(8) + " " + second.at(9), QString("18446744073709551615 9223372036854775807"));
    QCOMPARE(model.getId(model.index(5, 0)) + model.getCrypto(QModelIndex()), QString());

    // Nothing was selected: filling does not announce a change.
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model.selectedBackupName(), QString("undefined"));
    QVERIFY(model.setProperty("selectedRow", 1));
    model.setSelectedRow(1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(
        model.property("selectedBackupName").toString(), QString::fromUtf8("db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87"));
    // Clearing keeps the row, but it names nothing any more.
    model.clear();
    QCOMPARE(model.selectedRow(), 1);
    QCOMPARE(model.selectedBackupName(), QString("undefined"));

    // Every verification status code, and codes beyond the known ones;
    // refilling resets a selection.
    std::vector<sv_archive_short> codes;
    for (std::uint32_t code = 0; code <= 8; ++code)
        codes.push_back(makeArchive(code, "a", false, code));
    QVERIFY(model.fill(codes));
    QCOMPARE(model.selectedRow(), -1);
    QCOMPARE(changed.count(), 2);
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.item(row, 0)->data(ArchiveRoles::VerificationStatus).toString();
    QCOMPARE(texts,
        QStringList({"Wrong status", "Not Verified", "Verification failed", "Verified", "Unreliable", "Mistrusted",
            "Trusted", "Broken chain", "Wrong status"}));
    model.resetSelectedRow();
    QCOMPARE(changed.count(), 2);
}

// Filling selects the first entry and loads its archives; selecting another
// entry loads its own; entries sharing an id show the first one's archives;
// a plan that does not decode, or a clearing, leaves everything empty.
void TestLinkModels::planLifeCycle()
{
    DrpManager manager;
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: 0 DRP archive model can`t be loaded");
    manager.entries()->setSelectedRow(0); // no plan yet: only the warning
    QSignalSpy rowChanged(manager.entries(), &DrpModel::selectedRowChanged);
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -1 DRP archive model can`t be loaded");
    const std::string payload = sv_payload::encode_recovery_plan(
        {makeEntry(1, "/", {10, 11}), makeEntry(1, "/var", {51}), makeEntry(2, "/home", {20}), makeEntry(6, "/b", {})});
    QVERIFY(manager.fillPlan(payload));
    QCOMPARE(manager.plan().size(), std::size_t(4));
    QCOMPARE(rowTexts(*manager.getDrpModel(), 2),
        QStringList({"2", "filesystem", "/home", "/restore/home", "12", "entry 2"}));
    QCOMPARE(manager.entries()->selectedRow(), 0);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({"10", "11"}));
    QCOMPARE(rowTexts(*manager.getDrpArchiveModel(), 1).at(16), QString("Trusted"));
    // The archive row survives a change of entry.
    manager.entryArchives()->setSelectedRow(1);
    QVERIFY(manager.entries()->setProperty("selectedRow", 2));
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({"20"}));
    QCOMPARE(manager.entryArchives()->selectedRow(), 1);
    manager.entries()->setSelectedRow(1); // the first entry with the id wins
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({"10", "11"}));
    manager.entries()->setSelectedRow(3);
    QCOMPARE(manager.getDrpArchiveModel()->rowCount(), 0);
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: 4 DRP archive model can`t be loaded");
    manager.entries()->setSelectedRow(4);
    QCOMPARE(manager.getDrpArchiveModel()->rowCount(), 0);

    // Filling the same plan again: -1 from the clearing, then 0.
    rowChanged.clear();
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -1 DRP archive model can`t be loaded");
    QVERIFY(manager.fillPlan(payload));
    QCOMPARE(rowChanged.count(), 2);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({"10", "11"}));

    std::string cut = payload;
    cut.resize(cut.size() / 2); // cut in the middle of a record
    std::string error;
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -1 DRP archive model can`t be loaded");
    QVERIFY(!manager.fillPlan(cut, &error));
    QVERIFY(!error.empty());
    QVERIFY(manager.plan().empty());
    QCOMPARE(manager.getDrpModel()->rowCount() + manager.getDrpArchiveModel()->rowCount(), 0);
    QCOMPARE(manager.entries()->selectedRow(), -1);
    QCOMPARE(manager.entryArchives()->selectedRow(), -1);
    QVERIFY(manager.fillPlan(sv_payload::encode_recovery_plan({}))); // empty, not an error
}

QTEST_MAIN(TestLinkModels)
#include "tst_link_models.moc"
