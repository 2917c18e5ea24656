// `record FILE` before the suite, `compare FILE` after it: fails on any change
// of the host's state and on loop devices left by sandboxes that are gone.
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include <unistd.h>

#include "../common/shell_script.h"

// Host name, machine id, /etc files, the stubbed tools, /mnt, /dev/shm, /opt,
// /dev and the mount table: what no test may change.
static QString hostListing(const QString& dir, int depth)
{
    return runShell(QString("find %1 -xdev -maxdepth %2 -printf '%p %s %m\\n' 2>/dev/null | sort").arg(dir).arg(depth));
}

static QString hostSnapshot()
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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != "record" && args[1] != "compare")) {
        std::fprintf(stderr, "usage: tst_sandbox_host_state record|compare FILE\n");
        return 2;
    }
    const QString now = hostSnapshot();
    QFile file(args[2]);
    if (args[1] == "record") {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 2;
        file.write(now.toUtf8());
        std::printf("host state recorded in %s\n", qPrintable(args[2]));
        return 0;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no recorded host state in %s\n", qPrintable(args[2]));
        return 1;
    }
    const QStringList a = QString::fromUtf8(file.readAll()).split('\n'), b = now.split('\n');
    int rc = a == b ? 0 : 1;
    for (const QString& l : a)
        if (!b.contains(l))
            std::printf("before only: %s\n", qPrintable(l));
    for (const QString& l : b)
        if (!a.contains(l))
            std::printf("after only:  %s\n", qPrintable(l));
    const QString stale
        = runShell(". \"" + qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/lib/loops.sh\"; sv_loops_stale");
    if (!stale.trimmed().isEmpty()) {
        std::printf("loop devices left attached by sandboxes that are gone:\n%s", qPrintable(stale));
        rc = 1;
    }
    std::printf(rc == 0 ? "host unchanged\n" : "host changed\n");
    return rc;
}
