#pragma once

// Timers by id for code that runs without a window system: each started timer fires every period
// until it is stopped, like a window's timers, and an overdue timer fires once rather than once
// per missed period. The owner's loop asks when the next one is due, waits, and takes what is due.
// Time comes from a Clock, so tests step through the timers in virtual time.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Clock.h"

namespace veltrix {

class TimerSchedule {
  public:
    explicit TimerSchedule(const Clock& clock) : m_clock(clock) {}

    // Starts the timer, or starts a running one over: it fires one period from now.
    void Start(int id, std::chrono::milliseconds period);
    void Stop(int id);
    bool IsRunning(int id) const;

    // When the earliest running timer is due, on the clock's time line; empty when none runs.
    std::optional<std::chrono::nanoseconds> NextDue() const;

    // The earliest timer that is due now, already rescheduled one period on; empty when none is.
    // Taking them one at a time lets a handler stop a timer that is also due.
    std::optional<int> TakeDue();

  private:
    struct Entry {
        int id;
        std::chrono::nanoseconds period;
        std::chrono::nanoseconds due;
        std::uint64_t
            order;  // among timers due at the same time, the one started first fires first
    };

    const Clock& m_clock;
    std::vector<Entry> m_entries;
    std::uint64_t m_nextOrder = 0;
};

}  // namespace veltrix
