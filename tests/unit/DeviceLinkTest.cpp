#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "device/DeviceLink.h"
#include "platform/BinaryFile.h"
#include "platform/Messages.h"
#include "platform/TimerSchedule.h"
#include "profile/ProfileDefaults.h"
#include "profile/SettingsFiles.h"
#include "support/ByteImage.h"
#include "support/ManualClock.h"
#include "support/RecordingDriverLink.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using test::RecordingDriverLink;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The screen as the device link leaves it, with the page's timers on a virtual clock.
class RecordingView final : public DeviceLinkView {
  public:
    explicit RecordingView(TimerSchedule& timers) : m_timers(timers) {}

    void ShowSleepLabel(bool shown) override { m_sleepLabelShown = shown; }
    void SetPowerTextId(std::string_view textId) override {
        m_powerText = "id:" + std::string(textId);
    }
    void SetPowerText(std::string_view text) override { m_powerText = text; }
    void SetPowerProgress(int value) override { m_progress.push_back(value); }
    void StartTimer(int id, std::chrono::milliseconds period) override {
        m_timers.Start(id, period);
    }
    void StopTimer(int id) override { m_timers.Stop(id); }
    void MarkDpiLevel(int level) override { m_markedLevels.push_back(level); }
    void SelectProfileButtonSilently(int profile) override {
        m_selectedProfiles.push_back(profile);
    }
    void ReloadPages() override { ++m_reloads; }

    std::optional<bool> m_sleepLabelShown;
    std::string m_powerText;
    std::vector<int> m_progress;
    std::vector<int> m_markedLevels;
    std::vector<int> m_selectedProfiles;
    int m_reloads = 0;

  private:
    TimerSchedule& m_timers;
};

constexpr std::uint32_t Event(std::uint32_t code, std::uint32_t value) {
    return code << 16 | value;
}
constexpr std::uint32_t kArrival = Event(kEventLinkChange, kLinkArrival);
constexpr std::uint32_t kRemoval = Event(kEventLinkChange, kLinkRemoval);

class DeviceLinkTest : public ::testing::Test {
  protected:
    void Start(bool receiver, bool cable) {
        m_receiver.m_iOpenResult = receiver ? 1 : 0;
        m_cable.m_iOpenResult = cable ? 1 : 0;
        m_link.StartDeviceLink();
        m_log.clear();
    }

    // Moves virtual time on, firing each timer at the moment it is due.
    void RunFor(std::chrono::milliseconds duration) {
        const auto end = m_clock.Now() + duration;
        while (const auto due = m_timers.NextDue()) {
            if (*due > end) {
                break;
            }
            m_clock.Advance(*due - m_clock.Now());
            while (const auto id = m_timers.TakeDue()) {
                m_link.OnTimer(*id);
            }
        }
        m_clock.Advance(end - m_clock.Now());
    }

    std::vector<Message> Posted() {
        std::vector<Message> messages;
        while (const auto message = m_window.TryTake()) {
            messages.push_back(*message);
        }
        return messages;
    }

    // Whether the record was saved since the last call, exactly as it stands now.
    bool TakeSave() {
        const auto file = SettingsFile(m_dir / "Data");
        if (!std::filesystem::exists(file)) {
            return false;
        }
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(bytes, test::BytesOf(*m_settings)) << "the file holds an older record";
        std::filesystem::remove(file);
        return true;
    }

    ProfileData& Current() { return m_settings->Profiles[0]; }

    test::TempDir m_dir;
    RecordingDriverLink::Log m_log;
    RecordingDriverLink m_receiver{"receiver", m_log};
    RecordingDriverLink m_cable{"cable", m_log};
    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    test::ManualClock m_clock;
    TimerSchedule m_timers{m_clock};
    RecordingView m_view{m_timers};
    MessageQueue m_window;
    DeviceLink m_link{m_receiver, m_cable,           *m_settings,
                      m_view,     m_window.Handle(), SaveIntoDataFolder(m_dir / "Data")};
};

const Message kPresenceChanged{kMsgPresenceChanged, 0, 0};

