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
                           "  function run() { try { "
                              + call + "; return \"completed\" } catch (e) { return e.message } }\n}\n")
                              .toUtf8(),
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

    // The text the QML function ends with, the assertions shown to the
    // operator and the later stack-pop signals of each variant.
    void variants()
    {
        QmlAsserts* asserts = QmlAsserts::getInstance(&engine);
        const QList<std::tuple<QString, QString, int, int>> cases {
            {"withLogOut(true, 'never', 'f@x.qml:1')", "completed", 0, 0},
            {"withLogOut(false, 'no model', 'load@qrc:/a.qml:12\\nouter@qrc:/b.qml:3')",
                "ASSERT failure in load@qrc:/a.qml:12: no model", 1, 0},
            {"withStackPop(false, 'pop', 'only line')", "ASSERT failure in only line: pop", 0, 1},
            {"withInterrupt(false, 'stop', '')", "ASSERT failure in : stop", 0, 0}};
        for (const auto& [call, text, shown, popped] : cases) {
            QSignalSpy pops(asserts, &QmlAsserts::hasQmlAssert);
            QSignalSpy shownSpy(Notifier::getInstance(), &Notifier::hasAssert);
            QCOMPARE(runInQml("QmlAsserts." + call), text);
            QCOMPARE(pops.count(), 0); // from a timer, not at once
            QTest::qWait(50);
            QCOMPARE(pops.count(), popped);
            QCOMPARE(shownSpy.count(), shown);
            if (shown) {
                QCOMPARE(shownSpy.at(0).at(0).toString(), text);
                QCOMPARE(shownSpy.at(0).at(1).toString(), QString());
                QCOMPARE(asserts->currentAssert(), text);
            }
        }
    }
};

QTEST_MAIN(TestQmlAsserts)
#include "tst_qmlasserts.moc"
