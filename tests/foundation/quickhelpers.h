#ifndef QUICKHELPERS_H
#define QUICKHELPERS_H

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

// The kinds of the notification dialog, in its numbering.
enum Kind { Ques = 0, Info, Warn, Crit, Exit, Logout, Assert };

// Finds a visible-or-not item by object name anywhere in a window's item
// tree (popups live in the window's overlay, not below the root object).
inline QQuickItem* findItem(QQuickItem* from, const QString& name)
{
    if (!from)
        return nullptr;
    if (from->objectName() == name)
        return from;
    for (QQuickItem* child : from->childItems()) {
        if (QQuickItem* found = findItem(child, name))
            return found;
    }
    return nullptr;
}

inline QQuickItem* findItem(QQuickWindow* window, const QString& name)
{
    return findItem(window->contentItem(), name);
}

inline void clickItem(QQuickWindow* window, QQuickItem* item)
{
    const QPointF centre(item->width() / 2, item->height() / 2);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, item->mapToScene(centre).toPoint());
}

#endif // QUICKHELPERS_H