TEST_F(DeviceLinkTest, StartUpOpensTheCableThenTheReceiverAndAnnouncesTheMouse) {
    m_receiver.m_iOpenResult = 1;
    m_cable.m_iOpenResult = 1;
    m_link.StartDeviceLink();
    EXPECT_THAT(m_log,
                ElementsAre("cable Set_VIDPID 1d57 fa61", "cable Open_DevMonitor 1331 1332",
                            "cable Open_FeatureDevice", "receiver Set_VIDPID 1d57 fa60",
                            "receiver Open_DevMonitor 1329 1330", "receiver Open_FeatureDevice"));
    VeltrixPost(&m_cable.m_window, 7, 8, 9);
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged, Message{7, 8, 9}))
        << "the plugins post to the window the link posts to";
    EXPECT_EQ(m_link.Flags().m_iReceiverState, kLinkPresent);
    EXPECT_TRUE(m_link.Connected());
    EXPECT_TRUE(m_link.Flags().AcceptsRequests()) << "on the cable the mouse is awake";
    EXPECT_EQ(m_view.m_sleepLabelShown, false);
    EXPECT_EQ(m_view.m_powerText, "id:charging_text");
    EXPECT_TRUE(m_timers.IsRunning(kTimerChargeAnimation));
}

TEST_F(DeviceLinkTest, StartUpWithOnlyTheReceiverIsConnectedButAsleepUntilAStatusReport) {
    Start(true, false);
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
    EXPECT_TRUE(m_link.Connected());
    EXPECT_EQ(m_view.m_sleepLabelShown, true);
    EXPECT_FALSE(m_link.Flags().AcceptsRequests());

    m_link.OnReceiverEvent(Event(kEventStatus, 0x32));
    EXPECT_EQ(m_view.m_sleepLabelShown, false);
    EXPECT_TRUE(m_link.Flags().AcceptsRequests());
}

TEST_F(DeviceLinkTest, StartUpWithoutAnyLinkPostsNothing) {
    Start(false, false);
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_FALSE(m_link.Connected());
}

TEST_F(DeviceLinkTest, AnArrivalOpensTheDeviceOnceOneSecondLaterWithoutBlocking) {
    Start(false, false);
    m_link.OnReceiverEvent(kArrival);
    RunFor(600ms);
    m_link.OnReceiverEvent(kArrival);  // a repeat during the wait changes nothing
    RunFor(399ms);
    EXPECT_THAT(m_log, IsEmpty());
    EXPECT_THAT(m_clock.Sleeps(), IsEmpty()) << "the window must go on during the wait";

    RunFor(1ms);
    EXPECT_THAT(m_log, ElementsAre("receiver Open_FeatureDevice"));
    EXPECT_EQ(m_link.Flags().m_iReceiverState, kLinkPresent);
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
    EXPECT_EQ(m_link.Flags().m_bAsleep, 1) << "a receiver alone does not show the mouse awake";

    // Arrival of a present link: no wait, no second open.
    m_link.OnReceiverEvent(kArrival);
    EXPECT_FALSE(m_timers.IsRunning(kTimerReceiverArrival));
    RunFor(2000ms);
    EXPECT_THAT(m_log, ElementsAre("receiver Open_FeatureDevice"));
}

TEST_F(DeviceLinkTest, CableArrivalWakesTheMouseAndChargesWithoutAnnouncingWhenTheReceiverIsThere) {
    Start(true, false);
    Posted();
    m_link.OnCableEvent(kArrival);
    RunFor(1000ms);
    EXPECT_THAT(m_log, ElementsAre("cable Open_FeatureDevice"));
    EXPECT_EQ(m_link.Flags().m_iCableState, kLinkPresent);
    EXPECT_EQ(m_link.Flags().m_bAsleep, 0);
    EXPECT_EQ(m_view.m_sleepLabelShown, false);
    EXPECT_EQ(m_view.m_powerText, "id:charging_text");
    EXPECT_TRUE(m_timers.IsRunning(kTimerChargeAnimation));
    EXPECT_THAT(Posted(), IsEmpty());
}

