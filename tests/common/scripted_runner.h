// A command runner that runs nothing: it answers each call from a script of
// rules and records every call, for in-process tests of the logic that runs
// tools (no root, no simulated medium). Installed for its lifetime.
#ifndef SV_TESTS_SCRIPTED_RUNNER_H
#define SV_TESTS_SCRIPTED_RUNNER_H

#include "command_runner.h"

#include <QFile>

#include <functional>

class ScriptedRunner : public CommandRunner
{
public:
    // The answer to every call whose command text (CommandResult::commandText)
    // starts with `prefix`; `during` runs while the call "runs", as the
    // window's events would during the wait.
    struct Rule
    {
        QString prefix;
        int exitCode = 0;
        QByteArray out;
        QByteArray err;
        CommandResult::Outcome outcome = CommandResult::Outcome::Finished;
        std::function<void()> during;
    };

    ScriptedRunner() { m_previous = CommandRunner::install(this); }
    ~ScriptedRunner() override { CommandRunner::install(m_previous); }
    ScriptedRunner(const ScriptedRunner&) = delete;
    ScriptedRunner& operator=(const ScriptedRunner&) = delete;

    // Later rules win over earlier ones with the same prefix.
    void answer(const QString& prefix, int exitCode, const QByteArray& out = {}, const QByteArray& err = {})
    {
        rules.prepend({prefix, exitCode, out, err});
    }
    void answer(const Rule& rule) { rules.prepend(rule); }

    // Every call, as "run: TEXT", "detached: TEXT" or "watched: TEXT".
    QStringList calls;
    // Every call's program and arguments, and every run's timeout, in call order.
    QList<QStringList> argumentLists;
    QList<int> timeouts;
    QList<Rule> rules;

    CommandResult run(const QString& program, const QStringList& arguments, int timeoutMilliseconds,
        const QString& outputFile = QString()) override
    {
        CommandResult result = answerFor(QStringLiteral("run: "), program, arguments);
        result.timeoutMilliseconds = timeoutMilliseconds;
        timeouts << timeoutMilliseconds;
        if (!outputFile.isEmpty()) {
            writeOutput(outputFile, result.standardOutput + result.standardError);
            result.standardOutput.clear();
            result.standardError.clear();
        }
        return result;
    }
    CommandResult startDetached(
        const QString& program, const QStringList& arguments, const QString& = QString()) override
    {
        return started(answerFor(QStringLiteral("detached: "), program, arguments));
    }
    CommandResult startWatched(
        const QString& program, const QStringList& arguments, const QString& outputFile, QObject*, int) override
    {
        CommandResult result = started(answerFor(QStringLiteral("watched: "), program, arguments));
        if (result.started())
            writeOutput(outputFile, result.standardOutput + result.standardError);
        return result;
    }

private:
    CommandResult answerFor(const QString& kind, const QString& program, const QStringList& arguments)
    {
        CommandResult result;
        result.program = program;
        result.arguments = arguments;
        calls << kind + result.commandText();
        argumentLists << (QStringList(program) + arguments);
        for (const Rule& rule : rules) {
            if (!result.commandText().startsWith(rule.prefix))
                continue;
            if (rule.during)
                rule.during();
            result.outcome = rule.outcome;
            result.exitCode = rule.exitCode;
            result.standardOutput = rule.out;
            result.standardError = rule.err;
            if (rule.outcome == CommandResult::Outcome::NotStarted)
                result.errorText = QStringLiteral("No such file or directory");
            return result;
        }
        // Nothing scripted: as if the program were missing.
        result.outcome = CommandResult::Outcome::NotStarted;
        result.errorText = QStringLiteral("not scripted");
        return result;
    }
    // A start succeeds unless its rule says NotStarted.
    static CommandResult started(CommandResult result)
    {
        if (result.outcome == CommandResult::Outcome::Finished)
            result.outcome = CommandResult::Outcome::Started;
        return result;
    }
    static void writeOutput(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(content);
    }

    CommandRunner* m_previous = nullptr;
};

#endif // SV_TESTS_SCRIPTED_RUNNER_H
