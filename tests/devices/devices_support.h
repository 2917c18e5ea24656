#ifndef DEVICES_SUPPORT_H
#define DEVICES_SUPPORT_H

// Helpers of the device and tool tests: the notification recorder, and on
// the simulated rescue medium the fixtures' folder, shell and mounts.

#include "../common/sandbox_guard.h"
#include "../common/test_files.h"
#include "notifier.h"

#include <QProcess>
#include <QtTest>

namespace devices_test {

// Folder for the stubs' fixtures and logs.
inline QString workDir()
{
    const QString dir = QStringLiteral("/tmp/.sv-devices");
    QDir().mkpath(dir);
    return dir;
}

// Runs a bash snippet with the medium functions available; returns stdout.
inline QString runBash(const QString& script)
{
    QProcess bash;
    const QString lib = qEnvironmentVariable("SV_SOURCE_DIR") + QStringLiteral("/sandbox/lib/medium.sh");
    bash.start(QStringLiteral("/bin/bash"),
        {QStringLiteral("-c"), QStringLiteral(". '%1' >/dev/null 2>&1; %2").arg(lib, script)});
    bash.waitForFinished(120000);
    return QString::fromLocal8Bit(bash.readAllStandardOutput()).trimmed();
}

// Mount points at or below /mnt, innermost first (in the sandbox every one is ours).
inline QStringList mountsBelowMnt()
{
    return runBash("findmnt -rno TARGET | grep -E '^/mnt(/|$)' | tac").split('\n', Qt::SkipEmptyParts);
}

// One notification as the root page would receive it.
struct Note
{
    QString kind; // error, warning, info, assert
    QString msg;
    QString details;
};

// Records every notification sent through the Notifier.
class NoteRecorder : public QObject
{
public:
    NoteRecorder()
    {
        for (const auto& [signal, kind] : {std::pair {&Notifier::hasError, "error"}, {&Notifier::hasWarning, "warning"},
                 {&Notifier::hasInfo, "info"}, {&Notifier::hasAssert, "assert"}})
            connect(Notifier::getInstance(), signal, this,
                [this, kind = QString(kind)](const QString& m, const QString& d) {
                    notes.append({kind, m, d});
                });
    }
    QStringList messages(const QString& kind = QString()) const
    {
        QStringList out;
        for (const Note& n : notes)
            if (kind.isEmpty() || n.kind == kind)
                out << n.msg;
        return out;
    }
    // Every notification as "kind: message [details]", in the order they came.
    QStringList lines(bool withDetails = true) const
    {
        QStringList out;
        for (const Note& n : notes)
            out << n.kind + ": " + n.msg + (n.details.isEmpty() || !withDetails ? QString() : " [" + n.details + "]");
        return out;
    }
    QString dump(bool withDetails = true) const { return lines(withDetails).join(QStringLiteral("\n")); }
    QList<Note> notes;
};

} // namespace devices_test

#endif // DEVICES_SUPPORT_H
