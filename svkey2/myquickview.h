#ifndef MYQUICKVIEW_H
#define MYQUICKVIEW_H

#include <QQuickView>

// The one window of the tool. A close request from the window system never
// closes it: it asks the operator through the notifier's exit question.
class MyQuickView : public QQuickView
{
    Q_OBJECT
public:
    using QQuickView::QQuickView;

protected:
    bool event(QEvent* event) override;
};

#endif // MYQUICKVIEW_H
