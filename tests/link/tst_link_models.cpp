// The archive list model and the recovery plan models: role tables, the
// texts they show, the selection rules, the plan life cycle, and the models
// as the pages reach them from QML.

#include "drpmanager.h"
#include "resquearchivesmodel.h"
#include "sv_payload_decode.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QtTest>

#include <cstdint>
#include <limits>

namespace {

sv_archive_short makeArchive(std::uint64_t id, const std::string& name, bool signedArchive,
                             std::uint32_t verification, std::uint64_t size = 1024)
{
    sv_archive_short a;
    a.set_id(id);
    a.set_task_id(id + 1000);
    a.set_aux_text_1("aux1");
    a.set_name(name);
    a.set_reference_id(id + 2000);
    a.set_resource_type("disk");
    a.set_resource("/dev/sda");
    a.set_backup_type("full");
    a.set_pool("pool-main");
    a.set_archive_size(size);
    a.set_snapshot_size(size / 2);
    a.set_created("2026-11-30 22:15:03");
    a.set_creation_duration("00:41:12");
    a.set_transmission_duration("00:12:09");
    a.set_crypt_algorithm("kuznyechik");
    a.set_crypt_duration("00:03:00");
    a.set_digitally_signed(signedArchive);
    a.set_verification_status(verification);
    return a;
}

disaster_recovery_plan_record makeEntry(std::uint32_t id, const std::string& resource,
                                        std::vector<std::uint64_t> archiveIds)
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

// The role names in role order, from 257 on.
QList<QByteArray> roleList(const QAbstractItemModel& model)
{
    QList<QByteArray> names;
    for (int role = Qt::UserRole + 1; role <= Qt::UserRole + model.roleNames().size(); ++role)
        names << model.roleNames().value(role);
    return names;
}

// The texts of one row, in role order.
QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList texts;
    for (int role = Qt::UserRole + 1; role <= Qt::UserRole + model.roleNames().size(); ++role)
        texts << model.data(model.index(row, 0), role).toString();
    return texts;
}

const char* const kQml = R"QML(
import QtQuick 2.12
Rectangle {
    width: 640; height: 220; color: "white"
    property string selectedName: archives.selectedBackupName
    function selectArchive(row) { archives.selectedRow = row }
    function selectEntry(row) { plans.drpModel.selectedRow = row }
    Column {
        anchors.fill: parent; anchors.margins: 6; spacing: 4
        ListView {
            id: archiveList; objectName: "archiveList"
            width: parent.width; height: 90; model: archives
            delegate: Text {
                font.pixelSize: 14
                color: index === archives.selectedRow ? "darkred" : "black"
                text: id + " | " + name + " | " + archiveSize + " | " + cryptAlgorithm + " | signed: "
                      + isDigitallySigned + " | " + verificationStatus
            }
        }
        Text { objectName: "selected"; font.pixelSize: 14; text: "selected: " + archives.selectedBackupName }
        ListView {
            objectName: "planArchives"
            width: parent.width; height: 60; model: plans.drpArchiveModel
            delegate: Text { font.pixelSize: 14; text: "plan archive " + id + " " + name }
        }
    }
}
)QML";

} // namespace

class TestLinkModels : public QObject
{
    Q_OBJECT

private slots:
    // --- rescue archives model
    void archiveRolesAndTexts();
    void selectedRowRules();
    void clearingKeepsSelectionButNameFallsBack();
    void idAndCryptoOfIndex();

    // --- recovery plan
    void planRoleTables();
    void archiveHeadersUntilFirstClear();
    void fillSelectsFirstEntry();
    void clearingWithRowZeroSelected();
    void fillingTheSamePlanTwice();
    void malformedPlanLeavesEverythingEmpty();
    void entrySelectionEdges();

    void modelsFromQml();
};