TEST_F(DeviceLinkTest, ARemovalDuringTheWaitCancelsTheArrival) {
    Start(true, false);
    m_link.OnReceiverEvent(kRemoval);
    m_link.OnReceiverEvent(kArrival);
    m_log.clear();
    Posted();
    m_link.OnReceiverEvent(kRemoval);
    RunFor(2000ms);
    EXPECT_THAT(m_log, IsEmpty()) << "a device that came and went is never opened";
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_EQ(m_link.Flags().m_iReceiverState, kLinkRemoved);

    // Never present since start-up: the removal then counts as one from that state.
    m_link.OnCableEvent(kArrival);
    m_link.OnCableEvent(kRemoval);
    RunFor(2000ms);
    EXPECT_THAT(m_log, ElementsAre("cable Close_FeatureDevice"));
    EXPECT_EQ(m_link.Flags().m_iCableState, kLinkRemoved);
}

TEST_F(DeviceLinkTest, WithBothLinksOnlyTheCableRemovalPutsTheMouseToSleep) {
    Start(true, true);
    Posted();
    m_link.OnReceiverEvent(kRemoval);
    EXPECT_THAT(m_log, ElementsAre("receiver Close_FeatureDevice"));
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_EQ(m_link.Flags().m_bAsleep, 0);

    m_link.OnReceiverEvent(kArrival);
    RunFor(1000ms);
    m_link.OnCableEvent(kRemoval);
    EXPECT_THAT(Posted(), IsEmpty()) << "the receiver is still there";
    EXPECT_EQ(m_link.Flags().m_iCableState, kLinkRemoved);
    EXPECT_FALSE(m_link.Flags().AcceptsRequests());
    EXPECT_EQ(m_view.m_sleepLabelShown, true);
    EXPECT_EQ(m_view.m_powerText, "");
    EXPECT_FALSE(m_timers.IsRunning(kTimerChargeAnimation));

    m_link.OnReceiverEvent(Event(kEventStatus, 0x72));
    EXPECT_TRUE(m_link.Flags().AcceptsRequests());
    EXPECT_EQ(m_view.m_powerText, "75%");
}

TEST_F(DeviceLinkTest, RemovalCountsOnceAndAlsoFromStartUp) {
    Start(false, false);
    m_link.OnReceiverEvent(kRemoval);
    m_link.OnReceiverEvent(kRemoval);
    EXPECT_THAT(m_log, ElementsAre("receiver Close_FeatureDevice"));
    EXPECT_EQ(m_link.Flags().m_iReceiverState, kLinkRemoved);
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
    EXPECT_FALSE(m_link.Connected());
}

TEST_F(DeviceLinkTest, DriverMessagesBecomeEventsAndOddCodesAreIgnored) {
    Start(true, false);
    EXPECT_FALSE(m_link.OnDriverMessage({kMsgApplyRequest, 0, 1}));
    EXPECT_TRUE(m_link.OnDriverMessage({kMsgCableLink, 5, 0}));
    EXPECT_FALSE(m_timers.IsRunning(kTimerCableArrival));
    EXPECT_TRUE(m_link.OnDriverMessage({kMsgCableLink, 1, 0}));
    EXPECT_TRUE(m_timers.IsRunning(kTimerCableArrival));
    EXPECT_TRUE(m_link.OnDriverMessage({kMsgCableLink, 0, 0}));
    EXPECT_FALSE(m_timers.IsRunning(kTimerCableArrival));
    // Only the low 16 bits of lParam carry the value.
    EXPECT_TRUE(m_link.OnDriverMessage({kMsgReceiverEvent, kEventDpiLevel, 0x50003}));
    EXPECT_EQ(Current().iCurDpiLevel, 2);
    EXPECT_TRUE(TakeSave());
    Posted();
    m_log.clear();

    for (const std::uint32_t event :
         {Event(kEventLinkChange, 0), Event(kEventLinkChange, 3), Event(0x0FFF, 1),
          Event(0x9001, 1), Event(0x9000, 1), Event(0x3000, 1)}) {
        m_link.OnReceiverEvent(event);
        m_link.OnCableEvent(event);
    }
    EXPECT_THAT(m_log, IsEmpty());
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_FALSE(TakeSave());
}

