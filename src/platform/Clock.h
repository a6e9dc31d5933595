#pragma once

// Every wait and every time reading of the core goes through a Clock, so tests run in virtual
// time and nothing in them sleeps.

#include <chrono>

namespace veltrix {

class Clock {
  public:
    virtual ~Clock() = default;

    // Monotonic time since an arbitrary start, in nanoseconds.
    virtual std::chrono::nanoseconds Now() const = 0;

    // Blocks the calling thread for the duration.
    virtual void SleepFor(std::chrono::nanoseconds duration) = 0;
};

// The real monotonic clock; shared, thread-safe.
Clock& SystemClock();

// The real monotonic clock whose waits return at once: for dry runs that show what would happen
// without taking the time. Shared, thread-safe.
Clock& InstantClock();

}  // namespace veltrix
