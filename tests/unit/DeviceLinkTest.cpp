#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageFakes.h"
#include "device/DeviceLink.h"
#include "platform/TimerSchedule.h"
#include "profile/ProfileDefaults.h"
#include "support/ByteImage.h"
#include "support/RecordingDriverLink.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint32_t Event(std::uint32_t code, std::uint32_t value) {
    return code << 16 | value;
}
constexpr std::uint32_t kArrival = Event(kEventLinkChange, kLinkArrival);
constexpr std::uint32_t kRemoval = Event(kEventLinkChange, kLinkRemoval);
const Message kPresenceChanged{kMsgPresenceChanged, 0, 0};

// The link over two recording drivers; the fixture is the screen it leaves, with the page's
// timers on a virtual clock.
class DeviceLinkTest : public ::testing::Test, public DeviceLinkView {
  public:
    void ShowSleepLabel(bool shown) override { m_sleepLabelShown = shown; }
    void SetPowerTextId(std::string_view id) override { m_powerText = "id:" + std::string(id); }
    void SetPowerText(std::string_view text) override { m_powerText = text; }
    void SetPowerProgress(int value) override { m_progress.push_back(value); }
    void StartTimer(int id, std::chrono::milliseconds period) override {
        m_timers.Start(id, period);
    }
    void StopTimer(int id) override { m_timers.Stop(id); }
    void MarkDpiLevel(int level) override { m_pages.push_back("mark " + std::to_string(level)); }
    void SelectProfileButtonSilently(int profile) override {
        m_pages.push_back("select " + std::to_string(profile));
    }
    void ReloadPages() override { m_pages.push_back("reload"); }
    void ShowBatteryState(BatteryState state) override {
        m_battery.push_back(state.charging ? "charging" : std::to_string(state.bars));
    }
    void WarnLowBattery() override { m_battery.push_back("warn"); }

  protected:
    // Starts the link with the devices that answer; returns what it posted and forgets its calls.
    std::vector<Message> Start(bool receiver, bool cable) {
        m_receiver.m_iOpenResult = receiver ? 1 : 0;
        m_cable.m_iOpenResult = cable ? 1 : 0;
        m_link.StartDeviceLink();
        m_log.clear();
        return Posted();
    }

    void RunFor(std::chrono::milliseconds duration) { RunFor(m_link, duration); }
    void RunFor(DeviceLink& link, std::chrono::milliseconds duration) {
        test::RunTimers(m_clock, m_timers, link, duration);
    }
    std::vector<Message> Posted() { return test::Drain(m_window); }

    // Whether the mouse takes requests; the sleep label must agree.
    bool Awake() {
        EXPECT_EQ(m_sleepLabelShown, m_link.Flags().m_bAsleep == 1);
        return m_link.Flags().AcceptsRequests();
    }

    // Whether the record was saved since the last call, exactly as it stands now.
    bool TakeSave() {
        EXPECT_TRUE(m_saved.empty() || m_saved == test::BytesOf(*m_settings)) << "an older record";
        return !std::exchange(m_saved, {}).empty();
    }

    ProfileData& Current() { return m_settings->Profiles[0]; }
    Message DpiNotice(std::size_t level) { return {kMsgDpiNotice, 0, Current().aiDpiValue[level]}; }

    std::optional<bool> m_sleepLabelShown;
    std::string m_powerText;
    std::vector<int> m_progress;
    std::vector<std::string> m_pages;    // what the DPI, profile and other pages were told
    std::vector<std::string> m_battery;  // battery states and warnings the desktop was given
    std::vector<std::uint8_t> m_saved;   // the record as last saved

    test::RecordingDriverLink::Log m_log;
    test::RecordingDriverLink m_receiver{"receiver", m_log};
    test::RecordingDriverLink m_cable{"cable", m_log};
    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    test::ManualClock m_clock;
    TimerSchedule m_timers{m_clock};
    MessageQueue m_window;
    RecordSaver m_saver = [this](const ProfileSettings& saved) { m_saved = test::BytesOf(saved); };
    DeviceLink m_link{m_receiver, m_cable, *m_settings, *this, m_window.Handle(), m_saver};
};

