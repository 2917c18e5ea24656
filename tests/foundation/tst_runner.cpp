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
    void capturesStandardOutput()
    {
        std::string out;
        QCOMPARE(execute_command("printf 'one\\ntwo\\n'", &out), 0);
        QCOMPARE(out, std::string("one\ntwo\n"));
    }

    void capturesStandardErrorOfASingleCommand()
    {
        std::string out;
        QCOMPARE(execute_command("ls /no/such/path/for/the/runner", &out), 2);
        QVERIFY2(out.find("/no/such/path/for/the/runner") != std::string::npos, out.c_str());
    }

    void appendsToTheCallersOutput()
    {
        std::string out = "kept:";
        QCOMPARE(execute_command("echo more", &out), 0);
        QCOMPARE(out, std::string("kept:more\n"));
    }

    void readsLongOutputCompletely()
    {
        std::string out;
        QCOMPARE(execute_command("head -c 100000 /dev/zero | tr '\\0' 'a'", &out), 0);
        QCOMPARE(out.size(), std::size_t(100000));
        QVERIFY(out.find_first_not_of('a') == std::string::npos);
    }

    void returnsTheExitCode_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("code");
        QTest::newRow("true") << "true" << 0;
        QTest::newRow("false") << "false" << 1;
        QTest::newRow("exit 3") << "exit 3" << 3;
        QTest::newRow("exit 255") << "exit 255" << 255;
        QTest::newRow("not found") << "/no/such/program" << 127;
        // A pipeline reports its last command.
        QTest::newRow("pipeline") << "false | true" << 0;
    }

    void returnsTheExitCode()
    {
        QFETCH(QString, command);
        QFETCH(int, code);
        std::string out;
        QCOMPARE(execute_command(command.toStdString(), &out), code);
    }

    void signalKilledCommandIsAFailure_data()
    {
        QTest::addColumn<QString>("command");
        // The shell itself is killed: the wait status carries the signal.
        QTest::newRow("shell killed by SIGKILL") << "kill -KILL $$";
        QTest::newRow("shell killed by SIGTERM") << "kill -TERM $$";
        QTest::newRow("shell killed by SIGSEGV") << "kill -SEGV $$";
        // A child killed inside the shell.
        QTest::newRow("child killed") << "sh -c 'kill -KILL $$'";
    }

    void signalKilledCommandIsAFailure()
    {
        QFETCH(QString, command);
        std::string out;
        const int code = execute_command(command.toStdString(), &out);
        QVERIFY2(code != 0, qPrintable(QString("exit code %1").arg(code)));
        QVERIFY(code > 128);
    }

    void quotesForTheShell_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "abc" << "'abc'";
        QTest::newRow("apostrophe") << "it's" << "'it'\\''s'";
        QTest::newRow("empty") << "" << "''";
        QTest::newRow("only apostrophes") << "''" << "''\\'''\\'''";
        QTest::newRow("blanks") << "a b" << "'a b'";
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
        QTest::newRow("and") << "x && touch %1";
        QTest::newRow("pipe") << "x | touch %1";
        QTest::newRow("newline") << "x\ntouch %1";
        QTest::newRow("apostrophe break-out") << "x'; touch %1; echo '";
        QTest::newRow("double quotes") << "\"$(touch %1)\"";
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

    void shellSyntaxErrorIsAFailure()
    {
        // An unterminated quote makes the shell fail: a failure, not success.
        std::string out;
        QVERIFY(execute_command("echo 'unterminated", &out) != 0);
    }
};

QTEST_APPLESS_MAIN(TestRunner)
#include "tst_runner.moc"
