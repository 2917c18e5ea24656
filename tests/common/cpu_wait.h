// Milliseconds the calling thread has spent runnable but waiting for a CPU
// (the machine is shared): what a measured pause of the event loop owes to
// other processes rather than to the code under test.
#pragma once

#include <QFile>

inline qint64 runQueueWaitMs()
{
    QFile stat("/proc/thread-self/schedstat");
    return stat.open(QIODevice::ReadOnly) ? stat.readAll().split(' ').value(1).toLongLong() / 1000000 : 0;
}