TEST_F(DeviceLinkTest, StartUpOpensTheCableThenTheReceiverAndTheCableCharges) {
    m_receiver.m_iOpenResult = 1;
    m_cable.m_iOpenResult = 1;
    m_link.StartDeviceLink();
    EXPECT_THAT(m_log,
                ElementsAre("cable Set_VIDPID 1d57 fa61", "cable Open_DevMonitor 1331 1332",
                            "cable Open_FeatureDevice", "receiver Set_VIDPID 1d57 fa60",
                            "receiver Open_DevMonitor 1329 1330", "receiver Open_FeatureDevice"));
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
    EXPECT_EQ(m_link.Flags().m_iReceiverState, kLinkPresent);
    EXPECT_TRUE(Awake());
    EXPECT_EQ(m_powerText, "id:charging_text");
    RunFor(27 * kChargeAnimationPeriod);
    ASSERT_EQ(m_progress.size(), 27u);
    for (std::size_t i = 0; i <= 25; ++i) {
        EXPECT_EQ(m_progress[i], static_cast<int>(4 * i));
    }
    EXPECT_EQ(m_progress.back(), 0) << "after 100 the sweep starts again";
    // Nobody sees the bar (the window hid or was minimised): no timer at all until it shows.
    m_link.SetPowerDisplayShown(false);
    EXPECT_FALSE(m_timers.IsRunning(kTimerChargeAnimation));
    m_link.SetPowerDisplayShown(true);
    EXPECT_TRUE(m_timers.IsRunning(kTimerChargeAnimation));

    // A status report still sets the level, but leaves the display and the sleep timer alone.
    m_link.OnInputEvent(kEventStatus, 0x37);
    EXPECT_EQ(Current().iCurDpiLevel, 2);
    EXPECT_TRUE(TakeSave());
    EXPECT_EQ(m_link.BatteryBars(), 0);
    EXPECT_EQ(m_powerText, "id:charging_text");
    EXPECT_FALSE(m_timers.IsRunning(kTimerSleep));
}

TEST_F(DeviceLinkTest, OverTheReceiverAloneTheMouseIsAwakeForThreeSecondsAfterAStatusReport) {
    EXPECT_THAT(Start(true, false), ElementsAre(kPresenceChanged));
    EXPECT_TRUE(m_link.Connected());
    EXPECT_FALSE(Awake()) << "asleep until the mouse reports";
    m_link.OnInputEvent(kEventStatus, 0x32);
    RunFor(2999ms);
    m_link.OnInputEvent(kEventStatus, 0x32);  // starts the three seconds over
    RunFor(2999ms);
    EXPECT_TRUE(Awake());
    RunFor(1ms);
    EXPECT_FALSE(Awake());
    EXPECT_FALSE(m_timers.IsRunning(kTimerSleep));

    // With the cable, the timer that was running changes nothing.
    m_link.OnInputEvent(kEventStatus, 0x32);
    m_link.OnCableEvent(kArrival);
    RunFor(3000ms);
    EXPECT_TRUE(Awake());
}

TEST_F(DeviceLinkTest, AnArrivalOpensTheDeviceOnceASecondLaterUnlessItLeftMeanwhile) {
    EXPECT_THAT(Start(false, false), IsEmpty());
    m_link.OnReceiverEvent(kRemoval);  // never present: a removal all the same
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
    m_link.OnReceiverEvent(kArrival);
    RunFor(600ms);
    m_link.OnReceiverEvent(kArrival);  // a repeat during the wait changes nothing
    RunFor(399ms);
    EXPECT_THAT(m_log, ElementsAre("receiver Close_FeatureDevice"));
    RunFor(1ms);
    EXPECT_EQ(m_link.Flags().m_iReceiverState, kLinkPresent);
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
    EXPECT_FALSE(Awake()) << "a receiver alone does not show the mouse awake";

    m_link.OnReceiverEvent(kArrival);
    EXPECT_FALSE(m_timers.IsRunning(kTimerReceiverArrival)) << "a present link is not reopened";
    m_link.OnReceiverEvent(kRemoval);
    m_link.OnReceiverEvent(kArrival);
    m_link.OnReceiverEvent(kRemoval);
    m_link.OnReceiverEvent(kRemoval);
    RunFor(2000ms);
    EXPECT_THAT(m_log, ElementsAre("receiver Close_FeatureDevice", "receiver Open_FeatureDevice",
                                   "receiver Close_FeatureDevice"))
        << "a device that came and went within the second is never opened";
    EXPECT_EQ(m_link.Flags().m_iReceiverState, kLinkRemoved);
    EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
}

