#ifndef GUIHARNESS_H
#define GUIHARNESS_H

// Drives the real root page offscreen, as an operator would: the real
// GuiConfig, Logger, Notifier and KeyMaster are published exactly as main
// publishes them, items are found by objectName, clicked with the mouse,
// typed into with the keyboard, and every step can be saved as a screenshot.

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
    // Once per process, before anything else: a temporary HOME (so the GUI
    // settings start fresh), GuiConfig for this application, the log with
    // its message handler, and the folder for the screenshots of `testName`.
    static void initProcess(const QString& testName);
    // True inside the simulated rescue medium (sandbox/sv-sandbox).
    static bool insideSandbox();
    // Whether a line the log has sent to the journal since the process
    // started holds `fragment`.
    static bool logContains(const QString& fragment);

    GuiHarness();
    ~GuiHarness();

    // A fresh controller (with `interfaces` as its network interfaces when
    // given) and a fresh view of the root page, `size` large.
    // `source` replaces the root page (a test page of the widget library).
    bool start(const QSize& size, const QStringList& interfaces = QStringList(),
        const QUrl& source = QUrl(QStringLiteral("qrc:/qml/main.qml")));
    void stop();
    // The scenarios' pauses and polls of the controller last 1/divisor of
    // their real time.
    void shortenScenarioWaits(int divisor);
    // More context objects that start() publishes (for test pages).
    QHash<QString, QObject*> extraContext;

    QQuickView* view() const { return m_view.get(); }
    KeyMaster* keyMaster() const { return m_keyMaster.get(); }
    QQuickItem* root() const;

    // The first item named `objectName` below `within` (the whole window
    // by default, popups included), or null; findVisible only takes one
    // that is shown.
    QQuickItem* find(const QString& objectName, QObject* within = nullptr, bool visibleOnly = false) const;
    QQuickItem* findVisible(const QString& name, QObject* within = nullptr) const { return find(name, within, true); }
    // Shown items below the visible item `under` that `match`, top first.
    QList<QQuickItem*> shownBelow(const QString& under, const std::function<bool(QQuickItem*)>& match) const;
    // The "text" of the visible item `objectName`, or "<no name>".
    QString textOf(const QString& objectName) const;
    QQuickItem* waitVisible(const QString& objectName, int timeoutMs = 3000) const;
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 3000) const;

    // A mouse click in the middle of the item; fails (with a message) when
    // the item is hidden, disabled or outside the window.
    bool click(QQuickItem* item) const;
    bool clickName(const QString& objectName, QObject* within = nullptr) const;
    // A click on the shown cell of the view `view` whose text is `text`.
    bool clickRow(const QString& text, const QString& view = QStringLiteral("devicesTreeView")) const;
    // A click on row `row` (0 first) of the visible table view `table`.
    bool clickTableRow(const QString& table, int row = 0) const;
    // The text field inside the visible labelled field `name`.
    QQuickItem* fieldOf(const QString& name) const { return find(QStringLiteral("field"), findVisible(name)); }

    // The operator's hands in the steps below: the keyboard alone (Tab,
    // Return, the arrow keys) when `byKeys`, else the mouse.
    bool byKeys = false;
    // The focus on the visible item `name`, or a click on it (in its text
    // field when it has one).
    bool reach(const QString& name) const;
    // The main action of the item `name`: Return on it, or a click.
    bool press(const QString& name) const;
    // `text` typed at the end of the field `name`.
    bool typeInto(const QString& name, const QString& text) const;
    // `entry` taken in the combo box `name`: by the arrow keys, or from its list.
    bool choose(const QString& name, const QString& entry) const;
    // The step shot (after the test row), and one line of what is wrong on
    // it, empty when nothing: cut texts, texts in the other language and,
    // by keys with `tabRound`, the faults of a whole Tab round.
    QString look(const QString& step, bool tabRound = true);
    void typeText(const QString& text) const;
    // Returns once the window has drawn a new frame (pending layout done).
    void waitFrame() const;
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;

    // Keyboard. The item with the keyboard focus; whether it is the item
    // named `objectName` or lies inside it.
    QQuickItem* focusItem() const;
    bool focusIn(const QString& objectName) const;
    // Tab (Shift+Tab when `backwards`) until the focus is in `objectName`;
    // false after a whole round.
    bool tabTo(const QString& objectName, bool backwards = false) const;
    // One whole Tab round from the focused item, back to it: the names of
    // its stops in `stops`, and one line per fault (a stop that is hidden,
    // disabled or read-only, a stop out of reading order, focus lost).
    QStringList tabRoundFaults(QStringList* stops = nullptr) const;
    // A short name of `item`: its own objectName, else its nearest named
    // ancestor's.
    static QString nameOf(const QQuickItem* item);
    // With the focus in the combo box `comboName`: open its list with the
    // arrow keys, walk to `entry` and take it with Return.
    bool chooseByKeys(const QString& comboName, const QString& entry) const;

    // Saves the window as <shotsFolder>/<nn>-<step>.png; returns the path.
    QString shot(const QString& step);

    // Texts of every visible text item below `under` (the window by default).
    QStringList visibleTexts(QQuickItem* under = nullptr) const;
    // Visible texts in the wrong language for GuiConfig's current one: in
    // Russian, English texts that the Russian catalogue translates; in
    // English, any Cyrillic text. The journal's log lines do not count.
    QStringList wrongLanguageTexts() const;
    // Visible texts that are cut: elided, wider than their item without
    // wrapping, or reaching outside the window. One line per fault.
    QStringList clippedTexts(QQuickItem* under = nullptr) const;

    static QRectF sceneRect(const QQuickItem* item);
    static QString tr(const char* context, const char* text);

    // Operator steps on the real pages. From the welcome page: "Start" and
    // wait for the scenario choice.
    bool startWork() const;
    // From the scenario choice: the scenario's button, "forward" up to its
    // last step, and that step ends the scenario the way its run does
    // (moveOn with the success and a context holding the result text).
    bool finishScenario(const QString& scenarioButton, bool success, const QVariantList& context) const;
    // From the welcome page through every page and dialog the operator can
    // meet, calling `atPage` on each (a failure there stops the walk); ends
    // on the welcome page again.
    void walkEveryPage(const std::function<void(const QString& page)>& atPage);

private:
    QObject* scope(QObject* within) const;
    std::unique_ptr<KeyMaster> m_keyMaster;
    std::unique_ptr<QQuickView> m_view;
    int m_shotCounter = 0;
};

// The responsiveness probe: the pauses between two turns of the event loop
// while it runs, less the time the thread only waited for a processor (the
// machine is shared). A pause counts when `counts` (always by default) held
// at both of its ends and the probe was not held (the test's own
// screenshots and checks).
class PauseProbe
{
public:
    explicit PauseProbe(std::function<bool()> counts = nullptr);
    void start();
    void stop() { m_ticks.stop(); }
    void hold(bool held);
    qint64 longest() const { return m_longest; }
    // Every counted pause longer than 10 ms: its end (ms since the epoch)
    // and its length.
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
    // Asks now; 300 ms later takes the question and whether "Cancel" has
    // the focus, shoots, and answers "Exit".
    void ask(GuiHarness& gui, const QString& shot);
    // The run has ended (the first call counts).
    void ended();
    // Once the run ended: one line per fault. The question holds `text`,
    // "Cancel" had the focus, the tool quit, and the run ended 1 to 20 s
    // after "Exit" using less than half of that in processor time.
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
