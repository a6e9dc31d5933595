#include <memory>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "device/DeviceEventLoop.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "support/RecordingDriverLink.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;

class DeviceEventLoopTest : public ::testing::Test {
  protected:
    void Start(bool receiver, bool cable) {
        m_receiver.m_iOpenResult = receiver ? 1 : 0;
        m_cable.m_iOpenResult = cable ? 1 : 0;
        m_link.StartDeviceLink();
    }

    test::RecordingDriverLink::Log m_log;
    test::RecordingDriverLink m_receiver{"receiver", m_log};
    test::RecordingDriverLink m_cable{"cable", m_log};
    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    DeviceEventLoop m_loop{SystemClock()};
    DeviceLink m_link{m_receiver, m_cable, *m_settings, m_loop, m_loop.Window(), nullptr};
};

TEST_F(DeviceEventLoopTest, DriverMessagesReachTheLinkAndOthersTheCaller) {
    Start(true, false);
    const VeltrixWindowHandle plugin = m_receiver.m_window;
    VeltrixPost(&plugin, kMsgApplyFinished, 1, 0);
    VeltrixPost(&plugin, kMsgReceiverEvent, kEventStatus, 0x72);
    std::vector<Message> others;
    EXPECT_TRUE(m_loop.RunUntil(
        m_link, kWaitForever, [&] { return m_link.Flags().AcceptsRequests(); },
        [&](const Message& message) { others.push_back(message); }));
    EXPECT_EQ(m_link.BatteryBars(), 3);
    EXPECT_THAT(others, ::testing::ElementsAre(Message{kMsgPresenceChanged, 0, 0},
                                               Message{kMsgApplyFinished, 1, 0}));
}

TEST_F(DeviceEventLoopTest, TheLoopGivesUpWhenTheTimeIsOut) {
    Start(true, false);
    const auto start = SystemClock().Now();
    EXPECT_FALSE(m_loop.RunUntil(m_link, 50ms, [&] { return m_link.Flags().AcceptsRequests(); }));
    EXPECT_GE(SystemClock().Now() - start, 50ms);
}

}  // namespace
}  // namespace veltrix
