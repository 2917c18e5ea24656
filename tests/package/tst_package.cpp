// The Debian package as a rescue-medium builder gets it: its file list is
// the install rules' list, it installs with dpkg, and the INSTALLED program
// starts on the simulated medium with the files it reads at fixed paths.
//
// The program is watched from outside, as an operator's session would see
// it, with nothing added to it: it runs on its own virtual X screen (Xvfb);
// its window, window icon and close request go through the X protocol
// (xcb), its progress through the log file in its settings folder, and the
// translation it loaded through its memory map (Qt maps a loaded .qm file
// for as long as the translator holds it). Screenshots go to
// <build>/gui-shots/package-*.png.
#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <QtTest>

#include <xcb/xcb.h>

#include <csignal>

namespace {

const QString kProgram = "/opt/sarvelin/gui/bin/svkey2";

// What the tool reads at run time, and so what the package must hold.
const QStringList kRunTimeFiles = {
    kProgram,
    "/opt/sarvelin/gui/rc/langs/svkey2_ru.qm",
    "/opt/sarvelin/gui/rc/langs/svkey2_en.qm",
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

// A small X client: finds a top-level window by title, reads its icon and
// asks it to close, as a window manager's close button does.
class XClient
{
public:
    explicit XClient(const QByteArray& display) { c = xcb_connect(display.constData(), nullptr); }
    ~XClient() { xcb_disconnect(c); }
    bool ok() const { return !xcb_connection_has_error(c); }

    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }

    QVector<quint32> property(xcb_window_t w, xcb_atom_t prop)
    {
        QVector<quint32> values;
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, XCB_ATOM_ANY, 0, 1 << 22), nullptr);
        if (r && r->format == 32) {
            const auto* data = static_cast<const quint32*>(xcb_get_property_value(r));
            values = QVector<quint32>(data, data + xcb_get_property_value_length(r) / 4);
        } else if (r && r->format == 8) {
            const auto* data = static_cast<const char*>(xcb_get_property_value(r));
            const QByteArray text(data, xcb_get_property_value_length(r));
            for (char ch : text)
                values.append(quint8(ch));
        }
        free(r);
        return values;
    }

    QString title(xcb_window_t w)
    {
        QByteArray text;
        for (quint32 ch : property(w, atom("_NET_WM_NAME")))
            text.append(char(ch));
        return QString::fromUtf8(text);
    }

    xcb_window_t findWindow(const QString& wanted)
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
        xcb_window_t found = XCB_WINDOW_NONE;
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_WINDOW_NONE; ++i) {
                if (title(children[i]) == wanted)
                    found = children[i];
            }
        }
        free(tree);
        return found;
    }

    // The sizes in the window's _NET_WM_ICON (width, height, pixels...).
    QList<int> iconSizes(xcb_window_t w)
    {
        QList<int> sizes;
        const QVector<quint32> icon = property(w, atom("_NET_WM_ICON"));
        for (int i = 0; i + 1 < icon.size(); i += 2 + int(icon[i] * icon[i + 1])) {
            if (icon[i] != icon[i + 1])
                return {};
            sizes.append(int(icon[i]));
        }
        std::sort(sizes.begin(), sizes.end());
        return sizes;
    }

    void requestClose(xcb_window_t w)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(c);
    }

private:
    xcb_connection_t* c;
};

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

    QString build = qEnvironmentVariable("SV_BINARY_DIR");
    QString deb;
    QProcess xvfb;
    QByteArray display;

    QString shot(const QString& name) const { return build + "/gui-shots/package-" + name + ".png"; }

    void screenshot(xcb_window_t w, const QString& name)
    {
        QDir().mkpath(build + "/gui-shots");
        run("import", {"-display", QString::fromLatin1(display), "-window", QString::number(w), shot(name)});
    }

