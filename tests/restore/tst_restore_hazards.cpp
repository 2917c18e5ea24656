// What the operator can do to a restore besides letting it run, through the
// real pages on the LVM medium (sda: vg0 on /dev/sda2): "back" pressed while
// Connect waits, a second click on Connect while a slow daemon answers, a
// wrong client password, key files that are no keys or lie elsewhere, and
// leaving the tool while the LVM question waits. Each walk checks the screen
// and the disks (the LVM log, the key files, the requests to the daemon).

#include "guiharness.h"

#include "../common/medium_files.h"
#include "../common/shell_script.h"
#include "../common/test_files.h"
#include "cryptkeyhandler.h"
#include "guiconfig.h"
#include "keymaster.h"
#include "notifier.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QQmlEngine>
#include <QTimer>

#include <sys/stat.h>

namespace {

const QString kClientKey = "/opt/sarvelin/keys/master-key";

} // namespace

class RestoreHazardsTest : public QObject
{
    Q_OBJECT
    GuiHarness gui;
    QByteArray lvmState, scenario;
    QStringList errors, warnings;

    QQuickItem* fieldOf(const QString& name) const { return gui.find("field", gui.findVisible(name)); }
    bool typeInto(const QString& name, const QString& text) const
    {
        QQuickItem* field = fieldOf(name);
        if (!field)
            return false;
        field->setProperty("text", "");
        if (!gui.click(field))
            return false;
        gui.typeText(text);
        return field->property("text").toString() == text;
    }
    // A press of the operator's mouse on `item`, enabled or not.
    void press(QQuickItem* item) const
    {
        const QPoint centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
        QTest::mouseClick(gui.view(), Qt::LeftButton, Qt::NoModifier, centre);
    }
    QStringList removals() const { return fileLines(kMedium + "/lvm.log").filter("remove"); }

    // From the welcome page to the server page with every field filled.
    bool toServerPage()
    {
        return gui.startWork() && gui.clickName("restoreButton") && gui.waitVisible("restoreChoosingServerPage")
            && typeInto("serverField", "10.0.0.5") && typeInto("keyPasswordField", "key-secret");
    }
    // Connected, the first archive of web01 chosen, on the settings page.
    bool toSettingsPage()
    {
        KeyMaster* km = gui.keyMaster();
        if (!toServerPage() || !gui.clickName("connectButton")
            || !gui.waitFor([&] { return km->isServerConnected() && !km->isBusy(); }, 20000)
            || !gui.clickName("forwardButton") || !gui.waitVisible("restoreAvailableBackupsPage", 10000))
            return false;
        QQuickItem* table = gui.findVisible("resqueArchivesTableView");
        if (!gui.waitFor([&] { return table->property("rowCount").toInt() == 2 && !km->isBusy(); }, 10000))
            return false;
        gui.waitFrame();
        const qreal header = GuiConfig::getInstance()->itemHeight();
        const QPointF row
            = table->mapToScene(QPointF(30, header + GuiConfig::getInstance()->tableViewRowHeight() / 2.0 + 2));
        QTest::mouseClick(gui.view(), Qt::LeftButton, Qt::NoModifier, row.toPoint());
        return gui.waitFor([&] { return gui.findVisible("forwardButton")->isEnabled(); }, 10000)
            && gui.clickName("forwardButton") && gui.waitVisible("restoreSettingsPage", 10000);
    }
    // From the settings page into the run with `password`.
    bool startRun(const QString& password)
    {
        return typeInto("clientPasswordField", password) && gui.clickName("forwardButton")
            && gui.waitVisible("restoreConfirmingPage") && gui.clickName("forwardButton");
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(GuiHarness::insideSandbox(), "runs the stand-ins and the simulated disks");
        lvmState = readFile(kMedium + "/lvm.state");
        scenario = readFile(kScenario);
        connect(Notifier::getInstance(), &Notifier::hasError, this, [this](const QString& msg) { errors << msg; });
        connect(Notifier::getInstance(), &Notifier::hasWarning, this, [this](const QString& msg) { warnings << msg; });
    }
    void init()
    {
        errors.clear();
        warnings.clear();
        QVERIFY(writeFile(kMedium + "/lvm.state", lvmState));
        QFile::remove(kMedium + "/lvm.log");
        QFile::remove(kRequests);
        QVERIFY(writeFile(kScenario, scenario));
        runShell("/opt/sarvelin/bin/sarvelin_client stop; pkill -x sv_keyclientd");
        QVERIFY(gui.start(QSize(1024, 768), {"lo", "eth0"}));
        gui.shortenScenarioWaits(1000);
    }
    void cleanup() { gui.stop(); }

