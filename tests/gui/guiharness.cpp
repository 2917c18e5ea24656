#include "guiharness.h"

#include "guiconfig.h"
#include "keymaster.h"
#include "logger.h"
#include "notifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItemGrabResult>
#include <QSharedPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>

// The controller's test seam: the tests choose the network interfaces that
// the welcome page offers.
class KeyMasterTestAccess
{
public:
    static void setInterfaces(KeyMaster& keyMaster, const QStringList& interfaces)
    {
        keyMaster.m_interfaces = interfaces;
    }
};

namespace {

QString g_shotsFolder;

void collectItems(QObject* object, QList<QQuickItem*>& out)
{
    if (auto* item = qobject_cast<QQuickItem*>(object)) {
        if (out.contains(item))
            return;
        out.append(item);
        for (QQuickItem* child : item->childItems())
            collectItems(child, out);
    }
    for (QObject* child : object->children())
        collectItems(child, out);
}

// Every item below `start`, visual children and object children alike
// (popups keep their items in the window's overlay).
QList<QQuickItem*> allItems(QObject* start)
{
    QList<QQuickItem*> out;
    collectItems(start, out);
    return out;
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
    for (const QQuickItem* p = item->parentItem(); p; p = p->parentItem()) {
        if (p->clip())
            rect = rect.intersected(GuiHarness::sceneRect(p));
    }
    return rect;
}

bool effectivelyShown(const QQuickItem* item)
{
    if (!item->isVisible())
        return false;
    for (const QQuickItem* p = item; p; p = p->parentItem()) {
        if (p->opacity() <= 0.01)
            return false;
    }
    return true;
}

} // namespace

void GuiHarness::initProcess(const QString& testName)
{
    static QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());

    const QString base = qEnvironmentVariableIsSet("SV_BINARY_DIR")
                             ? qEnvironmentVariable("SV_BINARY_DIR")
                             : QDir::tempPath();
    g_shotsFolder = base + "/gui-shots/" + testName;
    QDir(g_shotsFolder).removeRecursively();
    QDir().mkpath(g_shotsFolder);
    std::printf("screenshots of this test: %s\n", qPrintable(g_shotsFolder));
    std::fflush(stdout);

    GuiConfig::init(GuiConfig::svkey);
    Logger::getInstance()->init(GuiConfig::getInstance()->getConfigFolder(), Logger::FileAndConsole, 5);
    qInstallMessageHandler(Logger::logger);
    QObject::connect(Logger::getInstance(), &Logger::hasLogMessage,
                     [](const QString& line) { logLines().append(line); });
}

QString GuiHarness::shotsFolder() { return g_shotsFolder; }

bool GuiHarness::insideSandbox() { return qEnvironmentVariable("SV_SANDBOX_INSIDE") == QLatin1String("1"); }

QStringList& GuiHarness::logLines()
{
    static QStringList lines;
    return lines;
}

bool GuiHarness::logContains(const QString& fragment)
{
    for (const QString& line : logLines())
        if (line.contains(fragment))
            return true;
    return false;
}

GuiHarness::GuiHarness() = default;

GuiHarness::~GuiHarness() { stop(); }

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
    QQmlContext* context = m_view->rootContext();
    context->setContextProperty(QStringLiteral("GuiConfig"), GuiConfig::getInstance());
    context->setContextProperty(QStringLiteral("Logger"), Logger::getInstance());
    context->setContextProperty(QStringLiteral("Notifier"), Notifier::getInstance());
    context->setContextProperty(QStringLiteral("KeyMaster"), m_keyMaster.get());
    context->setContextProperty(QStringLiteral("DrpManager"), m_keyMaster->drpManager());
    context->setContextProperty(QStringLiteral("CryptKeyHandler"), m_keyMaster->cryptKeyHandler());
    for (auto it = extraContext.cbegin(); it != extraContext.cend(); ++it)
        context->setContextProperty(it.key(), it.value());
    QQuickView* view = m_view.get();
    QObject::connect(GuiConfig::getInstance(), &GuiConfig::retranslated, view,
                     [view](bool) { view->engine()->retranslate(); });
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

void GuiHarness::stop()
{
    if (m_view) {
        m_view->hide();
        m_view.reset();
    }
    m_keyMaster.reset();
}

QQuickItem* GuiHarness::root() const { return m_view ? m_view->rootObject() : nullptr; }

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

QString GuiHarness::textOf(const QString& objectName) const
{
    QQuickItem* item = findVisible(objectName);
    return item ? item->property("text").toString() : QStringLiteral("<no %1>").arg(objectName);
}

QString GuiHarness::tr(const char* context, const char* text) { return QCoreApplication::translate(context, text); }

QQuickItem* GuiHarness::waitVisible(const QString& objectName, int timeoutMs, QObject* within) const
{
    QQuickItem* found = nullptr;
    waitFor([&] { return (found = findVisible(objectName, within)) != nullptr; }, timeoutMs);
    if (!found)
        qWarning().noquote() << "no visible item" << objectName << "after" << timeoutMs << "ms";
    return found;
}

