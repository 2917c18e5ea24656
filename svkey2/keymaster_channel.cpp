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
//
// Every call that may block (send, receive, the mutex) runs on the link
// thread; the window's thread waits for it with its events processed, so
// the window keeps answering for as long as a deadline allows the daemon.

#include "keymaster.h"

#include "boost_daemon_link.h"
#include "link_thread.h"
#include "notifier.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Largest payload reserved in advance; a bigger announced length still works,
// the string just grows as the parts arrive.
const std::size_t kMaxPayloadReserve = 64u * 1024u * 1024u;

} // namespace

// --- the link thread

std::unique_ptr<DaemonLink> KeyMaster::realDaemonLink()
{
    return std::make_unique<BoostDaemonLink>();
}

void KeyMaster::onLink(const std::function<void(DaemonLink&)>& work)
{
    // The link thread wakes this thread's event processing when the call
    // has run; the window is drawn and answers meanwhile.
    const auto call = m_linkThread->post(work, [this] {
        QMetaObject::invokeMethod(
            this, [] {}, Qt::QueuedConnection);
    });
    if (QCoreApplication::instance() && QThread::currentThread() == thread()) {
        while (!waitUntil([&call] { return call->done(); }, 1000, false)) { }
    } else {
        call->wait();
    }
    call->rethrow();
}

// Drops every answer waiting in the answer queue: it belongs to an earlier
// request. Throws what the queue library throws.
void KeyMaster::dropStaleAnswers()
{
    int dropped = 0;
    onLink([&](DaemonLink& link) {
        if (link.answerQueueOpen())
            dropped = link.dropAnswers();
    });
    if (dropped > 0)
        qInfo().noquote() << "dropped" << dropped << "unread answer(s) of an earlier request";
}

// After a timeout the daemon may still answer; closing both handles makes
// the next operation open the queues again, which empties them.
void KeyMaster::closeAfterTimeout()
{
    qWarning().noquote() << "no answer in time: the channel to Sarvelin key client is closed";
    onLink([](DaemonLink& link) {
        link.closeAnswerQueue();
        link.closeRequestQueue();
    });
}

bool KeyMaster::answerQueueOpen()
{
    bool open = false;
    onLink([&](DaemonLink& link) { open = link.answerQueueOpen(); });
    return open;
}

bool KeyMaster::requestQueueOpen()
{
    bool open = false;
    onLink([&](DaemonLink& link) { open = link.requestQueueOpen(); });
    return open;
}

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
    exchange.deadline
        = boost::posix_time::second_clock::universal_time() + boost::posix_time::seconds(kLinkDeadlineSeconds);
    return exchange;
}

