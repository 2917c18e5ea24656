#ifndef BOOST_DAEMON_LINK_H
#define BOOST_DAEMON_LINK_H

// The real link to the key client daemon: Boost.Interprocess message queues
// and named mutex, opened by their fixed names (never created or removed).

#include "daemon_link.h"

#include <boost/interprocess/ipc/message_queue.hpp>
#include <boost/interprocess/sync/named_mutex.hpp>

#include <memory>

class BoostDaemonLink : public DaemonLink
{
public:
    void openAnswerQueue() override;
    void openRequestQueue() override;
    bool answerQueueOpen() const override { return bool(m_answers); }
    bool requestQueueOpen() const override { return bool(m_requests); }
    void closeAnswerQueue() override { m_answers.reset(); }
    void closeRequestQueue() override { m_requests.reset(); }
    int dropAnswers() override;
    std::size_t waitingRequests() override;
    bool send(const std::string& message, const Deadline& deadline) override;
    bool receive(char* buffer, std::size_t size, std::size_t& received, const Deadline& deadline) override;
    void openMutex() override;
    bool mutexOpen() const override { return bool(m_mutex); }
    bool lockMutex(const Deadline& until) override;
    void unlockMutex() override;

private:
    // Answers come from the daemon in the first, requests go in the second.
    std::unique_ptr<boost::interprocess::message_queue> m_answers;
    std::unique_ptr<boost::interprocess::message_queue> m_requests;
    std::unique_ptr<boost::interprocess::named_mutex> m_mutex;
};

#endif // BOOST_DAEMON_LINK_H
