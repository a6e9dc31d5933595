#pragma once

// What the DPI page's rules ask of its widget. The widget renders what it is told and reports
// only what the user did: nothing set through this interface may come back as a user's event.

#include <optional>
#include <string_view>

#include "pages/PageColors.h"
#include "pages/PageView.h"

namespace veltrix {

class DpiPageView : public PageView {
  public:
    // Levels are 0 to 7 (the controls numbered 1 to 8).

    // The option button of `level` is the chosen one; the other seven are not.
    virtual void SelectLevelButton(int level) = 0;
    // The value label of `level`: its text and its text colour.
    virtual void SetLevelText(int level, std::string_view text) = 0;
    // The level holds no DPI value: its label shows the language text of `textId` instead of a
    // number, and its slider, resting at its minimum, tells assistive tools the same, until the
    // next SetLevelText.
    virtual void SetLevelTextId(int level, std::string_view textId) = 0;
    virtual void SetLevelTextColor(int level, UiColor color) = 0;
    // The slider of `level`, in units of 100 DPI. A value outside the slider's range (an unused
    // level holds 0) shows as the nearest end.
    virtual void SetLevelSlider(int level, int value) = 0;
    // The background of the colour swatch of `level`.
    virtual void SetLevelSwatch(int level, UiColor color) = 0;

    // The report rate list shows item `item` (0 to 3); -1 shows none.
    virtual void SelectRate(int item) = 0;

    // Runs the colour picker for `level`, starting from `initial`, placed under the level's swatch
    // and 140 pixels to its left; the confirmed colour, or nothing when the user cancelled.
    virtual std::optional<UiColor> PickColor(int level, UiColor initial) = 0;

    // Opens the desktop's own mouse settings (see MouseSettingsCommand) without waiting for them.
    virtual void OpenMouseSettings() = 0;
};

}  // namespace veltrix
