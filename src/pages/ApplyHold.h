#pragma once

// Holds back the apply request of a burst of edits (a slider being dragged, digits being typed)
// until the user pauses, so the mouse gets one update per pause instead of one per step.

#include <chrono>
#include <cstdint>
#include <functional>

#include "pages/PageView.h"
#include "platform/window_handle.h"

namespace veltrix {

inline constexpr std::chrono::milliseconds kApplyHoldTime{500};

// Posts the apply request for `area` of `profile` to the main window.
void PostApplyRequest(const VeltrixWindowHandle& window, std::uintptr_t area, int profile);

// Sends the apply request for `area` of `profile` at once, without the main window's queue.
using ApplySender = std::function<void(std::uintptr_t area, int profile)>;

class ApplyHold {
  public:
    // The view must outlive the hold.
    ApplyHold(PageView& view, const VeltrixWindowHandle& window, int timerId, std::uintptr_t area)
        : m_view(view), m_window(window), m_iTimerId(timerId), m_area(area) {}

    // `profile` was edited: the countdown starts over.
    void Restart(int profile);

    // The countdown ran out: one request for each profile edited since the last one. A profile
    // switch during the countdown thus still sends the edits of the profile that was left.
    void Fire();

    // The edits' context ends (their page or the window hides, the profile switches, the program
    // quits): what the countdown holds is sent through `send` now, and nothing is left to fire.
    // True when something was sent.
    bool Flush(const ApplySender& send);

    int TimerId() const { return m_iTimerId; }

  private:
    PageView& m_view;
    VeltrixWindowHandle m_window;
    int m_iTimerId;
    std::uintptr_t m_area;
    unsigned m_uPendingProfiles = 0;  // bit p: profile p has edits waiting
};

}  // namespace veltrix
