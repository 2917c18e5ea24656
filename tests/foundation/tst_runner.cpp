// The command runner and the quoting helper.
#include "command_runner.h"
#include "sv_key_common.h"

#include "../common/test_files.h"

#include <QtTest>

using sv_key_common::execute_command;
using sv_key_common::shell_quote;

class TestRunner : public QObject
{
    Q_OBJECT

private slots:
    // Every hostile value comes back unchanged as one argument and runs nothing.
    void hostileValuesStayData()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("pwned");
        for (const char* pattern :
            {"x;touch %1", "$(touch %1)", "`touch %1`", "x\ntouch %1", "x'; touch %1; echo '", "", "''"}) {
            const std::string value = QString(pattern).replace("%1", marker).toStdString();
            std::string out;
            // printf prints each argument between brackets: exactly one argument must arrive.
            QCOMPARE(execute_command("printf '[%s]' " + shell_quote(value), &out), 0);
            QCOMPARE(QString::fromStdString(out), "[" + QString::fromStdString(value) + "]");
            QVERIFY2(!QFile::exists(marker), "a quoted value was executed");
            // As an argument of its own, without a shell, it is data too.
            const CommandResult listed
                = CommandRunner::current().run("/usr/bin/printf", {"[%s]", QString::fromStdString(value)}, 5000);
            QCOMPARE(listed.output(), "[" + QString::fromStdString(value) + "]");
        }
    }

    // The system runner's results: both streams apart, what never started,
    // was killed or ran out of time, output going to a private file; a
    // shell command's standard output alone, whole, appended to the string.
    void results()
    {
        std::string out = "kept:";
        QCOMPARE(execute_command("head -c 100000 /dev/zero | tr '\\0' 'a'; echo oops >&2; exit 3", &out), 3);
        QCOMPARE(out, "kept:" + std::string(100000, 'a'));
        SystemCommandRunner runner;
        CommandResult r = runner.run("/bin/sh", {"-c", "echo out; echo err >&2; exit 3"}, 5000);
        QVERIFY(r.outcome == CommandResult::Outcome::Finished && r.exitCode == 3 && !r.succeeded());
        QCOMPARE(r.standardOutput, QByteArray("out\n"));
        QCOMPARE(r.standardError, QByteArray("err\n"));
        QCOMPARE(explainFailure(r).message, QString("Can't execute: echo out; echo err >&2; exit 3"));
        QCOMPARE(explainFailure(r, "Failed").details, QString("out\nerr\n"));

        r = runner.run("/no/such/program", {"x"}, 5000);
        QVERIFY(r.outcome == CommandResult::Outcome::NotStarted && !r.errorText.isEmpty());
        QCOMPARE(r.shellStatus(), 1);
        QCOMPARE(explainFailure(r).details, "It could not be started: " + r.errorText);

        r = runner.run("/bin/sh", {"-c", "echo before; kill -KILL $$"}, 5000);
        QVERIFY(r.outcome == CommandResult::Outcome::Crashed);
        QCOMPARE(r.shellStatus(), 137);
        QCOMPARE(explainFailure(r).details, QString("before\nIt was ended by signal 9."));

        QElapsedTimer took;
        took.start();
        r = runner.run("/bin/sh", {"-c", "echo started; exec sleep 10"}, 300);
        QVERIFY2(took.elapsed() < 2000, qPrintable(QString::number(took.elapsed())));
        QVERIFY(r.outcome == CommandResult::Outcome::TimedOut);
        QCOMPARE(r.shellStatus(), 137);
        QCOMPARE(explainFailure(r).details, QString("started\nIt did not end within 1 s and was stopped."));

        QTemporaryDir dir;
        const QString file = dir.filePath("out.log");
        QVERIFY(runner.run("/bin/sh", {"-c", "echo a; echo b >&2"}, 5000, file).succeeded());
        QCOMPARE(readFile(file), QByteArray("a\nb\n"));
        // Mode 0600 (the owner's bits; the "user" ones only mirror them).
        QCOMPARE(QFile::permissions(file) & ~QFileDevice::Permissions(0x0700), QFile::ReadOwner | QFile::WriteOwner);
    }

    // Starts that go on after the call: each says whether it started.
    void starts()
    {
        SystemCommandRunner runner;
        QTemporaryDir dir;
        QVERIFY(runner.startDetached("/bin/sh", {"-c", "echo ran > " + dir.filePath("detached")}).started());
        QVERIFY(!runner.startDetached("/no/such/program", {}).started());
        QObject owner;
        const QString file = dir.filePath("watched.log");
        QVERIFY(runner.startWatched("/bin/sh", {"-c", "echo hello; echo oops >&2"}, file, &owner, 5000).started());
        QVERIFY(QTest::qWaitFor([&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) && f.readAll() == "hello\noops\n";
        }));
        const CommandResult missing = runner.startWatched("/no/such/program", {}, dir.filePath("m.log"), &owner, 5000);
        QVERIFY(!missing.started() && !missing.errorText.isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("detached")); }));
    }

    // The window goes on: while a run waits, events are processed (a 5 ms
    // timer keeps ticking) and the thread sleeps in between.
    void eventsDuringARun()
    {
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        int ticks = 0;
        QTimer timer;
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, [&] {
            longest = qMax(longest, sinceTick.restart());
            ++ticks;
        });
        timer.start();
        sinceTick.start();
        std::clock_t cpu = std::clock();
        std::string out;
        QCOMPARE(sv_key_common::execute_command("sleep 0.6; echo done", &out), 0);
        cpu = std::clock() - cpu;
        timer.stop();
        QCOMPARE(out, std::string("done\n"));
        // A blocking wait lets the timer tick once at most; a loaded machine
        // may hold the thread now and then (the walks measure the gaps).
        QVERIFY2(ticks > 10, qPrintable(QString("%1 ticks, longest gap %2 ms").arg(ticks).arg(longest)));
        QVERIFY2(cpu < CLOCKS_PER_SEC / 4, "the wait spins");
    }
};

QTEST_GUILESS_MAIN(TestRunner)
#include "tst_runner.moc"
