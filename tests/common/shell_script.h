// Runs a bash script for a test and returns its merged output.
#ifndef SV_TESTS_SHELL_SCRIPT_H
#define SV_TESTS_SHELL_SCRIPT_H

#include <QProcess>
#include <QString>

// Standard output and error together; waits at most 30 seconds.
inline QString runShell(const QString& script)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("/bin/bash", {"-c", script});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAll());
}

#endif // SV_TESTS_SHELL_SCRIPT_H
