// Test harness for the stand-ins: installs the built programs into a
// temporary folder, writes scenarios and runs the daemon stand-in.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class StandinHarness
{
public:
    StandinHarness();
    ~StandinHarness();

    bool ok() const { return dir_.isValid() && installed_; }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString bin(const QString& program) const { return dir_.filePath("bin/" + program); }
    // Environment for the stand-ins: SV_STANDINS_DIR is the temporary folder.
    QProcessEnvironment environment() const;

    // The default scenario with `settings` ("key = value", each replacing
    // the first line of its key), written as the scenario file.
    void writeScenario(const QStringList& settings = {});

    // Starts sv_keyclientd and waits until its queues exist.
    bool startDaemon();
    // SIGTERM and wait; true when it ended by itself.
    bool stopDaemon();
    QProcess* daemon() { return daemon_.get(); }

private:
    QTemporaryDir dir_;
    bool installed_ = false;
    std::unique_ptr<QProcess> daemon_;
};

bool shmEntryExists(const QString& name);
