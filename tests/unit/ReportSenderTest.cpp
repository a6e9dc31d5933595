#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "support/ManualClock.h"
#include "support/ReportSummary.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using test::ReportSummary;

class ReportSenderTest : public ::testing::Test {
  protected:
    ReportSenderTest() { m_settings->iCurProfile = 3; }

    void MakeMacroButton(std::size_t profile, std::size_t button) {
        m_settings->Profiles[profile].aButton[button].byFuncCode = kFuncMacro;
    }

    std::unique_ptr<ProfileSettings> m_settings =
        std::make_unique<ProfileSettings>(DefaultProfileSettings());
    LinkFlags m_flags;
    test::ManualClock m_clock;
};

TEST_F(ReportSenderTest, RequestTableRowByRowWithTheCommitLast) {
    MakeMacroButton(0, 3);
    MakeMacroButton(3, 0);
    const struct {
        std::uintptr_t wParam;
        std::intptr_t lParam;
        const char* reports;
    } rows[] = {
        {0, 1, "D1 L1 R1 D2 L2 R2 D3 L3 R3 D4 L4 R4 D5 L5 R5 M1 M2 B1 B2 B3 B4 B5 C4"},
        {0, 2, "D4 L4 R4 M1 M2 B1 B2 B3 B4 B5 C4"},  // areas of the current profile only
        {0, 0, "C4"},
        {1, 77, "M1 M2 B1 B2 B3 B4 B5 C4"},
        {2, 9, "D5 C4"},  // a profile index outside 0 to 4 is the nearest profile
        {3, -1, "L1 C4"},
        {4, 1, "R2 C4"},
        {5, 0, "C4"},
    };
    for (const auto& row : rows) {
        RecordingTransport transport;
        ReportSender(transport, m_flags, m_clock).SendRequest(*m_settings, row.wParam, row.lParam);
        EXPECT_EQ(ReportSummary(transport.Sent()), row.reports) << row.wParam << ", " << row.lParam;
    }
}

TEST_F(ReportSenderTest, MacroSlotsNumberOnAcrossProfilesAndStartAgainEachUpload) {
    MakeMacroButton(0, 2);
    MakeMacroButton(0, 5);
    MakeMacroButton(1, 0);
    MakeMacroButton(1, 11);
    RecordingTransport transport;
    ReportSender sender(transport, m_flags, m_clock);
    sender.SendRequest(*m_settings, kApplyButtons, 0);
    EXPECT_EQ(ReportSummary(transport.Sent()), "M1 M2 M3 M4 B1 B2 B3 B4 B5 C4");

    // The next upload numbers from 1 again, forgets the button that lost its macro, and its
    // button reports name the new numbers.
    m_settings->Profiles[0].aButton[2].byFuncCode = 1;
    sender.SendRequest(*m_settings, kApplyButtons, 0);
    const std::vector<SentReport> sent = transport.Sent();
    EXPECT_EQ(ReportSummary({sent.begin() + 10, sent.end()}), "M1 M2 M3 B1 B2 B3 B4 B5 C4");
    EXPECT_EQ(sender.MacroSlots()[0][2], 0);
    EXPECT_EQ(sender.MacroSlots()[1][11], 3);
    EXPECT_EQ(sent[13].bytes[3 + 3 * 5 + 2], 1) << "button 5 of the first profile";
}

// Refuses DPI reports, as a driver does whose device rejected them.
class DpiRejectingTransport : public RecordingTransport {
  public:
    int SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) override {
        RecordingTransport::SetFeature(link, report);
        return report[0] == kDpiReportCommand ? 0 : 1;
    }
};

TEST_F(ReportSenderTest, CableWhenPresentElseReceiverAndAPauseOnlyAfterAnAcceptedReport) {
    m_flags.m_iReceiverState = kLinkPresent;
    for (const int cable : {kLinkPresent, kLinkRemoved}) {
        m_flags.m_iCableState = cable;
        DpiRejectingTransport transport;
        EXPECT_EQ(ReportSender(transport, m_flags, m_clock).SendRequest(*m_settings, kApplyDpi, 0),
                  1)
            << "one report not taken";
        const std::vector<SentReport> sent = transport.Sent();
        EXPECT_EQ(ReportSummary(sent), "D1 C4") << "a rejected report does not stop the request";
        for (const SentReport& report : sent) {
            EXPECT_EQ(report.link,
                      cable == kLinkPresent ? DeviceLinkKind::Cable : DeviceLinkKind::Receiver);
        }
    }
    EXPECT_EQ(m_clock.Sleeps(), std::vector<std::chrono::nanoseconds>(2, 400ms));
}

}  // namespace
}  // namespace veltrix
