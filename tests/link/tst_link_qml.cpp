// The archive and plan models as the pages reach them from QML: role names
// in delegates, selectedRow written through the published model pointers,
// selectedBackupName, and the delegate texts of a shown list.

#include "drpmanager.h"
#include "resquearchivesmodel.h"
#include "sv_payload_decode.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>

namespace {

sv_archive_short archive(std::uint64_t id, const std::string& name, bool signedArchive, std::uint32_t verification)
{
    sv_archive_short a;
    a.set_id(id);
    a.set_name(name);
    a.set_archive_size(5368709123ull + id);
    a.set_crypt_algorithm(id % 2 ? "nocrypt" : "kuznyechik");
    a.set_created("2026-12-0" + std::to_string(id % 9 + 1) + " 02:00:00");
    a.set_digitally_signed(signedArchive);
    a.set_verification_status(verification);
    return a;
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

class TestLinkQml : public QObject
{
    Q_OBJECT
private slots:
    void modelsFromQml();
};

void TestLinkQml::modelsFromQml()
{
    ResqueArchivesModel archives;
    archives.fill({ archive(11, "web01 Monday", true, 3), archive(12, "web01 Friday", false, 7) });
    DrpManager plans;
    disaster_recovery_plan_record first, second;
    first.set_id(1);
    second.set_id(2);
    sv_archive_drp a, b;
    a.archive = archive(21, "system disk", true, 6);
    b.archive = archive(22, "data", false, 1);
    first.set_archives({ a });
    second.set_archives({ b });
    QVERIFY(plans.fillPlan(sv_payload::encode_recovery_plan({ first, second })));

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
    QCOMPARE(shown.at(0), QString("11 | web01 Monday | 5368709134 | nocrypt | signed: yes | Verified"));
    QCOMPARE(shown.at(1), QString("12 | web01 Friday | 5368709135 | kuznyechik | signed: no | Broken chain"));
}

QTEST_MAIN(TestLinkQml)
#include "tst_link_qml.moc"