TEST_F(DeviceLinkTest, InputEventsUpdateTheCurrentProfileAndSaveIt) {
    Start(true, false);
    Posted();
    m_link.OnInputEvent(kEventDpiLevel, 3);
    EXPECT_EQ(Current().iCurDpiLevel, 2);
    EXPECT_THAT(m_view.m_markedLevels, ElementsAre(2));
    EXPECT_THAT(Posted(), ElementsAre(Message{kMsgDpiNotice, 0, Current().aiDpiValue[2]}));
    EXPECT_TRUE(TakeSave());

    m_link.OnInputEvent(kEventReportRate, 3);  // stored as it comes
    EXPECT_EQ(Current().iReportRate, 3);
    EXPECT_TRUE(TakeSave());
    m_link.OnInputEvent(kEventLightMode, 0);
    EXPECT_EQ(Current().iLightMode, 0);
    EXPECT_TRUE(TakeSave());
    EXPECT_EQ(m_view.m_reloads, 0) << "rate and lighting refresh no page";

    m_link.OnInputEvent(kEventProfile, 2);
    EXPECT_EQ(m_settings->iCurProfile, 1);
    EXPECT_THAT(m_view.m_selectedProfiles, ElementsAre(1));
    EXPECT_EQ(m_view.m_reloads, 1);
    EXPECT_THAT(Posted(), ElementsAre(Message{kMsgProfileNotice, 0, 1}));
    EXPECT_TRUE(TakeSave());
}

TEST_F(DeviceLinkTest, InputEventsOutOfRangeChangeAndSaveNothing) {
    Start(true, false);
    Posted();
    const std::vector<std::uint8_t> before = test::BytesOf(*m_settings);
    for (const auto& [code, value] : {std::pair{kEventDpiLevel, 0u},
                                      {kEventDpiLevel, 9u},
                                      {kEventReportRate, 0u},
                                      {kEventReportRate, 9u},
                                      {kEventLightMode, 8u},
                                      {kEventProfile, 0u},
                                      {kEventProfile, 6u}}) {
        m_link.OnInputEvent(code, value);
    }
    EXPECT_EQ(test::BytesOf(*m_settings), before);
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_FALSE(TakeSave());
}

TEST_F(DeviceLinkTest, StatusReportSetsANewLevelShowsTheBatteryAndRestartsTheSleepTimer) {
    Start(true, false);
    Posted();
    m_link.OnInputEvent(kEventStatus, 0x37);
    EXPECT_EQ(Current().iCurDpiLevel, 2);
    EXPECT_THAT(m_view.m_markedLevels, ElementsAre(2));
    EXPECT_THAT(Posted(), ElementsAre(Message{kMsgDpiNotice, 0, Current().aiDpiValue[2]}));
    EXPECT_TRUE(TakeSave());
    EXPECT_EQ(m_link.BatteryBars(), 2);
    EXPECT_THAT(m_view.m_progress, ElementsAre(50));
    EXPECT_EQ(m_view.m_powerText, "50%");
    EXPECT_TRUE(m_timers.IsRunning(kTimerSleep));

    // The same level again is no change: no notice, no save.
    m_link.OnInputEvent(kEventStatus, 0xF7);
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_FALSE(TakeSave());
    EXPECT_EQ(m_view.m_powerText, "100%");
}

TEST_F(DeviceLinkTest, StatusReportOnTheCableTakesTheLevelButLeavesThePowerDisplay) {
    Start(true, true);
    m_link.OnInputEvent(kEventStatus, 0x37);
    EXPECT_EQ(Current().iCurDpiLevel, 2);
    EXPECT_TRUE(TakeSave());
    EXPECT_EQ(m_link.BatteryBars(), 0);
    EXPECT_EQ(m_view.m_powerText, "id:charging_text");
    EXPECT_FALSE(m_timers.IsRunning(kTimerSleep));
}

TEST_F(DeviceLinkTest, StatusNibblesOutsideTheRunsChangeNoLevelAndCountAsOneBar) {
    Start(true, false);
    Posted();
    for (const std::uint32_t status : {0x35u, 0x30u, 0x32u, 0x3Eu}) {
        m_link.OnInputEvent(kEventStatus, status);
        EXPECT_EQ(Current().iCurDpiLevel, 1) << status;
    }
    EXPECT_THAT(Posted(), IsEmpty());
    const std::pair<std::uint32_t, int> kBattery[] = {{0x1, 1}, {0x3, 2}, {0x7, 3}, {0xF, 4},
                                                      {0x0, 1}, {0x5, 1}, {0x8, 1}};
    for (const auto& [highNibble, bars] : kBattery) {
        m_link.OnInputEvent(kEventStatus, highNibble << 4 | 0x2);
        EXPECT_EQ(m_view.m_powerText, std::to_string(bars * 25) + "%") << highNibble;
    }
    EXPECT_FALSE(TakeSave());
}

