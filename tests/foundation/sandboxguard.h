#ifndef SANDBOXGUARD_H
#define SANDBOXGUARD_H

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

// True only inside the sandbox, where the system folders a test writes are
// private overlays. Tests that write system paths check this first.
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

#endif // SANDBOXGUARD_H