TEST_F(DeviceLinkTest, WithBothLinksOnlyTheCableDecidesSleepAndNoChangeIsAnnounced) {
    Start(true, true);
    m_link.OnReceiverEvent(kRemoval);
    EXPECT_TRUE(Awake());
    m_link.OnReceiverEvent(kArrival);
    RunFor(1000ms);
    m_link.OnCableEvent(kRemoval);
    EXPECT_EQ(m_link.Flags().m_iCableState, kLinkRemoved);
    EXPECT_FALSE(Awake()) << "asleep although the receiver is there";
    EXPECT_EQ(m_powerText, "");

    // The charge animation stops with the cable and starts over from 0 with the next one.
    m_progress.clear();
    EXPECT_FALSE(m_timers.IsRunning(kTimerChargeAnimation));
    m_link.SetPowerDisplayShown(false);
    m_link.OnCableEvent(kArrival);
    RunFor(1000ms);
    EXPECT_FALSE(m_timers.IsRunning(kTimerChargeAnimation)) << "charging, but out of sight";
    m_link.SetPowerDisplayShown(true);
    RunFor(kChargeAnimationPeriod);
    EXPECT_THAT(m_progress, ElementsAre(0));
    EXPECT_EQ(m_link.Flags().m_iCableState, kLinkPresent);
    EXPECT_TRUE(Awake());
    EXPECT_EQ(m_powerText, "id:charging_text");
    EXPECT_THAT(m_log, ElementsAre("receiver Close_FeatureDevice", "receiver Open_FeatureDevice",
                                   "cable Close_FeatureDevice", "cable Open_FeatureDevice"));
    EXPECT_THAT(Posted(), IsEmpty());
}

// A link in its second of settling already counts for presence: when the other link leaves
// meanwhile, the window must not hide for that second and show again.
TEST_F(DeviceLinkTest, ALinkThatIsSettlingKeepsTheMouseConnectedWhenTheOtherLeaves) {
    for (const bool cableFirst : {true, false}) {
        SCOPED_TRACE(cableFirst ? "cable, then receiver" : "receiver, then cable");
        DeviceLink link{m_receiver, m_cable, *m_settings, *this, m_window.Handle(), m_saver};
        m_receiver.m_iOpenResult = cableFirst ? 1 : 0;
        m_cable.m_iOpenResult = cableFirst ? 0 : 1;
        link.StartDeviceLink();
        Posted();
        // X is the link that arrives first, Y the one present at the start.
        const auto x = [&](std::uint32_t event) {
            cableFirst ? link.OnCableEvent(event) : link.OnReceiverEvent(event);
        };
        const auto y = [&](std::uint32_t event) {
            cableFirst ? link.OnReceiverEvent(event) : link.OnCableEvent(event);
        };

        x(kArrival);
        RunFor(link, 500ms);
        y(kRemoval);
        EXPECT_THAT(Posted(), IsEmpty());
        EXPECT_TRUE(link.Connected());
        RunFor(link, 500ms);
        EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
        EXPECT_TRUE(link.Connected());

        // A settling link that leaves before its second is out takes the presence with it, once.
        y(kArrival);
        x(kRemoval);
        EXPECT_THAT(Posted(), IsEmpty());
        y(kRemoval);
        y(kRemoval);
        RunFor(link, 1000ms);
        EXPECT_THAT(Posted(), ElementsAre(kPresenceChanged));
        EXPECT_FALSE(link.Connected());
        link.Shutdown();
    }
}

TEST_F(DeviceLinkTest, InputEventsUpdateTheCurrentProfileAndSaveIt) {
    Start(true, false);
    // Only the low 16 bits of lParam carry the value.
    EXPECT_TRUE(m_link.OnDriverMessage({kMsgReceiverEvent, kEventDpiLevel, 0x50003}));
    EXPECT_EQ(Current().iCurDpiLevel, 2);
    EXPECT_THAT(Posted(), ElementsAre(DpiNotice(2)));
    EXPECT_TRUE(TakeSave());
    m_link.OnInputEvent(kEventReportRate, 3);  // stored as it comes
    EXPECT_EQ(Current().iReportRate, 3);
    EXPECT_TRUE(TakeSave());
    m_link.OnInputEvent(kEventLightMode, 0);
    EXPECT_EQ(Current().iLightMode, 0);
    EXPECT_TRUE(TakeSave());
    EXPECT_THAT(m_pages, ElementsAre("mark 2")) << "rate and lighting refresh no page";

    m_link.OnInputEvent(kEventProfile, 2);
    EXPECT_EQ(m_settings->iCurProfile, 1);
    EXPECT_THAT(m_pages, ElementsAre("mark 2", "select 1", "reload"));
    EXPECT_THAT(Posted(), ElementsAre(Message{kMsgProfileNotice, 0, 1}));
    EXPECT_TRUE(TakeSave());
}

