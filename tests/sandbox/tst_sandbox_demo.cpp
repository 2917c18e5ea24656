// The run command's simulated medium: sandbox/sv-demo starts the real tool
// with no display, says where its screen pictures go, and keeps a picture of
// the tool's window there; stopping it leaves no loop device behind.
#include <QtTest>

#include <QImage>

#include "host_snapshot.h"

class TestDemo : public QObject {
    Q_OBJECT

private slots:
    void headlessDemoShowsTheTool()
    {
        const QString bin = qEnvironmentVariable("SV_BINARY_DIR") + "/svkey2/svkey2";
        if (!QFileInfo(bin).isExecutable())
            QSKIP("svkey2 is not built");
        QTemporaryDir shots(qEnvironmentVariable("SV_BINARY_DIR") + "/demo-test-XXXXXX");
        QVERIFY(shots.isValid());
        const QString before = hostSnapshot();

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
        QTRY_VERIFY_WITH_TIMEOUT((output += QString::fromUtf8(demo.readAll()), output.contains("saved every 1 s to: " + png)),
                                 30000);
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

        demo.terminate();   // as Ctrl+C / a closed terminal would
        QVERIFY(demo.waitForFinished(15000));
        const QString ns = hostSh("readlink /proc/self/ns/pid").section('[', 1).section(']', 0, 0);
        QTRY_COMPARE_WITH_TIMEOUT(
            hostSh(QString("losetup -l -n -O BACK-FILE | grep -c 'sv-medium-%1-%2-' || true").arg(ns).arg(pid)).trimmed(),
            QString("0"), 5000);
        QVERIFY(!QFile::exists(shots.filePath(".screen.png")));
        QCOMPARE(hostSnapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_sandbox_demo.moc"