bool GuiHarness::waitFor(const std::function<bool()>& condition, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

bool GuiHarness::click(QQuickItem* item, QPointF offsetFromCentre) const
{
    if (!item) {
        qWarning() << "click: no item";
        return false;
    }
    if (!effectivelyShown(item) || !item->isEnabled()) {
        qWarning().noquote() << "click:" << item->objectName() << "is hidden or disabled";
        return false;
    }
    // Positioners and layouts place their items when the next frame is
    // prepared: let a frame pass, and another while the item still moves.
    QPointF centre;
    for (int i = 0; i < 10; ++i) {
        waitFrame();
        const QPointF now = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)) + offsetFromCentre;
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

void GuiHarness::pressKey(Qt::Key key) const
{
    QTest::keyClick(m_view.get(), key);
    QTest::qWait(20);
}

QString GuiHarness::shot(const QString& step)
{
    if (!m_view || !m_view->contentItem())
        return QString();
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
        if (!isTextItem(item) || !effectivelyShown(item))
            continue;
        if (visibleSceneRect(item).isEmpty())
            continue;
        const QString text = item->property("text").toString();
        if (!text.isEmpty())
            texts.append(text);
        // An empty input shows its placeholder instead.
        const QString placeholder = item->property("placeholderText").toString();
        if (text.isEmpty() && !placeholder.isEmpty())
            texts.append(placeholder);
    }
    return texts;
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

bool GuiHarness::startWork() const { return clickName("startButton") && waitVisible("scenarioSelectionPage"); }

bool GuiHarness::finishScenario(const QString& scenarioButton, bool success, const QVariantList& context) const
{
    if (!clickName(scenarioButton) || !waitVisible("titleArea"))
        return false;
    const int steps = find("stepProgressBar")->property("steps").toInt();
    for (int i = 1; i < steps; ++i)
        if (!waitVisible("forwardButton") || !clickName("forwardButton"))
            return false;
    waitFrame();
    QObject* last = findVisible("stepStack")->property("currentItem").value<QObject*>();
    return last && QMetaObject::invokeMethod(last, "emitMoveOn", Q_ARG(QVariant, success), Q_ARG(QVariant, context));
}

void GuiHarness::walkEveryPage(const std::function<void(const QString&)>& atPage)
{
    const auto at = [&](const QString& page) {
        atPage(page);
        return !QTest::currentTestFailed();
    };
    QVERIFY(waitVisible("welcomePage"));
    if (!at("welcome"))
        return;
    QQuickItem* box = findVisible("interfaceComboBox");
    QVERIFY(click(find("arrowButton", box)));
    QVERIFY(waitFor([&] { return box->property("popupOpened").toBool(); }));
    if (!at("welcome-interfaces"))
        return;
    pressKey(Qt::Key_Escape);
    QVERIFY(waitFor([&] { return !box->property("popupOpened").toBool(); }));
    QVERIFY(startWork());
    if (!at("selection"))
        return;
    QVERIFY(clickName("backupButton"));
    QVERIFY(waitVisible("backupChoosingDevicePage"));
    if (!at("backup-step1"))
        return;
    for (int i = 0; i < 3; ++i)
        QVERIFY(clickName("forwardButton"));
    QVERIFY(waitVisible("backupCreatingPage"));
    find("busyIndicator")->setProperty("running", true);
    if (!at("backup-step4-busy"))
        return;
    find("busyIndicator")->setProperty("running", false);
    for (int i = 0; i < 4; ++i)
        QVERIFY(clickName("backButton"));
    QVERIFY(clickName("restoreButton"));
    QVERIFY(waitVisible("restoreChoosingServerPage"));
    QVERIFY(clickName("journalButton"));
    QVERIFY(waitVisible("journal"));
    if (!at("restore-step1-journal"))
        return;
    Notifier::getInstance()->showError(tr("KeyMaster", "Connect to Sarvelin server failed: No route to host"),
                                       "connect(10.0.0.5:9991): No route to host");
    QTest::qWait(350); // the dialog grows to its height
    if (!at("restore-step1-error"))
        return;
    QVERIFY(clickName("dialogCloseButton"));
    QVERIFY(clickName("journalButton"));
    QVERIFY(clickName("backButton"));
    QVERIFY(waitVisible("scenarioSelectionPage"));
    // A result text as long as a real one, in the language shown.
    const QString result = GuiConfig::getInstance()->lang() == QLatin1String("Ru")
                               ? QString::fromUtf8("Восстановление не удалось. Подробности в журнале")
                               : QString("Recovery failed. See log for more info");
    QVERIFY(finishScenario("restoreButton", false, {result}));
    QVERIFY(waitVisible("exitPage"));
    if (!at("exit"))
        return;
    Notifier::getInstance()->showExit();
    QTest::qWait(350);
    if (!at("exit-question"))
        return;
    QVERIFY(clickName("dialogRejectButton"));
    QVERIFY(clickName("toStartButton"));
    QVERIFY(waitVisible("welcomePage"));
    at("welcome-again");
}