TEST_F(DeviceLinkTest, OddLinkMessagesAndOutOfRangeEventsChangeNothing) {
    Start(true, false);
    EXPECT_TRUE(m_link.OnDriverMessage({kMsgCableLink, 5, 0}));
    EXPECT_FALSE(m_timers.IsRunning(kTimerCableArrival));
    EXPECT_TRUE(m_link.OnDriverMessage({kMsgCableLink, 1, 0}));
    EXPECT_TRUE(m_timers.IsRunning(kTimerCableArrival));

    const std::vector<std::uint8_t> before = test::BytesOf(*m_settings);
    const std::uint32_t kIgnored[] = {Event(kEventLinkChange, 0), Event(kEventLinkChange, 3),
                                      Event(0x3000, 1),           Event(kEventDpiLevel, 0),
                                      Event(kEventDpiLevel, 9),   Event(kEventReportRate, 0),
                                      Event(kEventReportRate, 9), Event(kEventLightMode, 8),
                                      Event(kEventProfile, 0),    Event(kEventProfile, 6)};
    for (const std::uint32_t event : kIgnored) {
        m_link.OnReceiverEvent(event);
        m_link.OnCableEvent(event);
    }
    EXPECT_EQ(test::BytesOf(*m_settings), before);
    EXPECT_THAT(m_log, IsEmpty());
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_FALSE(TakeSave());
}

TEST_F(DeviceLinkTest, AStatusReportGivesLevelAndBatteryAsRunsOfSetBits) {
    Start(true, false);
    // {status, level, power, saved}: a level is marked, announced and saved only when it changes.
    // A low nibble that is no run of set bits names no level; a high one shows one bar.
    const std::tuple<std::uint32_t, int, const char*, bool> kReports[] = {
        {0x37, 2, "50%", true},  {0xF7, 2, "100%", false}, {0x11, 0, "25%", true},
        {0x73, 1, "75%", true},  {0x05, 1, "25%", false},  {0x50, 1, "25%", false},
        {0x82, 1, "25%", false}, {0x3E, 1, "50%", false}};
    for (const auto& [status, level, power, saved] : kReports) {
        m_link.OnInputEvent(kEventStatus, status);
        EXPECT_EQ(Current().iCurDpiLevel, level) << status;
        EXPECT_EQ(m_powerText, power) << status;
        EXPECT_EQ(TakeSave(), saved) << status;
    }
    EXPECT_THAT(m_pages, ElementsAre("mark 2", "mark 0", "mark 1"));
    EXPECT_THAT(Posted(), ElementsAre(DpiNotice(2), DpiNotice(0), DpiNotice(1)));
    EXPECT_THAT(m_progress, ElementsAre(50, 100, 25, 75, 25, 25, 25, 50));
    EXPECT_EQ(m_link.BatteryBars(), 2);
    EXPECT_TRUE(m_timers.IsRunning(kTimerSleep));
}

TEST_F(DeviceLinkTest, TheLastBarIsToldOncePerDischargeAndAgainOnlyAfterACharge) {
    Start(true, false);
    // Bars as the high nibble's run of set bits: 0x7 three, 0x3 two, 0x1 one, 0xF four.
    for (std::uint32_t bars : {0x7u, 0x3u, 0x1u, 0x1u, 0x3u, 0x1u, 0x1u}) {
        m_link.OnInputEvent(kEventStatus, bars << 4 | 1);
    }
    EXPECT_THAT(m_battery, ElementsAre("3", "2", "1", "warn", "2", "1"))
        << "one bar up and down again is no charge";
    m_battery.clear();

    for (std::uint32_t bars : {0xFu, 0x1u, 0x1u}) {
        m_link.OnInputEvent(kEventStatus, bars << 4 | 1);
    }
    EXPECT_THAT(m_battery, ElementsAre("4", "1", "warn"));
    m_battery.clear();

    // On the cable it charges; off it, nothing is known until the next report, which warns again.
    m_link.OnCableEvent(kArrival);
    RunFor(kArrivalSettleTime);
    m_link.OnInputEvent(kEventStatus, 0x11);
    m_link.OnCableEvent(kRemoval);
    m_link.OnInputEvent(kEventStatus, 0x11);
    EXPECT_THAT(m_battery, ElementsAre("charging", "0", "1", "warn"));
    m_battery.clear();

    // A mouse that is gone has no battery to show.
    m_link.OnReceiverEvent(kRemoval);
    EXPECT_THAT(m_battery, ElementsAre("0"));
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

}  // namespace
}  // namespace veltrix
