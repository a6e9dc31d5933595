#include "device/DeviceEventLoop.h"

#include <algorithm>

namespace veltrix {

bool DeviceEventLoop::RunUntil(DeviceLink& link, std::chrono::milliseconds timeout,
                               const std::function<bool()>& done,
                               const std::function<void(const Message&)>& other) {
    using std::chrono::nanoseconds;
    const nanoseconds start = m_clock.Now();
    // A timeout beyond the clock's range waits for `done` alone.
    const nanoseconds deadline =
        timeout >= std::chrono::duration_cast<std::chrono::milliseconds>(nanoseconds::max() - start)
            ? nanoseconds::max()
            : start + timeout;
    while (!done()) {
        const nanoseconds now = m_clock.Now();
        if (now >= deadline) {
            return false;
        }
        // A wait far into the future would overflow the queue's own deadline arithmetic.
        nanoseconds wait = std::min<nanoseconds>(deadline - now, std::chrono::hours(1));
        if (const auto due = m_timers.NextDue()) {
            wait = std::clamp(*due - now, nanoseconds::zero(), wait);
        }
        // Rounded up, so a timer is never woken for just before it is due.
        const auto waitMs = std::chrono::ceil<std::chrono::milliseconds>(wait);
        if (const auto message = m_window.WaitFor(waitMs)) {
            if (!link.OnDriverMessage(*message) && other) {
                other(*message);
            }
            if (done()) {
                return true;
            }
        }
        while (const auto id = m_timers.TakeDue()) {
            link.OnTimer(*id);
            if (done()) {
                return true;
            }
        }
    }
    return true;
}

}  // namespace veltrix
