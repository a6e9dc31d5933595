#pragma once

// The rules of the lighting page: mode, brightness, speed, direction, the free colour (mode 1)
// and the preset colour (every other mode) of the current profile. Every change goes into the
// record at once and is applied by an apply request to the main window; slider and colour edits
// wait for a pause, while the choice of a mode, a direction or a preset and the release of the
// colour wheel are applied at once. The widget reports the user's events to the operations below
// and renders what LightingPageView is told.

#include <cstdint>
#include <string>
#include <string_view>

#include "pages/ApplyHold.h"
#include "pages/LightingPageView.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"
#include "profile/RecordAccess.h"

namespace veltrix {

// The page's timer that holds back slider and colour edits.
inline constexpr int kTimerLightApply = 43;

// The modes of the combo, 0 to 8; item i is iLightMode i.
inline constexpr int kLightModeCount = 9;
// The free colour of the record (crLightColor) is the one shown in this mode; every other mode
// shows the preset colour (acrLightPreset[0]).
inline constexpr int kFreeColorMode = 1;

// The sliders' ranges. Brightness 8 is the brightest, as the modes of fixed brightness send it;
// the speed is sent as 9 minus the value, so 1 to 8 keep that within 1 to 8 as well.
inline constexpr int kBrightnessMin = 1;
inline constexpr int kBrightnessMax = 8;
inline constexpr int kSpeedMin = 1;
inline constexpr int kSpeedMax = 8;

// The groups that a mode shows; a mode outside 0 to 8 shows none.
constexpr LightGroups ModeGroups(int mode) {
    switch (mode) {
        case 1:
            return {.bBrightness = true, .bColor = true};
        case 2:
            return {.bSpeed = true, .bPreset = true};
        case 3:
        case 4:
        case 6:
        case 7:
        case 8:
            return {.bSpeed = true};
        case 5:
            return {.bBrightness = true};
        default:
            return {};
    }
}

// The text id of a mode's name: "wireless_lightmode1" for mode 0.
std::string LightModeTextId(int mode);

class LightingPage {
  public:
    // Everything given must outlive the page. `window` receives the apply requests.
    LightingPage(ProfileSettings& settings, LightingPageView& view,
                 const VeltrixWindowHandle& window);

    // Called by the device page after start-up, a profile change, an import and a reset: shows
    // the current profile. Posts nothing.
    void Reload();

    // The user's events. The page ignores them while it is not on screen.
    // The user chose mode `item`: applied at once, whichever mode it was before.
    void OnModeChosen(int item);
    // The brightness or speed slider has a new value: stored, applied after a pause.
    void OnBrightnessChanged(int value);
    void OnSpeedChanged(int value);
    // The user changed the text of the R, G or B edit: read as a decimal number (no number reads
    // as 0, and the text stays), clamped to 0..255 with the clamped value written back.
    void OnChannelEdited(ColorChannel channel, std::string_view text);
    // Colour button `index` (0 to 15, kPaletteColors) was clicked.
    void OnPaletteClick(int index);
    // Preset button `index` (0 to 6, kPresetColors) was clicked: applied at once.
    void OnPresetClick(int index);
    // Direction button `index` (0 or 1) was clicked: applied at once.
    void OnDirectionClick(int index);
    // The colour wheel is being dragged: the edits and the swatch follow; nothing is stored.
    void OnWheelMoved(UiColor color);
    // The colour wheel was let go: stored and applied at once.
    void OnWheelReleased(UiColor color);
    // The colour wheel was moved by a key: stored, applied after a pause, like the sliders, so a
    // held arrow key sends only the colour it stops at.
    void OnWheelKeyed(UiColor color);
    // A timer that the page started through its view has fired.
    void OnTimer(int id);
    // The held edits are sent through `send` now (see ApplyHold::Flush); true when there were any.
    bool FlushHeldEdits(const ApplySender& send) { return m_hold.Flush(send); }

    // The item that the mode combo shows; -1 for none.
    int ModeSelection() const { return m_iModeSelection; }

  private:
    ProfileData& Current() { return CurrentProfile(m_settings); }
    bool Visible() const { return m_view.IsPageVisible(); }
    void ShowColorEdits(ColorRef color);
    void StoreLightColor(ColorRef color);
    void ColorEdited();

    ProfileSettings& m_settings;
    LightingPageView& m_view;
    VeltrixWindowHandle m_window;
    ApplyHold m_hold;
    int m_iModeSelection = -1;
};

}  // namespace veltrix
