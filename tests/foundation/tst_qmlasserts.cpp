// QML assertions of the shared GUI layer: a true expression does nothing; a
// false one builds its text from the first line of the call stack, runs the
// variant's action and aborts the calling QML function with that text.
#include "notifier.h"
#include "qmlasserts.h"

#include <QGuiApplication>
#include <QJSValue>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QtTest>

class TestQmlAsserts : public QObject
{
    Q_OBJECT

    QQmlEngine engine;

    // Runs `call` inside a QML function and returns what it left behind:
    // "completed" or the text of the error that aborted it.
    QString runInQml(const QString& call)
    {
        QQmlComponent component(&engine);
        component.setData(("import QtQuick 2.12\nimport SvAsserts 1.0\nQtObject {\n"
                           "  function run() { try { " + call + "; return \"completed\" } catch (e) { return e.message } }\n}\n").toUtf8(),
                          QUrl("qrc:/test/Caller.qml"));
        QScopedPointer<QObject> object(component.create());
        if (!object)
            return "not created: " + component.errorString();
        QVariant result;
        QMetaObject::invokeMethod(object.data(), "run", Q_RETURN_ARG(QVariant, result));
        return result.toString();
    }

private slots:
    void initTestCase()
    {
        qmlRegisterSingletonType<QmlAsserts>("SvAsserts", 1, 0, "QmlAsserts", &QmlAsserts::provider);
    }

    void trueExpressionDoesNothing()
    {
        QSignalSpy asserts(Notifier::getInstance(), &Notifier::hasAssert);
        QCOMPARE(runInQml("QmlAsserts.withLogOut(true, 'never', 'f@x.qml:1')"), QString("completed"));
        QCOMPARE(asserts.count(), 0);
    }

    void withLogOutShowsTheAssertion()
    {
        QSignalSpy asserts(Notifier::getInstance(), &Notifier::hasAssert);
        const QString text = runInQml("QmlAsserts.withLogOut(false, 'no model', 'load@qrc:/a.qml:12\\nouter@qrc:/b.qml:3')");
        QCOMPARE(text, QString("ASSERT failure in load@qrc:/a.qml:12: no model"));
        QCOMPARE(asserts.count(), 1);
        QCOMPARE(asserts.at(0).at(0).toString(), text);
        QCOMPARE(asserts.at(0).at(1).toString(), QString());
        QCOMPARE(QmlAsserts::getInstance(&engine)->currentAssert(), text);
    }

    void withStackPopSignalsLater()
    {
        QmlAsserts* asserts = QmlAsserts::getInstance(&engine);
        QSignalSpy popped(asserts, &QmlAsserts::hasQmlAssert);
        QSignalSpy shown(Notifier::getInstance(), &Notifier::hasAssert);
        QCOMPARE(runInQml("QmlAsserts.withStackPop(false, 'pop', 'only line')"),
                 QString("ASSERT failure in only line: pop"));
        QCOMPARE(popped.count(), 0);  // from a timer, not at once
        QTRY_COMPARE(popped.count(), 1);
        QCOMPARE(shown.count(), 0);
    }

    void withInterruptOnlyAborts()
    {
        QSignalSpy popped(QmlAsserts::getInstance(&engine), &QmlAsserts::hasQmlAssert);
        QSignalSpy shown(Notifier::getInstance(), &Notifier::hasAssert);
        QCOMPARE(runInQml("QmlAsserts.withInterrupt(false, 'stop', '')"), QString("ASSERT failure in : stop"));
        QTest::qWait(20);
        QCOMPARE(popped.count(), 0);
        QCOMPARE(shown.count(), 0);
    }
};

QTEST_MAIN(TestQmlAsserts)
#include "tst_qmlasserts.moc"
