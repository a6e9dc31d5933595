#include "pages/DpiPage.h"

#include "platform/Messages.h"

namespace veltrix {
namespace {

bool IsLevel(int level) {
    return level >= 0 && level < kDpiLevelCount;
}

std::size_t At(int level) {
    return static_cast<std::size_t>(level);
}

}  // namespace

std::string DpiText(std::int32_t value) {
    // 64 bits: a damaged record may hold any int32.
    return std::to_string(static_cast<long long>(value) * 100);
}

DpiPage::DpiPage(ProfileSettings& settings, DpiPageView& view, const VeltrixWindowHandle& window)
    : m_settings(settings),
      m_view(view),
      m_window(window),
      m_hold(view, window, kTimerDpiApply, kApplyDpi) {}

void DpiPage::Reload() {
    const ProfileData& profile = Current();
    MarkLevel(CurrentDpiLevel(profile));
    for (int level = 0; level < kDpiLevelCount; ++level) {
        ShowLevelValue(level, profile.aiDpiValue[At(level)]);
        m_view.SetLevelSwatch(level, UiColorFromColorRef(profile.acrDpiColor[At(level)]));
        m_view.SetLevelSlider(level, profile.aiDpiValue[At(level)]);
    }
    // A rate that the mouse stored outside the list shows no item, and the record keeps it.
    const int rate = profile.iReportRate;
    SetRateSelection(rate >= 0 && rate < static_cast<int>(kReportRates.size()) ? rate : -1);
}

void DpiPage::ShowCurrentLevel(int level) {
    MarkLevel(InRange(level, 0, kDpiLevelCount - 1));
}

void DpiPage::OnLevelClick(int level) {
    if (!m_view.IsPageVisible() || !IsLevel(level)) {
        return;
    }
    // Whether the level is enabled does not matter: every level can be chosen.
    Current().iCurDpiLevel = level;
    MarkLevel(level);
    PostApplyRequest(m_window, kApplyDpi, m_settings.iCurProfile);
}

void DpiPage::OnSwatchClick(int level) {
    if (!m_view.IsPageVisible() || !IsLevel(level)) {
        return;
    }
    // The picker is modal, and the mouse may switch profiles while it is open: the colour belongs
    // to the profile whose swatch was clicked.
    const int profileIndex = CurrentProfileIndex(m_settings);
    ProfileData& profile = ProfileAt(m_settings, profileIndex);
    const std::optional<UiColor> picked =
        m_view.PickColor(level, UiColorFromColorRef(profile.acrDpiColor[At(level)]));
    if (!picked) {
        return;
    }
    profile.acrDpiColor[At(level)] = ColorRefFromUiColor(*picked);
    if (CurrentProfileIndex(m_settings) == profileIndex) {
        m_view.SetLevelSwatch(level, *picked);
    }
    PostApplyRequest(m_window, kApplyDpi, profileIndex);
}

void DpiPage::OnSliderReleased(int level, int value) {
    if (StoreSliderValue(level, value)) {
        m_hold.Restart(m_settings.iCurProfile);
    }
}

void DpiPage::OnSliderMoved(int level, int value) {
    StoreSliderValue(level, value);
}

void DpiPage::OnRateChosen(int item) {
    if (item < 0 || item >= static_cast<int>(kReportRates.size()) || item == m_iRateSelection) {
        return;
    }
    m_iRateSelection = item;
    RateSelectionChanged(item);
}

void DpiPage::OnMouseSettingsClick() {
    if (m_view.IsPageVisible()) {
        m_view.OpenMouseSettings();
    }
}

void DpiPage::OnTimer(int id) {
    // The edits are in the record whether or not the page is still on screen: the request never
    // waits for the page to come back.
    if (id == m_hold.TimerId()) {
        m_hold.Fire();
    }
}

void DpiPage::MarkLevel(int level) {
    m_view.SelectLevelButton(level);
    for (int j = 0; j < kDpiLevelCount; ++j) {
        m_view.SetLevelTextColor(j, j == level ? kCurrentLevelTextColor : kLevelTextColor);
    }
}

bool DpiPage::StoreSliderValue(int level, int value) {
    if (!m_view.IsPageVisible() || !IsLevel(level)) {
        return false;
    }
    // The widget's range already keeps the value in; a value from anywhere else must not reach
    // the record as one the mouse cannot take.
    const int stored = InRange(value, kDpiSliderMin, kDpiSliderMax);
    Current().aiDpiValue[At(level)] = stored;
    ShowLevelValue(level, stored);
    return true;
}

// A level without a value would read "0" beside a slider resting at its minimum, so that the
// first arrow press would seem to jump from 0 to 200: it reads as not set instead.
void DpiPage::ShowLevelValue(int level, std::int32_t value) {
    if (value < kDpiSliderMin) {
        m_view.SetLevelTextId(level, kDpiLevelOffTextId);
    } else {
        m_view.SetLevelText(level, DpiText(value));
    }
}

// The program sets the list's selection as a user would: a change is handled like the user's
// choice, and the item already shown raises nothing.
void DpiPage::SetRateSelection(int item) {
    if (item == m_iRateSelection) {
        return;
    }
    m_iRateSelection = item;
    m_view.SelectRate(item);
    if (item >= 0) {
        RateSelectionChanged(item);
    }
}

void DpiPage::RateSelectionChanged(int item) {
    if (!m_view.IsPageVisible()) {
        return;
    }
    Current().iReportRate = item;
    PostApplyRequest(m_window, kApplyRate, m_settings.iCurProfile);
}

}  // namespace veltrix
