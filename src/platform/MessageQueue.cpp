#include "platform/MessageQueue.h"

namespace veltrix {

void MessageQueue::Post(const Message& message) {
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(message);
    }
    m_posted.notify_one();
}

Message MessageQueue::Wait() {
    std::unique_lock lock(m_mutex);
    m_posted.wait(lock, [this] { return !m_messages.empty(); });
    const Message message = m_messages.front();
    m_messages.pop_front();
    return message;
}

std::optional<Message> MessageQueue::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (!m_posted.wait_for(lock, timeout, [this] { return !m_messages.empty(); })) {
        return std::nullopt;
    }
    const Message message = m_messages.front();
    m_messages.pop_front();
    return message;
}

std::optional<Message> MessageQueue::TryTake() {
    std::lock_guard lock(m_mutex);
    if (m_messages.empty()) {
        return std::nullopt;
    }
    const Message message = m_messages.front();
    m_messages.pop_front();
    return message;
}

VeltrixWindowHandle MessageQueue::Handle() {
    return VeltrixWindowHandle{this, &PostThunk};
}

void MessageQueue::PostThunk(void* context, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    static_cast<MessageQueue*>(context)->Post(Message{message, wParam, lParam});
}

}  // namespace veltrix
