// The host's state that no test may change: host name, machine id, /etc
// files, the stubbed tools, /mnt, /dev/shm, /opt, /dev and the mount table.
#pragma once

#include "../common/shell_script.h"
#include <QString>
#include <QStringList>

#include <unistd.h>

inline QString hostListing(const QString& dir, int depth)
{
    return runShell(QString("find %1 -xdev -maxdepth %2 -printf '%p %s %m\\n' 2>/dev/null | sort").arg(dir).arg(depth));
}

inline QString hostSnapshot()
{
    char name[256] = {};
    gethostname(name, sizeof(name) - 1);
    QStringList s;
    s << "hostname " + QString(name);
    s << "machine-id " + runShell("cat /etc/machine-id");
    s << "etc "
            + runShell("cat /etc/hostname; readlink /etc/os-release; cat /etc/os-release; "
                       "md5sum /usr/bin/lsblk /usr/bin/hostnamectl; ls /usr/sbin/pvs 2>&1");
    s << "mnt " + hostListing("/mnt", 1);
    s << "shm " + hostListing("/dev/shm", 2);
    s << "opt " + hostListing("/opt", 3);
    s << "dev " + runShell("ls /dev | grep -v '^loop[0-9]*$'"); // loop nodes come and go with any user
    s << "mounts " + runShell("awk '{ print $5, $9, $10 }' /proc/self/mountinfo | sort");
    return s.join('\n');
}
