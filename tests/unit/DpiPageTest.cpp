#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PageFakes.h"
#include "pages/DpiPage.h"
#include "support/ByteImage.h"

namespace veltrix {
namespace {

using namespace test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr UiColor R = kCurrentLevelTextColor, W = kLevelTextColor;
using Colors = std::array<UiColor, 8>;

class FakeDpiScreen final : public FakePageScreen<DpiPageView> {
  public:
    void SelectLevelButton(int level) override { levelButton = level; }
    void SetLevelText(int level, std::string_view text) override { texts.at(At(level)) = text; }
    void SetLevelTextId(int level, std::string_view id) override {
        texts.at(At(level)) = "id:" + std::string(id);
    }
    void SetLevelTextColor(int level, UiColor color) override { textColors.at(At(level)) = color; }
    void SetLevelSlider(int level, int value) override { sliders.at(At(level)) = value; }
    void SetLevelSwatch(int level, UiColor color) override { swatches.at(At(level)) = color; }
    void SelectRate(int item) override { rate = item; }
    std::optional<UiColor> PickColor(int level, UiColor initial) override {
        pickerStart = {level, initial};
        duringPicker();
        return pickerAnswer;
    }
    void OpenMouseSettings() override {}

    int levelButton = -1, rate = -1;
    std::array<std::string, 8> texts;
    Colors textColors{}, swatches{};
    std::array<int, 8> sliders{};
    std::pair<int, UiColor> pickerStart{-1, 0};
    std::optional<UiColor> pickerAnswer;
    std::function<void()> duringPicker = [] {};

  private:
    static std::size_t At(int level) { return static_cast<std::size_t>(level); }
};

using DpiPageTest = PageTest<FakeDpiScreen, DpiPage>;

// Keeps what a flush sends, as the requests it would be.
struct SentRequests {
    void operator()(std::uintptr_t area, int profile) {
        sent.push_back(ApplyRequest(area, profile));
    }
    std::vector<Message> sent;
};

TEST_F(DpiPageTest, RefreshShowsTheProfileAndPostsARateRequestOnlyWhenTheShownRateChanges) {
    m_page.Reload();
    // A level without a value says so rather than reading "0" beside a slider at its minimum.
    const std::string off = "id:dpi_level_off_text";
    EXPECT_EQ(m_screen.texts,
              (std::array<std::string, 8>{"1000", "1600", "3200", "5000", off, off, off, off}));
    EXPECT_EQ(m_screen.sliders, (std::array<int, 8>{10, 16, 32, 50, 0, 0, 0, 0}));
    EXPECT_EQ(m_screen.levelButton, 1);
    EXPECT_EQ(m_screen.textColors, (Colors{W, R, W, W, W, W, W, W}));
    EXPECT_EQ(m_screen.swatches, (Colors{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF,
                                         0xFFFF00FF, 0xFFFF8000, 0xFFFFFFFF}));
    EXPECT_EQ(m_screen.rate, 2);
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyRate, 0))) << "the list showed none";

    Profile(4).iReportRate = 3;
    for (const int profile : {3, 4}) {
        m_settings->iCurProfile = profile;
        m_page.Reload();
    }
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyRate, 4))) << "3 has the same rate";
    EXPECT_EQ(m_screen.rate, 3);

    // Values that only a damaged file or the mouse leaves: the level is shown as the mouse uses
    // it, and a rate outside the list shows none and stays in the record.
    Profile(2).iCurDpiLevel = 12;
    Profile(2).iReportRate = 7;
    Profile(2).aiDpiValue[0] = 30000000;
    m_settings->iCurProfile = 2;
    m_page.Reload();
    EXPECT_EQ(m_screen.levelButton, 7);
    EXPECT_EQ(m_screen.texts[0], "3000000000");
    EXPECT_EQ(m_screen.rate, -1);
    EXPECT_EQ(Profile(2).iReportRate, 7);
    EXPECT_THAT(Posted(), IsEmpty());
}

TEST_F(DpiPageTest, SliderReleasesAreAppliedOnce500msAfterTheLast) {
    m_page.OnSliderReleased(2, 20);
    RunFor(200ms);
    m_page.OnSliderReleased(2, 30);
    RunFor(200ms);
    m_page.OnSliderMoved(5, 45);  // dragging does not hold the request back
    m_page.OnSliderReleased(2, 40);
    RunFor(499ms);
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_EQ(m_screen.texts[2], "4000");
    EXPECT_EQ(m_screen.texts[5], "4500");
    RunFor(1ms);
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyDpi, 0)));
    EXPECT_EQ(Profile(0).aiDpiValue[2], 40);
    EXPECT_EQ(Profile(0).aiDpiValue[5], 45);

    m_page.OnSliderMoved(0, 0);
    m_page.OnSliderMoved(1, 250);
    RunFor(2000ms);
    EXPECT_THAT(Posted(), IsEmpty()) << "the timer stopped itself, and dragging posts nothing";
    EXPECT_EQ(Profile(0).aiDpiValue[0], kDpiSliderMin);
    EXPECT_EQ(Profile(0).aiDpiValue[1], kDpiSliderMax);

    // A profile switch during the hold still sends the profile that was left.
    m_page.OnSliderReleased(3, 12);
    m_settings->iCurProfile = 1;
    m_page.OnSliderReleased(3, 14);
    RunFor(500ms);
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyDpi, 0), ApplyRequest(kApplyDpi, 1)));
}

