#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include <gtest/gtest.h>

#include "device/ApplyWorker.h"
#include "device/RecordingTransport.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "support/ManualClock.h"
#include "support/ReportSummary.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using test::ReportSummary;

const Message kStarted{kMsgApplyStarted, 0, 0};
const Message kDone{kMsgApplyFinished, kApplyDone, 0};
const Message kDiscarded{kMsgApplyFinished, kApplyDiscarded, 0};

std::vector<Message> Repeated(std::initializer_list<Message> notices, int times) {
    std::vector<Message> all;
    for (int n = 0; n < times; ++n) {
        all.insert(all.end(), notices);
    }
    return all;
}

// Every test ends its worker before it looks: the destructor serves what is queued and joins, so
// all notices and reports are in by then.
class ApplyWorkerTest : public ::testing::Test {
  protected:
    ApplyWorkerTest() {
        m_flags.m_iReceiverState = kLinkPresent;
        m_flags.m_bAsleep = 0;
    }

    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    LinkFlags m_flags;
    test::ManualClock m_clock;
    MessageQueue m_window;  // the main window's end

    std::vector<Message> Notices() {
        std::vector<Message> notices;
        while (const std::optional<Message> notice = m_window.TryTake()) {
            notices.push_back(*notice);
        }
        return notices;
    }
};

TEST_F(ApplyWorkerTest, DiscardsWithoutALinkOrWhileAsleepAndStillReportsTheEnd) {
    const struct {
        int receiver;
        int cable;
        int asleep;
        bool served;
    } cases[] = {
        {kLinkAbsent, kLinkAbsent, 0, false},  {kLinkRemoved, kLinkRemoved, 0, false},
        {kLinkPresent, kLinkAbsent, 1, false},  // receiver found, no status report yet
        {kLinkAbsent, kLinkPresent, 1, false}, {kLinkPresent, kLinkAbsent, 0, true},
        {kLinkRemoved, kLinkPresent, 0, true},
    };
    m_settings->iCurProfile = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.receiver << ", " << c.cable << ", " << c.asleep);
        m_flags.m_iReceiverState = c.receiver;
        m_flags.m_iCableState = c.cable;
        m_flags.m_bAsleep = c.asleep;
        RecordingTransport transport;
        {
            ApplyWorker worker(transport, m_flags, m_clock, m_window.Handle());
            worker.Post(kApplyProfiles, 0, *m_settings);  // a profile button: the commit alone
        }
        if (c.served) {
            EXPECT_EQ(Notices(), (std::vector{kStarted, kDone}));
            EXPECT_EQ(ReportSummary(transport.Sent()), "C4");
        } else {
            EXPECT_EQ(Notices(), std::vector{kDiscarded});
            EXPECT_EQ(transport.Sent(), std::vector<SentReport>{});
        }
    }
}

TEST_F(ApplyWorkerTest, ServesABurstInOrderEachFromTheRecordAsItWasWhenPosted) {
    RecordingTransport transport;
    constexpr int kRequests = 40;
    std::string expected;
    {
        ApplyWorker worker(transport, m_flags, m_clock, m_window.Handle());
        for (int k = 0; k < kRequests; ++k) {
            const int profile = k % kProfileCount;
            m_settings->iCurProfile = profile;
            m_settings->Profiles[static_cast<std::size_t>(profile)].iDpiSlotCountX = k;
            worker.Post(kApplyDpi, profile, *m_settings);
            expected += " " + std::to_string(k) + " C" + std::to_string(profile + 1);
            // Edits that follow the request while the worker may be sending it.
            m_settings->iCurProfile = 4 - profile;
            for (ProfileData& edited : m_settings->Profiles) {
                edited.iDpiSlotCountX = 200;
            }
        }
    }
    EXPECT_EQ(Notices(), Repeated({kStarted, kDone}, kRequests));
    // Each DPI report shown by its slot count (byte 3), which numbers the request.
    std::string sent;
    for (const SentReport& report : transport.Sent()) {
        sent += " ";
        sent += report.bytes[0] == 0x04 ? std::to_string(report.bytes[3]) : ReportSummary({report});
    }
    EXPECT_EQ(sent, expected);
}

// Holds every report until the test opens it, so that requests pile up behind the first.
class GatedTransport : public RecordingTransport {
  public:
    int SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) override {
        std::unique_lock lock(m_mutex);
        m_opened.wait(lock, [this] { return m_open; });
        lock.unlock();
        return RecordingTransport::SetFeature(link, report);
    }
    void Open() {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_opened.notify_all();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};

TEST_F(ApplyWorkerTest, ShutdownServesTheQueuedRequestsAndReturns) {
    GatedTransport transport;
    {
        ApplyWorker worker(transport, m_flags, m_clock, m_window.Handle());
        worker.Post(kApplyProfiles, kApplyEveryProfile, *m_settings);
        for (int k = 0; k < 10; ++k) {
            worker.Post(kApplyRate, k % kProfileCount, *m_settings);
        }
        transport.Open();
    }
    EXPECT_EQ(Notices(), Repeated({kStarted, kDone}, 11));
    EXPECT_EQ(ReportSummary(transport.Sent()),
              "D1 L1 R1 D2 L2 R2 D3 L3 R3 D4 L4 R4 D5 L5 R5 B1 B2 B3 B4 B5 C1 "
              "R1 C1 R2 C1 R3 C1 R4 C1 R5 C1 R1 C1 R2 C1 R3 C1 R4 C1 R5 C1");
}

// Refuses DPI reports, as a library does whose device rejected them.
class DpiRejectingTransport : public RecordingTransport {
  public:
    int SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) override {
        RecordingTransport::SetFeature(link, report);
        return report[0] == 0x04 ? 0 : 1;
    }
};

TEST_F(ApplyWorkerTest, ARejectedReportSkipsItsPauseAndTheRequestStillCommits) {
    DpiRejectingTransport transport;
    {
        ApplyWorker worker(transport, m_flags, m_clock, m_window.Handle());
        worker.Post(kApplyDpi, 2, *m_settings);
    }
    EXPECT_EQ(Notices(), (std::vector{kStarted, kDone}));
    EXPECT_EQ(ReportSummary(transport.Sent()), "D3 C1");
    EXPECT_EQ(m_clock.Sleeps(), std::vector<std::chrono::nanoseconds>{400ms});
}

}  // namespace
}  // namespace veltrix
