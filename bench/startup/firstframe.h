#ifndef FIRSTFRAME_H
#define FIRSTFRAME_H

#include <QGuiApplication>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <unistd.h>

// Prints the wall-clock time of the first frame of the first Qt Quick window
// and the processor time the process has used until then, all threads
// ("FIRST_FRAME <seconds since the epoch> <cpu seconds>"), and ends the
// process at once. On a loaded machine the processor time varies less.
inline void reportFirstFrameAndExit()
{
    timespec now {};
    timespec cpu {};
    clock_gettime(CLOCK_REALTIME, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::printf("FIRST_FRAME %ld.%09ld %ld.%09ld\n", static_cast<long>(now.tv_sec), now.tv_nsec,
        static_cast<long>(cpu.tv_sec), cpu.tv_nsec);
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
                QObject::connect(
                    quick, &QQuickWindow::frameSwapped, quick, reportFirstFrameAndExit, Qt::DirectConnection);
                return;
            }
        }
    });
    poll->start();
}

#endif // FIRSTFRAME_H
