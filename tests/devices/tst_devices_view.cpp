// Renders the device tree and the fstab model of a real simulated disk in
// plain Qt Quick views (as the backup pages do) and saves the pictures, so
// that names, types, UUIDs and mount points can be looked at. The pictures go
// to SV_SHOTS_DIR (default: the test's build folder, shots-devices/).

#include "devices_support.h"
#include "keymaster.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickView>
#include <QtTest>

using namespace devices_test;

class TestDevicesView : public QObject
{
    Q_OBJECT

    QString shotsDir;

    QImage grab(QQuickItem* item)
    {
        QSharedPointer<QQuickItemGrabResult> result = item->grabToImage();
        if (!result)
            return QImage();
        bool ready = false;
        connect(result.data(), &QQuickItemGrabResult::ready, this, [&ready] { ready = true; });
        if (!QTest::qWaitFor([&ready] { return ready; }, 5000))
            return QImage();
        return result->image();
    }

private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        shotsDir = qEnvironmentVariable("SV_SHOTS_DIR");
        if (shotsDir.isEmpty())
            shotsDir = QCoreApplication::applicationDirPath() + "/shots-devices";
        QVERIFY(QDir().mkpath(shotsDir));
    }

    void rendersTreeAndFstab()
    {
        // /boot of the installed system is mounted somewhere on the medium.
        runBash("mkdir -p /tmp/.sv-devices/boot && mount -o ro /dev/sda2 /tmp/.sv-devices/boot");

        KeyMaster km;
        km.loadDevicesTree("sda");
        auto* tree = qobject_cast<DevicesTree*>(km.getDevicesTree());
        QVERIFY(tree);
        NoteRecorder notes;
        QVERIFY2(km.handleSelectedDevicePartition(tree->index(0, 0)), qPrintable(notes.dump()));
        auto* fstab = qobject_cast<FsModel*>(km.getFstabModel());
        fstab->mark(0, true);

        QQuickView view;
        view.rootContext()->setContextProperty("devicesTree", tree);
        view.rootContext()->setContextProperty("fstabModel", fstab);
        view.rootContext()->setContextProperty("diskName", "sda");
        view.rootContext()->setContextProperty("hostName", km.getHostname());
        view.rootContext()->setContextProperty("osName", km.getOs());
        view.setSource(QUrl::fromLocalFile(qEnvironmentVariable("SV_SOURCE_DIR") + "/tests/devices/devices_view.qml"));
        QCOMPARE(view.status(), QQuickView::Ready);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QMetaObject::invokeMethod(view.rootObject(), "expandAll");

        auto* treeView = view.rootObject()->findChild<QQuickItem*>("devicesTreeView");
        auto* tableView = view.rootObject()->findChild<QQuickItem*>("fstabTableView");
        QVERIFY(treeView && tableView);
        QTRY_COMPARE(tableView->property("rowCount").toInt(), 2);
        // Four partitions plus the two volumes of the expanded physical volume.
        QTRY_COMPARE(treeView->property("__listView").value<QQuickItem*>()->property("count").toInt(), 6);
        QTest::qWait(50);

        const QImage image = grab(view.rootObject());
        runBash("umount /tmp/.sv-devices/boot");
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(1200, 560));
        // Something besides the white background was drawn in both views.
        const auto inked = [&image](int top, int bottom) {
            int count = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < image.width(); x += 2)
                    if (image.pixelColor(x, y).lightness() < 128)
                        ++count;
            return count;
        };
        QVERIFY(inked(40, 260) > 500);
        QVERIFY(inked(300, 540) > 300);
        QVERIFY(image.save(shotsDir + "/devices-tree-and-fstab.png"));
        qInfo() << "saved" << shotsDir + "/devices-tree-and-fstab.png";
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QUICK_CONTROLS_STYLE", "Base");
    QGuiApplication app(argc, argv);
    TestDevicesView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_devices_view.moc"