void TestLinkModels::archiveRolesAndTexts()
{
    ResqueArchivesModel model;
    QCOMPARE(roleList(model), (QList<QByteArray> {
        "id", "taskId", "name", "referenceId", "resourceType", "resource", "backupType", "pool",
        "archiveSize", "snapshotSize", "created", "creationDuration", "transmissionDuration",
        "cryptAlgorithm", "cryptDuration", "isDigitallySigned", "verificationStatus" }));

    QVERIFY(model.fill({ makeArchive(7, "web01 rescue", true, 3),
                         makeArchive(8, "db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87", false, 1,
                                     std::numeric_limits<std::uint64_t>::max()) }));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 1);
    QCOMPARE(rowTexts(model, 0), QStringList({ "7", "1007", "web01 rescue", "2007", "disk", "/dev/sda", "full",
        "pool-main", "1024", "512", "2026-11-30 22:15:03", "00:41:12", "00:12:09", "kuznyechik", "00:03:00",
        "yes", "Verified" }));
    // Every value is text.
    QCOMPARE(model.item(0, 0)->data(ArchiveRoles::Id).userType(), int(QMetaType::QString));
    const QStringList second = rowTexts(model, 1);
    // Names arrive as UTF-8; sizes keep all 64 bits.
    QCOMPARE(second.at(2), QString::fromUtf8("db01 \xd0\xba\xd0\xbb\xd1\x8e\xd1\x87"));
    QCOMPARE(second.at(8), QString("18446744073709551615"));
    QCOMPARE(second.at(9), QString("9223372036854775807"));
    QCOMPARE(second.at(15), QString("no"));

    // Every verification status code, and codes beyond the known ones.
    std::vector<sv_archive_short> codes;
    for (std::uint32_t code = 0; code <= 8; ++code)
        codes.push_back(makeArchive(code, "a", false, code, 5ull * 1024 * 1024 * 1024 + 3));
    QVERIFY(model.fill(codes));
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.item(row, 0)->data(ArchiveRoles::VerificationStatus).toString();
    QCOMPARE(texts, QStringList({ "Wrong status", "Not Verified", "Verification failed", "Verified", "Unreliable",
                                  "Mistrusted", "Trusted", "Broken chain", "Wrong status" }));
    QCOMPARE(model.item(0, 0)->data(ArchiveRoles::ArchiveSize).toString(), QString("5368709123"));
    QCOMPARE(model.item(0, 0)->data(ArchiveRoles::SnapshotSize).toString(), QString("2684354561"));
}

void TestLinkModels::selectedRowRules()
{
    ResqueArchivesModel model;
    QSignalSpy changed(&model, &ResqueArchivesModel::selectedRowChanged);
    model.fill({ makeArchive(1, "first", false, 3), makeArchive(2, "second", true, 3) });
    // Nothing was selected: filling does not announce a change.
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model.selectedBackupName(), QString("undefined"));

    model.setSelectedRow(1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.selectedBackupName(), QString("second"));
    model.setSelectedRow(1);
    QCOMPARE(changed.count(), 1);

    // The property interface that the views use.
    QVERIFY(model.setProperty("selectedRow", 0));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(model.property("selectedBackupName").toString(), QString("first"));

    model.resetSelectedRow();
    QCOMPARE(model.selectedRow(), -1);
    QCOMPARE(changed.count(), 3);
    model.resetSelectedRow();
    QCOMPARE(changed.count(), 3);

    // Refilling resets a selection, also with an empty list.
    model.setSelectedRow(1);
    model.fill({ makeArchive(3, "third", false, 3) });
    QCOMPARE(model.selectedRow(), -1);
    QCOMPARE(changed.count(), 5);
    model.setSelectedRow(0);
    QVERIFY(model.fill({}));
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.selectedRow(), -1);
    QCOMPARE(changed.count(), 7);

    // A row beyond the rows names nothing.
    model.setSelectedRow(4);
    QCOMPARE(model.selectedBackupName(), QString("undefined"));
}

void TestLinkModels::clearingKeepsSelectionButNameFallsBack()
{
    ResqueArchivesModel model;
    model.fill({ makeArchive(1, "first", false, 3), makeArchive(2, "second", true, 3) });
    model.setSelectedRow(1);
    QSignalSpy changed(&model, &ResqueArchivesModel::selectedRowChanged);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.selectedRow(), 1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model.selectedBackupName(), QString("undefined"));
}

void TestLinkModels::idAndCryptoOfIndex()
{
    ResqueArchivesModel model;
    sv_archive_short plain = makeArchive(42, "plain", false, 3);
    plain.set_crypt_algorithm("nocrypt");
    model.fill({ makeArchive(41, "ciphered", false, 3), plain });
    QCOMPARE(model.getId(model.index(0, 0)) + model.getCrypto(model.index(0, 0)), QString("41kuznyechik"));
    QCOMPARE(model.getId(model.index(1, 0)) + model.getCrypto(model.index(1, 0)), QString("42nocrypt"));
    QCOMPARE(model.getId(QModelIndex()), QString());
    QCOMPARE(model.getCrypto(QModelIndex()), QString());
    QCOMPARE(model.getId(model.index(5, 0)), QString());
}

void TestLinkModels::planRoleTables()
{
    DrpManager manager;
    QCOMPARE(roleList(*manager.getDrpModel()), (QList<QByteArray> {
        "id", "resourceType", "resource", "restoreDestination", "priority", "description" }));
    QCOMPARE(manager.getDrpArchiveModel()->roleNames(), ResqueArchivesModel().roleNames());

    std::string error;
    QVERIFY(manager.fillPlan(sv_payload::encode_recovery_plan({ makeEntry(3, "/srv", { 30 }) }), &error));
    QCOMPARE(rowTexts(*manager.getDrpModel(), 0), QStringList({ "3", "filesystem", "/srv", "/restore/srv", "13", "entry 3" }));
    const QStringList archive = rowTexts(*manager.getDrpArchiveModel(), 0);
    QCOMPARE(archive.at(0), QString("30"));
    QCOMPARE(archive.at(2), QString("plan-archive-30"));
    QCOMPARE(archive.at(15), QString("yes"));
    QCOMPARE(archive.at(16), QString("Trusted"));
}

