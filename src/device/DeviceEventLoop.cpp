#include "device/DeviceEventLoop.h"

#include <algorithm>

namespace veltrix {

bool DeviceEventLoop::RunUntil(DeviceLink& link, std::chrono::milliseconds timeout,
                               const std::function<bool()>& done,
                               const std::function<void(const Message&)>& other) {
    using std::chrono::nanoseconds;
    const nanoseconds deadline = m_clock.Now() + timeout;
    while (!done()) {
        const nanoseconds now = m_clock.Now();
        if (now >= deadline) {
            return false;
        }
        nanoseconds wait = deadline - now;
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
