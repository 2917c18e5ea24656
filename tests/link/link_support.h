// Shared pieces of the key client link tests (and the backup failures test):
// the controller's internals, what the operator is shown and what is logged.
#pragma once

#include "keymaster.h"
#include "notifier.h"

#include "../common/keymaster_test_access.h"
#include "../common/sandbox_guard.h"
#include "../common/test_files.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <memory>

namespace link_test {

using Access = KeyMasterTestAccess;

// What the operator was shown, in order.
struct Shown
{
    bool error;
    QString msg, details;
};

class NotifierCapture : public QObject
{
public:
    NotifierCapture()
    {
        Notifier* n = Notifier::getInstance();
        connect(n, &Notifier::hasError, this, [this](const QString& m, const QString& d) {
            shown.append({true, m, d});
        });
        connect(n, &Notifier::hasWarning, this, [this](const QString& m, const QString& d) {
            shown.append({false, m, d});
        });
    }
    QList<Shown> shown;
    QStringList errors() const { return texts(true); }
    QStringList warnings() const { return texts(false); }
    QStringList texts(bool error) const
    {
        QStringList out;
        for (const Shown& s : shown)
            if (s.error == error)
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

const QString kServer = QStringLiteral("10.0.0.5");
const std::string kWeb01 = "52:54:00:1a:2b:01";
const std::string kDb01 = "52:54:00:1a:2b:02";
const QString kClientReceiveFailure
    = "It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process";

} // namespace link_test

// initTestCase() of every sandboxed test class that reads the log.
#define LINK_TEST_IN_SANDBOX_ONLY()                                                                                    \
    do {                                                                                                               \
        SV_REQUIRE_SANDBOX();                                                                                          \
        qInstallMessageHandler(link_test::captureHandler);                                                             \
    } while (0)
