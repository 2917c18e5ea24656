// Shared pieces of the key client link tests: the controller's internals,
// what the operator is shown and what is logged, and the daemon stand-in,
// run inside the sandbox only (LINK_TEST_IN_SANDBOX_ONLY() fails elsewhere).
#pragma once

#include "keymaster.h"
#include "notifier.h"

#include "../common/keymaster_test_access.h"
#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <boost/interprocess/ipc/message_queue.hpp>
#include <boost/interprocess/sync/named_mutex.hpp>

#include <functional>
#include <memory>

namespace link_test {

using Access = KeyMasterTestAccess;

// What the operator was shown, in order.
struct Shown
{
    QString kind; // error, warning
    QString msg;
    QString details;
};

class NotifierCapture : public QObject
{
public:
    NotifierCapture()
    {
        Notifier* n = Notifier::getInstance();
        connect(n, &Notifier::hasError, this, [this](const QString& m, const QString& d, const QVariantList&) {
            shown.append({"error", m, d});
        });
        connect(n, &Notifier::hasWarning, this, [this](const QString& m, const QString& d, const QVariantList&) {
            shown.append({"warning", m, d});
        });
    }
    QList<Shown> shown;
    QStringList errors() const { return texts("error"); }
    QStringList warnings() const { return texts("warning"); }
    QStringList texts(const QString& kind) const
    {
        QStringList out;
        for (const Shown& s : shown)
            if (s.kind == kind)
                out << s.msg;
        return out;
    }
};

// Every Qt message line, kept for the checks and also printed.
inline QStringList& logLines()
{
    static QStringList lines;
    return lines;
}

inline void captureHandler(QtMsgType, const QMessageLogContext&, const QString& msg)
{
    logLines().append(msg);
    fprintf(stderr, "  log: %s\n", qPrintable(msg));
}

inline bool logContains(const QString& text)
{
    return !logLines().filter(text).isEmpty();
}

inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 3000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds) {
        if (condition())
            return true;
        QThread::msleep(10);
    }
    return condition();
}

// The key client daemon stand-in, run as a child of the test.
class Daemon
{
public:
    ~Daemon() { stop(); }

    // Writes the medium's default scenario plus `extra` sections and starts
    // the daemon; true once it logged its start.
    bool start(const QByteArray& extra = QByteArray())
    {
        stop();
        const QString dir = "/opt/sarvelin/standins";
        QFile base(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios/default.ini");
        QFile::remove(dir + "/requests.log");
        if (!base.open(QIODevice::ReadOnly) || !writeFile(dir + "/scenario.ini", base.readAll() + "\n" + extra))
            return false;
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start("/opt/sarvelin/bin/sv_keyclientd", QStringList());
        return m_process.waitForStarted(3000)
            && waitFor(
                [this, dir] {
                    return m_process.state() == QProcess::NotRunning
                        || readFile(dir + "/requests.log").contains("STARTED");
                },
                5000)
            && m_process.state() == QProcess::Running;
    }

    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(1000);
            }
        }
    }

private:
    QProcess m_process;
};

const char* const kAnswerQueue = "Sarvelin_client_to_SVKEY_MQ";
const char* const kRequestQueue = "Sarvelin_SVKEY_to_client_MQ";
const QString kServer = QStringLiteral("10.0.0.5");
const std::string kWeb01 = "52:54:00:1a:2b:01";
const std::string kDb01 = "52:54:00:1a:2b:02";
const QString kClientReceiveFailure
    = "It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process";

// Waits until the answer queue holds a message (a late answer arrived).
inline bool waitForPendingAnswer(int milliseconds)
{
    return waitFor(
        [] {
            try {
                boost::interprocess::message_queue q(boost::interprocess::open_only, kAnswerQueue);
                return q.get_num_msg() > 0;
            } catch (...) {
                return false;
            }
        },
        milliseconds);
}

// Every test class holds the daemon and what was shown since init().
struct Fixture
{
    Daemon daemon;
    std::unique_ptr<NotifierCapture> shown;
    void reset()
    {
        logLines().clear();
        shown = std::make_unique<NotifierCapture>();
    }
};

} // namespace link_test

// initTestCase() of every sandboxed test class of the area.
#define LINK_TEST_IN_SANDBOX_ONLY()                                                                                    \
    do {                                                                                                               \
        SV_REQUIRE_SANDBOX();                                                                                          \
        qInstallMessageHandler(link_test::captureHandler);                                                             \
    } while (0)
