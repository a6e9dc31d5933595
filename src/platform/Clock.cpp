#include "platform/Clock.h"

#include <thread>

namespace veltrix {
namespace {

class SteadyClock : public Clock {
  public:
    std::chrono::nanoseconds Now() const override {
        return std::chrono::steady_clock::now().time_since_epoch();
    }
    void SleepFor(std::chrono::nanoseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
};

class NoWaitClock final : public SteadyClock {
  public:
    void SleepFor(std::chrono::nanoseconds) override {}
};

}  // namespace

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

Clock& InstantClock() {
    static NoWaitClock clock;
    return clock;
}

}  // namespace veltrix
