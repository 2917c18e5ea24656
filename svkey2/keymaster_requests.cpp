// Requests to the key client daemon: greeting and disconnecting, the key and
// client passwords, the client list, a client's archives and recovery plan,
// the restore launch and the status of the last task.

#include "keymaster.h"

#include "notifier.h"
#include "sv_payload_decode.h"
#include "sv_protocol.h"
#include "task_status.h"

#include <QDebug>

#include <crypt.h>

#include <cctype>
#include <limits>

namespace {

// Every password is hashed with this one MD5-crypt salt.
const char* const kPasswordSalt = "$1$q8vzt2mw$";

// The protocol's keywords (sv_protocol.h, shared with the daemon stand-in).
const char* const kNoConnectionWithServer = sv_protocol::noConnectionWithServer;
const char* const kAuthenticated = sv_protocol::authenticated;
const char* const kServerDisconnected = sv_protocol::serverDisconnected;
const char* const kTakeClientList = sv_protocol::takeClientList;
const char* const kTakeArchives = sv_protocol::takeArchives;
const char* const kTakePlan = sv_protocol::takeRecoveryPlan;
const char* const kNoPlan = sv_protocol::noRecoveryPlan;
const char* const kTaskAdded = sv_protocol::taskAdded;
const char* const kAskBackupStatus = sv_protocol::askBackupStatus;
const char* const kAskRestoreStatus = sv_protocol::askRestoreStatus;
const char* const kBackupStatus = sv_protocol::backupStatus;
const char* const kRestoreStatus = sv_protocol::restoreStatus;

QString fromBytes(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<int>(bytes.size()));
}

// Reads the status code behind an answer keyword: leading white space is
// skipped, then at least one digit, up to the first non-digit.
bool parseStatusCode(const std::string& text, unsigned int* code, std::string* error)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) {
        *error = "no status code in the answer";
        return false;
    }
    unsigned long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > std::numeric_limits<unsigned int>::max()) {
            *error = "status code out of range";
            return false;
        }
    }
    *code = static_cast<unsigned int>(value);
    return true;
}

} // namespace

std::string KeyMaster::hashPassword(const QString& password)
{
    const QByteArray utf8 = password.toUtf8();
    const char* hashed = ::crypt(utf8.constData(), kPasswordSalt);
    if (!hashed || hashed[0] == '*') {
        qCritical().noquote() << "MD5 hashing of the password failed";
        return std::string();
    }
    return std::string(hashed);
}

void KeyMaster::reportClientLinkFailure(LinkStep step, bool sending, const LinkExchange& exchange)
{
    if (step == LinkStep::TimedOut) {
        Notifier::getInstance()->showError(
            sending ? linkSendFailureText(LinkWording::Client) : linkReceiveFailureText(LinkWording::Client));
        return;
    }
    // A queue-library error: the exchange is broken like a missing answer.
    qWarning().noquote() << "Message queue error:" << exchange.libraryError.c_str();
    Notifier::getInstance()->showError(
        linkReceiveFailureText(LinkWording::Client), QString::fromLocal8Bit(exchange.libraryError.c_str()));
}

bool KeyMaster::exchangeWithClient(LinkExchange& exchange, const std::string& text)
{
    LinkStep step = sendRequest(exchange, text);
    if (step != LinkStep::Done) {
        reportClientLinkFailure(step, true, exchange);
        return false;
    }
    step = receiveAnswer(exchange);
    if (step != LinkStep::Done) {
        reportClientLinkFailure(step, false, exchange);
        return false;
    }
    return true;
}

bool KeyMaster::receiveClientPayload(LinkExchange& exchange, std::string& payload)
{
    const LinkStep step = receivePayload(exchange, payload);
    if (step == LinkStep::Done)
        return true;
    reportClientLinkFailure(step, false, exchange);
    return false;
}

bool KeyMaster::exchangeWithKeyClient(
    LinkExchange& exchange, const std::string& text, const QString& busyText, const QString& libraryErrorText)
{
    Notifier* notifier = Notifier::getInstance();
    if (!answerQueueOpen() || !requestQueueOpen()) {
        notifier->showError(tr("There is no connection to Sarvelin client process"));
        return false;
    }
    auto libraryError = [&](const std::string& what) {
        notifier->showError(libraryErrorText + QString::fromLocal8Bit(what.c_str()));
        return false;
    };
    try {
        std::size_t unread = 0;
        onLink([&](DaemonLink& link) { unread = link.waitingRequests(); });
        if (unread > 0) {
            notifier->showError(busyText);
            return false;
        }
    } catch (const std::exception& e) {
        return libraryError(e.what());
    }

    LinkStep step = sendRequest(exchange, text);
    if (step == LinkStep::TimedOut) {
        notifier->showError(linkSendFailureText(LinkWording::KeyClient));
        return false;
    }
    if (step == LinkStep::LibraryError)
        return libraryError(exchange.libraryError);
    step = receiveAnswer(exchange);
    if (step == LinkStep::TimedOut) {
        notifier->showError(linkReceiveFailureText(LinkWording::KeyClient));
        return false;
    }
    if (step == LinkStep::LibraryError)
        return libraryError(exchange.libraryError);
    return true;
}

