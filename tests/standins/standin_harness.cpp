#include "standin_harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QThread>

#include "standin_common.h"

StandinHarness::StandinHarness()
{
    const QString build = qEnvironmentVariable("SV_STANDINS_BUILD");
    QDir().mkpath(dir_.filePath("bin"));
    installed_ = !build.isEmpty();
    for (const char* p : {"sv_keyclientd", "sarvelin_client", "sv_archives", "svfd"}) {
        const QString from = build + "/" + p + "/" + p;
        const QString to = bin(p);
        installed_ = installed_ && QFile::copy(from, to) &&
                     QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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

QString StandinHarness::defaultScenario()
{
    QFile f(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios/default.ini");
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

void StandinHarness::writeScenario(const QString& extra)
{
    // Boost's INI reader refuses a section or a key twice: the extra lines
    // are merged into the default's sections, a later key replacing the
    // earlier line of the same section and key.
    QStringList order{QString()};
    QMap<QString, QStringList> bodies;
    const auto keyOf = [](const QString& line) {
        const QString t = line.trimmed();
        return t.contains('=') && !t.startsWith(';') ? t.section('=', 0, 0).trimmed() : QString();
    };
    for (const QString& text : {defaultScenario(), extra}) {
        QString section;
        for (const QString& line : text.split('\n')) {
            if (line.trimmed().startsWith('[')) {
                section = line.trimmed();
                if (!order.contains(section))
                    order << section;
                continue;
            }
            QStringList& body = bodies[section];
            const QString key = keyOf(line);
            for (int i = body.size() - 1; !key.isEmpty() && i >= 0; --i)
                if (keyOf(body.at(i)) == key)
                    body.removeAt(i);
            body << line;
        }
    }
    QStringList out;
    for (const QString& section : order)
        out << (section.isEmpty() ? QStringList() : QStringList{section}) << bodies.value(section);
    QFile f(path("scenario.ini"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(out.join('\n').toUtf8() + "\n");
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

QStringList StandinHarness::requestLog() const
{
    QFile f(dir_.filePath("requests.log"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString& l : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts))
        lines << l.section(' ', 1);   // without the time stamp
    return lines;
}

bool shmEntryExists(const QString& name)
{
    return QFileInfo::exists("/dev/shm/" + name);
}
