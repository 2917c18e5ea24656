#include "guiharness.h"

#include "guiconfig.h"
#include "keymaster.h"
#include "logger.h"
#include "notifier.h"

#include "../common/cpu_wait.h"
#include "../common/keymaster_test_access.h"
#include "../common/medium_files.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItemGrabResult>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>

namespace {

QString g_shotsFolder;
QStringList g_logLines;

// Every item below `start`, visual children and object children alike
// (popups keep their items in the window's overlay).
QList<QQuickItem*> allItems(QObject* start, QList<QQuickItem*>&& out = {})
{
    if (auto* item = qobject_cast<QQuickItem*>(start)) {
        if (out.contains(item))
            return std::move(out);
        out.append(item);
        for (QQuickItem* child : item->childItems())
            out = allItems(child, std::move(out));
    }
    for (QObject* child : start->children())
        out = allItems(child, std::move(out));
    return std::move(out);
}

bool isTextItem(const QQuickItem* item)
{
    return item->inherits("QQuickText") || item->inherits("QQuickTextInput") || item->inherits("QQuickTextEdit");
}

// The part of the item that can be seen: its rectangle cut by every
// clipping ancestor.
QRectF visibleSceneRect(const QQuickItem* item)
{
    QRectF rect = GuiHarness::sceneRect(item);
    for (const QQuickItem* p = item->parentItem(); p; p = p->parentItem())
        if (p->clip())
            rect = rect.intersected(GuiHarness::sceneRect(p));
    return rect;
}

bool effectivelyShown(const QQuickItem* item)
{
    for (const QQuickItem* p = item; p; p = p->parentItem())
        if (p->opacity() <= 0.01)
            return false;
    return item->isVisible();
}

} // namespace

void GuiHarness::initProcess(const QString& testName)
{
    static QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());

    g_shotsFolder = qEnvironmentVariable("SV_BINARY_DIR", QDir::tempPath()) + "/gui-shots/" + testName;
    QDir(g_shotsFolder).removeRecursively();
    QDir().mkpath(g_shotsFolder);
    std::printf("screenshots of this test: %s\n", qPrintable(g_shotsFolder));
    std::fflush(stdout);

    GuiConfig::init(GuiConfig::svkey);
    Logger::getInstance()->init(GuiConfig::getInstance()->getConfigFolder(), Logger::FileAndConsole, 5);
    qInstallMessageHandler(Logger::logger);
    QObject::connect(
        Logger::getInstance(), &Logger::hasLogMessage, [](const QString& line) { g_logLines.append(line); });
}

bool GuiHarness::insideSandbox()
{
    return qEnvironmentVariable("SV_SANDBOX_INSIDE") == QLatin1String("1");
}

bool GuiHarness::logContains(const QString& fragment)
{
    return !g_logLines.filter(fragment).isEmpty();
}

GuiHarness::GuiHarness() = default;
GuiHarness::~GuiHarness()
{
    stop();
}

bool GuiHarness::start(const QSize& size, const QStringList& interfaces, const QUrl& source)
{
    stop();
    // Qt Test installs its own message handler when it starts; the log's
    // handler must be the one in place, as in the program.
    qInstallMessageHandler(Logger::logger);
    m_keyMaster.reset(new KeyMaster());
    if (!interfaces.isEmpty())
        KeyMasterTestAccess::setInterfaces(*m_keyMaster, interfaces);

    m_view.reset(new QQuickView());
    const QHash<QString, QObject*> objects {{"GuiConfig", GuiConfig::getInstance()}, {"Logger", Logger::getInstance()},
        {"Notifier", Notifier::getInstance()}, {"KeyMaster", m_keyMaster.get()},
        {"DrpManager", m_keyMaster->drpManager()}, {"CryptKeyHandler", m_keyMaster->cryptKeyHandler()}};
    for (auto it = objects.cbegin(); it != objects.cend(); ++it)
        m_view->rootContext()->setContextProperty(it.key(), it.value());
    QQuickView* view = m_view.get();
    QObject::connect(
        GuiConfig::getInstance(), &GuiConfig::retranslated, view, [view](bool) { view->engine()->retranslate(); });
    m_view->engine()->addImportPath(QStringLiteral("qrc:/common_gui/qml"));
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    m_view->resize(size);
    m_view->setSource(source);
    if (m_view->status() != QQuickView::Ready || !m_view->rootObject()) {
        for (const auto& e : m_view->errors())
            qWarning() << "root page:" << e.toString();
        return false;
    }
    m_view->show();
    if (!QTest::qWaitForWindowExposed(m_view.get()))
        return false;
    // The start-up timer of the root page (KeyMaster.init) has run.
    QTest::qWait(200);
    return true;
}

