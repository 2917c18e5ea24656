#include "myquickview.h"

#include "notifier.h"

#include <QDebug>
#include <QEvent>

bool MyQuickView::event(QEvent* event)
{
    if (event->type() == QEvent::Close) {
        qDebug() << "MyQuickView::close event";
        // Refuse the close; the root page answers with the exit question.
        event->ignore();
        Notifier::getInstance()->showExit();
        return false;
    }
    return QQuickWindow::event(event);
}
