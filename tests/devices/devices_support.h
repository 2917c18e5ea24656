#ifndef DEVICES_SUPPORT_H
#define DEVICES_SUPPORT_H

// Helpers shared by the device and inspection tests: they run only on the
// simulated rescue medium (sandbox/sv-sandbox), where they may replace system
// tools by stubs and mount below /mnt without touching the host.

#include "../common/sandbox_guard.h"
#include "../common/test_files.h"
#include "notifier.h"

#include <QProcess>
#include <QtTest>

namespace devices_test {

// Folder for the stubs' fixtures and logs (private tmpfs of the sandbox).
inline QString workDir()
{
    const QString dir = QStringLiteral("/tmp/.sv-devices");
    QDir().mkpath(dir);
    return dir;
}

// Installs an executable shell script at path (inside the sandbox's overlay).
inline bool installScript(const QString& path, const QByteArray& body)
{
    return writeFile(path, "#!/bin/sh\n" + body, true);
}

// Runs a bash snippet with the medium functions available; returns stdout.
inline QString runBash(const QString& script, int* exitCode = nullptr)
{
    QProcess bash;
    const QString lib = qEnvironmentVariable("SV_SOURCE_DIR") + QStringLiteral("/sandbox/lib/medium.sh");
    bash.start(QStringLiteral("/bin/bash"),
               {QStringLiteral("-c"), QStringLiteral(". '%1' >/dev/null 2>&1; %2").arg(lib, script)});
    bash.waitForFinished(120000);
    if (exitCode)
        *exitCode = bash.exitCode();
    return QString::fromLocal8Bit(bash.readAllStandardOutput()).trimmed();
}

// Mount points at or below /mnt mounted right now, latest first. When the
// sandbox gives /mnt a tmpfs of its own (named sv-mnt), that tmpfs is the
// folder itself, and only mounts stacked on it count: the host's mounts below
// /mnt lie hidden under it.
inline QStringList mountsBelowMnt()
{
    struct Entry { QByteArray parent; QString target; };
    QHash<QByteArray, Entry> mounts;
    QList<QByteArray> order;
    QByteArray base;
    const QList<QByteArray> lines = readFile(QStringLiteral("/proc/self/mountinfo")).split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        const int dash = fields.indexOf("-");
        if (fields.size() < 10 || dash < 0 || dash + 2 >= fields.size())
            continue;
        const QString target = QString::fromLocal8Bit(fields.at(4));
        if (target != QLatin1String("/mnt") && !target.startsWith(QLatin1String("/mnt/")))
            continue;
        if (target == QLatin1String("/mnt") && fields.at(dash + 2) == "sv-mnt") {
            base = fields.at(0);
            continue;
        }
        mounts.insert(fields.at(0), Entry{fields.at(1), target});
        order.append(fields.at(0));
    }
    QStringList result;
    for (const QByteArray& id : order) {
        if (!base.isEmpty()) {
            QByteArray up = mounts.value(id).parent;
            for (int depth = 0; depth < 64 && up != base && mounts.contains(up); ++depth)
                up = mounts.value(up).parent;
            if (up != base)
                continue;
        }
        result.prepend(mounts.value(id).target);
    }
    return result;
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
        Notifier* n = Notifier::getInstance();
        const auto record = [this](const char* kind) {
            return [this, kind](const QString& m, const QString& d, const QVariantList&) {
                notes.append({QString::fromLatin1(kind), m, d});
            };
        };
        connect(n, &Notifier::hasError, this, record("error"));
        connect(n, &Notifier::hasWarning, this, record("warning"));
        connect(n, &Notifier::hasInfo, this, record("info"));
        connect(n, &Notifier::hasAssert, this, record("assert"));
    }
    QStringList messages(const QString& kind = QString()) const
    {
        QStringList out;
        for (const Note& n : notes)
            if (kind.isEmpty() || n.kind == kind)
                out << n.msg;
        return out;
    }
    // Every notification as "kind: message", in the order they came.
    QStringList lines() const
    {
        QStringList out;
        for (const Note& n : notes)
            out << n.kind + ": " + n.msg;
        return out;
    }
    QString dump() const
    {
        QStringList out;
        for (const Note& n : notes)
            out << n.kind + ": " + n.msg + (n.details.isEmpty() ? QString() : " [" + n.details + "]");
        return out.join(QStringLiteral("\n"));
    }
    QList<Note> notes;
};

} // namespace devices_test

#endif // DEVICES_SUPPORT_H
