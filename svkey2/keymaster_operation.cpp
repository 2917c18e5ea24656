// The one running operation: which operation the pages started, the refusal
// of a second one, the waits that keep the window alive meanwhile, and the
// operator leaving while an operation runs.
//
// Waits never run a nested QEventLoop: once the application quits, such a
// loop returns at once and a wait built on it would spin or end early. They
// process events and sleep in the event dispatcher until an event or their
// own timer wakes them, which works the same while the application quits.

#include "keymaster.h"

#include "notifier.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QEvent>
#include <QTimer>

namespace {

const char* const kOperationNames[] = {
    QT_TRANSLATE_NOOP("KeyMaster", "nothing"),
    QT_TRANSLATE_NOOP("KeyMaster", "the start-up checks"),
    QT_TRANSLATE_NOOP("KeyMaster", "the inspection of a partition"),
    QT_TRANSLATE_NOOP("KeyMaster", "connecting to the Sarvelin server"),
    QT_TRANSLATE_NOOP("KeyMaster", "disconnecting from the Sarvelin server"),
    QT_TRANSLATE_NOOP("KeyMaster", "loading the client's backups"),
    QT_TRANSLATE_NOOP("KeyMaster", "a backup"),
    QT_TRANSLATE_NOOP("KeyMaster", "a restore"),
    QT_TRANSLATE_NOOP("KeyMaster", "a restore (waiting for your answer)"),
};

// Swallows pointer, key and touch input while it is installed.
class InputSwallower : public QObject
{
public:
    int dropped = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Wheel:
            ++dropped;
            return true;
        default:
            return false;
        }
    }
};

} // namespace

QString KeyMaster::operationText() const
{
    switch (m_operation) {
    case Operation::BackingUp:
        return tr("A backup is running. If you leave now, it is stopped: the file systems are unmounted, the "
                  "copied keys and settings are deleted and the local client is stopped.");
    case Operation::Restoring:
    case Operation::WaitingForAnswer:
        return tr("A restore is running. If you leave now, it is stopped: the tool stops waiting for it, "
                  "disconnects and stops the local client.");
    case Operation::Idle:
        return QString();
    default:
        return tr("Running now: %1. If you leave now, it is stopped.")
            .arg(tr(kOperationNames[static_cast<int>(m_operation)]));
    }
}

void KeyMaster::setOperation(Operation operation)
{
    if (m_operation == operation)
        return;
    m_operation = operation;
    emit operationChanged();
}

KeyMaster::OperationScope::OperationScope(KeyMaster& keyMaster, Operation operation, const char* name)
    : m_keyMaster(keyMaster)
    , m_granted(keyMaster.m_operation == Operation::Idle && !keyMaster.m_exitRequested)
{
    if (m_granted) {
        keyMaster.setOperation(operation);
        return;
    }
    if (keyMaster.m_exitRequested) {
        qInfo().noquote() << name << "refused: the tool is being left";
        return;
    }
    qWarning().noquote() << name << "refused: another operation is running";
    Notifier::getInstance()->showWarning(tr("This cannot be done now: %1 is running. Wait until it ends.")
                                             .arg(tr(kOperationNames[static_cast<int>(keyMaster.m_operation)])));
}

KeyMaster::OperationScope::~OperationScope()
{
    if (!m_granted)
        return;
    // Still busy here: what the operator pressed while the window could not
    // answer reaches nothing.
    m_keyMaster.dropQueuedInput();
    m_keyMaster.setOperation(Operation::Idle);
    if (m_keyMaster.m_exitRequested)
        m_keyMaster.fstabModel.unmountAll();
}

void KeyMaster::dropQueuedInput()
{
    InputSwallower swallower;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    app->installEventFilter(&swallower);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&swallower);
    if (swallower.dropped > 0)
        qInfo().noquote() << "Dropped" << swallower.dropped << "input events that came while the window was blocked";
}

void KeyMaster::exitHandler()
{
    if (isBusy()) {
        // The operation ends through its own ending, which unmounts; what
        // is left mounted then is unmounted when its scope closes.
        qInfo().noquote() << "Leaving while" << tr(kOperationNames[static_cast<int>(m_operation)])
                          << "runs: it is stopped";
        m_exitRequested = true;
        m_stopRequested = true;
        return;
    }
    m_exitRequested = true;
    fstabModel.unmountAll();
}

// --- waits

bool KeyMaster::waitUntil(const std::function<bool()>& done, int milliseconds, bool stoppable)
{
    const QDeadlineTimer deadline(qMax(0, milliseconds), Qt::PreciseTimer);
    // Wakes the dispatcher at the deadline when nothing else does.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(qMax(0, milliseconds));
    for (;;) {
        if (done && done())
            return true;
        if ((stoppable && m_stopRequested) || deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

bool KeyMaster::waitProcessingEvents(int milliseconds)
{
    waitUntil(nullptr, milliseconds, true);
    return !m_stopRequested;
}

void KeyMaster::processEventsOnce()
{
    QCoreApplication::processEvents();
}
