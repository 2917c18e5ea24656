// Message-queue channel to the key client daemon: the two queues and the
// named mutex, one request exchange (send, receive, multi-part payloads), and
// the guard that keeps operations from being entered again while one of them
// waits with the event loop running.
//
// The protocol has no request numbers, so an answer is only known to belong
// to a request by coming after it: answers left in the queue are dropped
// when the queues are opened and before each request is sent, and a request
// whose answer does not come in time closes the channel, so that a late
// answer can never be read as the answer to another request.

#include "keymaster.h"

#include "notifier.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

#include <boost/date_time/posix_time/posix_time.hpp>
#include <boost/interprocess/exceptions.hpp>

#include <algorithm>
#include <cstring>
#include <limits>

namespace bip = boost::interprocess;

namespace {

const char* const kClientToManagerQueueName = "Sarvelin_client_to_SVKEY_MQ";
const char* const kManagerToClientQueueName = "Sarvelin_SVKEY_to_client_MQ";
const char* const kClientMutexName = "Sarvelin_SVC_mutex";

// Largest payload reserved in advance; a bigger announced length still works,
// the string just grows as the parts arrive.
const std::size_t kMaxPayloadReserve = 64u * 1024u * 1024u;

// Drops every answer waiting in the answer queue: it belongs to an earlier
// request. Throws what the queue library throws.
void dropStaleAnswers(bip::message_queue& answers)
{
    std::vector<char> scrap(answers.get_max_msg_size());
    bip::message_queue::size_type received = 0;
    unsigned int priority = 0;
    int dropped = 0;
    while (answers.try_receive(scrap.data(), scrap.size(), received, priority))
        ++dropped;
    if (dropped > 0)
        qInfo().noquote() << "dropped" << dropped << "unread answer(s) of an earlier request";
}

// After a timeout the daemon may still answer; closing both handles makes
// the next operation open the queues again, which empties them.
void closeAfterTimeout(std::unique_ptr<bip::message_queue>& answers, std::unique_ptr<bip::message_queue>& requests)
{
    qWarning().noquote() << "no answer in time: the channel to Sarvelin key client is closed";
    answers.reset();
    requests.reset();
}

} // namespace

// --- one exchange

std::string KeyMaster::LinkExchange::answer() const
{
    const std::size_t length = std::min(received, buffer.size());
    return std::string(buffer.data(), ::strnlen(buffer.data(), length));
}

bool KeyMaster::LinkExchange::answerStartsWith(const char* keyword) const
{
    const std::size_t keywordLength = std::strlen(keyword);
    const std::size_t length = std::min(received, buffer.size());
    return length >= keywordLength && std::memcmp(buffer.data(), keyword, keywordLength) == 0;
}

KeyMaster::LinkExchange KeyMaster::beginExchange() const
{
    LinkExchange exchange;
    exchange.buffer.assign(kLinkBufferSize, '\0');
    exchange.deadline = boost::posix_time::second_clock::universal_time()
        + boost::posix_time::seconds(kLinkDeadlineSeconds);
    return exchange;
}

KeyMaster::LinkStep KeyMaster::sendRequest(LinkExchange& exchange, const std::string& text)
{
    exchange.libraryError.clear();
    if (!managerToClientQueue) {
        exchange.libraryError = "message queue to Sarvelin key client is not open";
        return LinkStep::LibraryError;
    }
    try {
        if (clientToManagerQueue)
            dropStaleAnswers(*clientToManagerQueue);
        if (managerToClientQueue->timed_send(text.data(), text.size(), 0, exchange.deadline))
            return LinkStep::Done;
        closeAfterTimeout(clientToManagerQueue, managerToClientQueue);
        return LinkStep::TimedOut;
    } catch (const std::exception& e) {
        exchange.libraryError = e.what();
        return LinkStep::LibraryError;
    }
}

KeyMaster::LinkStep KeyMaster::receiveAnswer(LinkExchange& exchange)
{
    exchange.libraryError.clear();
    exchange.received = 0;
    if (!clientToManagerQueue) {
        exchange.libraryError = "message queue from Sarvelin key client is not open";
        return LinkStep::LibraryError;
    }
    try {
        bip::message_queue::size_type received = 0;
        unsigned int priority = 0;
        if (!clientToManagerQueue->timed_receive(exchange.buffer.data(), exchange.buffer.size(),
                                                 received, priority, exchange.deadline)) {
            closeAfterTimeout(clientToManagerQueue, managerToClientQueue);
            return LinkStep::TimedOut;
        }
        exchange.received = std::min<std::size_t>(received, exchange.buffer.size());
        return LinkStep::Done;
    } catch (const std::exception& e) {
        exchange.libraryError = e.what();
        return LinkStep::LibraryError;
    }
}

