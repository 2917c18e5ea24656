// The command runner and the quoting helper: captured output, exit codes,
// commands killed by a signal, and hostile values that must stay data.
#include "sv_key_common.h"

#include <QtTest>

using sv_key_common::execute_command;
using sv_key_common::shell_quote;

class TestRunner : public QObject
{
    Q_OBJECT

private slots:
    // What the command printed (appended to what the string held) and its
    // exit code as the shell reports it; killed or broken commands fail.
    void runsCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("code");
        QTest::newRow("stdout") << "printf 'one\\ntwo\\n'" << QByteArray() << QByteArray("one\ntwo\n") << 0;
        QTest::newRow("appends") << "echo more" << QByteArray("kept:") << QByteArray("kept:more\n") << 0;
        QTest::newRow("stderr of a single command") << "sh -c 'echo oops >&2'" << QByteArray() << QByteArray("oops\n") << 0;
        QTest::newRow("long output") << "head -c 100000 /dev/zero | tr '\\0' 'a'" << QByteArray()
                                     << QByteArray(100000, 'a') << 0;
        QTest::newRow("false") << "false" << QByteArray() << QByteArray() << 1;
        QTest::newRow("ls fails") << "ls /no/such/path/for/the/runner" << QByteArray() << QByteArray() << 2;
        QTest::newRow("not found") << "/no/such/program" << QByteArray() << QByteArray() << 127;
        QTest::newRow("pipeline reports its last command") << "false | true" << QByteArray() << QByteArray() << 0;
        // -1: any code above 128 (the shell or a child killed by a signal).
        QTest::newRow("shell killed by SIGKILL") << "kill -KILL $$" << QByteArray() << QByteArray() << -1;
        QTest::newRow("child killed") << "sh -c 'kill -KILL $$'" << QByteArray() << QByteArray() << -1;
        // -2: any failure (an unterminated quote is a shell syntax error).
        QTest::newRow("syntax error") << "echo 'unterminated" << QByteArray() << QByteArray() << -2;
    }

    void runsCommands()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(int, code);
        std::string out = before.toStdString();
        const int got = execute_command(command.toStdString(), &out);
        if (code == -1)
            QVERIFY2(got > 128, qPrintable(QString("exit code %1").arg(got)));
        else if (code == -2)
            QVERIFY2(got != 0, qPrintable(QString("exit code %1").arg(got)));
        else
            QCOMPARE(got, code);
        if (code == 0)
            QCOMPARE(QByteArray::fromStdString(out), after);
    }

    // Every hostile value comes back unchanged as one argument and runs nothing.
    void hostileValuesStayData_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("semicolon") << "x;touch %1";
        QTest::newRow("command substitution") << "$(touch %1)";
        QTest::newRow("backticks") << "`touch %1`";
        QTest::newRow("pipe") << "x | touch %1";
        QTest::newRow("newline") << "x\ntouch %1";
        QTest::newRow("apostrophe break-out") << "x'; touch %1; echo '";
        QTest::newRow("variables and globs") << "$HOME * ~ %1";
        QTest::newRow("redirection") << "> %1";
        QTest::newRow("empty") << "";
        QTest::newRow("only apostrophes") << "''";
    }

    void hostileValuesStayData()
    {
        QFETCH(QString, pattern);
        QTemporaryDir dir;
        const QString marker = dir.filePath("pwned");
        const std::string value = QString(pattern).replace("%1", marker).toStdString();
        std::string out;
        // printf prints each argument between brackets: exactly one argument must arrive.
        QCOMPARE(execute_command("printf '[%s]' " + shell_quote(value), &out), 0);
        QCOMPARE(QString::fromStdString(out), "[" + QString::fromStdString(value) + "]");
        QVERIFY2(!QFile::exists(marker), "a quoted value was executed");
    }
};

QTEST_APPLESS_MAIN(TestRunner)
#include "tst_runner.moc"
