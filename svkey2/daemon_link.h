#ifndef DAEMON_LINK_H
#define DAEMON_LINK_H

// The key client daemon's side of the link as the controller uses it: the
// answer queue, the request queue and the named mutex shared with the local
// client. Each call may block, at most until the deadline it is given (UTC);
// the controller runs every call on its one link thread (LinkThread), never on
// the window's thread. A queue-library failure is thrown as std::exception.
//
// BoostDaemonLink is the real link; the tests give the controller a double.

#include <boost/date_time/posix_time/ptime.hpp>

#include <cstddef>
#include <string>

class DaemonLink
{
public:
    using Deadline = boost::posix_time::ptime;

    virtual ~DaemonLink() = default;

    // Opening replaces a handle already open; a queue or mutex that is not
    // there throws, and the handle opened before stays as it was.
    virtual void openAnswerQueue() = 0;
    virtual void openRequestQueue() = 0;
    virtual bool answerQueueOpen() const = 0;
    virtual bool requestQueueOpen() const = 0;
    virtual void closeAnswerQueue() = 0;
    virtual void closeRequestQueue() = 0;

    // Takes every message waiting in the answer queue without waiting and
    // returns their number (the queue must be open).
    virtual int dropAnswers() = 0;
    // Messages waiting in the request queue (the queue must be open).
    virtual std::size_t waitingRequests() = 0;
    // False when the deadline passed first (the queue must be open).
    virtual bool send(const std::string& message, const Deadline& deadline) = 0;
    // One message into `buffer` (at least the queue's largest message);
    // false when the deadline passed first (the queue must be open).
    virtual bool receive(char* buffer, std::size_t size, std::size_t& received, const Deadline& deadline) = 0;

    virtual void openMutex() = 0;
    virtual bool mutexOpen() const = 0;
    // False when another process still held it at `until` (the mutex must be open).
    virtual bool lockMutex(const Deadline& until) = 0;
    virtual void unlockMutex() = 0;
};

#endif // DAEMON_LINK_H