    // "back" pressed 0.3 s and 0.5 s after Connect, while Connect waits for
    // the local client: the server page stays, connected, and nothing is
    // refused (no second Connect).
    void backDuringConnect()
    {
        KeyMaster* km = gui.keyMaster();
        QVERIFY(toServerPage());
        QQuickItem* back = gui.findVisible("backButton");
        QList<bool> backEnabled;
        for (const int ms : {300, 500})
            QTimer::singleShot(ms, this, [&, back] {
                backEnabled << back->isEnabled();
                press(back);
            });
        QVERIFY(gui.clickName("connectButton"));
        QVERIFY(gui.waitFor([&] { return km->isServerConnected() && !km->isBusy(); }, 20000));
        QTest::qWait(300);
        QCOMPARE(backEnabled, QList<bool>({false, false}));
        QVERIFY(gui.findVisible("restoreChoosingServerPage") && gui.findVisible("disconnectNote"));
        QVERIFY(gui.findVisible("forwardButton")->isEnabled());
        QVERIFY2(warnings.isEmpty() && errors.isEmpty(), qPrintable((warnings + errors).join('\n')));
        QVERIFY(!GuiHarness::logContains("refused"));
        QCOMPARE(fileLines(kRequests).filter("REQUEST HELLO").size(), 1);
        gui.shot("back-during-connect");
    }

    // A wrong client password on a disk with LVM: nothing is asked and
    // nothing removed. On the way, the master-key dialog refuses a
    // directory and a FIFO and installs a key file from another path where
    // the client reads it, after asking.
    void wrongPasswordAndKeyFiles()
    {
        KeyMaster* km = gui.keyMaster();
        CryptKeyHandler* keys = km->cryptKeyHandler();
        QVERIFY(writeFile(kClientKey, QByteArray(32, 'a')));
        keys->refreshMasterKeyCheck();
        QVERIFY(writeFile("/tmp/elsewhere/key", QByteArray(32, 'b')));
        QCOMPARE(runShell("rm -f /tmp/key.fifo; mkfifo /tmp/key.fifo && echo ok"), QString("ok\n"));
        QVERIFY(toSettingsPage());
        QObject* dialog = gui.root()->findChild<QObject*>("cryptKeyDialog");
        QVERIFY(dialog);
        const auto openDialog = [&] {
            return gui.clickName("changeCryptKeyButton")
                && gui.waitFor([&] { return dialog->property("opened").toBool(); });
        };
        const auto tryKeyFile = [&](const QString& path) {
            QQuickItem* field = gui.find("field", gui.find("keyFileField", dialog));
            field->setProperty("text", path);
            return gui.clickName("cryptKeyOkButton", dialog);
        };
        QVERIFY(openDialog());
        QCOMPARE(gui.find("field", gui.find("keyFileField", dialog))->property("text").toString(), kClientKey);
        for (const QString& notKey : {QString("/tmp"), QString("/tmp/key.fifo")}) {
            errors.clear();
            QVERIFY(tryKeyFile(notKey));
            QTest::qWait(200);
            QVERIFY2(errors.value(0).startsWith(
                         GuiHarness::tr("CryptKeyHandler", "This is not a master key file: ") + notKey),
                qPrintable(errors.join('\n')));
            QVERIFY(dialog->property("visible").toBool());
            QVERIFY(gui.click(gui.findVisible("dialogCloseButton")));
        }
        QCOMPARE(readFile(kClientKey), QByteArray(32, 'a'));
        // A key elsewhere: the key already installed differs, so it is asked.
        QVERIFY(tryKeyFile("/tmp/elsewhere/key"));
        QObject* question = gui.root()->findChild<QObject*>("replaceKeyQuestion");
        QVERIFY(gui.waitFor([&] { return question && question->property("visible").toBool(); }));
        gui.shot("replace-key-question");
        QCOMPARE(readFile(kClientKey), QByteArray(32, 'a'));
        QVERIFY(gui.clickName("yesButton", question));
        QVERIFY(gui.waitFor([&] { return !dialog->property("visible").toBool(); }));
        QCOMPARE(readFile(kClientKey), QByteArray(32, 'b'));
        struct stat st
        { };
        QVERIFY(::stat(QFile::encodeName(kClientKey).constData(), &st) == 0 && (st.st_mode & 0777) == 0600);
        QCOMPARE(keys->masterKeyPath(), kClientKey);
        QTest::qWait(300);
        if (QQuickItem* info = gui.findVisible("dialogCloseButton"))
            gui.click(info);
        QVERIFY(gui.textOf("keyPathText").endsWith(kClientKey));
        const QString fingerprint
            = QCryptographicHash::hash(QByteArray(32, 'b'), QCryptographicHash::Sha256).toHex().left(16);
        QVERIFY2(gui.textOf("keyCheckText").contains(fingerprint), qPrintable(gui.textOf("keyCheckText")));
        gui.shot("settings-key-check");
        // The field shows the current key path when the dialog opens again.
        QVERIFY(openDialog());
        QCOMPARE(gui.find("field", gui.find("keyFileField", dialog))->property("text").toString(), kClientKey);
        QVERIFY(gui.clickName("cryptKeyCancelButton", dialog));
        QVERIFY(gui.waitFor([&] { return !dialog->property("visible").toBool(); }));

        bool asked = false;
        connect(km, &KeyMaster::needConfirmRestoreLVM, this, [&] {
            asked = true;
            km->answerRestoreLVM(true);
        });
        errors.clear();
        QVERIFY(startRun("mistyped"));
        QVERIFY(gui.waitVisible("exitPage", 60000));
        QCOMPARE(
            gui.textOf("resultText"), GuiHarness::tr("RestoreProcessPage", "Recovery failed. See log for more info"));
        QVERIFY2(errors.contains(GuiHarness::tr("KeyMaster", "Wrong password")), qPrintable(errors.join('\n')));
        QVERIFY(!asked);
        QVERIFY2(removals().isEmpty(), qPrintable(removals().join('\n')));
        QCOMPARE(readFile(kMedium + "/lvm.state"), lvmState);
        QVERIFY(fileLines(kRequests).filter("REQUEST SV KEY RESTORE ARCHIVES").isEmpty());
        // The key the operator installed survives the failed restore.
        QCOMPARE(readFile(kClientKey), QByteArray(32, 'b'));
    }

