#ifndef QMLASSERTS_H
#define QMLASSERTS_H

#include <QObject>
#include <QString>

class QQmlEngine;
class QJSEngine;

// Assertions for QML code of the shared widget library. A failed assertion
// builds "ASSERT failure in <first line of the call stack>: <msg>", runs the
// variant's action and throws that text into the QML engine, which aborts the
// calling QML function. Shaped as the provider of a QML singleton; this tool
// does not publish it.
class QmlAsserts : public QObject
{
    Q_OBJECT
public:
    static QmlAsserts* getInstance(QQmlEngine* engine);
    // Provider signature for qmlRegisterSingletonType.
    static QObject* provider(QQmlEngine* engine, QJSEngine* scriptEngine);

    // Shows the assertion through the notifier.
    Q_INVOKABLE void withLogOut(bool expression, const QString& msg, const QString& callStack);
    // Emits hasQmlAssert() from a 1 ms single-shot timer.
    Q_INVOKABLE void withStackPop(bool expression, const QString& msg, const QString& callStack);
    // Only aborts the calling QML function.
    Q_INVOKABLE void withInterrupt(bool expression, const QString& msg, const QString& callStack);

    QString currentAssert() const { return m_currentAssert; }

signals:
    void hasQmlAssert();

private:
    enum class Action { LogOut, StackPop, Interrupt };
    explicit QmlAsserts(QObject* parent = nullptr);
    void check(Action action, bool expression, const QString& msg, const QString& callStack);

    QQmlEngine* m_engine = nullptr;
    QString m_currentAssert;
};

#endif // QMLASSERTS_H
