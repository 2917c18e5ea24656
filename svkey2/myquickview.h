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

public slots:
    // Closes the view after the operator confirmed the exit (the engine's
    // quit). QWindow::close() delivers a close event like the window system
    // does, so without this the confirmed exit would be asked again.
    void closeConfirmed();

protected:
    bool event(QEvent* event) override;

private:
    bool m_closeConfirmed = false;
};

#endif // MYQUICKVIEW_H
