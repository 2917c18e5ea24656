#include "standin_harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "standin_common.h"
#include "../common/test_files.h"

StandinHarness::StandinHarness()
{
    const QString build = qEnvironmentVariable("SV_STANDINS_BUILD");
    QDir().mkpath(dir_.filePath("bin"));
    installed_ = !build.isEmpty();
    for (const char* p : {"sv_keyclientd", "sarvelin_client", "sv_archives", "svfd"}) {
        const QString from = build + "/" + p + "/" + p;
        const QString to = bin(p);
        installed_ = installed_ && QFile::copy(from, to)
            && QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    writeScenario();
}

StandinHarness::~StandinHarness()
{
    if (daemon_ && daemon_->state() != QProcess::NotRunning) {
        daemon_->terminate();
        if (!daemon_->waitForFinished(3000))
            daemon_->kill();
        daemon_->waitForFinished(1000);
    }
    // A daemon started by the local client runs detached: stop it by its pid.
    QFile pidFile(path("sv_keyclientd.pid"));
    if (pidFile.open(QIODevice::ReadOnly)) {
        const qint64 pid = pidFile.readAll().trimmed().toLongLong();
        if (pid > 0)
            QProcess::execute("kill", {QString::number(pid)});
    }
}

QProcessEnvironment StandinHarness::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SV_STANDINS_DIR", dir_.path());
    env.remove("SV_SCENARIO_FILE");
    return env;
}

void StandinHarness::writeScenario(const QStringList& settings)
{
    // Each "key = value" replaces the default's first line of that key.
    QStringList lines
        = QString::fromUtf8(readFile(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios/default.ini"))
              .split('\n');
    for (const QString& setting : settings)
        for (QString& line : lines)
            if (line.startsWith(setting.section('=', 0, 0) + "=")) {
                line = setting;
                break;
            }
    writeFile(path("scenario.ini"), lines.join('\n').toUtf8());
}

bool StandinHarness::startDaemon()
{
    daemon_ = std::make_unique<QProcess>();
    daemon_->setProcessEnvironment(environment());
    daemon_->setProcessChannelMode(QProcess::ForwardedChannels);
    daemon_->start(bin("sv_keyclientd"), QStringList());
    if (!daemon_->waitForStarted(3000))
        return false;
    for (int i = 0; i < 300 && daemon_->state() != QProcess::NotRunning; ++i) {
        if (QFile::exists(path("sv_keyclientd.pid")) && shmEntryExists(sv_standin::request_queue_name))
            return true;
        QThread::msleep(10);
    }
    return false;
}

bool StandinHarness::stopDaemon()
{
    if (!daemon_)
        return false;
    daemon_->terminate();
    const bool ended = daemon_->waitForFinished(5000);
    return ended && daemon_->exitStatus() == QProcess::NormalExit;
}

bool shmEntryExists(const QString& name)
{
    return QFileInfo::exists("/dev/shm/" + name);
}
