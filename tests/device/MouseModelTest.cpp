#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "MouseModel.h"

namespace veltrix::emulator {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kReceiver = DeviceLinkKind::Receiver;
constexpr auto kCable = DeviceLinkKind::Cable;

Bytes Frame(std::uint8_t command, std::uint8_t length, std::uint8_t number) {
    Bytes frame(length, 0);
    frame[0] = command;
    frame[1] = length;
    frame[2] = number;
    return frame;
}

std::uint8_t EventValue(const std::optional<OutgoingReport>& report) {
    return report->bytes[2];
}

TEST(MouseModel, RefusesAndCountsBadFramesWithoutChangingAnything) {
    MouseModel mouse;
    const std::string blank = mouse.StateJson();
    Bytes wrongSize = Frame(0x0C, 4, 1);
    wrongSize.push_back(0);
    const std::vector<Bytes> bad = {
        {},
        {0x0C, 0x04},
        Frame(0x07, 4, 1),      // unknown command
        Frame(0x0C, 5, 1),      // length byte is not the commit report's
        wrongSize,              // frame longer than its length byte
        Frame(0x0C, 4, 0),      // profile 0
        Frame(0x04, 50, 6),     // profile 6
        Frame(0x09, 129, 0),    // macro slot 0
        Frame(0x09, 129, 121),  // macro slot beyond 5 x 24
    };
    for (const Bytes& frame : bad) {
        EXPECT_FALSE(mouse.ReceiveFeature(kReceiver, frame)) << frame.size();
    }
    EXPECT_EQ(mouse.BadFrameCount(), static_cast<int>(bad.size()));
    EXPECT_EQ(mouse.StateJson().substr(blank.find("\"profiles\"")),
              blank.substr(blank.find("\"profiles\"")));
    // Bad frames were received all the same: the log shows them.
    const std::string log = mouse.LogText();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), static_cast<long>(bad.size()));
    EXPECT_TRUE(mouse.ReceiveFeature(kReceiver, Frame(0x0C, 4, 5)));
    EXPECT_EQ(mouse.CurrentProfile(), 5);
}

TEST(MouseModel, ReportsProgramTheOnboardState) {
    MouseModel mouse;
    Bytes dpi = Frame(0x04, 50, 2);
    dpi[3] = 8;
    dpi[5] = 0x2F;
    dpi[6] = 0x04;
    dpi[8] = 4;
    dpi[15] = 115;
    dpi[24] = 3;
    dpi[25] = 0xFF;  // level 1 red
    dpi[48] = 0x80;  // level 8 blue
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, dpi));
    Bytes light = Frame(0x05, 13, 2);
    light[3] = 1;
    light[6] = 0x12;
    light[10] = 1;
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, light));
    Bytes rate = Frame(0x06, 9, 2);
    rate[3] = 4;
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, rate));
    Bytes buttons = Frame(0x08, 77, 2);
    buttons[3 + 3 * 23] = 0x11;
    buttons[5 + 3 * 23] = 7;
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, buttons));

    const OnboardProfile& profile = mouse.Profile(2);
    EXPECT_EQ(profile.dpi.slotCountX, 8);
    EXPECT_EQ(profile.dpi.enabledMask, 0x2F);
    EXPECT_EQ(profile.dpi.doublingMask, 0x04);
    EXPECT_EQ(profile.dpi.codes, (std::array<std::uint8_t, 8>{4, 0, 0, 0, 0, 0, 0, 115}));
    EXPECT_EQ(profile.dpi.currentLevel, 3);
    EXPECT_EQ(profile.dpi.colors[0].red, 0xFF);
    EXPECT_EQ(profile.dpi.colors[7].blue, 0x80);
    EXPECT_EQ(profile.lighting.mode, 1);
    EXPECT_EQ(profile.lighting.color.red, 0x12);
    EXPECT_EQ(profile.lighting.direction, 1);
    EXPECT_EQ(profile.rateCode, 4);
    EXPECT_EQ(profile.buttons[23], (std::array<std::uint8_t, 3>{0x11, 0, 7}));
    EXPECT_EQ(mouse.Profile(1).rateCode, 0);  // other profiles untouched

    Bytes macro = Frame(0x09, 129, 120);
    macro[7] = 2;
    macro[8] = 'A';
    macro[9] = 0xC4;
    macro[28] = 60;  // more pairs than the frame holds
    macro[29] = 0x80;
    macro[30] = 4;
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, macro));
    const OnboardMacro& stored = mouse.Macros().at(120);
    EXPECT_EQ(stored.repeatCount, 2);
    EXPECT_EQ(stored.name, "A\xC4");
    EXPECT_EQ(stored.pairCount, 60);
    ASSERT_EQ(stored.pairs.size(), 50u);
    EXPECT_EQ(stored.pairs[0], (std::array<std::uint8_t, 2>{0x80, 4}));
    EXPECT_NE(mouse.StateJson().find("\"name\": \"A\\u00c4\""), std::string::npos);
}

