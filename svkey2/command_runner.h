#ifndef COMMAND_RUNNER_H
#define COMMAND_RUNNER_H

// The one way the tool runs a program. Every child process (the system
// tools, the suite's own programs, detached starts and the local client's
// watched start) goes through the runner the process has installed: the
// system one, or a test's scripted one.
//
// Programs run from an argument list. Only where a pipeline is needed does a
// caller run "/bin/sh -c" (runShell), and then every value inserted into the
// pipeline is quoted by sv_key_common::shell_quote.

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QObject;

// What became of one run.
struct CommandResult
{
    enum class Outcome {
        Finished, // ended by itself: exitCode holds its exit code
        Started, // a detached or watched start: it runs on
        NotStarted, // could not be started (errorText says why)
        Crashed, // killed by a signal
        TimedOut, // did not end in time and was killed
    };

    QString program;
    QStringList arguments;
    Outcome outcome = Outcome::NotStarted;
    int exitCode = -1;
    int timeoutMilliseconds = 0;
    QByteArray standardOutput;
    QByteArray standardError;
    QString errorText;

    bool succeeded() const { return outcome == Outcome::Finished && exitCode == 0; }
    bool started() const { return outcome == Outcome::Started; }
    // The command as the operator reads it: a pipeline run by the shell is
    // its own text, a program its name and arguments.
    QString commandText() const;
    QString output() const { return QString::fromLocal8Bit(standardOutput); }
    QString errors() const { return QString::fromLocal8Bit(standardError); }
    // Standard output, then standard error: what the log and the failure
    // details show.
    QString allOutput() const;
    // The status as a shell reports it: the exit code, 128 + N for a
    // program killed by signal N (9 when it timed out), 1 when it did not
    // start.
    int shellStatus() const;
};

// What the operator is shown for a failed run.
struct CommandFailure
{
    QString message;
    QString details;
};

// The one explanation of a failed run: `message` is the text the caller
// shows for that failure ("Can't execute: " and the command when empty);
// the details are what the program printed, both streams, and why it did
// not end by itself when it did not.
CommandFailure explainFailure(const CommandResult& result, const QString& message = QString());

class CommandRunner
{
    Q_DECLARE_TR_FUNCTIONS(CommandRunner)

public:
    virtual ~CommandRunner() = default;

    // Runs `program` with `arguments` and waits for its end, at most
    // `timeoutMilliseconds` (then it is killed). The wait keeps the window
    // answering: events are processed and the thread sleeps in between;
    // the program is never killed because the operator leaves, and the wait
    // works the same while the application quits. With `outputFile` named,
    // both streams go into that file, created anew with mode 0600.
    virtual CommandResult run(const QString& program, const QStringList& arguments, int timeoutMilliseconds,
        const QString& outputFile = QString())
        = 0;
    // Starts `program` detached from the tool; Started or NotStarted.
    virtual CommandResult startDetached(
        const QString& program, const QStringList& arguments, const QString& workingDirectory = QString())
        = 0;
    // Starts `program` as a child of `owner` that goes on running after the
    // call, both streams into `outputFile` (created anew, 0600), for the
    // caller to watch; waits at most `startMilliseconds` for the start.
    // Started, or NotStarted.
    virtual CommandResult startWatched(const QString& program, const QStringList& arguments, const QString& outputFile,
        QObject* owner, int startMilliseconds)
        = 0;

    // A pipeline through "/bin/sh -c": only for what needs the shell.
    CommandResult runShell(const QString& pipeline, int timeoutMilliseconds)
    {
        return run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), pipeline}, timeoutMilliseconds);
    }

    // The runner in use: the system runner unless one was installed.
    static CommandRunner& current();
    // Installs `runner` (null: the system runner) and returns the one it
    // replaces, for the caller to put back.
    static CommandRunner* install(CommandRunner* runner);
};

// Runs the programs as child processes of the tool.
class SystemCommandRunner : public CommandRunner
{
public:
    CommandResult run(const QString& program, const QStringList& arguments, int timeoutMilliseconds,
        const QString& outputFile = QString()) override;
    CommandResult startDetached(
        const QString& program, const QStringList& arguments, const QString& workingDirectory = QString()) override;
    CommandResult startWatched(const QString& program, const QStringList& arguments, const QString& outputFile,
        QObject* owner, int startMilliseconds) override;
};

#endif // COMMAND_RUNNER_H
