#include <atomic>
#include <chrono>
#include <latch>
#include <memory>
#include <optional>
#include <tuple>

#include <gtest/gtest.h>

#include "device/ApplyWorker.h"
#include "device/RecordingTransport.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "support/ManualClock.h"
#include "support/ReportSummary.h"
#include "unit/PageFakes.h"

namespace veltrix {
namespace {

using test::ReportSummary;

const Message kStarted{kMsgApplyStarted, 0, 0};
const Message kDone{kMsgApplyFinished, kApplyDone, 0};
const Message kDiscarded{kMsgApplyFinished, kApplyDiscarded, 0};
const Message kStopped{kMsgWorkerStopped, 0, 0};

// Every test ends its worker before it looks: the destructor serves what is queued and joins, so
// all notices and reports are in by then.
class ApplyWorkerTest : public ::testing::Test {
  protected:
    std::vector<Message> Notices() { return test::Drain(m_window); }

    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    LinkFlags m_flags;
    test::ManualClock m_clock;
    MessageQueue m_window;  // the main window's end
};

TEST_F(ApplyWorkerTest, DiscardsWithoutALinkOrWhileAsleepAndStillReportsTheEnd) {
    const std::tuple<int, int, int, bool> cases[] = {
        {kLinkRemoved, kLinkRemoved, 0, false},
        {kLinkPresent, kLinkAbsent, 1, false},  // receiver found, no status report yet
        {kLinkAbsent, kLinkPresent, 1, false},
        {kLinkPresent, kLinkAbsent, 0, true},
        {kLinkRemoved, kLinkPresent, 0, true},
    };
    m_settings->iCurProfile = 3;
    for (const auto& [receiver, cable, asleep, served] : cases) {
        SCOPED_TRACE(testing::Message() << receiver << ", " << cable << ", " << asleep);
        m_flags.m_iReceiverState = receiver;
        m_flags.m_iCableState = cable;
        m_flags.m_bAsleep = asleep;
        RecordingTransport transport;
        ApplyWorker(transport, m_flags, m_clock, m_window.Handle())
            .Post(kApplyProfiles, 0, *m_settings);  // a profile button: the commit alone
        EXPECT_EQ(Notices(), served ? (std::vector{kStarted, kDone, kStopped})
                                    : (std::vector{kDiscarded, kStopped}));
        EXPECT_EQ(ReportSummary(transport.Sent()), served ? "C4" : "");
    }
}

// Holds every report until the test opens it, so that requests pile up behind the first.
class GatedTransport : public RecordingTransport {
  public:
    int SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) override {
        if (!m_bEntered.exchange(true)) {
            m_entered.count_down();
        }
        m_gate.wait();
        return RecordingTransport::SetFeature(link, report);
    }
    void Open() { m_gate.count_down(); }
    // Returns once the worker is inside its first report.
    void WaitEntered() { m_entered.wait(); }

  private:
    std::latch m_gate{1};
    std::latch m_entered{1};
    std::atomic<bool> m_bEntered{false};
};

TEST_F(ApplyWorkerTest, ServesEveryQueuedRequestInOrderFromTheRecordAsItWasWhenPosted) {
    m_flags.m_iReceiverState = kLinkPresent;
    m_flags.m_bAsleep = 0;
    GatedTransport transport;
    std::vector<Message> notices;
    std::string expected;
    {
        ApplyWorker worker(transport, m_flags, m_clock, m_window.Handle());
        for (int k = 0; k < 10; ++k) {
            const int profile = k % kProfileCount;
            m_settings->iCurProfile = profile;
            worker.Post(kApplyDpi, profile, *m_settings);
            m_settings->iCurProfile = 4 - profile;  // an edit that the request must not see
            const std::string number = std::to_string(profile + 1);
            expected += (k == 0 ? "D" : " D") + number + " C" + number;
            notices.insert(notices.end(), {kStarted, kDone});
        }
        transport.Open();  // the worker is still on the first: shutdown finds the rest queued
    }
    notices.push_back(kStopped);
    EXPECT_EQ(Notices(), notices);
    EXPECT_EQ(ReportSummary(transport.Sent()), expected);
}

// Quitting: what was asked before is still sent, but never for longer than the limit, and the
// window hears when the worker has ended. Virtual time: 0.4 s per accepted report.
TEST_F(ApplyWorkerTest, QuittingSendsWhatIsQueuedWithinTheLimitThenReportsTheEnd) {
    struct Case {
        std::chrono::milliseconds limit;
        std::optional<std::chrono::milliseconds> secondQuit;
        std::size_t sent;  // the full request is 21 reports, the DPI request 2
    };
    const Case cases[] = {
        {kQuitSendLimit, std::nullopt, 23},
        {std::chrono::milliseconds(2000), std::nullopt, 5},  // t = 0, 0.4, ... 1.6 s
        {kQuitSendLimit, std::chrono::milliseconds(0), 1},   // only the report in flight
        {std::chrono::milliseconds(0), kQuitSendLimit, 1},   // a later quit never extends it
    };
    m_flags.m_iReceiverState = kLinkPresent;
    m_flags.m_bAsleep = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.limit.count() << " ms");
        GatedTransport transport;
        {
            ApplyWorker worker(transport, m_flags, m_clock, m_window.Handle());
            worker.Post(kApplyProfiles, kApplyEveryProfile, *m_settings);
            worker.Post(kApplyDpi, 0, *m_settings);
            transport.WaitEntered();
            worker.Finish(c.limit);
            if (c.secondQuit) {
                worker.Finish(*c.secondQuit);
            }
            worker.Post(kApplyRate, 0, *m_settings);  // after the end: never sent
            transport.Open();
            // The end is reported without the destructor's help.
            std::optional<Message> notice;
            do {
                notice = m_window.WaitFor(std::chrono::seconds(20));
            } while (notice && notice->id != kMsgWorkerStopped);
            EXPECT_TRUE(notice.has_value());
        }
        EXPECT_EQ(transport.Sent().size(), c.sent);
        EXPECT_EQ(Notices(), std::vector<Message>{});
    }
}

}  // namespace
}  // namespace veltrix
