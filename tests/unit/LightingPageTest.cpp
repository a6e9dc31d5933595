#include <array>
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

    // The R, G and B edits as they read.
    std::vector<std::string> Edits() {
        return {edits[ColorChannel::Red], edits[ColorChannel::Green], edits[ColorChannel::Blue]};
    }

    int mode = -2, brightness = -1, speed = -1, direction = -1;
    std::string tooltip;
    LightGroups groups{true, true, true, true};
    std::map<ColorChannel, std::string> edits;
    UiColor preview = 0, wheel = 0, presetPreview = 0;
};

class LightingPageTest : public PageTest<FakeLightingScreen> {
  protected:
    void Show() { m_page.RefreshFromProfile(); }
    // The user types into an edit: the widget holds the typed text, then reports it.
    void Type(ColorChannel channel, const std::string& text) {
        m_screen.edits[channel] = text;
        m_page.OnChannelEdited(channel, text);
    }

    LightingPage m_page{*m_settings, m_screen, m_handle};
};

const Message kApplyNow = ApplyRequest(kApplyLight, 0);

TEST_F(LightingPageTest, RefreshShowsTheProfileAndPostsNothing) {
    Profile(2) = Profile(0);
    Profile(2).iLightMode = 1;
    Profile(2).iLightBrightness = 3;
    Profile(2).iLightSpeed = 6;
    Profile(2).iLightDirection = 0;
    Profile(2).crLightColor = 0x00336699;
    Profile(2).acrLightPreset[0] = 0x00FF00FF;
    m_settings->iCurProfile = 2;
    Show();
    EXPECT_EQ(m_screen.mode, 1);
    EXPECT_EQ(m_page.ModeSelection(), 1);
    EXPECT_EQ(m_screen.tooltip, "wireless_lightmode2");
    EXPECT_EQ(m_screen.brightness, 3);
    EXPECT_EQ(m_screen.speed, 6);
    EXPECT_EQ(m_screen.direction, 0);
    EXPECT_EQ(m_screen.groups, ModeGroups(1));
    EXPECT_EQ(m_screen.Edits(), (std::vector<std::string>{"153", "102", "51"}));
    EXPECT_EQ(m_screen.preview, 0xFF996633u);
    EXPECT_EQ(m_screen.wheel, 0xFF996633u);
    EXPECT_EQ(m_screen.presetPreview, 0xFFFF00FFu);
    EXPECT_THAT(Posted(), IsEmpty());

    // A mode only a damaged file holds shows no item and no group; the record keeps it.
    Profile(2).iLightMode = 40;
    Show();
    EXPECT_EQ(m_screen.mode, -1);
    EXPECT_EQ(m_screen.groups, LightGroups{});
    EXPECT_EQ(Profile(2).iLightMode, 40);
    EXPECT_THAT(Posted(), IsEmpty());
}

struct ModeCase {
    int mode;
    LightGroups groups;
    ColorRef sentColor;  // the lighting report's colour in that mode
};

// The defaults: crLightColor red, acrLightPreset[0] red as well, so the free colour differs.
constexpr ColorRef kFreeColor = 0x00102030;
constexpr ColorRef kPresetColor = 0x0000FF;

TEST_F(LightingPageTest, EveryModeChoiceShowsItsGroupsAndIsAppliedAtOnce) {
    const LightGroups none{}, speed{.bSpeed = true};
    const std::vector<ModeCase> cases = {
        {1, {.bBrightness = true, .bColor = true}, kFreeColor},
        {0, none, kPresetColor},  // and away from item 0 below
        {2, {.bSpeed = true, .bPreset = true}, kPresetColor},
        {3, speed, kPresetColor},
        {4, speed, kPresetColor},
        {5, {.bBrightness = true}, kPresetColor},
        {6, speed, kPresetColor},
        {7, speed, kPresetColor},
        {8, speed, kPresetColor},
    };
    Profile(0).crLightColor = kFreeColor;
    Show();
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        m_page.OnModeChosen(c.mode);
        EXPECT_EQ(m_screen.groups, c.groups);
        EXPECT_EQ(m_screen.tooltip, LightModeTextId(c.mode));
        EXPECT_THAT(Posted(), ElementsAre(kApplyNow));
        const LightReportBytes report = LightReport(*m_settings, 0);
        EXPECT_EQ(report[3], c.mode);
        EXPECT_EQ(report[6] | report[7] << 8 | report[8] << 16, static_cast<int>(c.sentColor));
    }
    m_page.OnModeChosen(8);
    m_page.OnModeChosen(9);
    EXPECT_THAT(Posted(), IsEmpty()) << "the shown item, and no item";
    EXPECT_EQ(Profile(0).iLightMode, 8);
}

struct ChannelCase {
    ColorChannel channel;
    std::string typed;
    ColorRef stored;
    std::string shown;  // the edit's text afterwards
};

