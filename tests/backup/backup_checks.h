#ifndef BACKUP_CHECKS_H
#define BACKUP_CHECKS_H

// What a backup run leaves on the simulated rescue medium, read the way an
// operator's shell would.

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include <sys/stat.h>

namespace backup_checks {

const QString kConfig = QStringLiteral("/opt/sarvelin/etc/config.file");
const QStringList kCopiedKeys = { QStringLiteral("/opt/sarvelin/keys/master-key"),
                                  QStringLiteral("/opt/sarvelin/keys/secret-key.pem"),
                                  QStringLiteral("/opt/sarvelin/keys/public-key.pem") };

inline QString shell(const QString& script)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"), { QStringLiteral("-c"), script });
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAll());
}

inline QStringList lines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return { QStringLiteral("<no %1>").arg(path) };
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline int mode(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Mount points at or below /mnt.
inline QStringList mountsBelowMnt()
{
    QStringList out;
    for (const QString& line : lines(QStringLiteral("/proc/self/mountinfo"))) {
        const QString point = line.section(QLatin1Char(' '), 4, 4);
        if (point == QLatin1String("/mnt") || point.startsWith(QLatin1String("/mnt/")))
            out << point;
    }
    return out;
}

// Whether the local client and its daemon have ended (within a few seconds).
inline bool clientStopped()
{
    for (int i = 0; i < 50; ++i) {
        if (shell(QStringLiteral("pgrep -x sarvelin_client; pgrep -x sv_keyclientd")).trimmed().isEmpty())
            return true;
        QTest::qWait(100);
    }
    return false;
}

} // namespace backup_checks

#endif // BACKUP_CHECKS_H
