#pragma once

// What the lighting page's rules ask of its widget. The widget renders what it is told and
// reports only what the user did: nothing set through this interface may come back as a user's
// event (a combo selection, a slider value or an edit's text set here raises nothing).

#include <string_view>

#include "pages/PageColors.h"
#include "pages/PageView.h"

namespace veltrix {

enum class ColorChannel { Red, Green, Blue };

// Which of the four groups of controls the page shows.
struct LightGroups {
    bool bBrightness = false;
    bool bSpeed = false;
    bool bColor = false;   // the free colour: wheel, R/G/B edits, sixteen colour buttons
    bool bPreset = false;  // the seven preset colours

    friend bool operator==(const LightGroups&, const LightGroups&) = default;
};

class LightingPageView : public PageView {
  public:
    // The mode combo shows item `item` (0 to 8); -1 shows none.
    virtual void SelectMode(int item) = 0;
    // The combo's tooltip shows the language text of `textId`.
    virtual void SetModeTooltip(std::string_view textId) = 0;
    virtual void SetBrightnessSlider(int value) = 0;
    virtual void SetSpeedSlider(int value) = 0;
    virtual void ShowGroups(const LightGroups& groups) = 0;

    // The text of the R, G or B edit.
    virtual void SetChannelText(ColorChannel channel, std::string_view text) = 0;
    // The swatch of the free colour, the colour wheel, and the swatch of the preset colour.
    virtual void SetColorPreview(UiColor color) = 0;
    virtual void SetWheelColor(UiColor color) = 0;
    virtual void SetPresetPreview(UiColor color) = 0;

    // Direction button 0 or 1 is the chosen one; any other value marks neither.
    virtual void ShowDirection(int direction) = 0;
};

}  // namespace veltrix
