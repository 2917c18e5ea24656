// Guard for tests that write system paths (/etc, /usr/bin, /opt, /mnt): they
// run only inside sandbox/sv-sandbox, where those folders are private.
#ifndef SV_TESTS_SANDBOX_GUARD_H
#define SV_TESTS_SANDBOX_GUARD_H

#include <QProcess>

// True only inside the sandbox: the marker variable is set and the system
// files a test may write lie on private overlays.
inline bool insideSandbox()
{
    QProcess types;
    types.start("/bin/sh",
        {"-c",
            "for p in /etc/os-release /usr/bin/lsblk /usr/sbin/blkid /usr/bin/sed /usr/bin/awk; do findmnt -no FSTYPE "
            "-T \"$p\"; done"});
    return qgetenv("SV_SANDBOX_INSIDE") == "1" && types.waitForFinished(10000)
        && types.readAllStandardOutput() == QByteArray("overlay\n").repeated(5);
}

// Fails the calling test function (use it in initTestCase) outside the sandbox.
#define SV_REQUIRE_SANDBOX()                                                                                           \
    do {                                                                                                               \
        if (!insideSandbox())                                                                                          \
            QFAIL("this test writes system paths: run it through sandbox/sv-sandbox");                                 \
    } while (0)

#endif // SV_TESTS_SANDBOX_GUARD_H
