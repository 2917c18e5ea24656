// The command runner and the quoting helper: captured output, exit codes,
// commands killed by a signal, and hostile values that must stay data.
#include "sv_key_common.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using sv_key_common::execute_command;
using sv_key_common::shell_quote;

class TestRunner : public QObject
{
    Q_OBJECT

private slots:
    void capturesOutput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("stdout") << "printf 'one\\ntwo\\n'" << QByteArray() << QByteArray("one\ntwo\n");
        QTest::newRow("appends") << "echo more" << QByteArray("kept:") << QByteArray("kept:more\n");
        QTest::newRow("stderr of a single command") << "sh -c 'echo oops >&2'" << QByteArray() << QByteArray("oops\n");
        QTest::newRow("long output") << "head -c 100000 /dev/zero | tr '\\0' 'a'" << QByteArray()
                                     << QByteArray(100000, 'a');
    }

    void capturesOutput()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        std::string out = before.toStdString();
        QCOMPARE(execute_command(command.toStdString(), &out), 0);
        QCOMPARE(QByteArray::fromStdString(out), after);
    }

    // Exit codes as the shell reports them; killed or broken commands fail.
    void returnsTheExitCode_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("code");
        QTest::newRow("true") << "true" << 0;
        QTest::newRow("false") << "false" << 1;
        QTest::newRow("ls fails") << "ls /no/such/path/for/the/runner" << 2;
        QTest::newRow("not found") << "/no/such/program" << 127;
        QTest::newRow("pipeline reports its last command") << "false | true" << 0;
        // -1: any code above 128 (the shell or a child killed by a signal).
        QTest::newRow("shell killed by SIGKILL") << "kill -KILL $$" << -1;
        QTest::newRow("child killed") << "sh -c 'kill -KILL $$'" << -1;
        // -2: any failure (an unterminated quote is a shell syntax error).
        QTest::newRow("syntax error") << "echo 'unterminated" << -2;
    }

    void returnsTheExitCode()
    {
        QFETCH(QString, command);
        QFETCH(int, code);
        std::string out;
        const int got = execute_command(command.toStdString(), &out);
        if (code == -1)
            QVERIFY2(got > 128, qPrintable(QString("exit code %1").arg(got)));
        else if (code == -2)
            QVERIFY2(got != 0, qPrintable(QString("exit code %1").arg(got)));
        else
            QCOMPARE(got, code);
    }

    void quotesForTheShell_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "abc" << "'abc'";
        QTest::newRow("apostrophe") << "it's" << "'it'\\''s'";
        QTest::newRow("empty") << "" << "''";
        QTest::newRow("only apostrophes") << "''" << "''\\'''\\'''";
    }

    void quotesForTheShell()
    {
        QFETCH(QString, value);
        QFETCH(QString, quoted);
        QCOMPARE(QString::fromStdString(shell_quote(value.toStdString())), quoted);
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
    }

    void hostileValuesStayData()
    {
        QFETCH(QString, pattern);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString marker = dir.filePath("pwned");
        const std::string value = pattern.arg(marker).toStdString();

        std::string out;
        // printf prints each argument between brackets: exactly one argument must arrive.
        QCOMPARE(execute_command("printf '[%s]' " + shell_quote(value), &out), 0);
        QCOMPARE(QString::fromStdString(out), "[" + QString::fromStdString(value) + "]");
        QVERIFY2(!QFile::exists(marker), "a quoted value was executed");
    }

    // The same value unquoted is executed: proves the check above can fail.
    void unquotedValueWouldRun()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("pwned");
        std::string out;
        execute_command("echo x;touch " + marker.toStdString(), &out);
        QVERIFY(QFile::exists(marker));
    }
};

QTEST_APPLESS_MAIN(TestRunner)
#include "tst_runner.moc"