    // The operator leaves while the LVM question waits: the question says a
    // restore runs, "Cancel" first; leaving removes nothing, stops the local
    // client and ends the run within 20 s without spinning.
    void exitDuringLvmQuestion()
    {
        KeyMaster* km = gui.keyMaster();
        bool quit = false;
        connect(gui.view()->engine(), &QQmlEngine::quit, this, [&] {
            quit = true;
            QCoreApplication::quit();
        });
        QVERIFY(toSettingsPage());
        QString question;
        bool cancelFocused = false, ended = false, result = true;
        QElapsedTimer sinceExit;
        qint64 cpuAtExit = 0, endedAfter = -1, cpuUntilEnd = -1;
        connect(km, &KeyMaster::needConfirmRestoreLVM, this, [&] {
            QTimer::singleShot(400, this, [&] {
                Notifier::getInstance()->showExit();
                QTimer::singleShot(300, this, [&] {
                    QObject* dialog = gui.root()->findChild<QObject*>("notificationDialog");
                    question = dialog ? dialog->property("message").toString() : QString();
                    QQuickItem* cancel = gui.findVisible("dialogRejectButton");
                    cancelFocused = cancel && cancel->hasActiveFocus();
                    gui.shot("exit-question-during-lvm-question");
                    sinceExit.start();
                    cpuAtExit = cpuMilliseconds();
                    gui.clickName("dialogAcceptButton");
                });
            });
        });
        connect(km, &KeyMaster::restoreEnded, this, [&](bool success) {
            ended = true;
            result = success;
        });
        connect(km, &KeyMaster::operationChanged, this, [&] {
            if (ended && !km->isBusy() && endedAfter < 0) {
                endedAfter = sinceExit.elapsed();
                cpuUntilEnd = cpuMilliseconds() - cpuAtExit;
            }
        });
        QVERIFY(startRun("web01-secret"));
        QVERIFY(gui.waitFor([&] { return endedAfter >= 0; }, 60000));
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        qApp->exec();
        std::printf("exit during the LVM question: run ended %lld ms after Exit, %lld ms of processor time\n",
            endedAfter, cpuUntilEnd);
        QVERIFY2(question.contains(GuiHarness::tr("KeyMaster",
                     "A restore is running. If you leave now, it is stopped: the tool stops waiting for it, "
                     "disconnects and stops the local client.")),
            qPrintable(question));
        QVERIFY(cancelFocused && quit && !result);
        QVERIFY2(endedAfter >= 1000 && endedAfter < 20000, qPrintable(QString::number(endedAfter)));
        QVERIFY2(cpuUntilEnd < endedAfter / 2, qPrintable(QString::number(cpuUntilEnd)));
        QVERIFY2(removals().isEmpty(), qPrintable(removals().join('\n')));
        QVERIFY(fileLines(kRequests).filter("REQUEST SV KEY RESTORE ARCHIVES").isEmpty());
        QVERIFY(fileLines(kCalls).filter("sarvelin_client stop").size() >= 1);
        QVERIFY(QTest::qWaitFor([] { return runShell("pgrep -x sarvelin_client").isEmpty(); }, 5000));
    }
};

SV_GUI_TEST_MAIN(RestoreHazardsTest, "restore-hazards")

#include "tst_restore_hazards.moc"