// --- connection and authentication

bool KeyMaster::helloDaemon(QString serverIp)
{
    LinkExchange exchange = beginExchange();
    const std::string text = sv_protocol::hello + serverIp.toStdString() + ":" + std::to_string(cmdPort) + ":"
        + std::to_string(mediaPort) + ":" + networkInterface.toStdString();
    if (!exchangeWithKeyClient(exchange, text,
            tr("It looks like Sarvelin key client process doesn's work now or doesn't read messages from svkey"),
            tr("hello_daemon to ") + serverIp + QStringLiteral(": ")))
        return false;

    const std::string answer = exchange.answer();
    if (answer == sv_protocol::helloAccepted)
        return true;
    if (answer == kNoConnectionWithServer) {
        Notifier::getInstance()->showError(tr("It looks like we can't connect to Sarvelin server..."));
        return false;
    }
    qInfo().noquote() << "hello was not accepted, answer:" << fromBytes(answer);
    return false;
}

bool KeyMaster::disconnect()
{
    qInfo().noquote() << "disconnect from server";
    LinkExchange exchange = beginExchange();
    if (!exchangeWithKeyClient(exchange, sv_protocol::disconnect,
            tr("It looks like Sarvelin key client process doesn's work now or doesn't read messages from SVC"),
            tr("disconnect server was failed: ")))
        return false;

    const std::string answer = exchange.answer();
    if (answer == kServerDisconnected)
        return true;
    if (answer == kNoConnectionWithServer) {
        Notifier::getInstance()->showError(tr("It looks like we can't connect to Sarvelin server..."));
        return false;
    }
    qInfo().noquote() << "disconnect was not confirmed, answer:" << fromBytes(answer);
    return false;
}

bool KeyMaster::svkey_authentication(std::string hash)
{
    qInfo().noquote() << "In svkey authentification";
    LinkExchange exchange = beginExchange();
    const std::string text = sv_protocol::keyPassword + hash;
    if (!requestQueueOpen()) {
        qWarning().noquote() << "queue from manager to client is empty";
        return false;
    }
    if (!answerQueueOpen()) {
        qWarning().noquote() << "queue from client to manager is empty";
        return false;
    }
    if (!exchangeWithClient(exchange, text))
        return false;
    return exchange.answerStartsWith(kAuthenticated);
}

bool KeyMaster::svkey_client_authentication(std::string clientName, std::string hash)
{
    LinkExchange exchange = beginExchange();
    const std::string text = sv_protocol::clientPassword + clientName + ":" + hash;
    if (!exchangeWithClient(exchange, text))
        return false;
    if (exchange.answerStartsWith(kAuthenticated))
        return true;
    Notifier::getInstance()->showError(tr("Wrong password"));
    return false;
}

// --- catalogue

void KeyMaster::ask_client_list(QMap<QString, QString>& clientMap)
{
    LinkExchange exchange = beginExchange();
    // This one request travels with its terminating zero.
    static const std::string request = std::string(sv_protocol::getClientList) + '\0';
    if (!exchangeWithClient(exchange, request))
        return;
    if (!exchange.answerStartsWith(kTakeClientList)) {
        Notifier::getInstance()->showError(fromBytes(exchange.answer()));
        return;
    }

    clientMap.clear();
    std::string payload;
    if (!receiveClientPayload(exchange, payload))
        return;
    sv_payload::client_list clients;
    std::string error;
    if (!sv_payload::decode_client_list(payload, clients, error)) {
        qWarning().noquote() << "Client list does not decode:" << error.c_str();
        Notifier::getInstance()->showError(linkReceiveFailureText(LinkWording::Client), fromBytes(error));
        return;
    }
    // Keyed by HWID: a later pair with the same HWID replaces the earlier one.
    for (const auto& client : clients)
        clientMap.insert(fromBytes(client.second), fromBytes(client.first));
}

void KeyMaster::ask_archives(std::vector<sv_archive_short>& archiveList, std::string hwid)
{
    LinkExchange exchange = beginExchange();
    const std::string text = sv_protocol::getArchives + hwid + ":rescue_image";
    if (!exchangeWithClient(exchange, text))
        return;
    if (!exchange.answerStartsWith(kTakeArchives)) {
        Notifier::getInstance()->showError(fromBytes(exchange.answer()));
        return;
    }

    archiveList.clear();
    std::string payload;
    if (!receiveClientPayload(exchange, payload))
        return;
    std::string error;
    if (!sv_payload::decode_archive_list(payload, archiveList, error)) {
        archiveList.clear();
        qWarning().noquote() << "Archive list does not decode:" << error.c_str();
        Notifier::getInstance()->showError(linkReceiveFailureText(LinkWording::Client), fromBytes(error));
    }
}

