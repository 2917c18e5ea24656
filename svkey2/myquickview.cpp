#include "myquickview.h"

#include "notifier.h"

#include <QDebug>
#include <QEvent>

void MyQuickView::closeConfirmed()
{
    m_closeConfirmed = true;
    close();
}

bool MyQuickView::event(QEvent* event)
{
    if (event->type() == QEvent::Close && !m_closeConfirmed) {
        qDebug() << "MyQuickView::close event";
        // Refuse the close; the root page answers with the exit question.
        event->ignore();
        Notifier::getInstance()->showExit();
        return false;
    }
    return QQuickWindow::event(event);
}
