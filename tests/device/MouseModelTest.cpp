#include <vector>

#include <gtest/gtest.h>

#include "MouseModel.h"

namespace veltrix::emulator {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kReceiver = DeviceLinkKind::Receiver;
constexpr auto kCable = DeviceLinkKind::Cable;

// A frame: command, length byte, profile or slot number, then the given bytes at their offsets.
Bytes Frame(std::uint8_t command, std::uint8_t length, std::uint8_t number,
            std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes = {}) {
    Bytes frame(length, 0);
    frame[0] = command;
    frame[1] = length;
    frame[2] = number;
    for (const auto& [at, value] : bytes) {
        frame[at] = value;
    }
    return frame;
}

std::uint8_t EventValue(const std::optional<OutgoingReport>& report) {
    return report->bytes[2];
}

TEST(MouseModel, RefusesAndCountsBadFramesWithoutChangingAnything) {
    MouseModel mouse;
    const std::string blank = mouse.StateJson();
    Bytes tooLong = Frame(0x0C, 4, 1);
    tooLong.push_back(0);
    // Empty, too short, an unknown command, a length byte not the report's, a frame longer than
    // its length byte, profiles 0 and 6, macro slots 0 and beyond 5 x 24.
    const std::vector<Bytes> bad = {
        Bytes{},           Bytes{0x0C, 0x04},  Frame(0x07, 4, 1),   Frame(0x0C, 5, 1),    tooLong,
        Frame(0x0C, 4, 0), Frame(0x04, 50, 6), Frame(0x09, 129, 0), Frame(0x09, 129, 121)};
    for (const Bytes& frame : bad) {
        EXPECT_FALSE(mouse.ReceiveFeature(kReceiver, frame)) << frame.size();
    }
    EXPECT_EQ(mouse.BadFrameCount(), static_cast<int>(bad.size()));
    const std::size_t profiles = blank.find("\"profiles\"");
    EXPECT_EQ(mouse.StateJson().substr(profiles), blank.substr(profiles));
    EXPECT_TRUE(mouse.ReceiveFeature(kReceiver, Frame(0x0C, 4, 5)));
    EXPECT_EQ(mouse.CurrentProfile(), 5);
}

TEST(MouseModel, ReportsProgramTheOnboardState) {
    MouseModel mouse;
    for (const Bytes& frame :
         {Frame(0x04, 50, 2, {{5, 0x2F}, {8, 4}, {15, 115}, {24, 3}, {48, 8}}),
          Frame(0x05, 13, 2, {{6, 0x12}, {10, 1}}), Frame(0x06, 9, 2, {{3, 4}}),
          Frame(0x08, 77, 2, {{3 + 3 * 23, 0x11}, {5 + 3 * 23, 7}}),
          // A macro stating more pairs than its frame holds: the 50 there are taken.
          Frame(0x09, 129, 120, {{8, 'A'}, {9, 0xC4}, {28, 60}, {29, 0x80}, {30, 4}})}) {
        ASSERT_TRUE(mouse.ReceiveFeature(kReceiver, frame)) << int(frame[0]);
    }
    const OnboardProfile& profile = mouse.Profile(2);
    EXPECT_EQ(profile.dpi.enabledMask, 0x2F);
    EXPECT_EQ(profile.dpi.codes, (std::array<std::uint8_t, 8>{4, 0, 0, 0, 0, 0, 0, 115}));
    EXPECT_EQ(profile.dpi.currentLevel, 3);
    EXPECT_EQ(profile.dpi.colors[7].blue, 8);
    EXPECT_EQ(profile.lighting.color.red, 0x12);
    EXPECT_EQ(profile.lighting.direction, 1);
    EXPECT_EQ(profile.rateCode, 4);
    EXPECT_EQ(profile.buttons[23], (std::array<std::uint8_t, 3>{0x11, 0, 7}));
    EXPECT_EQ(mouse.Profile(1).rateCode, 0);  // other profiles untouched
    const OnboardMacro& macro = mouse.Macros().at(120);
    EXPECT_EQ(macro.pairCount, 60);
    ASSERT_EQ(macro.pairs.size(), 50u);
    EXPECT_EQ(macro.pairs[0], (std::array<std::uint8_t, 2>{0x80, 4}));
    EXPECT_NE(mouse.StateJson().find("\"name\": \"A\\u00c4\""), std::string::npos);
}

TEST(MouseModel, HearsAndTellsOnlyThroughAPluggedLinkAndOnTheReceiverOnlyAwake) {
    MouseModel mouse;
    const Bytes commit = Frame(0x0C, 4, 2);
    EXPECT_FALSE(mouse.ReceiveFeature(kCable, commit));  // the cable starts out
    EXPECT_EQ(EventValue(mouse.StatusReport()), 0x71);   // 3 bars, level 1
    mouse.Sleep();
    EXPECT_FALSE(mouse.ReceiveFeature(kReceiver, commit));
    EXPECT_FALSE(mouse.StatusReport());
    EXPECT_EQ(mouse.LogText(), "");  // what the mouse cannot hear never reaches it

    EXPECT_TRUE(mouse.Plug(kCable));
    EXPECT_TRUE(mouse.IsAwake());  // powered by the cable
    EXPECT_TRUE(mouse.ReceiveFeature(kCable, commit));
    EXPECT_EQ(mouse.StatusReport()->link, kReceiver);
    EXPECT_TRUE(mouse.Unplug(kReceiver));
    EXPECT_FALSE(mouse.Unplug(kReceiver));
    EXPECT_FALSE(mouse.ReceiveFeature(kReceiver, commit));
    EXPECT_FALSE(mouse.StatusReport());
    EXPECT_EQ(mouse.CurrentProfile(), 2);
}

TEST(MouseModel, ButtonsMoveTheOnboardStateAndTellTheHost) {
    MouseModel mouse;
    const auto program = [&](std::uint8_t enabledMask, std::uint8_t level) {
        EXPECT_TRUE(
            mouse.ReceiveFeature(kReceiver, Frame(0x04, 50, 1, {{5, enabledMask}, {24, level}})));
    };
    program(0b00100101, 1);  // levels 1, 3 and 6
    mouse.Sleep();
    auto report = mouse.PressDpiButton();
    ASSERT_TRUE(report);
    EXPECT_TRUE(mouse.IsAwake());  // a press wakes the mouse
    EXPECT_EQ(report->link, kReceiver);
    EXPECT_EQ(EventValue(report), 3);
    EXPECT_EQ(EventValue(mouse.PressDpiButton()), 6);
    EXPECT_EQ(EventValue(mouse.PressDpiButton()), 1);  // wraps
    // A stored level out of range starts the cycle over; no enabled level means no change.
    program(0x0F, 0);
    EXPECT_EQ(EventValue(mouse.PressDpiButton()), 1);
    program(0, 1);
    EXPECT_FALSE(mouse.PressDpiButton());

    mouse.Plug(kCable);
    report = mouse.PressProfileButton();
    EXPECT_EQ(report->link, kCable);  // input goes through the cable while it is in
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

}  // namespace
}  // namespace veltrix::emulator
