#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "pages/ButtonFunctions.h"
#include "platform/Messages.h"
#include "profile/ProfileDefaults.h"
#include "support/ByteImage.h"
#include "support/ManualClock.h"
#include "support/ReportSummary.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using test::ReportSummary;

class ReportSenderTest : public ::testing::Test {
  protected:
    ReportSenderTest() {
        m_flags.m_iReceiverState = kLinkPresent;
        m_flags.m_bAsleep = 0;
        m_settings->iCurProfile = 2;
    }

    std::vector<SentReport> Send(std::uintptr_t wParam, std::intptr_t lParam) {
        RecordingTransport transport;
        ReportSender sender(transport, m_flags, m_clock);
        sender.SendRequest(*m_settings, wParam, lParam);
        return transport.Sent();
    }

    void MakeMacroButton(int profile, int button) {
        ButtonEntry& entry = m_settings->Profiles[static_cast<std::size_t>(profile)]
                                 .aButton[static_cast<std::size_t>(button)];
        entry.byFuncCode = kFuncMacro;
        entry.wMacroActionCount = 1;
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
        {0, 1, "D1 L1 R1 D2 L2 R2 D3 L3 R3 D4 L4 R4 D5 L5 R5 M1 M2 B1 B2 B3 B4 B5 C3"},
        {0, 2, "D3 L3 R3 M1 M2 B1 B2 B3 B4 B5 C3"},  // areas of the current profile only
        {0, 0, "C3"},
        {0, 3, "C3"},
        {1, 0, "M1 M2 B1 B2 B3 B4 B5 C3"},
        {1, 77, "M1 M2 B1 B2 B3 B4 B5 C3"},
        {2, 4, "D5 C3"},
        {3, 0, "L1 C3"},
        {4, 1, "R2 C3"},
        {5, 0, "C3"},
        {99, 2, "C3"},
        {2, 9, "D5 C3"},  // a profile index outside 0 to 4 is the nearest profile
        {3, -1, "L1 C3"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReportSummary(Send(row.wParam, row.lParam)), row.reports)
            << row.wParam << ", " << row.lParam;
    }
}

TEST_F(ReportSenderTest, MacroSlotsNumberOnAcrossProfilesAndStartAgainEachUpload) {
    MakeMacroButton(0, 2);
    MakeMacroButton(0, 5);
    MakeMacroButton(1, 0);
    MakeMacroButton(1, 11);
    ButtonEntry& key = m_settings->Profiles[2].aButton[1];  // a profile without macros
    key.byFuncCode = kFuncKeyboardKey;
    key.byKeyModifiers = 0x05;
    key.byKeyCode = 0x1E;

    RecordingTransport transport;
    ReportSender sender(transport, m_flags, m_clock);
    sender.SendRequest(*m_settings, kApplyButtons, 0);
    std::vector<SentReport> sent = transport.Sent();
    ASSERT_EQ(ReportSummary(sent), "M1 M2 M3 M4 B1 B2 B3 B4 B5 C3");
    const auto triple = [](const SentReport& report, std::size_t button) {
        return test::HexText(std::span(report.bytes).subspan(3 + 3 * button, 3));
    };
    EXPECT_EQ(triple(sent[4], 2), "12 00 01");
    EXPECT_EQ(triple(sent[4], 5), "12 00 02");
    EXPECT_EQ(triple(sent[5], 0), "12 00 03");
    EXPECT_EQ(triple(sent[5], 11), "12 00 04");
    EXPECT_EQ(triple(sent[6], 1), "11 05 1e");
    EXPECT_EQ(sender.MacroSlots()[1][11], 4);

    // The next upload numbers from 1 again and forgets the buttons that lost their macro.
    m_settings->Profiles[0].aButton[2].byFuncCode = 1;
    sender.SendRequest(*m_settings, kApplyButtons, 0);
    sent = transport.Sent();
    sent.erase(sent.begin(), sent.begin() + 10);
    ASSERT_EQ(ReportSummary(sent), "M1 M2 M3 B1 B2 B3 B4 B5 C3");
    EXPECT_EQ(triple(sent[3], 2), "02 00 00");
    EXPECT_EQ(triple(sent[3], 5), "12 00 01");
    EXPECT_EQ(triple(sent[4], 11), "12 00 03");
    EXPECT_EQ(sender.MacroSlots()[0][2], 0);
}

TEST_F(ReportSenderTest, CableWhenItIsPresentElseReceiverAndAPauseAfterEachReport) {
    const struct {
        int receiver;
        int cable;
        DeviceLinkKind link;
    } cases[] = {
        {kLinkPresent, kLinkPresent, DeviceLinkKind::Cable},
        {kLinkPresent, kLinkRemoved, DeviceLinkKind::Receiver},
    };
    for (const auto& c : cases) {
        m_flags.m_iReceiverState = c.receiver;
        m_flags.m_iCableState = c.cable;
        for (const SentReport& report : Send(kApplyDpi, 0)) {
            EXPECT_EQ(report.link, c.link) << c.receiver << ", " << c.cable;
        }
    }
    EXPECT_EQ(m_clock.Sleeps(), std::vector<std::chrono::nanoseconds>(4, 400ms));
}

}  // namespace
}  // namespace veltrix
