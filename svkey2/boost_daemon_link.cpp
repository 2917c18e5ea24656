// The real link to the key client daemon over Boost.Interprocess.

#include "boost_daemon_link.h"

#include <vector>

namespace bip = boost::interprocess;

namespace {

const char* const kClientToManagerQueueName = "Sarvelin_client_to_SVKEY_MQ";
const char* const kManagerToClientQueueName = "Sarvelin_SVKEY_to_client_MQ";
const char* const kClientMutexName = "Sarvelin_SVC_mutex";

} // namespace

void BoostDaemonLink::openAnswerQueue()
{
    m_answers = std::make_unique<bip::message_queue>(bip::open_only, kClientToManagerQueueName);
}

void BoostDaemonLink::openRequestQueue()
{
    m_requests = std::make_unique<bip::message_queue>(bip::open_only, kManagerToClientQueueName);
}

int BoostDaemonLink::dropAnswers()
{
    std::vector<char> scrap(m_answers->get_max_msg_size());
    bip::message_queue::size_type received = 0;
    unsigned int priority = 0;
    int dropped = 0;
    while (m_answers->try_receive(scrap.data(), scrap.size(), received, priority))
        ++dropped;
    return dropped;
}

std::size_t BoostDaemonLink::waitingRequests()
{
    return m_requests->get_num_msg();
}

bool BoostDaemonLink::send(const std::string& message, const Deadline& deadline)
{
    return m_requests->timed_send(message.data(), message.size(), 0, deadline);
}

bool BoostDaemonLink::receive(char* buffer, std::size_t size, std::size_t& received, const Deadline& deadline)
{
    bip::message_queue::size_type length = 0;
    unsigned int priority = 0;
    if (!m_answers->timed_receive(buffer, size, length, priority, deadline))
        return false;
    received = length;
    return true;
}

void BoostDaemonLink::openMutex()
{
    m_mutex = std::make_unique<bip::named_mutex>(bip::open_only, kClientMutexName);
}

bool BoostDaemonLink::lockMutex(const Deadline& until)
{
    return m_mutex->timed_lock(until);
}

void BoostDaemonLink::unlockMutex()
{
    m_mutex->unlock();
}
