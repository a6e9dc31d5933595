#include <map>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageFakes.h"
#include "device/FeatureReports.h"
#include "pages/LightingPage.h"
#include "support/ByteImage.h"

namespace veltrix {
namespace {

using namespace test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Strings = std::vector<std::string>;

class FakeLightingScreen final : public FakePageScreen<LightingPageView> {
  public:
    void SelectMode(int item) override { mode = item; }
    void SetModeTooltip(std::string_view textId) override { tooltip = textId; }
    void SetBrightnessSlider(int value) override { brightness = value; }
    void SetSpeedSlider(int value) override { speed = value; }
    void ShowGroups(const LightGroups& shown) override { groups = shown; }
    void SetChannelText(ColorChannel channel, std::string_view text) override {
        edits[channel] = text;
    }
    void SetColorPreview(UiColor color) override { preview = color; }
    void SetWheelColor(UiColor color) override { wheel = color; }
    void SetPresetPreview(UiColor color) override { presetPreview = color; }
    void ShowDirection(int shown) override { direction = shown; }

    Strings Edits() {
        return {edits[ColorChannel::Red], edits[ColorChannel::Green], edits[ColorChannel::Blue]};
    }

    int mode = -2, brightness = -1, speed = -1, direction = -1;
    std::string tooltip;
    LightGroups groups{true, true, true, true};
    std::map<ColorChannel, std::string> edits;
    UiColor preview = 0, wheel = 0, presetPreview = 0;
};

using LightingPageTest = PageTest<FakeLightingScreen, LightingPage>;
const Message kApply = ApplyRequest(kApplyLight, 0);

TEST_F(LightingPageTest, RefreshShowsTheProfileAndPostsNothing) {
    ProfileData& profile = Profile(2);
    profile.iLightMode = 1;
    profile.iLightBrightness = 3;
    profile.iLightDirection = 0;
    profile.crLightColor = 0x00336699;
    profile.acrLightPreset[0] = 0x00FF00FF;
    m_settings->iCurProfile = 2;
    m_page.Reload();
    EXPECT_EQ(m_screen.mode, 1);
    EXPECT_EQ(m_screen.brightness, 3);
    EXPECT_EQ(m_screen.direction, 0);
    EXPECT_EQ(m_screen.groups, ModeGroups(1));
    EXPECT_EQ(m_screen.Edits(), (Strings{"153", "102", "51"}));
    EXPECT_EQ(m_screen.wheel, 0xFF996633u);
    EXPECT_EQ(m_screen.presetPreview, 0xFFFF00FFu);

    profile.iLightMode = 40;  // only a damaged file holds it: no item, no group, and kept
    m_page.Reload();
    EXPECT_EQ(m_screen.mode, -1);
    EXPECT_EQ(m_screen.groups, LightGroups{});
    EXPECT_EQ(profile.iLightMode, 40);
    EXPECT_THAT(Posted(), IsEmpty());
}

TEST_F(LightingPageTest, EveryModeChoiceShowsItsGroupsAndIsAppliedAtOnce) {
    struct Case {
        int mode;
        LightGroups groups;
    };
    const LightGroups speed{.bSpeed = true};
    const std::vector<Case> cases = {
        {1, {.bBrightness = true, .bColor = true}},
        {0, {}},  // then a change away from item 0
        {2, {.bSpeed = true, .bPreset = true}},
        {3, speed},
        {4, speed},
        {5, {.bBrightness = true}},
        {6, speed},
        {7, speed},
        {8, speed},
    };
    Profile(0).crLightColor = 0x00102030;
    m_page.Reload();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        m_page.OnModeChosen(c.mode);
        EXPECT_EQ(m_screen.groups, c.groups);
        EXPECT_EQ(m_screen.tooltip, LightModeTextId(c.mode));
        EXPECT_THAT(Posted(), ElementsAre(kApply));
        // The report sends the mode, and the free colour only in the mode that shows it.
        const LightReportBytes report = LightReport(*m_settings, 0);
        EXPECT_EQ(report[3], c.mode);
        EXPECT_EQ(report[6], c.mode == 1 ? 0x30 : 0xFF);
    }
    m_page.OnModeChosen(8);
    m_page.OnModeChosen(9);
    EXPECT_THAT(Posted(), IsEmpty()) << "the item shown, and no item";
}

TEST_F(LightingPageTest, ChannelEditsAreClampedAndAppliedAfterAPause) {
    struct Case {
        ColorChannel channel;
        std::string typed;
        ColorRef stored;
        std::string shown;  // the edit's text afterwards
    };
    const std::vector<Case> cases = {
        {ColorChannel::Red, "300", 0x000000FF, "255"},
        {ColorChannel::Red, "-5", 0x00000000, "0"},
        {ColorChannel::Green, "18", 0x00001200, "18"},
        {ColorChannel::Blue, "abc", 0x00001200, "abc"},
        {ColorChannel::Blue, "200", 0x00C81200, "200"},
        {ColorChannel::Green, "99999999999", 0x00C8FF00, "255"},
    };
    Profile(0).bLightColorDefault = 0x12345601;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        m_screen.edits[c.channel] = c.typed;  // the widget holds what was typed
        m_page.OnChannelEdited(c.channel, c.typed);
        EXPECT_EQ(Profile(0).crLightColor, c.stored);
        EXPECT_EQ(m_screen.edits[c.channel], c.shown);
        EXPECT_EQ(m_screen.wheel, UiColorFromColorRef(c.stored));
        RunFor(100ms);
    }
    EXPECT_EQ(Profile(0).bLightColorDefault, 0x12345600);
    RunFor(399ms);
    EXPECT_THAT(Posted(), IsEmpty());
    RunFor(1ms);
    EXPECT_THAT(Posted(), ElementsAre(kApply));
}

