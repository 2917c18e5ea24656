#include "command_runner.h"

#include "sv_key_common.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QTimer>

#include <functional>

namespace {

SystemCommandRunner systemRunner;
CommandRunner* installedRunner = nullptr;

// Waits until `done` or the deadline, processing events and sleeping in the
// event dispatcher in between (never spinning). No nested QEventLoop: once
// the application quits such a loop returns at once, and the wait would
// spin. Without an application object there is no event loop to turn: the
// caller's own blocking wait is used instead (command-line tools, tests).
bool waitThroughEvents(const std::function<bool()>& done, int milliseconds)
{
    const QDeadlineTimer deadline(qMax(0, milliseconds), Qt::PreciseTimer);
    // Wakes the dispatcher at the deadline when nothing else does.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(qMax(0, milliseconds));
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool haveEventLoop()
{
    return QCoreApplication::instance() != nullptr;
}

// A process that did not die when killed (stuck in the kernel on a hung
// mount) is left to end by itself: its object goes once it has ended, so
// that nothing ever blocks on it.
void abandon(QProcess* process)
{
    process->setParent(nullptr);
    if (process->state() == QProcess::NotRunning) {
        delete process;
        return;
    }
    QObject::connect(
        process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), process, &QObject::deleteLater);
}

void logResult(const CommandResult& result)
{
    switch (result.outcome) {
    case CommandResult::Outcome::NotStarted:
        qWarning().noquote() << "Can't start" << result.program << ":" << result.errorText;
        break;
    case CommandResult::Outcome::TimedOut:
        qWarning().noquote() << result.program << "did not end within" << result.timeoutMilliseconds
                             << "ms; it is killed";
        break;
    case CommandResult::Outcome::Crashed:
        qWarning().noquote() << result.program << "was ended by signal" << result.exitCode;
        break;
    default:
        break;
    }
    if (!result.standardError.isEmpty())
        qInfo().noquote() << result.commandText() << "wrote to its standard error:" << result.errors().trimmed();
}

} // namespace

// --- the result

QString CommandResult::commandText() const
{
    if (program == QLatin1String("/bin/sh") && arguments.size() == 2 && arguments.at(0) == QLatin1String("-c"))
        return arguments.at(1);
    return (QStringList(program) + arguments).join(QLatin1Char(' '));
}

