#pragma once

#include <chrono>
#include <mutex>
#include <vector>

#include "platform/Clock.h"

namespace veltrix::test {

// Virtual time: SleepFor returns at once and moves the clock on; tests move it with Advance.
// Every sleep is remembered, so a test can check the waits a piece of code asked for.
class ManualClock final : public Clock {
  public:
    std::chrono::nanoseconds Now() const override {
        std::lock_guard lock(m_mutex);
        return m_now;
    }
    void SleepFor(std::chrono::nanoseconds duration) override {
        std::lock_guard lock(m_mutex);
        m_sleeps.push_back(duration);
        m_now += duration;
    }
    void Advance(std::chrono::nanoseconds duration) {
        std::lock_guard lock(m_mutex);
        m_now += duration;
    }
    std::vector<std::chrono::nanoseconds> Sleeps() const {
        std::lock_guard lock(m_mutex);
        return m_sleeps;
    }

  private:
    mutable std::mutex m_mutex;
    std::chrono::nanoseconds m_now{0};
    std::vector<std::chrono::nanoseconds> m_sleeps;
};

}  // namespace veltrix::test
