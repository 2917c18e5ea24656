// The link thread: a queue of calls run one by one on the thread that owns
// the daemon link.

#include "link_thread.h"

#include <iostream>

bool LinkThread::Call::done() const
{
    std::lock_guard<std::mutex> guard(lock);
    return isDone;
}

void LinkThread::Call::wait()
{
    std::unique_lock<std::mutex> guard(lock);
    ended.wait(guard, [this] { return isDone; });
}

void LinkThread::Call::rethrow() const
{
    std::lock_guard<std::mutex> guard(lock);
    if (error)
        std::rethrow_exception(error);
}

LinkThread::LinkThread(std::unique_ptr<DaemonLink> link)
    : m_link(std::move(link))
    , m_thread([this] { loop(); })
{ }

LinkThread::~LinkThread()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_ending = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

std::shared_ptr<LinkThread::Call> LinkThread::post(
    std::function<void(DaemonLink&)> work, std::function<void()> finished)
{
    auto call = std::make_shared<Call>();
    call->work = std::move(work);
    call->finished = std::move(finished);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.push_back(call);
    }
    m_wake.notify_all();
    return call;
}

void LinkThread::loop()
{
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [this] { return m_ending || !m_calls.empty(); });
            if (m_calls.empty())
                break;
            call = m_calls.front();
            m_calls.pop_front();
        }
        std::exception_ptr error;
        try {
            call->work(*m_link);
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> guard(call->lock);
            call->error = error;
            call->isDone = true;
        }
        call->ended.notify_all();
        if (call->finished)
            call->finished();
    }

    // The mutex is not robust: left locked, it would block the local client
    // for good.
    if (m_mutexLocked) {
        try {
            m_link->unlockMutex();
        } catch (const std::exception& e) {
            std::cerr << "Can't unlock Sarvelin client mutex: " << e.what() << std::endl;
        }
        m_mutexLocked = false;
    }
    m_link.reset();
}