void TestLinkModels::archiveHeadersUntilFirstClear()
{
    DrpManager manager;
    const QAbstractItemModel* archives = manager.getDrpArchiveModel();
    const QStringList expected { "Id", "Task ID", "Name", "Reference ID", "Resource type", "Resource",
        "Backup type", "Pool", "Archive size", "Snapshot size", "Created", "Creation duration",
        "Transmission duration", "Crypt algorithm", "Crypt duration", "Digitally signed",
        "Verification status" };
    QCOMPARE(archives->columnCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(archives->headerData(i, Qt::Horizontal).toString(), expected.at(i));
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: 0 DRP archive model can`t be loaded");
    manager.entries()->setSelectedRow(0);   // no plan yet: only the warning
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -1 DRP archive model can`t be loaded");
    manager.clearPlan();
    QCOMPARE(archives->columnCount(), 0);
}

void TestLinkModels::fillSelectsFirstEntry()
{
    DrpManager manager;
    QSignalSpy entriesChanged(&manager, &DrpManager::drpModelChanged);
    QSignalSpy archivesChanged(&manager, &DrpManager::drpArchiveModelChanged);
    QSignalSpy rowChanged(manager.entries(), &DrpModel::selectedRowChanged);
    QVERIFY(manager.fillPlan(sv_payload::encode_recovery_plan(
        { makeEntry(1, "/", { 10, 11 }), makeEntry(2, "/home", { 20 }) })));
    QCOMPARE(manager.plan().size(), std::size_t(2));
    QCOMPARE(manager.getDrpModel()->rowCount(), 2);
    QCOMPARE(manager.entries()->selectedRow(), 0);
    QCOMPARE(rowChanged.count(), 1);
    QCOMPARE(rowChanged.at(0).at(0).toInt(), 0);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "10", "11" }));
    // clearPlan and the filled plan each announce the entry model.
    QCOMPARE(entriesChanged.count(), 2);
    QCOMPARE(archivesChanged.count(), 1);
    // The archive model's own selection is not touched by loading.
    QCOMPARE(manager.entryArchives()->selectedRow(), -1);

    // Selecting another entry loads its archives and keeps the archive row.
    manager.entryArchives()->setSelectedRow(1);
    QVERIFY(manager.entries()->setProperty("selectedRow", 1));
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "20" }));
    QCOMPARE(manager.entryArchives()->selectedRow(), 1);
    QSignalSpy archiveRow(manager.entryArchives(), &DrpArchiveModel::selectedRowChanged);
    manager.entryArchives()->setSelectedRow(1);
    QCOMPARE(archiveRow.count(), 0);
    manager.entryArchives()->setSelectedRow(0);
    QCOMPARE(archiveRow.count(), 1);
}

void TestLinkModels::clearingWithRowZeroSelected()
{
    DrpManager manager;
    manager.fillPlan(sv_payload::encode_recovery_plan({ makeEntry(1, "/", { 10 }) }));
    manager.entryArchives()->setSelectedRow(0);
    QCOMPARE(manager.entries()->selectedRow(), 0);
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -1 DRP archive model can`t be loaded");
    manager.clearPlan();
    QCOMPARE(manager.entries()->selectedRow(), -1);
    QCOMPARE(manager.entryArchives()->selectedRow(), -1);
    QCOMPARE(manager.getDrpModel()->rowCount(), 0);
    QCOMPARE(manager.getDrpArchiveModel()->rowCount(), 0);
    QVERIFY(manager.plan().empty());
}

void TestLinkModels::fillingTheSamePlanTwice()
{
    DrpManager manager;
    const std::string payload = sv_payload::encode_recovery_plan({ makeEntry(1, "/", { 10 }), makeEntry(2, "/b", { 20 }) });
    manager.fillPlan(payload);
    manager.entries()->setSelectedRow(1);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "20" }));
    QSignalSpy rowChanged(manager.entries(), &DrpModel::selectedRowChanged);
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -1 DRP archive model can`t be loaded");
    manager.fillPlan(payload);
    // -1 from the clearing, then 0 again: the first entry's archives load again.
    QCOMPARE(rowChanged.count(), 2);
    QCOMPARE(manager.entries()->selectedRow(), 0);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "10" }));
}