TEST_F(DpiPageTest, AHiddenPageIgnoresEventsButNeverKeepsAHeldEdit) {
    const std::vector<std::uint8_t> before = BytesOf(*m_settings);
    m_screen.visible = false;
    m_page.OnLevelClick(4);
    m_page.OnSliderReleased(0, 40);
    m_page.OnRateChosen(0);
    m_page.OnSwatchClick(0);
    RunFor(1000ms);
    EXPECT_EQ(BytesOf(*m_settings), before);
    EXPECT_THAT(Posted(), IsEmpty());
    EXPECT_EQ(m_screen.pickerStart.first, -1);

    // Hidden without a word during the hold: the request goes when the hold ends all the same.
    m_screen.visible = true;
    m_page.OnSliderReleased(0, 40);
    RunFor(300ms);
    m_screen.visible = false;
    RunFor(199ms);
    EXPECT_THAT(Posted(), IsEmpty());
    RunFor(1ms);
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyDpi, 0)));
}

TEST_F(DpiPageTest, AFlushSendsEveryHeldProfileAtOnceAndOnlyOnce) {
    SentRequests flushed;
    EXPECT_FALSE(m_page.FlushHeldEdits(std::ref(flushed)));
    m_page.OnSliderReleased(1, 20);
    m_settings->iCurProfile = 4;
    m_page.OnSliderReleased(1, 30);
    RunFor(100ms);
    EXPECT_TRUE(m_page.FlushHeldEdits(std::ref(flushed)));
    EXPECT_THAT(flushed.sent, ElementsAre(ApplyRequest(kApplyDpi, 0), ApplyRequest(kApplyDpi, 4)));
    EXPECT_EQ((std::pair{Profile(0).aiDpiValue[1], Profile(4).aiDpiValue[1]}), (std::pair{20, 30}));
    RunFor(1000ms);
    EXPECT_FALSE(m_page.FlushHeldEdits(std::ref(flushed)));
    EXPECT_THAT(Posted(), IsEmpty()) << "nothing goes twice";
    EXPECT_EQ(flushed.sent.size(), 2u);
}

TEST_F(DpiPageTest, ALevelWithoutAValueShowsAsNotSetUntilTheUserMovesIt) {
    Profile(0).aiDpiValue[6] = -3;  // only a damaged file holds one below the range
    m_page.Reload();
    EXPECT_EQ(m_screen.texts[6], "id:dpi_level_off_text");
    EXPECT_EQ(m_screen.texts[7], "id:dpi_level_off_text");
    m_page.OnSliderMoved(7, 1);
    EXPECT_EQ(m_screen.texts[7], "100") << "moved to the slider's minimum, it holds that value";
    m_page.OnSliderReleased(6, 2);
    EXPECT_EQ(m_screen.texts[6], "200");
    EXPECT_EQ((std::pair{Profile(0).aiDpiValue[6], Profile(0).aiDpiValue[7]}), (std::pair{2, 1}));
}

TEST_F(DpiPageTest, LevelAndRateChoicesAreAppliedAtOnceAndTheMousesLevelOnlyShown) {
    m_page.Reload();
    Posted();
    m_settings->iCurProfile = 3;
    m_page.OnLevelClick(5);
    EXPECT_EQ(Profile(3).iCurDpiLevel, 5);
    EXPECT_EQ(Profile(3).aiDpiEnabled[5], 0) << "a disabled level can be chosen and stays so";
    EXPECT_EQ(m_screen.textColors, (Colors{W, W, W, W, W, R, W, W}));
    m_page.OnRateChosen(3);
    m_page.OnRateChosen(3);
    m_page.OnRateChosen(4);
    EXPECT_EQ(Profile(3).iReportRate, 3);
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyDpi, 3), ApplyRequest(kApplyRate, 3)));

    m_page.ShowCurrentLevel(0);
    EXPECT_EQ(m_screen.textColors, (Colors{R, W, W, W, W, W, W, W}));
    EXPECT_THAT(Posted(), IsEmpty());
}

TEST_F(DpiPageTest, AConfirmedColourIsStoredRedFirstAndAppliedAndACancelledOneChangesNothing) {
    m_page.OnSwatchClick(3);
    EXPECT_EQ(m_screen.pickerStart, (std::pair<int, UiColor>{3, 0xFFFFFF00})) << "yellow";
    EXPECT_EQ(Profile(0).acrDpiColor[3], 0x0000FFFFu);
    EXPECT_THAT(Posted(), IsEmpty());

    m_screen.pickerAnswer = 0xFF1EB40A;
    m_page.OnSwatchClick(6);
    EXPECT_EQ(BytesOf(Profile(0).acrDpiColor[6]), (std::vector<std::uint8_t>{0x1E, 0xB4, 0x0A, 0}));
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyDpi, 0)));

    // The mouse switches profiles while the picker is open: the colour goes to the profile whose
    // swatch was clicked, and the swatch keeps showing the new profile's.
    m_screen.duringPicker = [this] {
        m_settings->iCurProfile = 2;
        m_page.Reload();
    };
    m_page.OnSwatchClick(6);
    EXPECT_EQ(Profile(0).acrDpiColor[6], 0x000AB41Eu);
    EXPECT_EQ(Profile(2).acrDpiColor[6], 0x000080FFu);
    EXPECT_EQ(m_screen.swatches[6], 0xFFFF8000u);
    EXPECT_THAT(Posted(), ElementsAre(ApplyRequest(kApplyRate, 2), ApplyRequest(kApplyDpi, 0)));
}

}  // namespace
}  // namespace veltrix
