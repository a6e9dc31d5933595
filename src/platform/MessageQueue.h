#pragma once

// A thread-safe first-in, first-out queue of messages with one consumer: the worker's own queue,
// and the receiving end of a window handle wherever no window exists (command line, tests).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/window_handle.h"

namespace veltrix {

struct Message {
    std::uint32_t id = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;

    friend bool operator==(const Message&, const Message&) = default;
};

class MessageQueue {
  public:
    // Any thread.
    void Post(const Message& message);

    // Blocks until a message is there.
    Message Wait();

    // Waits at most `timeout` of real time; empty when nothing came.
    std::optional<Message> WaitFor(std::chrono::milliseconds timeout);

    std::optional<Message> TryTake();

    // A handle whose post lands in this queue; valid as long as the queue lives.
    VeltrixWindowHandle Handle();

  private:
    static void PostThunk(void* context, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam);

    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<Message> m_messages;
};

}  // namespace veltrix
