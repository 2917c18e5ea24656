// Records the host's state before the test suite and compares it after:
//   tst_sandbox_host_state record FILE    (fixture set-up, runs first)
//   tst_sandbox_host_state compare FILE   (fixture clean-up, runs last)
// The comparison fails on any difference of host name, machine id, /etc
// files, stubbed tools, /mnt, /dev/shm, /opt, /dev or mounts, and on loop
// devices of sandboxes whose outer process is gone (left attached).
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

#include "host_snapshot.h"

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
