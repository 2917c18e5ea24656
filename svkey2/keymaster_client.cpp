// Local client process control: starting the suite's local backup client
// (plainly, or watching its output until the server has authorized it) and
// stopping it again.

#include "keymaster.h"
#include "sv_paths.h"

#include "notifier.h"
#include "sv_key_common.h"

#include <QDebug>
#include <QFile>

namespace {

const char* const kClientProgram = "/opt/sarvelin/bin/sarvelin_client";
const char* const kClientLogFile = sv_paths::clientLogFile;
const char* const kCheckOutputFile = "/tmp/startSarvelinClientWithCheck.log";
// How long the checked start waits for the client's process to start.
constexpr int kClientStartTimeoutMs = 5000;

// Output lines of the client that decide a checked start, in test order.
const char* const kRefused = "Connect to Sarvelin server failed: Connection refused";
const char* const kNoRoute = "Connect to Sarvelin server failed: No route to host";
const char* const kNoAddress = "Sarvelin client can't work without IP address";
const char* const kNoHostname = "Can't resolve hostname";
const char* const kConnectFailed = "Connect to Sarvelin server failed";
const char* const kDuplicatedMac = "Sarvelin server has duplicated MAC address in unauthorized clients";
const char* const kSecondInstance = "Can't run second instance of Sarvelin client process on one node";
const char* const kNeedsAuthorization
    = "Required authorization at Sarvelin server. Please contact system administrator.";
const char* const kAuthorized = "This client was authorized by Sarvelin server";

} // namespace

bool KeyMaster::startSarvelinClient()
{
    if (CommandRunner::current()
            .startDetached(QString::fromLatin1(kClientProgram), {QStringLiteral("start")})
            .started()) {
        qDebug().noquote() << "Start Sarvelin client";
        clientStartedHere = true;
        return true;
    }
    Notifier::getInstance()->showError(
        tr("Can't start Sarvelin client. Please see logfile: ") + QString::fromLatin1(kClientLogFile));
    return false;
}

bool KeyMaster::startSarvelinClientWithCheck()
{
    qDebug().noquote() << "start client with checking result";

    const std::string logError = sv_key_common::create_private_file(kCheckOutputFile);
    if (!logError.empty()) {
        Notifier::getInstance()->showError(
            tr("Can't create file %1: %2")
                .arg(QString::fromLatin1(kCheckOutputFile), QString::fromStdString(logError)));
        return false;
    }
    // The process object stays with the controller: the client keeps running
    // after this operation returns, its output going to the checked file.
    const CommandResult start = CommandRunner::current().startWatched(QString::fromLatin1(kClientProgram),
        {QStringLiteral("start")}, QString::fromLatin1(kCheckOutputFile), this, kClientStartTimeoutMs);

    clientStartedHere = true;
    bool authorizationWarningShown = false;

    // A client that cannot be started at all would otherwise be waited for
    // until the whole poll budget is spent.
    if (!start.started()) {
        qWarning().noquote() << "Sarvelin client didn't start:" << start.errorText;
        Notifier::getInstance()->showError(
            tr("Can't start Sarvelin client. Please see logfile: ") + QString::fromLatin1(kClientLogFile));
        return false;
    }

    Notifier* notifier = Notifier::getInstance();
    for (int poll = 0; poll <= clientCheckPollBudget - 1;) {
        ++poll;
        if (!waitProcessingEvents(clientPauseMs)) {
            qInfo().noquote() << "The checked start of the Sarvelin client is abandoned: the tool is being left";
            return false;
        }

        QFile file(QString::fromLatin1(kCheckOutputFile));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            qDebug().noquote() << kCheckOutputFile << "is not opened, startSarvelinClientWithCheck will return false";
            return false;
        }
        const QString output = QString::fromUtf8(file.readAll());
        file.close();
        qDebug().noquote() << "Sarvelin client output is:";
        for (const QString& line : output.split(QLatin1Char('\n')))
            qDebug().noquote() << line;

        // Each failure line of the client and what the operator is shown.
        static const struct
        {
            const char* line;
            const char* error;
        } failures[] = {
            {kRefused, QT_TR_NOOP("Connect to Sarvelin server failed: Connection refused")},
            {kNoRoute, QT_TR_NOOP("Connect to Sarvelin server failed: No route to host")},
            {kNoAddress,
                QT_TR_NOOP(
                    "Client interface has no IP address v4 or v6. Sarvelin client can't work without IP address")},
            {kNoHostname, QT_TR_NOOP("Can't resolve hostname. You must define it in /etc/hosts or in DNS")},
            {kConnectFailed, QT_TR_NOOP("Connect to Sarvelin server failed")},
            {kDuplicatedMac, QT_TR_NOOP("Sarvelin server has duplicated MAC address in unauthorized clients")},
            {kSecondInstance, QT_TR_NOOP("Can't run second instance of Sarvelin client process on one node")},
        };
        for (const auto& failure : failures) {
            if (output.contains(QLatin1String(failure.line))) {
                notifier->showError(tr(failure.error));
                return false;
            }
        }
        const QString authorizationWarning
            = tr("Required authorization at Sarvelin server. Please contact system administrator.\n Waiting 15 min..");
        if (output.contains(QLatin1String(kNeedsAuthorization)) && !authorizationWarningShown) {
            notifier->showWarning(authorizationWarning);
            processEventsOnce();
            authorizationWarningShown = true;
        }
        if (output.contains(QLatin1String(kAuthorized))) {
            // The restore side needs the client's mutex later; take its
            // handle now that the client runs (a later lock opens it too).
            openClientMutex(true);
            if (authorizationWarningShown)
                notifier->withdraw(authorizationWarning);
            return true;
        }
    }

    notifier->showError(tr("Required authorization at Sarvelin server. Retry after authorization\nOr unknown error"));
    return false;
}

bool KeyMaster::stopSarvelinClient()
{
    if (!clientStartedHere) {
        qDebug().noquote() << "Sarvelin client wasnt started";
        return false;
    }
    CommandRunner& runner = CommandRunner::current();
    if (!runner.startDetached(QString::fromLatin1(kClientProgram), {QStringLiteral("stop")}).started()) {
        Notifier::getInstance()->showError(
            tr("Can't stop Sarvelin client. Please see logfile: ") + QString::fromLatin1(kClientLogFile));
        return false;
    }
    // The window stays drawn during the pause before the kill, which is
    // kept in full also while the tool is being left: the client gets its
    // second to stop by itself.
    waitUntil(nullptr, clientPauseMs, false);
    runner.startDetached(QStringLiteral("pkill"), {QStringLiteral("sarvelin_client")});
    qDebug().noquote() << "Stop Sarvelin client";
    clientStartedHere = false;
    return true;
}