TEST_F(LightingPageTest, SliderAndPaletteEditsWaitWhileImmediateChoicesLeaveThemWaiting) {
    m_page.OnBrightnessChanged(3);
    RunFor(200ms);
    m_page.OnSpeedChanged(20);
    RunFor(200ms);
    m_page.OnPaletteClick(4);  // colour button 5
    EXPECT_EQ(Profile(0).crLightColor, 0x00FF0000u) << "blue";
    EXPECT_EQ(m_screen.Edits(), (Strings{"0", "0", "255"}));
    m_page.OnPresetClick(1);  // preset button 2
    EXPECT_EQ(Profile(0).acrLightPreset[0], 0x0000FF00u);
    EXPECT_EQ(m_screen.presetPreview, 0xFF00FF00u);
    m_page.OnDirectionClick(0);
    EXPECT_THAT(Posted(), ElementsAre(kApply, kApply));
    RunFor(499ms);
    EXPECT_THAT(Posted(), IsEmpty());
    RunFor(1ms);
    EXPECT_THAT(Posted(), ElementsAre(kApply));
    EXPECT_EQ(Profile(0).iLightBrightness, 3);
    EXPECT_EQ(Profile(0).iLightSpeed, kSpeedMax);
    EXPECT_EQ(Profile(0).iLightDirection, 0);

    // The wheel: dragged, it only previews; let go, it is stored and applied at once.
    m_page.OnWheelMoved(0xFF1EB40A);
    EXPECT_EQ(m_screen.Edits(), (Strings{"30", "180", "10"}));
    EXPECT_EQ(m_screen.preview, 0xFF1EB40Au);
    EXPECT_EQ(Profile(0).crLightColor, 0x00FF0000u);
    m_page.OnWheelReleased(0x801EB40A);
    EXPECT_EQ(Profile(0).crLightColor, 0x000AB41Eu);
    EXPECT_THAT(Posted(), ElementsAre(kApply));
}

TEST_F(LightingPageTest, AHiddenPageIgnoresEventsButNeverKeepsAHeldEdit) {
    m_page.OnSpeedChanged(3);
    m_screen.visible = false;
    const std::vector<std::uint8_t> before = BytesOf(*m_settings);
    m_page.OnModeChosen(3);
    m_page.OnPresetClick(0);
    m_page.OnChannelEdited(ColorChannel::Red, "1");
    m_page.OnWheelKeyed(0xFF102030);
    RunFor(1200ms);
    EXPECT_EQ(BytesOf(*m_settings), before);
    EXPECT_THAT(Posted(), ElementsAre(kApply)) << "the speed, held before the page hid";
}

TEST_F(LightingPageTest, WheelKeysAreHeldLikeTheSlidersAndTheLastColourWins) {
    // An arrow held for 1.5 s repeats every 30 ms.
    for (UiColor blue = 0; blue < 50; ++blue) {
        m_page.OnWheelKeyed(0xFF104000 | blue);
        RunFor(30ms);
    }
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_EQ(Profile(0).crLightColor, 0x00314010u);
    EXPECT_EQ(m_screen.Edits(), (Strings{"16", "64", "49"}));
    EXPECT_EQ(m_screen.preview, 0xFF104031u);
    RunFor(470ms);
    EXPECT_THAT(Posted(), ElementsAre(kApply));
}

}  // namespace
}  // namespace veltrix