private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        const QStringList debs = QDir(build + "/package").entryList({"sarvelin-key_*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        deb = build + "/package/" + debs.first();
    }

    // The package holds exactly what the install rules lay out, every file
    // the tool reads at run time among them, and nothing else.
    void fileListIsTheInstallManifest()
    {
        const QString stage = build + "/package/stage";
        QStringList manifest = QString::fromUtf8(readFile(build + "/install_manifest.txt")).split('\n', Qt::SkipEmptyParts);
        // The manifest names the files as installed (without the DESTDIR).
        for (QString& path : manifest) {
            if (path.startsWith(stage + "/"))
                path = path.mid(stage.size());
            QVERIFY2(QFileInfo(stage + path).isFile(), qPrintable(path));
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
        // The tool's own places only: no stand-in, stub or test program.
        for (const QString& path : manifest) {
            const bool placed = path.startsWith("/opt/sarvelin/gui/") || path.startsWith("/opt/sarvelin/rc/")
                                || path.startsWith("/usr/share/");
            QVERIFY2(placed, qPrintable(path));
        }
        // Every translation the build makes is shipped.
        for (const QString& qm : QDir(build + "/translations").entryList({"svkey2_*.qm"}))
            QVERIFY2(manifest.contains("/opt/sarvelin/gui/rc/langs/" + qm), qPrintable(qm));

        // The control fields.
        const QString fields = run("dpkg-deb", {"-f", deb, "Package", "Version", "Architecture", "Depends"});
        QVERIFY2(fields.contains("Package: sarvelin-key\n"), qPrintable(fields));
        QVERIFY2(fields.contains("Version: " SV_PROJECT_VERSION "\n"), qPrintable(fields));
        QVERIFY2(fields.contains("Architecture: " + run("dpkg", {"--print-architecture"})), qPrintable(fields));
        for (const char* dependency : {"libqt5quick5", "libqt5widgets5", "qml-module-qtquick-controls2",
                                       "qml-module-qtquick-controls,", "qml-module-qtquick-dialogs"})
            QVERIFY2(fields.contains(dependency), dependency);
    }

    void installedProgramRuns()
    {
        int status = -1;
        const QString installLog = run("dpkg", {"-i", deb}, &status);
        QVERIFY2(status == 0, qPrintable(installLog));
        QVERIFY(run("dpkg-query", {"-W", "-f=${Status}", "sarvelin-key"}).contains("install ok installed"));
        QVERIFY(QFileInfo(kProgram).isExecutable());
        const QString depends = run("dpkg-query", {"-W", "-f=${Depends}", "sarvelin-key"});

        // A virtual screen on a display number the X server finds free.
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString displayFile = scratch.filePath("display");
        xvfb.start("sh", {"-c", "exec Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>\"$0\"", displayFile});
        QTRY_VERIFY_WITH_TIMEOUT(readFile(displayFile).endsWith('\n'), 20000);  // written once it serves
        display = ':' + readFile(displayFile).trimmed();

        // The installed program, as the medium's session starts it (root,
        // fresh home: first start).
        QProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", scratch.filePath("home"));
        env.insert("DISPLAY", QString::fromLatin1(display));
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

        // The installed translation is loaded for the first start's "Ru".
        QTRY_VERIFY_WITH_TIMEOUT(QString(readFile(proc + "/maps")).contains("/opt/sarvelin/gui/rc/langs/svkey2_ru.qm"), 5000);
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

        XClient x(display);
        QVERIFY(x.ok());
        xcb_window_t window = XCB_WINDOW_NONE;
        QTRY_VERIFY_WITH_TIMEOUT((window = x.findWindow("Sarvelin key")) != XCB_WINDOW_NONE, 10000);
        // The window icon is the installed .ico, every size of it.
        QCOMPARE(x.iconSizes(window), (QList<int>{16, 24, 32, 48, 64, 128, 256}));
        QTest::qWait(500);  // the start-up checks settle
        screenshot(window, "welcome");

        // A close request from the window system only raises the exit question.
        x.requestClose(window);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains("Notifier::onHasExitRequest"), 10000);
        QVERIFY(log().contains("MyQuickView::close event"));
        QTest::qWait(700);  // the question's opening animation
        QCOMPARE(app.state(), QProcess::Running);
        QCOMPARE(x.findWindow("Sarvelin key"), window);
        screenshot(window, "exit-question");

        app.terminate();
        QVERIFY(app.waitForFinished(10000));
    }

    void cleanupTestCase()
    {
        if (xvfb.state() != QProcess::NotRunning) {
            xvfb.terminate();
            xvfb.waitForFinished(5000);
        }
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
