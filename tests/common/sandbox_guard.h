// Guard for tests that write system paths (/etc, /usr/bin, /opt, /mnt): they
// run only inside sandbox/sv-sandbox, where those folders are private.
#ifndef SV_TESTS_SANDBOX_GUARD_H
#define SV_TESTS_SANDBOX_GUARD_H

#include <QFile>
#include <QString>
#include <QStringList>

// The file-system type of the mount that holds `path` (the longest mount
// point that is a prefix of it), from /proc/self/mountinfo.
inline QString mountTypeOf(const QString& path)
{
    QFile mounts("/proc/self/mountinfo");
    if (!mounts.open(QIODevice::ReadOnly))
        return QString();
    QString bestPoint;
    QString bestType;
    for (const QString& line : QString::fromUtf8(mounts.readAll()).split('\n')) {
        const QStringList fields = line.split(' ');
        const int dash = fields.indexOf("-");
        if (fields.size() < 5 || dash < 0 || dash + 1 >= fields.size())
            continue;
        const QString point = fields.at(4);
        const bool covers = point == "/" || path == point || path.startsWith(point + "/");
        if (covers && point.size() >= bestPoint.size()) {
            bestPoint = point;
            bestType = fields.at(dash + 1);
        }
    }
    return bestType;
}

// True only inside the sandbox: the marker variable is set and the system
// folders a test may write are private overlays.
inline bool insideSandbox()
{
    if (qgetenv("SV_SANDBOX_INSIDE") != "1")
        return false;
    for (const char* path : {"/etc/os-release", "/usr/bin/lsblk", "/usr/sbin/blkid", "/usr/bin/sed", "/usr/bin/awk"}) {
        if (mountTypeOf(QString::fromLatin1(path)) != QLatin1String("overlay"))
            return false;
    }
    return true;
}

// Fails the calling test function (use it in initTestCase) outside the sandbox.
#define SV_REQUIRE_SANDBOX()                                                                                           \
    do {                                                                                                               \
        if (!insideSandbox())                                                                                          \
            QFAIL("this test writes system paths: run it through sandbox/sv-sandbox");                                 \
    } while (0)

#endif // SV_TESTS_SANDBOX_GUARD_H
