// A minimal Qt Quick window for comparison, ended at its first frame.
#include "firstframe.h"

#include <QQuickView>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl("qrc:/minimal.qml"));
    QObject::connect(&view, &QQuickWindow::frameSwapped, &view, reportFirstFrameAndExit, Qt::DirectConnection);
    view.resize(800, 600);
    view.show();
    return app.exec();
}