void TestLinkModels::malformedPlanLeavesEverythingEmpty()
{
    DrpManager manager;
    manager.fillPlan(sv_payload::encode_recovery_plan({ makeEntry(1, "/", { 10 }) }));
    std::string payload = sv_payload::encode_recovery_plan({ makeEntry(2, "/x", { 20, 21 }) });
    payload.resize(payload.size() / 2);   // cut in the middle of a record
    std::string error;
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -1 DRP archive model can`t be loaded");
    QVERIFY(!manager.fillPlan(payload, &error));
    QVERIFY(!error.empty());
    QVERIFY(manager.plan().empty());
    QCOMPARE(manager.getDrpModel()->rowCount(), 0);
    QCOMPARE(manager.getDrpArchiveModel()->rowCount(), 0);
    QCOMPARE(manager.entries()->selectedRow(), -1);

    QVERIFY(!manager.fillPlan("not an archive at all", &error));
    QVERIFY(manager.plan().empty());

    // An empty plan is not an error.
    QVERIFY(manager.fillPlan(sv_payload::encode_recovery_plan({})));
    QCOMPARE(manager.getDrpModel()->rowCount(), 0);
    QCOMPARE(manager.entries()->selectedRow(), -1);
}

// Entries sharing an id, an entry without archives, rows beyond the plan.
void TestLinkModels::entrySelectionEdges()
{
    DrpManager manager;
    manager.fillPlan(sv_payload::encode_recovery_plan(
        { makeEntry(5, "/", { 50 }), makeEntry(5, "/var", { 51, 52 }), makeEntry(6, "/b", {}) }));
    QCOMPARE(manager.getDrpModel()->rowCount(), 3);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "50" }));
    manager.entries()->setSelectedRow(1);   // the first entry with the id wins
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "50" }));
    manager.entries()->setSelectedRow(2);
    QCOMPARE(manager.getDrpArchiveModel()->rowCount(), 0);
    manager.entries()->setSelectedRow(0);
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: 3 DRP archive model can`t be loaded");
    manager.entries()->setSelectedRow(3);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "50" }));
    QTest::ignoreMessage(QtWarningMsg, "Wrong row: -5 DRP archive model can`t be loaded");
    manager.entries()->setSelectedRow(-5);
    QCOMPARE(archiveIds(*manager.entryArchives()), QStringList({ "50" }));
}

// The models as the pages reach them from QML: role names in delegates,
// selectedRow written through the published model pointers, selectedBackupName.
void TestLinkModels::modelsFromQml()
{
    ResqueArchivesModel archives;
    archives.fill({ makeArchive(11, "web01 Monday", true, 3, 5368709134ull),
                    makeArchive(12, "web01 Friday", false, 7, 5368709135ull) });
    DrpManager plans;
    QVERIFY(plans.fillPlan(sv_payload::encode_recovery_plan({ makeEntry(1, "/", { 21 }), makeEntry(2, "/b", { 22 }) })));

    QTemporaryDir dir;
    QFile file(dir.filePath("view.qml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kQml);
    file.close();

    QQuickView view;
    view.rootContext()->setContextProperty("archives", &archives);
    view.rootContext()->setContextProperty("plans", &plans);
    view.setSource(QUrl::fromLocalFile(file.fileName()));
    QCOMPARE(view.status(), QQuickView::Ready);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QQuickItem* root = view.rootObject();

    auto* list = root->findChild<QQuickItem*>("archiveList");
    QTRY_COMPARE(list->property("count").toInt(), 2);
    QCOMPARE(root->property("selectedName").toString(), QString("undefined"));
    QMetaObject::invokeMethod(root, "selectArchive", Q_ARG(QVariant, 1));
    QCOMPARE(archives.selectedRow(), 1);
    QCOMPARE(root->property("selectedName").toString(), QString("web01 Friday"));

    auto* planList = root->findChild<QQuickItem*>("planArchives");
    QTRY_COMPARE(planList->property("count").toInt(), 1);
    QCOMPARE(plans.entryArchives()->item(0, 0)->data(ArchiveRoles::Id).toString(), QString("21"));
    QMetaObject::invokeMethod(root, "selectEntry", Q_ARG(QVariant, 1));
    QCOMPARE(plans.entries()->selectedRow(), 1);
    QCOMPARE(plans.entryArchives()->item(0, 0)->data(ArchiveRoles::Id).toString(), QString("22"));

    // The delegate texts come from the role names.
    auto* content = list->property("contentItem").value<QQuickItem*>();
    QVERIFY(content);
    QStringList shown;
    for (QQuickItem* item : content->childItems())
        if (item->property("text").toString().contains(" | "))
            shown << item->property("text").toString();
    shown.sort();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0), QString("11 | web01 Monday | 5368709134 | kuznyechik | signed: yes | Verified"));
    QCOMPARE(shown.at(1), QString("12 | web01 Friday | 5368709135 | kuznyechik | signed: no | Broken chain"));
}

QTEST_MAIN(TestLinkModels)
#include "tst_link_models.moc"
