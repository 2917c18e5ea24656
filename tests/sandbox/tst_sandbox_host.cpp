// Sandboxes that change everything they can inside, then fail, fail in their
// setup, are terminated or killed, and the headless demo, leave no loop device
// attached. (The whole host is compared after the suite: tst_sandbox_host_state.)
#include <QtTest>

#include <QImage>

#include "../common/test_files.h"
#include "../common/shell_script.h"

class TestHost : public QObject
{
    Q_OBJECT

    QString sandbox() const { return qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/sv-sandbox"; }

    // Loop devices whose image belongs to the sandbox of outer process `pid`.
    static QString loopsOf(qint64 pid)
    {
        const QString ns = QFileInfo("/proc/self/ns/pid").symLinkTarget().section('[', 1).section(']', 0, 0);
        return runShell(QString("losetup -l -n -O NAME,BACK-FILE | grep 'sv-medium-%1-%2-' || true").arg(ns).arg(pid))
            .trimmed();
    }

    // In the build tree: the host's /tmp is hidden inside the sandbox.
    QTemporaryDir dir {qEnvironmentVariable("SV_BINARY_DIR") + "/sandbox-host-XXXXXX"};

    QProcess* start(const QStringList& command, const QProcessEnvironment& extra = {})
    {
        auto* p = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The smallest medium with an installed system.
        env.insert("SV_SANDBOX_MEDIUM", "no-config");
        env.insert("SV_SCENARIO", qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios/default.ini");
        env.insert("SV_SANDBOX_QUIET", "1");
        env.insert(extra);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(sandbox(), QStringList {"--"} + command);
        p->waitForStarted();
        return p;
    }

private slots:
    void initTestCase()
    {
        // A command that changes everything it can inside the sandbox.
        QVERIFY(dir.isValid()
            && writeFile(dir.filePath("inside.sh"),
                "set -e\n"
                "mount -o ro /dev/sda1 /mnt\n"
                "mount -t tmpfs sv-boot /mnt/boot\n"
                "hostnamectl set-hostname web01\n"
                "cp /mnt/etc/machine-id /etc/machine-id\n"
                "mkdir -p /opt/sarvelin/keys && head -c 32 /dev/zero > /opt/sarvelin/keys/master-key\n"
                "touch /dev/shm/sv-marker /etc/sv-marker\n"
                "/opt/sarvelin/bin/sarvelin_client start > /tmp/client.log\n"
                "test -e /dev/shm/Sarvelin_SVKEY_to_client_MQ\n"
                "test \"$(hostname)\" = web01\n"
                "exit \"${SV_TEST_EXIT:-0}\"\n"));
    }

    // The command ends by itself: its exit code comes out (-1: any failure).
    void commandEnds_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("setup"); // SV_SANDBOX_SETUP file, if any
        QTest::addColumn<int>("exitCode");
        const QString inside = "bash " + dir.filePath("inside.sh");
        QTest::newRow("fails") << "SV_TEST_EXIT=7 " + inside << QByteArray() << 7;
        QTest::newRow("inner command killed") << inside + " && kill -KILL $$" << QByteArray() << 137;
        QTest::newRow("setup fails") << "touch /tmp/never" << QByteArray("mount -o ro /dev/sda1 /mnt\nfalse\n") << -1;
    }

    void commandEnds()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, setup);
        QFETCH(int, exitCode);
        QProcessEnvironment e;
        if (!setup.isEmpty()) {
            QVERIFY(writeFile(dir.filePath("setup.sh"), setup));
            e.insert("SV_SANDBOX_SETUP", dir.filePath("setup.sh"));
        }
        QProcess* p = start({"bash", "-c", command}, e);
        const qint64 pid = p->processId();
        QVERIFY(p->waitForFinished(60000));
        QVERIFY2(
            exitCode < 0 ? p->exitCode() != 0 : p->exitCode() == exitCode, qPrintable(QString::number(p->exitCode())));
        QCOMPARE(loopsOf(pid), QString());
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
        const QString sleep
            = QString("sleep 6%1.2%2").arg(killed ? 2 : 1).arg(QCoreApplication::applicationPid() % 1000);
        QProcess* p = start({"bash", "-c", "bash " + dir.filePath("inside.sh") + " && exec " + sleep});
        const qint64 pid = p->processId();
        QTRY_VERIFY_WITH_TIMEOUT(!loopsOf(pid).isEmpty() && !runShell("pgrep -f '" + sleep + "'").isEmpty(), 20000);
        killed ? p->kill() : p->terminate(); // SIGKILL: no clean-up of its own
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(killed || p->exitCode() != 0);
        // The namespaces die with it ...
        QTRY_COMPARE_WITH_TIMEOUT(runShell("pgrep -f '" + sleep + "'"), QString(), 5000);
        // ... and a killed sandbox's loop devices are detached by the next one.
        if (killed)
            QCOMPARE(QProcess::execute(sandbox(), {"--", "true"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(loopsOf(pid), QString(), 5000);
    }

    // sandbox/sv-demo starts the real tool with no display and keeps a picture
    // of its window where it says.
    void headlessDemoShowsTheTool()
    {
        const QString bin = qEnvironmentVariable("SV_BINARY_DIR") + "/svkey2/svkey2";
        if (!QFileInfo(bin).isExecutable())
            QSKIP("svkey2 is not built");
        QTemporaryDir shots(qEnvironmentVariable("SV_BINARY_DIR") + "/demo-test-XXXXXX");
        QVERIFY(shots.isValid());

        QProcess demo;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.insert("SV_DEMO_SHOTS", shots.path());
        env.insert("SV_DEMO_INTERVAL", "1");
        demo.setProcessEnvironment(env);
        demo.setProcessChannelMode(QProcess::MergedChannels);
        demo.start(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/sv-demo", {bin});
        QVERIFY(demo.waitForStarted());
        const qint64 pid = demo.processId();

        const QString png = shots.filePath("screen.png");
        QString output;
        QTRY_VERIFY_WITH_TIMEOUT(
            (output += QString::fromUtf8(demo.readAll()), output.contains("saved every 1 s to: " + png)), 30000);
        QVERIFY(output.contains("disks:      sda sdb"));
        // The window is up once a picture shows more than the empty screen.
        QImage image;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(png).size() > 20000 && image.load(png) && !image.isNull(), 60000);
        QCOMPARE(image.size(), QSize(1366, 768));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 16)
            for (int x = 0; x < image.width(); x += 16)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 3, "the screen is blank");

        demo.terminate(); // as Ctrl+C / a closed terminal would
        QVERIFY(demo.waitForFinished(15000));
        QTRY_COMPARE_WITH_TIMEOUT(loopsOf(pid), QString(), 5000);
        QVERIFY(!QFile::exists(shots.filePath(".screen.png")));
    }
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_sandbox_host.moc"
