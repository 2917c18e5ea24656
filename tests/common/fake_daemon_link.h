// A daemon link without a daemon, for in-process tests of the controller:
// the queues and the mutex are data, and the replies come from a script
// (in time, after a real pause, after the deadline, or never). The
// controller owns the link; the test keeps a pointer and reads it between
// the controller's calls (each call has ended by then). Every call records
// the thread it ran on and its deadline.
#pragma once

#include "daemon_link.h"

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

class FakeDaemonLink : public DaemonLink
{
public:
    struct Reply
    {
        std::vector<std::string> messages;
        enum When { InTime, Late, Never } when = InTime;
        int pauseMs = 0; // InTime: real pause before the first message
    };

    // --- set up by the test
    bool queuesThere = true;
    bool requestQueueFull = false;
    std::size_t largestMessage = 102400;
    std::deque<Reply> script; // one per request, in order
    std::function<Reply(const std::string&)> respond; // when the script is used up

    // --- what happened
    std::vector<std::string> requests;
    Deadline lastDeadline;
    std::thread::id lockedOn, unlockedOn;
    bool mutexLocked = false;

    // Called as the link ends (on the controller's link thread), with what
    // it saw: the link is gone once the controller is.
    std::function<void(const FakeDaemonLink&)> atEnd;
    ~FakeDaemonLink() override
    {
        if (atEnd)
            atEnd(*this);
    }

    std::deque<std::string> answers; // waiting in the answer queue
    std::set<std::thread::id> threads; // that made any call
    // Only what the test may change while a call runs is guarded.
    mutable std::mutex lock;

    void openAnswerQueue() override { setFlag(answersOpen, true, true); }
    void openRequestQueue() override { setFlag(requestsOpen, true, true); }
    void closeAnswerQueue() override { setFlag(answersOpen, false); }
    void closeRequestQueue() override { setFlag(requestsOpen, false); }
    bool answerQueueOpen() const override { return answersOpen; }
    bool requestQueueOpen() const override { return requestsOpen; }
    int dropAnswers() override
    {
        std::lock_guard<std::mutex> g(lock);
        call();
        const int n = int(answers.size());
        answers.clear();
        return n;
    }
    std::size_t waitingRequests() override
    {
        std::lock_guard<std::mutex> g(lock);
        call();
        return requestQueueFull ? 1 : 0;
    }
    bool send(const std::string& message, const Deadline& deadline) override
    {
        std::lock_guard<std::mutex> g(lock);
        record(deadline);
        if (!requestsOpen)
            throw std::runtime_error("request queue not open");
        if (requestQueueFull)
            return false;
        requests.push_back(message);
        pending = !script.empty() || respond;
        if (!script.empty()) {
            current = script.front();
            script.pop_front();
        } else if (respond) {
            current = respond(message);
        }
        return true;
    }
    bool receive(char* buffer, std::size_t size, std::size_t& received, const Deadline& deadline) override
    {
        int pause = 0;
        {
            std::lock_guard<std::mutex> g(lock);
            record(deadline);
            if (!answersOpen)
                throw std::runtime_error("answer queue not open");
            if (size < largestMessage)
                throw std::runtime_error("boost::interprocess::message_queue receive buffer too small");
            if (answers.empty() && pending && current.when == Reply::InTime)
                pause = current.pauseMs;
        }
        if (pause > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        std::lock_guard<std::mutex> g(lock);
        if (answers.empty() && pending) {
            pending = false;
            // A late reply lands once the deadline has passed.
            if (current.when != Reply::Never)
                answers.insert(answers.end(), current.messages.begin(), current.messages.end());
            if (current.when != Reply::InTime)
                return false;
        }
        if (answers.empty())
            return false;
        const std::string m = answers.front();
        answers.pop_front();
        received = std::min(m.size(), size);
        std::copy(m.begin(), m.begin() + std::ptrdiff_t(received), buffer);
        return true;
    }
    void openMutex() override { setFlag(mutexIsOpen, true); }
    bool mutexOpen() const override { return mutexIsOpen; }
    bool lockMutex(const Deadline& until) override
    {
        std::lock_guard<std::mutex> g(lock);
        record(until);
        mutexLocked = true;
        lockedOn = std::this_thread::get_id();
        return true;
    }
    void unlockMutex() override
    {
        std::lock_guard<std::mutex> g(lock);
        mutexLocked = false;
        unlockedOn = std::this_thread::get_id();
    }

private:
    void call() { threads.insert(std::this_thread::get_id()); }
    void record(const Deadline& d)
    {
        call();
        lastDeadline = d;
    }
    // Opening fails as the queue library does when the daemon is not there.
    void setFlag(bool& flag, bool value, bool isQueue = false)
    {
        std::lock_guard<std::mutex> g(lock);
        call();
        if (isQueue && !queuesThere)
            throw std::runtime_error("No such file or directory");
        flag = value;
    }
    Reply current;
    bool pending = false;
    bool answersOpen = false, requestsOpen = false, mutexIsOpen = false;
};
