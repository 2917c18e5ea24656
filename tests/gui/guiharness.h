#ifndef GUIHARNESS_H
#define GUIHARNESS_H

// Drives the real root page offscreen as an operator would, with the real
// context objects published as main publishes them.

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QQuickView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

class KeyMaster;

class GuiHarness
{
public:
    // Once per process: a temporary HOME (fresh GUI settings), GuiConfig,
    // the log, and the folder for the screenshots of `testName`.
    static void initProcess(const QString& testName);
    static bool insideSandbox();
    // Whether a line the log has sent to the journal holds `fragment`.
    static bool logContains(const QString& fragment);

    GuiHarness();
    ~GuiHarness();

    // A fresh controller (with these network interfaces when given) and a
    // fresh view of `source`, `size` large.
    bool start(const QSize& size, const QStringList& interfaces = QStringList(),
        const QUrl& source = QUrl(QStringLiteral("qrc:/qml/main.qml")));
    void stop();
    // The controller's scenario pauses and polls last 1/divisor.
    void shortenScenarioWaits(int divisor);

    QQuickView* view() const { return m_view.get(); }
    KeyMaster* keyMaster() const { return m_keyMaster.get(); }
    QQuickItem* root() const;

    // The first item named `objectName` below `within` (the window by
    // default, popups included) or null; findVisible takes a shown one only.
    QQuickItem* find(const QString& objectName, QObject* within = nullptr, bool visibleOnly = false) const;
    QQuickItem* findVisible(const QString& name, QObject* within = nullptr) const { return find(name, within, true); }
    // Shown items below the visible item `under` that `match`, top first.
    QList<QQuickItem*> shownBelow(const QString& under, const std::function<bool(QQuickItem*)>& match) const;
    QString textOf(const QString& objectName) const;
    QQuickItem* waitVisible(const QString& objectName, int timeoutMs = 3000) const;
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 3000) const;

    // A mouse click in the middle of a shown, enabled item in the window.
    bool click(QQuickItem* item) const;
    bool clickName(const QString& objectName, QObject* within = nullptr) const;
    // A click on the shown cell of the view `view` whose text is `text`.
    bool clickRow(const QString& text, const QString& view = QStringLiteral("devicesTreeView")) const;
    // A click on row `row` (0 first) of the visible table view `table`.
    bool clickTableRow(const QString& table, int row = 0) const;
    // The text field inside the visible labelled field `name`.
    QQuickItem* fieldOf(const QString& name) const { return find(QStringLiteral("field"), findVisible(name)); }

    // The operator's hands in the steps below: the keyboard alone when
    // `byKeys`, else the mouse. reach: the focus on the item `name` (Tab) or
    // a click (in its text field when it has one); press: its main action
    // (Return or a click); typeInto: `text` typed at the end of the field;
    // choose: `entry` taken in the combo box (arrow keys or its list).
    bool byKeys = false;
    bool reach(const QString& name) const;
    bool press(const QString& name) const;
    bool typeInto(const QString& name, const QString& text) const;
    bool choose(const QString& name, const QString& entry) const;
    // The step shot, and one line of what is wrong on it (empty when
    // nothing): cut texts, texts in the other language and, by keys with
    // `tabRound`, the faults of a whole Tab round.
    QString look(const QString& step, bool tabRound = true);
    void typeText(const QString& text) const;
    // Returns once the window has drawn a new frame (pending layout done).
    void waitFrame() const;
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;

    // Whether the keyboard focus is in the item `objectName`.
    bool focusIn(const QString& objectName) const;
    // Tab until the focus is in `objectName`; false after a whole round.
    bool tabTo(const QString& objectName) const;
    // One whole Tab round back to the focused item: its stops' names, and one
    // line per fault (a hidden, disabled or read-only stop, a stop out of
    // reading order, the focus lost).
    QStringList tabRoundFaults(QStringList* stops = nullptr) const;
    // With the focus in the combo box: its list opened by the arrow keys,
    // `entry` reached and taken with Return.
    bool chooseByKeys(const QString& comboName, const QString& entry) const;

    // Saves the window as <shotsFolder>/<nn>-<step>.png; returns the path.
    QString shot(const QString& step);

    QStringList visibleTexts(QQuickItem* under = nullptr) const;
    // Shown texts in the wrong language: in Russian, English texts the
    // catalogue translates; in English, any Cyrillic text but the journal's.
    QStringList wrongLanguageTexts() const;
    // Shown texts that are cut: elided, wider than their item without
    // wrapping, or reaching outside the window or their container.
    QStringList clippedTexts(QQuickItem* under = nullptr) const;

    static QRectF sceneRect(const QQuickItem* item);
    static QString tr(const char* context, const char* text);

    // From the welcome page: "Start", and the scenario choice shown.
    bool startWork() const;
    // From the scenario choice: the scenario's button, every step moved on
    // from, and the last one ending as its run does (moveOn with `success`
    // and `context`).
    bool finishScenario(const QString& scenarioButton, bool success, const QVariantList& context) const;
    // From the welcome page through every page and dialog the operator can
    // meet and back, calling `atPage` on each (a failure stops the walk).
    void walkEveryPage(const std::function<void(const QString& page)>& atPage);

private:
    QObject* scope(QObject* within) const;
    QQuickItem* focusItem() const;
    static QString nameOf(const QQuickItem* item);
    std::unique_ptr<KeyMaster> m_keyMaster;
    std::unique_ptr<QQuickView> m_view;
    int m_shotCounter = 0;
};

// The pauses between two turns of the event loop, less the time the thread
// only waited for a processor (the machine is shared). A pause counts when
// `counts` (always by default) held at both of its ends and the probe was
// not held (the test's own screenshots and checks).
class PauseProbe
{
public:
    explicit PauseProbe(std::function<bool()> counts = nullptr);
    void start();
    void stop() { m_ticks.stop(); }
    void hold(bool held);
    qint64 longest() const { return m_longest; }
    // Every counted pause over 10 ms: its end (ms since the epoch), length.
    QList<QPair<qint64, qint64>> pauses;

private:
    std::function<bool()> m_counts;
    QTimer m_ticks;
    QElapsedTimer m_sinceTick;
    qint64 m_cpuWait = 0, m_longest = 0;
    bool m_held = false, m_counted = false;
};

// The operator leaves through the exit question (the window's close
// button) while a scenario runs; the tool quits as main makes it.
class Leaving
{
public:
    // Asks now; 300 ms later notes the question and whether "Cancel" has
    // the focus, shoots, and answers "Exit".
    void ask(GuiHarness& gui, const QString& shot);
    void ended(); // the run has ended (the first call counts)
    // One line per fault: the question holds `text`, "Cancel" had the
    // focus, the tool quit, and the run ended 1 to 20 s after "Exit" using
    // less than half of that in processor time.
    QStringList faults(const QString& text);

private:
    QString m_question;
    bool m_cancelFocused = false, m_quit = false;
    QElapsedTimer m_sinceExit;
    qint64 m_cpuAtExit = 0, m_endedAfter = -1, m_cpuUntilEnd = -1;
};

// main() of a GUI test program: the application, the harness and the test
// object named `Class`.
#define SV_GUI_TEST_MAIN(Class, name)                                                                                  \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        GuiHarness::initProcess(QStringLiteral(name));                                                                 \
        Class test;                                                                                                    \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

#endif // GUIHARNESS_H