void GuiHarness::shortenScenarioWaits(int divisor)
{
    if (m_keyMaster)
        KeyMasterTestAccess::shortenScenarioWaits(*m_keyMaster, divisor);
}

void GuiHarness::stop()
{
    if (m_view) {
        m_view->hide();
        m_view.reset();
    }
    m_keyMaster.reset();
}

QQuickItem* GuiHarness::root() const
{
    return m_view ? m_view->rootObject() : nullptr;
}

QRectF GuiHarness::sceneRect(const QQuickItem* item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
}

QObject* GuiHarness::scope(QObject* within) const
{
    return within ? within : (m_view ? static_cast<QObject*>(m_view->contentItem()) : nullptr);
}

QQuickItem* GuiHarness::find(const QString& objectName, QObject* within, bool visibleOnly) const
{
    if (QObject* start = scope(within)) {
        for (QQuickItem* item : allItems(start))
            if (item->objectName() == objectName && (!visibleOnly || effectivelyShown(item)))
                return item;
    }
    return nullptr;
}

QList<QQuickItem*> GuiHarness::shownBelow(const QString& under, const std::function<bool(QQuickItem*)>& match) const
{
    QList<QQuickItem*> out;
    std::function<void(QQuickItem*)> walk = [&](QQuickItem* item) {
        for (QQuickItem* child : item->childItems())
            if (child->isVisible()) {
                if (match(child))
                    out << child;
                walk(child);
            }
    };
    if (QQuickItem* start = findVisible(under))
        walk(start);
    std::stable_sort(out.begin(), out.end(),
        [](QQuickItem* a, QQuickItem* b) { return a->mapToScene({}).y() < b->mapToScene({}).y(); });
    return out;
}

QString GuiHarness::textOf(const QString& objectName) const
{
    QQuickItem* item = findVisible(objectName);
    return item ? item->property("text").toString() : QStringLiteral("<no %1>").arg(objectName);
}

QString GuiHarness::tr(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

QQuickItem* GuiHarness::waitVisible(const QString& objectName, int timeoutMs) const
{
    QQuickItem* found = nullptr;
    waitFor([&] { return (found = findVisible(objectName)) != nullptr; }, timeoutMs);
    if (!found)
        qWarning().noquote() << "no visible item" << objectName << "after" << timeoutMs << "ms";
    return found;
}

bool GuiHarness::waitFor(const std::function<bool()>& condition, int timeoutMs) const
{
    return QTest::qWaitFor(condition, timeoutMs);
}

bool GuiHarness::click(QQuickItem* item) const
{
    if (!item || !effectivelyShown(item) || !item->isEnabled()) {
        qWarning().noquote() << "click:" << (item ? item->objectName() : "no item") << "is hidden or disabled";
        return false;
    }
    // Positioners and layouts place their items when the next frame is
    // prepared: let a frame pass, and another while the item still moves.
    QPointF centre;
    for (int i = 0; i < 10; ++i) {
        waitFrame();
        const QPointF now = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        if (i > 0 && now == centre)
            break;
        centre = now;
    }
    if (!QRectF(QPointF(0, 0), QSizeF(m_view->size())).contains(centre)) {
        qWarning().noquote() << "click:" << item->objectName() << "lies outside the window" << centre;
        return false;
    }
    QTest::mouseMove(m_view.get(), centre.toPoint());
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    QTest::qWait(30);
    return true;
}

bool GuiHarness::clickName(const QString& objectName, QObject* within) const
{
    QQuickItem* item = findVisible(objectName, within);
    if (!item)
        qWarning().noquote() << "click: no visible item" << objectName;
    return item && click(item);
}

bool GuiHarness::clickRow(const QString& text, const QString& view) const
{
    const auto cells = shownBelow(view, [&](QQuickItem* i) { return i->property("text").toString() == text; });
    return !cells.isEmpty() && click(cells.first());
}

bool GuiHarness::clickTableRow(const QString& table, int row) const
{
    QQuickItem* view = findVisible(table);
    if (!view)
        return false;
    waitFrame();
    const GuiConfig* config = GuiConfig::getInstance();
    const qreal y = config->itemHeight() + config->tableViewRowHeight() * (row + 0.5) + 2;
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, view->mapToScene(QPointF(30, y)).toPoint());
    return true;
}

