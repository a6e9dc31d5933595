#include <chrono>
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

TEST(DeviceEventLoop, FeedsTheLinkItsMessagesAndTimersAndTheCallerTheRestUntilDoneOrTimedOut) {
    test::RecordingDriverLink::Log log;
    test::RecordingDriverLink receiver{"receiver", log};
    test::RecordingDriverLink cable{"cable", log};
    receiver.m_iOpenResult = 1;
    cable.m_iOpenResult = 1;
    const auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    DeviceEventLoop loop{SystemClock()};
    DeviceLink link{receiver, cable, *settings, loop, loop.Window(), nullptr};
    link.StartDeviceLink();

    VeltrixPost(&receiver.m_window, kMsgApplyFinished, 1, 0);
    VeltrixPost(&receiver.m_window, kMsgReceiverEvent, kEventStatus, 0x37);
    std::vector<Message> others;
    EXPECT_TRUE(loop.RunUntil(
        link, kWaitForever, [&] { return settings->Profiles[0].iCurDpiLevel == 2; },
        [&](const Message& message) { others.push_back(message); }));
    EXPECT_THAT(others, ::testing::ElementsAre(Message{kMsgPresenceChanged, 0, 0},
                                               Message{kMsgApplyFinished, 1, 0}));
    // The charge animation's timer runs while the cable is there.
    EXPECT_TRUE(
        loop.RunUntil(link, 10s, [&] { return link.ChargeStep() == 3 * kChargeAnimationStep; }));

    const auto start = SystemClock().Now();
    EXPECT_FALSE(loop.RunUntil(link, 50ms, [] { return false; }));
    EXPECT_GE(SystemClock().Now() - start, 50ms);
}

}  // namespace
}  // namespace veltrix
