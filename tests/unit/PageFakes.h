#pragma once

// The screen, the timers and the main window that a settings page works against in tests: the
// page's timers run on a virtual clock and its apply requests land in a queue.

#include <chrono>
#include <memory>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "platform/TimerSchedule.h"
#include "profile/ProfileDefaults.h"
#include "support/ManualClock.h"

namespace veltrix::test {

using namespace std::chrono_literals;

// The widget of a page: what `View` is told, kept as the screen would show it, plus the page's
// visibility and timers.
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

inline Message ApplyRequest(std::uintptr_t area, std::intptr_t profile) {
    return {kMsgApplyRequest, area, profile};
}

// The record with its defaults, the main window's queue and the screen of a page; the test's
// fixture adds the page itself.
template <typename Screen>
class PageTest : public ::testing::Test {
  protected:
    // Moves virtual time on a millisecond at a time, firing each timer the moment it is due.
    template <typename Page>
    void RunFor(Page& page, std::chrono::milliseconds duration) {
        for (auto elapsed = 0ms; elapsed < duration; elapsed += 1ms) {
            m_screen.clock.Advance(1ms);
            while (const auto id = m_screen.timers.TakeDue()) {
                page.OnTimer(*id);
            }
        }
    }

    // What the page posted since the last call.
    std::vector<Message> Posted() {
        std::vector<Message> messages;
        while (const auto message = m_window.TryTake()) {
            messages.push_back(*message);
        }
        return messages;
    }

    ProfileData& Profile(int index) {
        return m_settings->Profiles[static_cast<std::size_t>(index)];
    }

    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    MessageQueue m_window;
    VeltrixWindowHandle m_handle = m_window.Handle();
    Screen m_screen;
};

}  // namespace veltrix::test
