// The sandbox leaves the host as it found it: sandboxes with simulated disks
// run a command that changes everything it can inside, and end normally,
// fail, fail in their setup, are terminated or killed outright; the host
// snapshot is the same after, and none of their loop devices stays attached.
#include <QtTest>

#include "host_snapshot.h"

class TestHost : public QObject {
    Q_OBJECT

    QString sandbox() const { return qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/sv-sandbox"; }

    // Loop devices whose image belongs to the sandbox of outer process `pid`.
    static QString loopsOf(qint64 pid)
    {
        const QString ns = QFileInfo("/proc/self/ns/pid").symLinkTarget().section('[', 1).section(']', 0, 0);
        return hostSh(QString("losetup -l -n -O NAME,BACK-FILE | grep 'sv-medium-%1-%2-' || true").arg(ns).arg(pid)).trimmed();
    }

    // In the build tree: the sandbox keeps that folder visible (the host's
    // /tmp is hidden inside).
    QTemporaryDir dir{qEnvironmentVariable("SV_BINARY_DIR") + "/sandbox-host-XXXXXX"};

    // A command that changes everything it can inside the sandbox.
    void writeScripts()
    {
        QFile f(dir.filePath("inside.sh"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("set -e\n"
                "mount -o ro /dev/sda2 /mnt\n"
                "mount -o ro /dev/sda1 /mnt/boot\n"
                "hostnamectl set-hostname web01\n"
                "cp /mnt/etc/machine-id /etc/machine-id\n"
                "mkdir -p /opt/sarvelin/keys && head -c 32 /dev/zero > /opt/sarvelin/keys/master-key\n"
                "touch /dev/shm/sv-marker /etc/sv-marker\n"
                "/opt/sarvelin/bin/sarvelin_client start > /tmp/client.log\n"
                "test -e /dev/shm/Sarvelin_SVKEY_to_client_MQ\n"
                "test \"$(hostname)\" = web01\n"
                "exit \"${SV_TEST_EXIT:-0}\"\n");
    }

    QProcess* start(const QStringList& command, const QProcessEnvironment& extra = {})
    {
        auto* p = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SV_SANDBOX_MEDIUM", "standard");
        env.insert("SV_SCENARIO", qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios/default.ini");
        env.insert("SV_SANDBOX_QUIET", "1");
        for (const QString& k : extra.keys())
            env.insert(k, extra.value(k));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(sandbox(), QStringList{"--"} + command);
        p->waitForStarted();
        return p;
    }

    QString before;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        writeScripts();
        before = hostSnapshot();
    }

    // The sandbox's command ends by itself: its exit code comes out (any
    // failure: -1) and nothing is left behind.
    void commandEnds_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("setup");   // SV_SANDBOX_SETUP file, if any
        QTest::addColumn<int>("exitCode");
        const QString inside = "bash " + dir.filePath("inside.sh");
        QTest::newRow("succeeds") << inside << QByteArray() << 0;
        QTest::newRow("fails") << "SV_TEST_EXIT=7 " + inside << QByteArray() << 7;
        QTest::newRow("inner command killed") << inside + " && kill -KILL $$" << QByteArray() << 137;
        QTest::newRow("setup fails") << "touch /tmp/never" << QByteArray("mount -o ro /dev/sda2 /mnt\nfalse\n") << -1;
    }

    void commandEnds()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, setup);
        QFETCH(int, exitCode);
        QProcessEnvironment e;
        if (!setup.isEmpty()) {
            QFile f(dir.filePath("setup.sh"));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(setup) == setup.size());
            e.insert("SV_SANDBOX_SETUP", f.fileName());
        }
        QProcess* p = start({"bash", "-c", command}, e);
        const qint64 pid = p->processId();
        QVERIFY(p->waitForFinished(60000));
        if (exitCode < 0)
            QVERIFY(p->exitCode() != 0);
        else
            QCOMPARE(p->exitCode(), exitCode);
        QCOMPARE(loopsOf(pid), QString());
        QCOMPARE(hostSnapshot(), before);
    }

    // The sandbox is stopped from outside while its command runs.
    void stoppedFromOutside_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("terminated") << false;
        QTest::newRow("outer process killed") << true;
    }

    void stoppedFromOutside()
    {
        QFETCH(bool, killed);
        const QString sleep = QString("sleep 6%1.2%2").arg(killed ? 2 : 1).arg(QCoreApplication::applicationPid() % 1000);
        QProcess* p = start({"bash", "-c", "bash " + dir.filePath("inside.sh") + " && exec " + sleep});
        const qint64 pid = p->processId();
        QTRY_VERIFY_WITH_TIMEOUT(!loopsOf(pid).isEmpty() && !hostSh("pgrep -f '" + sleep + "'").isEmpty(), 20000);
        if (killed) {
            p->kill();   // SIGKILL: no clean-up of its own
        } else {
            p->terminate();
        }
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(killed || p->exitCode() != 0);
        // The namespaces die with it ...
        QTRY_COMPARE_WITH_TIMEOUT(hostSh("pgrep -f '" + sleep + "'"), QString(), 5000);
        // ... and a killed sandbox's loop devices are detached by the next one.
        if (killed)
            QCOMPARE(QProcess::execute(sandbox(), {"--", "true"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(loopsOf(pid), QString(), 5000);
        QCOMPARE(hostSnapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_sandbox_host.moc"
