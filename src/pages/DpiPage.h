#pragma once

// The rules of the DPI page: the DPI value and colour of each of the eight levels, the current
// level and the report rate of the current profile. Every change goes into the record at once and
// is applied by an apply request to the main window; slider changes wait for a pause. The widget
// reports the user's events to the operations below and renders what DpiPageView is told.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "pages/ApplyHold.h"
#include "pages/DpiPageView.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"
#include "profile/RecordAccess.h"

namespace veltrix {

// The page's timer that holds back slider changes.
inline constexpr int kTimerDpiApply = 40;

// The sliders' range and step, in units of 100 DPI. Every value in it is one that the DPI report
// can encode; above 5000 DPI the mouse works in steps of 200, so an odd value there is sent as the
// even one below it.
inline constexpr int kDpiSliderMin = 1;
inline constexpr int kDpiSliderMax = 100;
inline constexpr int kDpiSliderStep = 1;

// The text colours of the value labels: the current level's and the others'.
inline constexpr UiColor kCurrentLevelTextColor = 0xFFFF0000;
inline constexpr UiColor kLevelTextColor = 0xFFFFFFFF;

// The items of the report rate list, in reports per second; item i is iReportRate i.
inline constexpr std::array<int, 4> kReportRates = {125, 250, 500, 1000};

// The label text of a DPI value in units of 100: "1600" for 16.
std::string DpiText(std::int32_t value);
// What a level without a value (0, or below the sliders' range) shows instead of a number.
inline constexpr std::string_view kDpiLevelOffTextId = "dpi_level_off_text";

class DpiPage {
  public:
    // Everything given must outlive the page. `window` receives the apply requests.
    DpiPage(ProfileSettings& settings, DpiPageView& view, const VeltrixWindowHandle& window);

    // Called by the device page.
    // Shows the current profile: after start-up, a profile change, an import and a reset. When
    // the rate list's selection changes, that is handled like the user's choice of the item, so
    // it posts a rate request (while the page is on screen).
    void Reload();
    // The mouse made `level` current (already stored): marks it; posts nothing.
    void ShowCurrentLevel(int level);

    // The user's events. The page ignores them while it is not on screen.
    // Level button `level` was chosen: it becomes the current level, applied at once.
    void OnLevelClick(int level);
    // Swatch `level` was clicked: the colour picker runs, and a confirmed colour is applied.
    void OnSwatchClick(int level);
    // Slider `level` was let go, or its track clicked: stored, applied after a pause.
    void OnSliderReleased(int level, int value);
    // Slider `level` is being dragged: stored and shown only; the pending apply is left alone.
    void OnSliderMoved(int level, int value);
    // The user chose item `item` of the rate list; choosing the item already chosen does nothing.
    void OnRateChosen(int item);
    void OnMouseSettingsClick();
    // A timer that the page started through its view has fired.
    void OnTimer(int id);
    // The held edits are sent through `send` now (see ApplyHold::Flush); true when there were any.
    bool FlushHeldEdits(const ApplySender& send) { return m_hold.Flush(send); }

    // The item that the rate list shows; -1 for none, as before the first refresh.
    int RateSelection() const { return m_iRateSelection; }

  private:
    ProfileData& Current() { return CurrentProfile(m_settings); }
    void MarkLevel(int level);
    bool StoreSliderValue(int level, int value);
    void ShowLevelValue(int level, std::int32_t value);
    void SetRateSelection(int item);
    void RateSelectionChanged(int item);

    ProfileSettings& m_settings;
    DpiPageView& m_view;
    VeltrixWindowHandle m_window;
    ApplyHold m_hold;
    int m_iRateSelection = -1;
};

}  // namespace veltrix