TEST_F(LightingPageTest, ChannelEditsAreClampedAndAppliedAfterAPause) {
    const std::vector<ChannelCase> cases = {
        {ColorChannel::Red, "300", 0x000000FF, "255"},
        {ColorChannel::Red, "-5", 0x00000000, "0"},
        {ColorChannel::Green, "18", 0x00001200, "18"},
        {ColorChannel::Blue, "abc", 0x00001200, "abc"},
        {ColorChannel::Blue, "200 ", 0x00C81200, "200 "},
        {ColorChannel::Green, "99999999999", 0x00C8FF00, "255"},
    };
    Show();
    Profile(0).bLightColorDefault = 0x12345601;
    for (const ChannelCase& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(c.channel, c.typed);
        EXPECT_EQ(Profile(0).crLightColor, c.stored);
        EXPECT_EQ(m_screen.edits[c.channel], c.shown);
        EXPECT_EQ(m_screen.preview, UiColorFromColorRef(c.stored));
        EXPECT_EQ(m_screen.wheel, UiColorFromColorRef(c.stored));
        RunFor(m_page, 100ms);
    }
    EXPECT_EQ(Profile(0).bLightColorDefault, 0x12345600);
    RunFor(m_page, 399ms);
    EXPECT_THAT(Posted(), IsEmpty());
    RunFor(m_page, 1ms);
    EXPECT_THAT(Posted(), ElementsAre(kApplyNow));
}

TEST_F(LightingPageTest, SliderAndPaletteEditsWaitWhileImmediateChoicesLeaveThePendingRequest) {
    Show();
    m_page.OnBrightnessChanged(3);
    RunFor(m_page, 200ms);
    m_page.OnSpeedChanged(2);
    RunFor(m_page, 200ms);
    m_page.OnPaletteClick(4);  // colour button 5
    EXPECT_EQ(Profile(0).crLightColor, 0x00FF0000u) << "blue";
    EXPECT_EQ(m_screen.Edits(), (std::vector<std::string>{"0", "0", "255"}));
    EXPECT_EQ(m_screen.wheel, 0xFF0000FFu);

    m_page.OnPresetClick(1);  // preset button 2
    EXPECT_EQ(Profile(0).acrLightPreset[0], 0x0000FF00u);
    EXPECT_EQ(m_screen.presetPreview, 0xFF00FF00u);
    m_page.OnDirectionClick(0);
    EXPECT_EQ(Profile(0).iLightDirection, 0);
    EXPECT_EQ(m_screen.direction, 0);
    EXPECT_THAT(Posted(), ElementsAre(kApplyNow, kApplyNow));
    RunFor(m_page, 499ms);
    EXPECT_THAT(Posted(), IsEmpty());
    RunFor(m_page, 1ms);
    EXPECT_THAT(Posted(), ElementsAre(kApplyNow));
    EXPECT_EQ(Profile(0).iLightBrightness, 3);
    EXPECT_EQ(Profile(0).iLightSpeed, 2);

    m_page.OnBrightnessChanged(0);
    m_page.OnSpeedChanged(20);
    EXPECT_EQ(Profile(0).iLightBrightness, kBrightnessMin);
    EXPECT_EQ(Profile(0).iLightSpeed, kSpeedMax);
}

TEST_F(LightingPageTest, TheWheelPreviewsWhileDraggedAndIsAppliedWhenLetGo) {
    Show();
    Profile(0).bLightColorDefault = 0x7F000001;
    m_page.OnWheelMoved(0xFF1EB40A);
    EXPECT_EQ(m_screen.Edits(), (std::vector<std::string>{"30", "180", "10"}));
    EXPECT_EQ(m_screen.preview, 0xFF1EB40Au);
    EXPECT_EQ(Profile(0).crLightColor, 0x000000FFu) << "nothing stored while dragging";
    m_page.OnWheelReleased(0x801EB40A);
    EXPECT_EQ(Profile(0).crLightColor, 0x000AB41Eu);
    EXPECT_EQ(Profile(0).bLightColorDefault, 0x7F000000);
    EXPECT_EQ(m_screen.preview, 0xFF1EB40Au);
    EXPECT_THAT(Posted(), ElementsAre(kApplyNow));
    RunFor(m_page, 1000ms);
    EXPECT_THAT(Posted(), IsEmpty()) << "no countdown";
}

TEST_F(LightingPageTest, AHiddenPageIgnoresEventsAndSendsAnArmedRequestOnceItIsBack) {
    Show();
    m_page.OnSpeedChanged(3);
    m_screen.visible = false;
    const std::vector<std::uint8_t> before = BytesOf(*m_settings);
    m_page.OnModeChosen(3);
    m_page.OnBrightnessChanged(2);
    m_page.OnPaletteClick(0);
    m_page.OnPresetClick(0);
    m_page.OnDirectionClick(0);
    m_page.OnWheelReleased(0xFF000000);
    Type(ColorChannel::Red, "1");
    RunFor(m_page, 1200ms);
    EXPECT_EQ(BytesOf(*m_settings), before);
    EXPECT_THAT(Posted(), IsEmpty());
    m_screen.visible = true;
    RunFor(m_page, 300ms);
    EXPECT_THAT(Posted(), ElementsAre(kApplyNow));
}

}  // namespace
}  // namespace veltrix
