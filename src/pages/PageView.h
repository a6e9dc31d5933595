#pragma once

// What every settings page asks of its widget: whether it is on screen, and its timers.

#include <chrono>

namespace veltrix {

class PageView {
  public:
    virtual ~PageView() = default;

    // While the page is not on screen it ignores the user's events and its own timers.
    virtual bool IsPageVisible() const = 0;

    // A timer that fires OnTimer(id) of the page every period until it is stopped; starting a
    // running timer starts it over.
    virtual void StartTimer(int id, std::chrono::milliseconds period) = 0;
    virtual void StopTimer(int id) = 0;
};

}  // namespace veltrix