TEST(MouseModel, LogsEveryFrameAsHexLines) {
    MouseModel mouse;
    mouse.ReceiveFeature(kReceiver, Bytes{0x0C, 0x04, 0x01, 0x05});
    mouse.ReceiveFeature(kReceiver, Bytes{0xAB});
    EXPECT_EQ(mouse.LogText(), "0c 04 01 05\nab\n");
    mouse.ClearLog();
    EXPECT_EQ(mouse.LogText(), "");
}

TEST(MouseModel, HearsOnlyThroughAPluggedLinkAndOnTheReceiverOnlyAwake) {
    MouseModel mouse;
    const Bytes commit = Frame(0x0C, 4, 2);
    EXPECT_FALSE(mouse.ReceiveFeature(kCable, commit));  // the cable starts out
    mouse.Sleep();
    EXPECT_FALSE(mouse.ReceiveFeature(kReceiver, commit));
    EXPECT_EQ(mouse.LogText(), "");
    EXPECT_FALSE(mouse.StatusReport());

    EXPECT_TRUE(mouse.Plug(kCable));
    EXPECT_FALSE(mouse.Plug(kCable));
    EXPECT_TRUE(mouse.IsAwake());  // powered by the cable
    EXPECT_TRUE(mouse.ReceiveFeature(kCable, commit));
    EXPECT_TRUE(mouse.Unplug(kReceiver));
    EXPECT_FALSE(mouse.Unplug(kReceiver));
    EXPECT_FALSE(mouse.ReceiveFeature(kReceiver, commit));
    EXPECT_EQ(mouse.CurrentProfile(), 2);
}

TEST(MouseModel, ButtonsMoveTheOnboardStateAndTellTheHost) {
    MouseModel mouse;
    Bytes dpi = Frame(0x04, 50, 1);
    dpi[5] = 0b00100101;  // levels 1, 3 and 6
    dpi[24] = 1;
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, dpi));
    mouse.Sleep();
    auto report = mouse.PressDpiButton();
    ASSERT_TRUE(report);
    EXPECT_TRUE(mouse.IsAwake());  // a press wakes the mouse
    EXPECT_EQ(report->link, kReceiver);
    EXPECT_EQ(report->bytes,
              (std::array<std::uint8_t, 8>{VELTRIX_INPUT_REPORT_ID, 0x10, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(EventValue(mouse.PressDpiButton()), 6);
    EXPECT_EQ(EventValue(mouse.PressDpiButton()), 1);  // wraps
    EXPECT_EQ(mouse.Profile(1).dpi.currentLevel, 1);

    // A stored level out of range starts the cycle over; no enabled level means no change.
    dpi[5] = 0x0F;
    dpi[24] = 0;
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, dpi));
    EXPECT_EQ(EventValue(mouse.PressDpiButton()), 1);
    dpi[5] = 0;
    ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, dpi));
    EXPECT_FALSE(mouse.PressDpiButton());

    mouse.Plug(kCable);
    report = mouse.PressProfileButton();
    EXPECT_EQ(report->link, kCable);  // input goes through the cable while it is in
    EXPECT_EQ(report->bytes[1], 0x80);
    EXPECT_EQ(EventValue(report), 2);
    for (int press = 0; press < 3; ++press) {
        mouse.PressProfileButton();
    }
    EXPECT_EQ(EventValue(mouse.PressProfileButton()), 1);  // 5 wraps to 1

    mouse.Unplug(kCable);
    mouse.Unplug(kReceiver);
    EXPECT_FALSE(mouse.PressProfileButton());  // nothing to tell it through
    EXPECT_EQ(mouse.CurrentProfile(), 2);
}

TEST(MouseModel, StatusTellsLevelAndBatteryThroughTheReceiver) {
    MouseModel mouse;
    auto status = mouse.StatusReport();
    ASSERT_TRUE(status);
    EXPECT_EQ(status->link, kReceiver);
    EXPECT_EQ(status->bytes[1], 0x40);
    EXPECT_EQ(status->bytes[2], 0x71);  // 3 bars, level 1
    mouse.SetBatteryBars(4);
    mouse.PressDpiButton();
    mouse.PressDpiButton();
    EXPECT_EQ(mouse.StatusReport()->bytes[2], 0xF7);  // 4 bars, level 3
    mouse.Plug(kCable);
    EXPECT_EQ(mouse.StatusReport()->link, kReceiver);
    mouse.Sleep();
    EXPECT_FALSE(mouse.StatusReport());
}

}  // namespace
}  // namespace veltrix::emulator
