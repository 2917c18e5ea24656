#ifndef BACKUP_CHECKS_H
#define BACKUP_CHECKS_H

// What a backup run leaves on the simulated rescue medium.
#include <QFile>
#include "../common/shell_script.h"
#include <QTest>
#include <sys/stat.h>

namespace backup_checks {

const QString kConfig = "/opt/sarvelin/etc/config.file";
const QStringList kCopiedKeys
    = {"/opt/sarvelin/keys/master-key", "/opt/sarvelin/keys/secret-key.pem", "/opt/sarvelin/keys/public-key.pem"};

inline QStringList lines(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                       : QStringList {"<no " + path + ">"};
}
inline int mode(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}
// The ending ran: nothing mounted at or below /mnt, and (within a few
// seconds) neither the local client nor its daemon runs.
inline bool endedCleanly()
{
    if (!runShell("grep -E '^[^ ]+ [^ ]+ [^ ]+ [^ ]+ /mnt[ /]' /proc/self/mountinfo").isEmpty())
        return false;
    return QTest::qWaitFor([] { return runShell("pgrep -x sarvelin_client; pgrep -x sv_keyclientd").isEmpty(); }, 5000);
}

} // namespace backup_checks

#endif // BACKUP_CHECKS_H