TEST_F(DeviceLinkTest, EventsOnAHostileRecordStayInsideIt) {
    m_settings->iCurProfile = 1000;
    m_settings->Profiles[4].iCurDpiLevel = -7;
    Start(true, false);
    m_link.OnInputEvent(kEventStatus, 0x11);
    EXPECT_EQ(m_settings->Profiles[4].iCurDpiLevel, 0);
    m_link.OnInputEvent(kEventDpiLevel, 8);
    EXPECT_EQ(m_settings->Profiles[4].iCurDpiLevel, 7);
}

TEST_F(DeviceLinkTest, ChargeAnimationSweepsTheBarEvery30Milliseconds) {
    Start(false, true);
    RunFor(52 * 30ms);
    ASSERT_EQ(m_view.m_progress.size(), 52u);
    for (std::size_t i = 0; i <= 50; ++i) {
        EXPECT_EQ(m_view.m_progress[i], static_cast<int>(2 * i));
    }
    EXPECT_EQ(m_view.m_progress.back(), 0) << "after 100 the sweep starts again";

    m_link.OnCableEvent(kRemoval);
    m_view.m_progress.clear();
    RunFor(1000ms);
    EXPECT_THAT(m_view.m_progress, IsEmpty());
    m_link.OnCableEvent(kArrival);
    RunFor(1000ms + 60ms);
    EXPECT_THAT(m_view.m_progress, ElementsAre(0, 2)) << "a new cable starts the sweep over";
}

TEST_F(DeviceLinkTest, ThreeSecondsWithoutAStatusReportPutTheWirelessMouseToSleep) {
    Start(true, false);
    m_link.OnInputEvent(kEventStatus, 0x32);
    RunFor(2999ms);
    m_link.OnInputEvent(kEventStatus, 0x32);
    RunFor(2999ms);
    EXPECT_EQ(m_link.Flags().m_bAsleep, 0);
    RunFor(1ms);
    EXPECT_EQ(m_link.Flags().m_bAsleep, 1);
    EXPECT_EQ(m_view.m_sleepLabelShown, true);
    EXPECT_FALSE(m_timers.IsRunning(kTimerSleep));

    // On the cable the timer that was running changes nothing.
    m_link.OnInputEvent(kEventStatus, 0x32);
    m_link.OnCableEvent(kArrival);
    RunFor(3000ms);
    EXPECT_EQ(m_link.Flags().m_bAsleep, 0);
    EXPECT_FALSE(m_timers.IsRunning(kTimerSleep));
}

TEST_F(DeviceLinkTest, AFailedSaveKeepsTheChangeInMemory) {
    std::filesystem::create_directories(m_dir / "Data");
    std::ofstream(m_dir / "Data" / "ms_1") << "a file where the folder should be";
    Start(true, false);
    Posted();
    m_link.OnInputEvent(kEventDpiLevel, 4);
    EXPECT_EQ(Current().iCurDpiLevel, 3);
    EXPECT_THAT(Posted(), ElementsAre(Message{kMsgDpiNotice, 0, Current().aiDpiValue[3]}));
}

TEST_F(DeviceLinkTest, ShutdownClosesTheReceiverThenTheCableOnceAndEndsAllHandling) {
    Start(false, false);
    m_link.OnReceiverEvent(kArrival);
    m_link.Shutdown();
    m_link.Shutdown();
    EXPECT_THAT(m_log, ElementsAre("receiver Close_FeatureDevice", "receiver Close_DevMonitor",
                                   "cable Close_FeatureDevice", "cable Close_DevMonitor"));
    m_log.clear();
    RunFor(2000ms);
    m_link.OnCableEvent(kArrival);
    m_link.OnInputEvent(kEventProfile, 3);
    EXPECT_THAT(m_log, IsEmpty()) << "a pending arrival opens nothing after shutdown";
    EXPECT_EQ(m_settings->iCurProfile, 0);
}

TEST_F(DeviceLinkTest, ALinkThatNeverStartedClosesNothing) {
    m_link.Shutdown();
    EXPECT_THAT(m_log, IsEmpty());
}

}  // namespace
}  // namespace veltrix