bool GuiHarness::reach(const QString& name) const
{
    return byKeys ? tabTo(name) : click(fieldOf(name) ? fieldOf(name) : findVisible(name));
}

bool GuiHarness::press(const QString& name) const
{
    if (!reach(name))
        return false;
    if (byKeys)
        pressKey(Qt::Key_Return);
    return true;
}

bool GuiHarness::typeInto(const QString& name, const QString& text) const
{
    if (!reach(name))
        return false;
    pressKey(Qt::Key_End);
    typeText(text);
    return true;
}

bool GuiHarness::choose(const QString& name, const QString& entry) const
{
    if (byKeys)
        return tabTo(name) && chooseByKeys(name, entry);
    return click(find(QStringLiteral("arrowButton"), findVisible(name))) && click(waitVisible("entry_" + entry));
}

QString GuiHarness::look(const QString& step, bool tabRound)
{
    shot(QString(QTest::currentDataTag()) + "-" + step);
    QStringList stops;
    const QStringList faults
        = (byKeys && tabRound ? tabRoundFaults(&stops) : QStringList()) + clippedTexts() + wrongLanguageTexts();
    return faults.isEmpty() ? QString() : step + ": " + faults.join("; ") + "\n  stops: " + stops.join(", ");
}

void GuiHarness::waitFrame() const
{
    QSignalSpy frame(m_view.get(), &QQuickWindow::frameSwapped);
    m_view->update();
    frame.wait(200);
}

void GuiHarness::typeText(const QString& text) const
{
    for (const QChar ch : text) {
        const int key = ch.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QGuiApplication::sendEvent(m_view.get(), &press);
        QGuiApplication::sendEvent(m_view.get(), &release);
        QTest::qWait(5);
    }
    QTest::qWait(20);
}

void GuiHarness::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    QTest::keyClick(m_view.get(), key, modifiers);
    QTest::qWait(20);
}

QQuickItem* GuiHarness::focusItem() const
{
    return m_view ? m_view->activeFocusItem() : nullptr;
}

QString GuiHarness::nameOf(const QQuickItem* item)
{
    for (const QQuickItem* i = item; i; i = i->parentItem())
        if (!i->objectName().isEmpty() && i->objectName() != QLatin1String("field"))
            return i->objectName();
    return item ? QString::fromLatin1(item->metaObject()->className()) : QStringLiteral("<none>");
}

bool GuiHarness::focusIn(const QString& objectName) const
{
    for (const QQuickItem* i = focusItem(); i; i = i->parentItem())
        if (i->objectName() == objectName)
            return true;
    return false;
}

bool GuiHarness::tabTo(const QString& objectName) const
{
    const QQuickItem* start = focusItem();
    for (int i = 0; i < 60 && !focusIn(objectName); ++i) {
        pressKey(Qt::Key_Tab);
        if (focusItem() == start)
            break;
    }
    if (!focusIn(objectName))
        qWarning().noquote() << "tab: no stop in" << objectName << "from" << nameOf(start);
    return focusIn(objectName);
}

bool GuiHarness::chooseByKeys(const QString& comboName, const QString& entry) const
{
    QQuickItem* box = findVisible(comboName);
    if (!box || !focusIn(comboName))
        return false;
    pressKey(Qt::Key_Down);
    QQuickItem* list = find("popupList", box);
    if (!list || !box->property("popupOpened").toBool())
        return false;
    const QStringList entries = box->property("shownEntries").toStringList();
    const int wanted = entries.indexOf(entry);
    for (int i = 0; i < entries.size() && wanted >= 0 && list->property("currentIndex").toInt() != wanted; ++i)
        pressKey(list->property("currentIndex").toInt() < wanted ? Qt::Key_Down : Qt::Key_Up);
    pressKey(Qt::Key_Return);
    return waitFor(
        [&] { return box->property("currentText").toString() == entry && !box->property("popupOpened").toBool(); });
}

