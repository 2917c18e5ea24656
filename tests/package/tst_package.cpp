// The Debian package as a rescue-medium builder gets it: its file list is the
// install rules' list, and the INSTALLED program, watched from outside on its
// own X screen, starts with the files it reads at fixed paths.
// Screenshot: <build>/gui-shots/package-welcome.png.
#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <QtTest>

namespace {

const QString kProgram = "/opt/sarvelin/gui/bin/svkey2";

// What the tool reads at run time, so what the package must hold.
const QStringList kRunTimeFiles = {
    "/opt/sarvelin/gui/rc/themes/default_theme",
    "/opt/sarvelin/gui/rc/themes/dark_theme",
    "/opt/sarvelin/gui/rc/info/pages_info",
    "/opt/sarvelin/rc/icons/Sarvelin-white.ico",
    "/usr/share/applications/sarvelin-key.desktop",
};

QString run(const QString& program, const QStringList& args, int* status = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(120000);
    if (status)
        *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

    QString build = qEnvironmentVariable("SV_BINARY_DIR");
    QString deb;

private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        const QStringList debs = QDir(build + "/package").entryList({"sarvelin-key_*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        deb = build + "/package/" + debs.first();
    }

    // Exactly what the install rules lay out, run-time files among them.
    void fileListIsTheInstallManifest()
    {
        const QString stage = build + "/package/stage";
        QStringList manifest
            = QString::fromUtf8(readFile(build + "/install_manifest.txt")).split('\n', Qt::SkipEmptyParts);
        // Installed under the DESTDIR, only at the tool's own places: no stand-in, stub or test program.
        for (QString& path : manifest) {
            if (path.startsWith(stage + "/"))
                path = path.mid(stage.size());
            QVERIFY2(QFileInfo(stage + path).isFile(), qPrintable(path));
            QVERIFY2(path.startsWith("/opt/sarvelin/gui/") || path.startsWith("/opt/sarvelin/rc/")
                    || path.startsWith("/usr/share/"),
                qPrintable(path));
        }
        QStringList packaged;
        for (const QString& line : run("dpkg-deb", {"-c", deb}).split('\n', Qt::SkipEmptyParts)) {
            if (line.startsWith('d'))
                continue;
            // "-rw-r--r-- root/root  1234 2026-12-07 08:00 ./opt/..."
            packaged << line.section(" ./", 1).section(" -> ", 0, 0).prepend('/');
        }
        manifest.sort();
        packaged.sort();
        QCOMPARE(packaged, manifest);

        for (const QString& file : kRunTimeFiles)
            QVERIFY2(manifest.contains(file), qPrintable(file));
        // Every translation the build makes is shipped.
        for (const QString& qm : QDir(build + "/translations").entryList({"svkey2_*.qm"}))
            QVERIFY2(manifest.contains("/opt/sarvelin/gui/rc/langs/" + qm), qPrintable(qm));
    }

    void installedProgramRuns()
    {
        int status = -1;
        const QString installLog = run("dpkg", {"-i", deb}, &status);
        QVERIFY2(status == 0, qPrintable(installLog));
        const QString depends = run("dpkg-query", {"-W", "-f=${Depends}", "sarvelin-key"});

        // A virtual screen on a display number the X server finds free.
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString displayFile = scratch.filePath("display");
        QProcess xvfb; // killed when it goes out of scope
        xvfb.start("sh", {"-c", "exec Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>\"$0\"", displayFile});
        QTRY_VERIFY_WITH_TIMEOUT(readFile(displayFile).endsWith('\n'), 20000); // written once it serves
        // The program, xdotool, xprop and import all use this screen.
        qputenv("DISPLAY", ':' + readFile(displayFile).trimmed());

        // The installed program, as the medium's session starts it (root,
        // fresh home: first start).
        QProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", scratch.filePath("home"));
        env.insert("QT_QPA_PLATFORM", "xcb");
        QDir().mkpath(scratch.filePath("home"));
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(kProgram, QStringList());
        QVERIFY(app.waitForStarted(10000));
        const QString proc = "/proc/" + QString::number(app.processId());
        QCOMPARE(QFileInfo(proc + "/exe").symLinkTarget(), kProgram);

        const QString logFile = scratch.filePath("home/.svkey2/.logs");
        auto log = [&] { return QString::fromUtf8(readFile(logFile)); };
        QTRY_VERIFY_WITH_TIMEOUT(log().contains("Welcome page loaded"), 20000);

        // The installed translation is loaded for the first start's "Ru" (Qt
        // maps a loaded .qm file while the translator holds it).
        QTRY_VERIFY_WITH_TIMEOUT(
            QString(readFile(proc + "/maps")).contains("/opt/sarvelin/gui/rc/langs/svkey2_ru.qm"), 5000);
        // Theme files and page hints were there and well formed.
        for (const char* complaint : {"pages info", "not a colour", "not a number"})
            QVERIFY2(!log().contains(complaint), complaint);
        // Each QML module the first page loaded comes with a declared dependency.
        for (const QString& line : QString(readFile(proc + "/maps")).split('\n')) {
            const QString path = line.section(' ', -1);
            if (!path.contains("/qt5/qml/") || !path.endsWith(".so"))
                continue;
            const QString owner = run("dpkg", {"-S", path}).section(':', 0, 0);
            QVERIFY2(depends.contains(owner + ",") || depends.endsWith(owner), qPrintable(owner + " " + path));
        }

        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(window = run("xdotool", {"search", "--name", "^Sarvelin key$"}).trimmed()).isEmpty(), 10000);
        // The window icon is the installed .ico, every size of it.
        QList<int> sizes;
        auto icon = QRegularExpression("Icon \\((\\d+) x \\1\\)")
                        .globalMatch(run("xprop", {"-len", "16777216", "-id", window, "_NET_WM_ICON"}));
        while (icon.hasNext())
            sizes << icon.next().captured(1).toInt();
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, (QList<int> {16, 24, 32, 48, 64, 128, 256}));
        // No window manager runs here, as on the medium: the window took the keyboard itself.
        QTRY_COMPARE_WITH_TIMEOUT(run("xdotool", {"getwindowfocus"}).trimmed(), window, 5000);
        QTest::qWait(500); // the start-up checks settle
        QDir().mkpath(build + "/gui-shots");
        run("import", {"-window", window, build + "/gui-shots/package-welcome.png"});

        app.terminate();
        QVERIFY(app.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
