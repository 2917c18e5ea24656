// The sandbox leaves the host as it found it. From the host, sandboxes are
// run with simulated disks attached and a command that changes everything
// it can inside (host name, machine id, /mnt, /opt, /dev/shm queues, mounts)
// - ending normally, failing, failing in its setup, terminated, and with its
// outer process killed outright - and the host's host name, machine id,
// /etc files, /mnt, /dev/shm, /opt, /dev and mounts are compared before and
// after; no loop device of those sandboxes stays attached. Also measures the
// sandbox's start time.
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

    void startTime()
    {
        QElapsedTimer t;
        QProcess p;
        t.start();
        QCOMPARE(QProcess::execute(sandbox(), {"--", "true"}), 0);
        const qint64 bare = t.elapsed();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SV_SANDBOX_MEDIUM", "standard");
        p.setProcessEnvironment(env);
        t.restart();
        p.start(sandbox(), {"--", "true"});
        QVERIFY(p.waitForFinished(60000));
        const qint64 withDisks = t.elapsed();
        QCOMPARE(p.exitCode(), 0);
        qInfo("sandbox start: %lld ms bare, %lld ms with the standard disks", bare, withDisks);
        QVERIFY2(bare < 5000, "the bare sandbox takes more than 5 s");
        QVERIFY2(withDisks < 15000, "the sandbox with disks takes more than 15 s");
        QCOMPARE(hostSnapshot(), before);
    }

    void commandSucceeds()
    {
        QProcess* p = start({"bash", dir.filePath("inside.sh")});
        const qint64 pid = p->processId();
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(loopsOf(pid), QString());
        QCOMPARE(hostSnapshot(), before);
    }

    void commandFails()
    {
        QProcessEnvironment e;
        e.insert("SV_TEST_EXIT", "7");
        QProcess* p = start({"bash", dir.filePath("inside.sh")}, e);
        const qint64 pid = p->processId();
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 7);
        QCOMPARE(loopsOf(pid), QString());
        QCOMPARE(hostSnapshot(), before);
    }

    void innerCommandKilled()
    {
        QProcess* p = start({"bash", "-c", "bash " + dir.filePath("inside.sh") + " && kill -KILL $$"});
        const qint64 pid = p->processId();
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 137);
        QCOMPARE(loopsOf(pid), QString());
        QCOMPARE(hostSnapshot(), before);
    }

    void setupFails()
    {
        QFile f(dir.filePath("bad-setup.sh"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("mount -o ro /dev/sda2 /mnt\nfalse\n");
        f.close();
        QProcessEnvironment e;
        e.insert("SV_SANDBOX_SETUP", f.fileName());
        QProcess* p = start({"touch", "/tmp/never"}, e);
        const qint64 pid = p->processId();
        QVERIFY(p->waitForFinished(60000));
        QVERIFY(p->exitCode() != 0);
        QCOMPARE(loopsOf(pid), QString());
        QCOMPARE(hostSnapshot(), before);
    }

    void terminated()
    {
        const QString marker = "61.2" + QString::number(QCoreApplication::applicationPid() % 1000);
        QProcess* p = start({"bash", "-c", "bash " + dir.filePath("inside.sh") + " && exec sleep " + marker});
        const qint64 pid = p->processId();
        QTRY_VERIFY_WITH_TIMEOUT(!loopsOf(pid).isEmpty() && !hostSh("pgrep -f 'sleep " + marker + "'").isEmpty(), 20000);
        p->terminate();
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(p->exitCode() != 0);
        QTRY_COMPARE_WITH_TIMEOUT(hostSh("pgrep -f 'sleep " + marker + "'"), QString(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(loopsOf(pid), QString(), 5000);
        QCOMPARE(hostSnapshot(), before);
    }

    void outerKilled()
    {
        const QString marker = "62.2" + QString::number(QCoreApplication::applicationPid() % 1000);
        QProcess* p = start({"bash", "-c", "bash " + dir.filePath("inside.sh") + " && exec sleep " + marker});
        const qint64 pid = p->processId();
        QTRY_VERIFY_WITH_TIMEOUT(!loopsOf(pid).isEmpty() && !hostSh("pgrep -f 'sleep " + marker + "'").isEmpty(), 20000);
        p->kill();   // SIGKILL: no clean-up of its own
        QVERIFY(p->waitForFinished(5000));
        // The namespaces die with it ...
        QTRY_COMPARE_WITH_TIMEOUT(hostSh("pgrep -f 'sleep " + marker + "'"), QString(), 5000);
        // ... and the next sandbox detaches the loop devices it left.
        QCOMPARE(QProcess::execute(sandbox(), {"--", "true"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(loopsOf(pid), QString(), 5000);
        QCOMPARE(hostSnapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_sandbox_host.moc"