QStringList GuiHarness::tabRoundFaults(QStringList* stops) const
{
    QStringList faults, names;
    QQuickItem* const start = focusItem();
    if (!start)
        return {"no item has the keyboard focus"};
    QRectF previous = sceneRect(start);
    int wraps = 0;
    for (int i = 0; i < 60; ++i) {
        pressKey(Qt::Key_Tab);
        QQuickItem* item = focusItem();
        if (!item)
            return faults << "the focus went nowhere after " + names.join(", ");
        const QString name = nameOf(item);
        names << name;
        if (!effectivelyShown(item) || !item->isEnabled())
            faults << name + " is hidden or disabled";
        if (item->property("readOnly").toBool())
            faults << name + " is read-only";
        // Reading order: a lower row, or further right on the same row;
        // once in a round back to the top.
        const QRectF rect = sceneRect(item);
        const bool sameRow
            = qAbs(rect.center().y() - previous.center().y()) < qMin(rect.height(), previous.height()) / 2;
        const bool onward = sameRow ? rect.left() > previous.left() : rect.top() > previous.top();
        if (!onward && ++wraps > 1)
            faults << name + " comes after " + names.value(names.size() - 2) + " out of reading order";
        previous = rect;
        if (item == start)
            break;
    }
    if (focusItem() != start)
        faults << "Tab never came back to " + nameOf(start) + ": " + names.join(", ");
    if (stops)
        *stops = names;
    return faults;
}

QString GuiHarness::shot(const QString& step)
{
    // Let pending layout settle before the picture.
    waitFrame();
    waitFrame();
    QSharedPointer<QQuickItemGrabResult> result = m_view->contentItem()->grabToImage();
    if (!result)
        return QString();
    bool ready = false;
    QObject::connect(result.data(), &QQuickItemGrabResult::ready, [&ready] { ready = true; });
    waitFor([&] { return ready; }, 5000);
    const QString path = QString("%1/%2-%3.png").arg(g_shotsFolder).arg(++m_shotCounter, 2, 10, QChar('0')).arg(step);
    if (!ready || !result->saveToFile(path)) {
        qWarning().noquote() << "screenshot failed:" << path;
        return QString();
    }
    return path;
}

QStringList GuiHarness::visibleTexts(QQuickItem* under) const
{
    QStringList texts;
    for (QQuickItem* item : allItems(scope(under))) {
        if (!isTextItem(item) || !effectivelyShown(item) || visibleSceneRect(item).isEmpty())
            continue;
        // An empty input shows its placeholder instead.
        const QString text = item->property("text").toString();
        const QString shown = text.isEmpty() ? item->property("placeholderText").toString() : text;
        if (!shown.isEmpty())
            texts.append(shown);
    }
    return texts;
}

QStringList GuiHarness::wrongLanguageTexts() const
{
    static QHash<QString, QString> ru; // English source text -> Russian, from the catalogue
    if (ru.isEmpty()) {
        QFile file(qEnvironmentVariable("SV_SOURCE_DIR") + "/svkey2/translations/svkey2_ru.ts");
        file.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(&file);
        for (QString source; !xml.atEnd();) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.isStartElement() && xml.name() == QLatin1String("translation"))
                ru.insert(source, xml.readElementText());
        }
        if (ru.size() < 20)
            return {"the Russian catalogue is not readable"};
    }
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    const bool russian = GuiConfig::getInstance()->lang() == QLatin1String("Ru");
    const QQuickItem* journal = find("journalText");
    const QString log = journal ? journal->property("text").toString() : QString();
    QStringList out;
    for (const QString& text : visibleTexts())
        if (russian ? ru.contains(text) && ru.value(text) != text : cyrillic.match(text).hasMatch() && text != log)
            out << text;
    return out;
}

