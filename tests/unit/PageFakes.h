#pragma once

// What a settings page works against in tests: its widget's visibility and timers (on a virtual
// clock) and the main window's queue, which receives the apply requests.

#include <chrono>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "platform/TimerSchedule.h"
#include "profile/ProfileDefaults.h"
#include "support/ManualClock.h"

namespace veltrix::test {

using namespace std::chrono_literals;

template <typename View>
class FakePageScreen : public View {
  public:
    bool IsPageVisible() const override { return visible; }
    void StartTimer(int id, std::chrono::milliseconds period) override { timers.Start(id, period); }
    void StopTimer(int id) override { timers.Stop(id); }

    bool visible = true;
    ManualClock clock;
    TimerSchedule timers{clock};
};

// Every message waiting in the queue, oldest first.
inline std::vector<Message> Drain(MessageQueue& queue) {
    std::vector<Message> messages;
    while (const auto message = queue.TryTake()) {
        messages.push_back(*message);
    }
    return messages;
}

// Moves virtual time on a millisecond at a time, handing each timer to `target` the moment it is
// due.
template <typename Target>
void RunTimers(ManualClock& clock, TimerSchedule& timers, Target& target,
               std::chrono::milliseconds duration) {
    for (auto elapsed = 0ms; elapsed < duration; elapsed += 1ms) {
        clock.Advance(1ms);
        while (const auto id = timers.TakeDue()) {
            target.OnTimer(*id);
        }
    }
}

inline Message ApplyRequest(std::uintptr_t area, std::intptr_t profile) {
    return {kMsgApplyRequest, area, profile};
}

// The record with its defaults, the screen and the page.
template <typename Screen, typename Page>
class PageTest : public ::testing::Test {
  protected:
    void RunFor(std::chrono::milliseconds duration) {
        RunTimers(m_screen.clock, m_screen.timers, m_page, duration);
    }
    std::vector<Message> Posted() { return Drain(m_window); }

    ProfileData& Profile(int index) {
        return m_settings->Profiles[static_cast<std::size_t>(index)];
    }

    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    MessageQueue m_window;
    Screen m_screen;
    Page m_page{*m_settings, m_screen, m_window.Handle()};
};

}  // namespace veltrix::test
