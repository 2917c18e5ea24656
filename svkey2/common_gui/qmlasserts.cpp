#include "qmlasserts.h"

#include "notifier.h"

#include <QQmlEngine>
#include <QRegularExpression>
#include <QTimer>
#include <QVariantList>

QmlAsserts::QmlAsserts(QObject* parent)
    : QObject(parent)
{ }

QmlAsserts* QmlAsserts::getInstance(QQmlEngine* engine)
{
    Q_ASSERT_X(engine, "QmlAsserts::getInstance", "No qml engine provided!");
    static QmlAsserts instance;
    if (engine)
        instance.m_engine = engine;
    return &instance;
}

QObject* QmlAsserts::provider(QQmlEngine* engine, QJSEngine*)
{
    QmlAsserts* self = getInstance(engine);
    // The engine must not take ownership of the process-wide instance.
    QQmlEngine::setObjectOwnership(self, QQmlEngine::CppOwnership);
    return self;
}

void QmlAsserts::withLogOut(bool expression, const QString& msg, const QString& callStack)
{
    check(Action::LogOut, expression, msg, callStack);
}

void QmlAsserts::withStackPop(bool expression, const QString& msg, const QString& callStack)
{
    check(Action::StackPop, expression, msg, callStack);
}

void QmlAsserts::withInterrupt(bool expression, const QString& msg, const QString& callStack)
{
    check(Action::Interrupt, expression, msg, callStack);
}

void QmlAsserts::check(Action action, bool expression, const QString& msg, const QString& callStack)
{
    if (expression)
        return;

    static const QRegularExpression firstLine(QStringLiteral("^(?<qmlfunc>.*)\\n?"));
    const QString place = firstLine.match(callStack).captured(QStringLiteral("qmlfunc"));
    m_currentAssert = QStringLiteral("ASSERT failure in %1: %2").arg(place, msg);

    switch (action) {
    case Action::LogOut:
        Notifier::getInstance()->showAssert(m_currentAssert, QString(), QVariantList());
        break;
    case Action::StackPop:
        QTimer::singleShot(1, this, &QmlAsserts::hasQmlAssert);
        break;
    case Action::Interrupt:
        break;
    }

    if (m_engine)
        m_engine->throwError(QJSValue::GenericError, m_currentAssert);
}