QStringList GuiHarness::clippedTexts(QQuickItem* under) const
{
    QStringList faults;
    const QRectF window(QPointF(0, 0), QSizeF(m_view->size()));
    for (QQuickItem* item : allItems(scope(under))) {
        if (!isTextItem(item) || !effectivelyShown(item))
            continue;
        const QString text = item->property("text").toString();
        if (text.isEmpty() || item->width() <= 0 || item->height() <= 0)
            continue;
        const QRectF seen = visibleSceneRect(item);
        if (seen.isEmpty())
            continue; // scrolled away inside a clipping view
        const QString who = QString("\"%1\" (%2)").arg(text.left(60), item->objectName());
        if (item->inherits("QQuickText")) {
            if (item->property("truncated").toBool())
                faults << who + " is elided";
            const int wrap = item->property("wrapMode").toInt();
            const qreal contentWidth = item->property("contentWidth").toReal();
            if (wrap == 0 && contentWidth > item->width() + 1.5 && item->property("elide").toInt() == 0)
                faults << who + QString(" is %1 px wide in %2 px").arg(contentWidth).arg(item->width());
            const qreal contentHeight = item->property("contentHeight").toReal();
            if (contentHeight > item->height() + 1.5 && !item->clip())
                faults << who + QString(" is %1 px high in %2 px").arg(contentHeight).arg(item->height());
        }
        const QRectF full = sceneRect(item);
        if (!window.adjusted(-1, -1, 1, 1).contains(seen))
            faults << who + " reaches outside the window";
        // Cut by a clipping parent: only the part that is seen counts, and
        // it must hold the whole line height.
        if (!item->inherits("QQuickTextEdit")
            && seen.height() + 1.5 < qMin(full.height(), item->property("contentHeight").toReal()))
            faults << who + " is cut by its container";
    }
    return faults;
}

bool GuiHarness::startWork() const
{
    return clickName("startButton") && waitVisible("scenarioSelectionPage");
}

bool GuiHarness::finishScenario(const QString& scenarioButton, bool success, const QVariantList& context) const
{
    if (!clickName(scenarioButton) || !waitVisible("titleArea"))
        return false;
    // Each step moves on as its "forward" would, whatever its conditions;
    // the run of the last step (started by a timer) is kept from starting.
    const int steps = find("stepProgressBar")->property("steps").toInt();
    QObject* stack = findVisible("stepStack");
    const auto current = [stack] { return stack->property("currentItem").value<QObject*>(); };
    for (int i = 1; i < steps; ++i) {
        QObject* page = current();
        if (!page
            || !QMetaObject::invokeMethod(page, "emitMoveOn", Q_ARG(QVariant, true), Q_ARG(QVariant, QVariantList())))
            return false;
        for (QObject* child : current()->findChildren<QObject*>())
            if (child->inherits("QQmlTimer"))
                child->setProperty("running", false);
    }
    waitFrame();
    QObject* last = current();
    return last && QMetaObject::invokeMethod(last, "emitMoveOn", Q_ARG(QVariant, success), Q_ARG(QVariant, context));
}

