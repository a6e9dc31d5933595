#pragma once

// The device link where no window system runs (the command line, tests): a queue in place of the
// main window, the page's timers on a clock, and a loop that feeds both to the link. The screen
// itself is not there, so labels, the power bar and the pages are left alone.

#include <chrono>
#include <functional>

#include "device/DeviceLink.h"
#include "device/DeviceLinkView.h"
#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "platform/TimerSchedule.h"

namespace veltrix {

inline constexpr std::chrono::milliseconds kWaitForever = std::chrono::milliseconds::max();

class DeviceEventLoop final : public DeviceLinkView {
  public:
    explicit DeviceEventLoop(const Clock& clock) : m_clock(clock), m_timers(clock) {}

    // Where the driver plugins, the link and the worker post to; valid as long as the loop lives.
    VeltrixWindowHandle Window() { return m_window.Handle(); }

    // Hands the driver messages to the link and fires the due timers until `done` holds (asked
    // first, and again after each message and timer) or `timeout` has passed; true when `done`
    // held; kWaitForever never runs out. Any other message goes to `other`. Waits without
    // spinning.
    bool RunUntil(DeviceLink& link, std::chrono::milliseconds timeout,
                  const std::function<bool()>& done,
                  const std::function<void(const Message&)>& other = {});

    void StartTimer(int id, std::chrono::milliseconds period) override {
        m_timers.Start(id, period);
    }
    void StopTimer(int id) override { m_timers.Stop(id); }
    void ShowSleepLabel(bool) override {}
    void SetPowerTextId(std::string_view) override {}
    void SetPowerText(std::string_view) override {}
    void SetPowerProgress(int) override {}
    void MarkDpiLevel(int) override {}
    void SelectProfileButtonSilently(int) override {}
    void ReloadPages() override {}

  private:
    const Clock& m_clock;
    TimerSchedule m_timers;
    MessageQueue m_window;
};

}  // namespace veltrix
