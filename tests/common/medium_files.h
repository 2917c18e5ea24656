// Places of the simulated rescue medium that the walks read and write, and
// the processor time they measure waits with.
#ifndef SV_TESTS_MEDIUM_FILES_H
#define SV_TESTS_MEDIUM_FILES_H

#include <QString>
#include <QtGlobal>

#include <sys/resource.h>

// The stand-ins' folder: their scenario, the daemon's request log and the
// log of the programs called.
const QString kStandins = QStringLiteral("/opt/sarvelin/standins");
const QString kScenario = kStandins + QStringLiteral("/scenario.ini");
const QString kRequests = kStandins + QStringLiteral("/requests.log");
const QString kCalls = kStandins + QStringLiteral("/calls.log");
// The simulated disks' state (identity, LVM state and log).
const QString kMedium = QStringLiteral("/tmp/.sv-sandbox/medium");

// Processor time of this process so far, in milliseconds.
inline qint64 cpuMilliseconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

#endif // SV_TESTS_MEDIUM_FILES_H