void GuiHarness::walkEveryPage(const std::function<void(const QString&)>& atPage)
{
    QQuickItem* box = nullptr;
    const auto comboOpen
        = [&](bool open) { return waitFor([&] { return box->property("popupOpened").toBool() == open; }); };
    // A result text as long as a real one, in the language shown.
    const QString result = GuiConfig::getInstance()->lang() == QLatin1String("Ru")
        ? QString::fromUtf8("Восстановление не удалось. Подробности в журнале")
        : QString("Recovery failed. See log for more info");
    // Each page and the operator steps that lead to it from the one before.
    const QList<QPair<QString, std::function<bool()>>> pages {
        {"welcome",
            [&] { return (box = waitVisible("welcomePage") ? findVisible("interfaceComboBox") : nullptr) != nullptr; }},
        {"welcome-interfaces", [&] { return click(find("arrowButton", box)) && comboOpen(true); }},
        {"selection",
            [&] {
                pressKey(Qt::Key_Escape);
                return comboOpen(false) && startWork();
            }},
        {"backup-step1", [&] { return clickName("backupButton") && waitVisible("backupChoosingDevicePage"); }},
        {"restore-step1-journal",
            [&] {
                return clickName("backButton") && clickName("restoreButton") && waitVisible("restoreChoosingServerPage")
                    && clickName("journalButton") && waitVisible("journal");
            }},
        {"restore-step1-error",
            [&] {
                Notifier::getInstance()->showError(
                    tr("KeyMaster", "Connect to Sarvelin server failed: No route to host"),
                    "connect(10.0.0.5:9991): No route to host");
                QTest::qWait(350); // the dialog grows to its height
                return true;
            }},
        {"exit",
            [&] {
                return clickName("dialogCloseButton") && clickName("journalButton") && clickName("backButton")
                    && waitVisible("scenarioSelectionPage") && finishScenario("restoreButton", false, {result})
                    && waitVisible("exitPage");
            }},
        {"exit-question",
            [&] {
                Notifier::getInstance()->showExit();
                QTest::qWait(350); // the dialog grows to its height
                return true;
            }},
        {"welcome-again", [&] {
             return clickName("dialogRejectButton") && clickName("toStartButton") && waitVisible("welcomePage");
         }}};
    for (const auto& page : pages) {
        QVERIFY2(page.second(), qPrintable("on the way to " + page.first));
        atPage(page.first);
        if (QTest::currentTestFailed())
            return;
    }
}

PauseProbe::PauseProbe(std::function<bool()> counts)
    : m_counts(std::move(counts))
{
    m_ticks.setInterval(5);
    QObject::connect(&m_ticks, &QTimer::timeout, [this] {
        const qint64 cpuWait = runQueueWaitMs();
        const qint64 pause = m_sinceTick.restart() - (cpuWait - m_cpuWait);
        m_cpuWait = cpuWait;
        const bool counted = !m_counts || m_counts();
        if (!m_held && m_counted && counted) {
            m_longest = qMax(m_longest, pause);
            if (pause > 10)
                pauses << qMakePair(QDateTime::currentMSecsSinceEpoch(), pause);
        }
        m_counted = counted;
    });
}

void PauseProbe::start()
{
    hold(false);
    m_counted = !m_counts || m_counts();
    m_ticks.start();
}

void PauseProbe::hold(bool held)
{
    m_held = held;
    m_sinceTick.restart();
    m_cpuWait = runQueueWaitMs();
}

void Leaving::ask(GuiHarness& gui, const QString& shot)
{
    QObject::connect(gui.view()->engine(), &QQmlEngine::quit, gui.view(), [this] {
        m_quit = true;
        QCoreApplication::quit();
    });
    Notifier::getInstance()->showExit();
    QTimer::singleShot(300, gui.view(), [this, &gui, shot] {
        QObject* dialog = gui.root()->findChild<QObject*>("notificationDialog");
        m_question = dialog ? dialog->property("message").toString() : QString();
        QQuickItem* cancel = gui.findVisible("dialogRejectButton");
        m_cancelFocused = cancel && cancel->hasActiveFocus();
        gui.shot(shot);
        m_sinceExit.start();
        m_cpuAtExit = cpuMilliseconds();
        gui.clickName("dialogAcceptButton");
    });
}

void Leaving::ended()
{
    if (m_endedAfter >= 0 || !m_sinceExit.isValid())
        return;
    m_endedAfter = m_sinceExit.elapsed();
    m_cpuUntilEnd = cpuMilliseconds() - m_cpuAtExit;
}

QStringList Leaving::faults(const QString& text)
{
    // The application's quit flag stays set until its loop runs again.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    qApp->exec();
    std::printf("left: the run ended %lld ms after Exit, %lld ms of processor time\n", m_endedAfter, m_cpuUntilEnd);
    QStringList out;
    if (!m_question.contains(text))
        out << "the exit question: " + m_question;
    if (!m_cancelFocused || !m_quit)
        out << QString("Cancel focused: %1, the tool quit: %2").arg(m_cancelFocused).arg(m_quit);
    if (m_endedAfter < 1000 || m_endedAfter >= 20000 || m_cpuUntilEnd >= m_endedAfter / 2)
        out << QString("the run ended %1 ms after Exit, using %2 ms of processor time")
                   .arg(m_endedAfter)
                   .arg(m_cpuUntilEnd);
    return out;
}