KeyMaster::LinkStep KeyMaster::receivePayload(LinkExchange& exchange, std::string& payload)
{
    payload.clear();

    // The length message lands in the same buffer, over the keyword; the
    // number ends at the first character that is not a digit (or at the end
    // of the message). Anything that is not a number reads as 0.
    LinkStep step = receiveAnswer(exchange);
    if (step != LinkStep::Done)
        return step;
    std::size_t expected = 0;
    for (std::size_t i = 0; i < exchange.received; ++i) {
        const char c = exchange.buffer[i];
        if (c < '0' || c > '9')
            break;
        const std::size_t digit = static_cast<std::size_t>(c - '0');
        if (expected > (std::numeric_limits<std::size_t>::max() - digit) / 10) {
            expected = std::numeric_limits<std::size_t>::max();
            break;
        }
        expected = expected * 10 + digit;
    }

    // Parts are received straight into the payload; only the bytes that
    // arrived are kept, never the rest of a part's area.
    std::size_t total = 0;
    try {
        if (!clientToManagerQueue) {
            exchange.libraryError = "message queue from Sarvelin key client is not open";
            return LinkStep::LibraryError;
        }
        payload.reserve(std::min(expected, kMaxPayloadReserve) + kLinkBufferSize);
        do {
            payload.resize(total + kLinkBufferSize);
            bip::message_queue::size_type received = 0;
            unsigned int priority = 0;
            if (!clientToManagerQueue->timed_receive(&payload[total], kLinkBufferSize, received,
                                                     priority, exchange.deadline)) {
                payload.clear();
                closeAfterTimeout(clientToManagerQueue, managerToClientQueue);
                return LinkStep::TimedOut;
            }
            total += std::min<std::size_t>(received, kLinkBufferSize);
            payload.resize(total);
        } while (expected > kLinkBufferSize && total < expected);
    } catch (const std::exception& e) {
        // A queue-library error, or no memory for an absurd length.
        exchange.libraryError = e.what();
        payload.clear();
        return LinkStep::LibraryError;
    }
    return LinkStep::Done;
}

// --- failure texts of the two wordings

QString KeyMaster::linkSendFailureText(LinkWording wording)
{
    return wording == LinkWording::KeyClient
        ? tr("It looks like Sarvelin key client process doesn's work now. Unable to send message to client's process")
        : tr("It looks like Sarvelin client process doesn's work now. Unable to send message to client's process");
}

QString KeyMaster::linkReceiveFailureText(LinkWording wording)
{
    return wording == LinkWording::KeyClient
        ? tr("It looks like Sarvelin key client process doesn's work now. Unable to recieve message from client's process")
        : tr("It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process");
}

// --- queues

bool KeyMaster::messageQueuesConnect()
{
    qInfo().noquote() << "creating queues";
    try {
        clientToManagerQueue = std::make_unique<bip::message_queue>(bip::open_only, kClientToManagerQueueName);
        managerToClientQueue = std::make_unique<bip::message_queue>(bip::open_only, kManagerToClientQueueName);
        dropStaleAnswers(*clientToManagerQueue);
        return true;
    } catch (const std::exception& e) {
        Notifier::getInstance()->showError(
            tr("Try to open message queues"),
            tr("Try to open message queues to communicate with Sarvelin key client. It looks like Sarvelin key clients doesn't work on this host. ")
                + QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool KeyMaster::messageQueuesClose()
{
    try {
        if (!clientToManagerQueue) {
            qInfo().noquote() << "Message queues close, but queue 'Client to manager' is empty";
            return false;
        }
        clientToManagerQueue.reset();
        if (!managerToClientQueue) {
            qInfo().noquote() << "Message queues close, but queue 'Manager to client' is empty";
            return false;
        }
        managerToClientQueue.reset();
        return true;
    } catch (const std::exception& e) {
        Notifier::getInstance()->showError(
            tr("Try to close message queues"),
            tr("Try to close message queues to communicate with Sarvelin client. It looks like Sarvelin key clients doesn't work on this host. ")
                + QString::fromLocal8Bit(e.what()));
        return false;
    }
}

// --- named mutex

bool KeyMaster::openClientMutex(bool quiet)
{
    if (clientMutex)
        return true;
    try {
        clientMutex = std::make_unique<bip::named_mutex>(bip::open_only, kClientMutexName);
        return true;
    } catch (const std::exception& e) {
        if (quiet) {
            qInfo().noquote() << "Sarvelin client mutex is not there yet:" << e.what();
        } else {
            // Shown and failed, but the tool keeps running: the operator must
            // be able to read the message.
            Notifier::getInstance()->showError(
                tr("Sarvelin client doesn't work"),
                tr("It looks like Sarvelin client doesn't work on this host. Unable to open mutex_svc: ")
                    + QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
}

bool KeyMaster::lockClientMutex()
{
    if (clientMutexLocked)
        return true;
    if (!openClientMutex(false))
        return false;
    // The mutex is not robust: a process that died holding it leaves it
    // locked for good, so the wait is bounded.
    QString reason;
    try {
        const auto until = boost::posix_time::microsec_clock::universal_time()
            + boost::posix_time::seconds(clientMutexWaitSeconds);
        if (clientMutex->timed_lock(until)) {
            clientMutexLocked = true;
            return true;
        }
        reason = tr("it is held by another process for more than %1 seconds").arg(clientMutexWaitSeconds);
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    Notifier::getInstance()->showError(
        tr("Sarvelin client doesn't work"),
        tr("It looks like Sarvelin client doesn't work on this host. Unable to lock mutex_svc: ") + reason);
    return false;
}

void KeyMaster::unlockClientMutex()
{
    if (!clientMutexLocked || !clientMutex)
        return;
    try {
        clientMutex->unlock();
    } catch (const std::exception& e) {
        qWarning().noquote() << "Can't unlock Sarvelin client mutex:" << e.what();
    }
    clientMutexLocked = false;
}

KeyMaster::ClientMutexLock::ClientMutexLock(KeyMaster& keyMaster)
    : m_keyMaster(keyMaster)
    , m_locked(!keyMaster.clientMutexLocked && keyMaster.lockClientMutex())
{
}

KeyMaster::ClientMutexLock::~ClientMutexLock()
{
    if (m_locked)
        m_keyMaster.unlockClientMutex();
}