KeyMaster::LinkStep KeyMaster::sendRequest(LinkExchange& exchange, const std::string& text)
{
    exchange.libraryError.clear();
    if (!requestQueueOpen()) {
        exchange.libraryError = "message queue to Sarvelin key client is not open";
        return LinkStep::LibraryError;
    }
    try {
        dropStaleAnswers();
        bool sent = false;
        onLink([&](DaemonLink& link) { sent = link.send(text, exchange.deadline); });
        if (sent)
            return LinkStep::Done;
        closeAfterTimeout();
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
    if (!answerQueueOpen()) {
        exchange.libraryError = "message queue from Sarvelin key client is not open";
        return LinkStep::LibraryError;
    }
    try {
        std::size_t received = 0;
        bool arrived = false;
        onLink([&](DaemonLink& link) {
            arrived = link.receive(exchange.buffer.data(), exchange.buffer.size(), received, exchange.deadline);
        });
        if (!arrived) {
            closeAfterTimeout();
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
        if (!answerQueueOpen()) {
            exchange.libraryError = "message queue from Sarvelin key client is not open";
            return LinkStep::LibraryError;
        }
        payload.reserve(std::min(expected, kMaxPayloadReserve) + kLinkBufferSize);
        do {
            payload.resize(total + kLinkBufferSize);
            std::size_t received = 0;
            bool arrived = false;
            onLink([&](DaemonLink& link) {
                arrived = link.receive(&payload[total], kLinkBufferSize, received, exchange.deadline);
            });
            if (!arrived) {
                payload.clear();
                closeAfterTimeout();
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
        ? tr("It looks like Sarvelin key client process doesn's work now. Unable to recieve message from client's "
             "process")
        : tr("It looks like Sarvelin client process doesn's work now. Unable to recieve message from client's process");
}

// --- queues

bool KeyMaster::messageQueuesConnect()
{
    qInfo().noquote() << "creating queues";
    try {
        onLink([](DaemonLink& link) {
            link.openAnswerQueue();
            link.openRequestQueue();
        });
        dropStaleAnswers();
        return true;
    } catch (const std::exception& e) {
        Notifier::getInstance()->showError(tr("Try to open message queues"),
            tr("Try to open message queues to communicate with Sarvelin key client. It looks like Sarvelin key clients "
               "doesn't work on this host. ")
                + QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool KeyMaster::messageQueuesClose()
{
    try {
        bool answersOpen = false;
        bool requestsOpen = false;
        onLink([&](DaemonLink& link) {
            answersOpen = link.answerQueueOpen();
            if (!answersOpen)
                return;
            link.closeAnswerQueue();
            requestsOpen = link.requestQueueOpen();
            if (requestsOpen)
                link.closeRequestQueue();
        });
        if (!answersOpen) {
            qInfo().noquote() << "Message queues close, but queue 'Client to manager' is empty";
            return false;
        }
        if (!requestsOpen) {
            qInfo().noquote() << "Message queues close, but queue 'Manager to client' is empty";
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        Notifier::getInstance()->showError(tr("Try to close message queues"),
            tr("Try to close message queues to communicate with Sarvelin client. It looks like Sarvelin key clients "
               "doesn't work on this host. ")
                + QString::fromLocal8Bit(e.what()));
        return false;
    }
}

// --- named mutex

bool KeyMaster::clientMutexOpen()
{
    bool open = false;
    onLink([&](DaemonLink& link) { open = link.mutexOpen(); });
    return open;
}

bool KeyMaster::openClientMutex(bool quiet)
{
    try {
        onLink([](DaemonLink& link) {
            if (!link.mutexOpen())
                link.openMutex();
        });
        return true;
    } catch (const std::exception& e) {
        if (quiet) {
            qInfo().noquote() << "Sarvelin client mutex is not there yet:" << e.what();
        } else {
            // Shown and failed, but the tool keeps running: the operator must
            // be able to read the message.
            Notifier::getInstance()->showError(tr("Sarvelin client doesn't work"),
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
        const auto until
            = boost::posix_time::microsec_clock::universal_time() + boost::posix_time::seconds(clientMutexWaitSeconds);
        bool locked = false;
        LinkThread* linkThread = m_linkThread.get();
        onLink([&](DaemonLink& link) {
            locked = link.lockMutex(until);
            linkThread->markMutexLocked(locked);
        });
        if (locked) {
            clientMutexLocked = true;
            return true;
        }
        reason = tr("it is held by another process for more than %1 seconds").arg(clientMutexWaitSeconds);
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    Notifier::getInstance()->showError(tr("Sarvelin client doesn't work"),
        tr("It looks like Sarvelin client doesn't work on this host. Unable to lock mutex_svc: ") + reason);
    return false;
}

void KeyMaster::unlockClientMutex()
{
    if (!clientMutexLocked)
        return;
    try {
        LinkThread* linkThread = m_linkThread.get();
        onLink([linkThread](DaemonLink& link) {
            link.unlockMutex();
            linkThread->markMutexLocked(false);
        });
    } catch (const std::exception& e) {
        qWarning().noquote() << "Can't unlock Sarvelin client mutex:" << e.what();
    }
    clientMutexLocked = false;
}

KeyMaster::ClientMutexLock::ClientMutexLock(KeyMaster& keyMaster)
    : m_keyMaster(keyMaster)
    , m_locked(!keyMaster.clientMutexLocked && keyMaster.lockClientMutex())
{ }

KeyMaster::ClientMutexLock::~ClientMutexLock()
{
    if (m_locked)
        m_keyMaster.unlockClientMutex();
}
