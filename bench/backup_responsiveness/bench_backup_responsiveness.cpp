// One whole backup run as the operator starts it: the installed system on
// sda2 of the simulated medium is inspected and all its file systems are
// marked, then the real run page is shown and starts the run. A 10 ms timer on
// the GUI thread records the longest gap between two of its ticks (and the
// stage the run was in), from the run's first stage to its end.
#include "fsmodel.h"
#include "guiconfig.h"
#include "keymaster.h"
#include "logger.h"
#include "notifier.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMap>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickView>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    GuiConfig::init(GuiConfig::svkey);
    Logger::getInstance()->init(GuiConfig::getInstance()->getConfigFolder(), Logger::File, 5);
    qInstallMessageHandler(Logger::logger);

    KeyMaster keyMaster;
    keyMaster.init();
    keyMaster.setNetworkInterface("eth0");
    keyMaster.setCrypto("anubis");
    keyMaster.setSelectedDrive("sda");
    keyMaster.loadDevicesTree("sda");
    if (!keyMaster.handleSelectedDevicePartition(keyMaster.getDevicesTree()->index(1, 0))) {
        std::fprintf(stderr, "sda2 was not accepted as the installed system's root\n");
        return 1;
    }
    auto* fstab = static_cast<FsModel*>(keyMaster.getFstabModel());
    for (int row = 0; row < fstab->rowCount(); ++row)
        fstab->mark(row, true);

    QElapsedTimer run, sinceTick;
    qint64 longestGap = 0;
    QString stageOfLongest, stage;
    QMap<QString, qint64> longestByStage;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(10);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.restart();
        longestByStage[stage] = qMax(longestByStage.value(stage), gap);
        if (gap > longestGap) {
            longestGap = gap;
            stageOfLongest = stage;
        }
    });
    QObject::connect(&keyMaster, &KeyMaster::runStageChanged, [&] {
        stage = keyMaster.runStage();
        if (!run.isValid()) {
            run.start();
            sinceTick.start();
            ticks.start();
        }
    });
    QObject::connect(&keyMaster, &KeyMaster::creatingBackupEnded, [&](bool success) {
        ticks.stop();
        std::printf("backup run: %s in %.1f s\nlongest gap of the GUI thread's 10 ms timer: %lld ms (stage: %s)\n",
            success ? "succeeded" : "failed", run.elapsed() / 1000.0, static_cast<long long>(longestGap),
            qPrintable(stageOfLongest.isEmpty() ? QStringLiteral("between stages") : stageOfLongest));
        for (auto it = longestByStage.cbegin(); it != longestByStage.cend(); ++it)
            std::printf("  %5lld ms  %s\n", static_cast<long long>(it.value()), qPrintable(it.key()));
        std::fflush(stdout);
        QTimer::singleShot(300, &app, [&app, success] { app.exit(success ? 0 : 2); });
    });

    QQuickView view;
    view.rootContext()->setContextProperty("GuiConfig", GuiConfig::getInstance());
    view.rootContext()->setContextProperty("Logger", Logger::getInstance());
    view.rootContext()->setContextProperty("Notifier", Notifier::getInstance());
    view.rootContext()->setContextProperty("KeyMaster", &keyMaster);
    view.engine()->addImportPath("qrc:/common_gui/qml");
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl("qrc:/qml/BackupPages/BackupCreatingPage.qml"));
    if (view.status() != QQuickView::Ready) {
        std::fprintf(stderr, "the run page did not load\n");
        return 1;
    }
    view.resize(800, 600);
    view.show();
    return app.exec();
}
