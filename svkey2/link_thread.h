#ifndef LINK_THREAD_H
#define LINK_THREAD_H

// The one thread that owns the daemon link and makes its blocking calls: the
// queue handles are only ever used there, and the named mutex is locked and
// unlocked there (it must be given back by the thread that took it). Calls
// run one after another, in the order they were posted.
//
// The ending gives the mutex back if it is still held, closes the handles on
// the thread and ends it; a call still running is waited for, which is
// bounded by the deadline it was given.

#include "daemon_link.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class LinkThread
{
public:
    // One posted call: `done` turns true once it ran; what it threw is kept.
    class Call
    {
    public:
        bool done() const;
        // Blocks until done (for callers without an event loop).
        void wait();
        // Throws again what the call threw, on the caller's thread.
        void rethrow() const;

    private:
        friend class LinkThread;
        std::function<void(DaemonLink&)> work;
        std::function<void()> finished;
        std::exception_ptr error;
        mutable std::mutex lock;
        std::condition_variable ended;
        bool isDone = false;
    };

    explicit LinkThread(std::unique_ptr<DaemonLink> link);
    ~LinkThread();
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    // Queues `work`; `finished` runs on the link thread just after it (the
    // caller's way to be woken up).
    std::shared_ptr<Call> post(std::function<void(DaemonLink&)> work, std::function<void()> finished);
    // Whether the link thread holds the named mutex now (set by the calls
    // through markMutexLocked, read by the ending).
    void markMutexLocked(bool locked) { m_mutexLocked = locked; }

private:
    void loop();

    std::unique_ptr<DaemonLink> m_link;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<Call>> m_calls;
    bool m_ending = false;
    // Only touched on the link thread.
    bool m_mutexLocked = false;
    std::thread m_thread;
};

#endif // LINK_THREAD_H