bool KeyMaster::askDisasterRecoveryPlan(std::string hwid)
{
    LinkExchange exchange = beginExchange();
    const std::string text = sv_protocol::getRecoveryPlan + hwid;
    if (!exchangeWithClient(exchange, text))
        return false;
    if (exchange.answerStartsWith(kTakePlan)) {
        m_drpManager->clearPlan();
        std::string payload;
        if (!receiveClientPayload(exchange, payload))
            return false;
        std::string error;
        if (!m_drpManager->fillPlan(payload, &error)) {
            qWarning().noquote() << "Recovery plan does not decode:" << error.c_str();
            Notifier::getInstance()->showError(linkReceiveFailureText(LinkWording::Client), fromBytes(error));
            return false;
        }
        return true;
    }
    if (exchange.answerStartsWith(kNoPlan))
        return false;
    Notifier::getInstance()->showError(fromBytes(exchange.answer()));
    return false;
}

// --- tasks

bool KeyMaster::launchRestoreArchive(std::string hash, std::string device)
{
    const QStandardItem* selected = resqueArchivesModel.item(resqueArchivesModel.selectedRow(), 0);
    const std::string archiveId = selected ? selected->data(ArchiveRoles::Id).toString().toStdString() : std::string();

    LinkExchange exchange = beginExchange();
    const std::string text = sv_protocol::restoreArchives + hash + ":PWD_SEPARATE:" + device + ":" + archiveId;
    Notifier* notifier = Notifier::getInstance();
    LinkStep step = sendRequest(exchange, text);
    if (step == LinkStep::TimedOut) {
        notifier->showError(tr("Sarvelin client process doesn's work"), linkSendFailureText(LinkWording::Client));
        return false;
    }
    if (step == LinkStep::Done)
        step = receiveAnswer(exchange);
    if (step != LinkStep::Done) {
        if (step == LinkStep::LibraryError)
            qWarning().noquote() << "Message queue error:" << exchange.libraryError.c_str();
        notifier->showError(tr("Sarvelin client process doesn's work"), linkReceiveFailureText(LinkWording::Client));
        return false;
    }

    const std::string answer = exchange.answer();
    if (exchange.answerStartsWith(kTaskAdded)) {
        lastTaskId = answer.substr(std::char_traits<char>::length(kTaskAdded));
        qInfo().noquote() << QStringLiteral("Restore was started. Task ID: ") + fromBytes(lastTaskId);
        return true;
    }
    qInfo().noquote() << QStringLiteral("Restore wasn`t started. Wrong response: ") + fromBytes(answer);
    return false;
}

unsigned int KeyMaster::getTaskStatus(std::string request)
{
    qDebug().noquote() << "get task status for request" << request.c_str();
    LinkExchange exchange = beginExchange();
    if (!requestQueueOpen()) {
        qDebug().noquote() << "zero queue";
        return 0;
    }
    auto libraryError = [](const std::string& text) {
        qDebug().noquote() << "svkey_getstatus exception:" << text.c_str();
        qDebug().noquote() << "svkey_getstatus out";
        return 0u;
    };
    LinkStep step = sendRequest(exchange, request);
    if (step == LinkStep::LibraryError)
        return libraryError(exchange.libraryError);
    if (step == LinkStep::TimedOut) {
        Notifier::getInstance()->showError(linkSendFailureText(LinkWording::Client));
        return 0;
    }
    step = receiveAnswer(exchange);
    if (step == LinkStep::LibraryError)
        return libraryError(exchange.libraryError);
    if (step == LinkStep::TimedOut) {
        Notifier::getInstance()->showError(linkReceiveFailureText(LinkWording::Client));
        return 0;
    }

    const std::string answer = exchange.answer();
    const char* keyword = nullptr;
    if (request == kAskBackupStatus) {
        keyword = kBackupStatus;
    } else if (request == kAskRestoreStatus) {
        qDebug().noquote() << "answer from client is:" << fromBytes(answer);
        keyword = kRestoreStatus;
    } else {
        qDebug().noquote() << "svkey_getstatus out";
        return 0;
    }
    if (!exchange.answerStartsWith(keyword)) {
        qDebug().noquote() << "Wrong answer to request" << request.c_str() << "(" << fromBytes(answer) << ")";
        return 0;
    }
    unsigned int code = 0;
    std::string error;
    if (!parseStatusCode(answer.substr(std::char_traits<char>::length(keyword)), &code, &error))
        return libraryError(error);
    return code;
}