QString CommandResult::allOutput() const
{
    QString text = output();
    if (!text.isEmpty() && !standardError.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return text + errors();
}

int CommandResult::shellStatus() const
{
    switch (outcome) {
    case Outcome::Finished:
        return exitCode;
    case Outcome::Started:
        return 0;
    case Outcome::Crashed:
        return 128 + exitCode;
    case Outcome::TimedOut:
        return 128 + 9;
    case Outcome::NotStarted:
        break;
    }
    return 1;
}

CommandFailure explainFailure(const CommandResult& result, const QString& message)
{
    CommandFailure failure;
    failure.message = message.isEmpty() ? CommandRunner::tr("Can't execute: ") + result.commandText() : message;
    QString why;
    switch (result.outcome) {
    case CommandResult::Outcome::NotStarted:
        why = CommandRunner::tr("It could not be started: %1").arg(result.errorText);
        break;
    case CommandResult::Outcome::TimedOut:
        why = CommandRunner::tr("It did not end within %1 s and was stopped.")
                  .arg(qMax(1, result.timeoutMilliseconds / 1000));
        break;
    case CommandResult::Outcome::Crashed:
        why = CommandRunner::tr("It was ended by signal %1.").arg(result.exitCode);
        break;
    default:
        break;
    }
    failure.details = result.allOutput();
    if (!why.isEmpty() && !failure.details.isEmpty() && !failure.details.endsWith(QLatin1Char('\n')))
        failure.details += QLatin1Char('\n');
    failure.details += why;
    return failure;
}

// --- the runner in use

CommandRunner& CommandRunner::current()
{
    return installedRunner ? *installedRunner : systemRunner;
}

CommandRunner* CommandRunner::install(CommandRunner* runner)
{
    CommandRunner* previous = installedRunner;
    installedRunner = runner;
    return previous;
}

// --- the system runner

CommandResult SystemCommandRunner::run(
    const QString& program, const QStringList& arguments, int timeoutMilliseconds, const QString& outputFile)
{
    CommandResult result;
    result.program = program;
    result.arguments = arguments;
    result.timeoutMilliseconds = timeoutMilliseconds;

    auto* process = new QProcess;
    if (!outputFile.isEmpty()) {
        const std::string error = sv_key_common::create_private_file(QFile::encodeName(outputFile).toStdString());
        if (!error.empty()) {
            delete process;
            result.errorText
                = QStringLiteral("can't create ") + outputFile + QStringLiteral(": ") + QString::fromStdString(error);
            logResult(result);
            return result;
        }
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardOutputFile(outputFile, QIODevice::Truncate);
    }
    bool ended = false;
    QObject::connect(
        process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), process, [&ended] { ended = true; });
    QObject::connect(process, &QProcess::errorOccurred, process, [&ended](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended = true;
    });
    process->start(program, arguments, QIODevice::ReadOnly);
    if (process->state() != QProcess::NotRunning) {
        if (haveEventLoop())
            waitThroughEvents([&ended] { return ended; }, timeoutMilliseconds);
        else
            process->waitForFinished(timeoutMilliseconds);
    }

    if (process->error() == QProcess::FailedToStart && process->state() == QProcess::NotRunning) {
        result.outcome = CommandResult::Outcome::NotStarted;
        result.errorText = process->errorString();
        delete process;
        logResult(result);
        return result;
    }
    if (process->state() != QProcess::NotRunning) {
        result.outcome = CommandResult::Outcome::TimedOut;
        process->kill();
        if (haveEventLoop())
            waitThroughEvents([&ended] { return ended; }, 1000);
        else
            process->waitForFinished(1000);
    } else {
        result.outcome = process->exitStatus() == QProcess::NormalExit ? CommandResult::Outcome::Finished
                                                                       : CommandResult::Outcome::Crashed;
        result.exitCode = process->exitCode();
    }
    result.standardOutput = process->readAllStandardOutput();
    result.standardError = process->readAllStandardError();
    process->disconnect();
    abandon(process);
    logResult(result);
    return result;
}

CommandResult SystemCommandRunner::startDetached(
    const QString& program, const QStringList& arguments, const QString& workingDirectory)
{
    CommandResult result;
    result.program = program;
    result.arguments = arguments;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    if (process.startDetached()) {
        result.outcome = CommandResult::Outcome::Started;
    } else {
        result.errorText = process.errorString();
        logResult(result);
    }
    return result;
}

CommandResult SystemCommandRunner::startWatched(const QString& program, const QStringList& arguments,
    const QString& outputFile, QObject* owner, int startMilliseconds)
{
    CommandResult result;
    result.program = program;
    result.arguments = arguments;
    result.timeoutMilliseconds = startMilliseconds;
    const std::string error = sv_key_common::create_private_file(QFile::encodeName(outputFile).toStdString());
    if (!error.empty()) {
        result.errorText
            = QStringLiteral("can't create ") + outputFile + QStringLiteral(": ") + QString::fromStdString(error);
        logResult(result);
        return result;
    }
    // The process object stays with `owner`: the program runs on after the
    // call. Standard error goes to the same file: unread, a pipe of it would
    // fill the process object's buffer for as long as the program runs.
    auto* process = new QProcess(owner);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(outputFile, QIODevice::Truncate);
    bool decided = false;
    QObject::connect(process, &QProcess::started, process, [&decided] { decided = true; });
    QObject::connect(process, &QProcess::errorOccurred, process, [&decided](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            decided = true;
    });
    process->start(program, arguments, QIODevice::ReadWrite);
    if (process->state() == QProcess::Starting) {
        if (haveEventLoop())
            waitThroughEvents([&decided] { return decided; }, startMilliseconds);
        else
            process->waitForStarted(startMilliseconds);
    }
    process->disconnect(process);
    if (process->error() == QProcess::FailedToStart && process->state() == QProcess::NotRunning) {
        result.errorText = process->errorString();
        delete process;
        logResult(result);
        return result;
    }
    result.outcome = CommandResult::Outcome::Started;
    return result;
}
