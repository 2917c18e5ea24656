#ifndef FIRSTFRAME_H
#define FIRSTFRAME_H

#include <QGuiApplication>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <unistd.h>

// Prints the wall-clock time of the first frame of the first Qt Quick window
// ("FIRST_FRAME <seconds since the epoch>") and ends the process at once.
inline void reportFirstFrameAndExit()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::printf("FIRST_FRAME %ld.%09ld\n", static_cast<long>(now.tv_sec), now.tv_nsec);
    std::fflush(stdout);
    ::_exit(0);
}

// Installed when the application object is created: waits for the first
// Qt Quick window and hooks its first swapped frame.
inline void watchForFirstFrame()
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        for (QWindow* w : QGuiApplication::topLevelWindows()) {
            if (auto* quick = qobject_cast<QQuickWindow*>(w)) {
                poll->stop();
                QObject::connect(quick, &QQuickWindow::frameSwapped, quick, reportFirstFrameAndExit,
                                 Qt::DirectConnection);
                return;
            }
        }
    });
    poll->start();
}

#endif // FIRSTFRAME_H
