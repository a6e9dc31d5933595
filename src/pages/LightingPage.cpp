#include "pages/LightingPage.h"

#include "platform/IntegerText.h"
#include "platform/Messages.h"

namespace veltrix {
namespace {

constexpr int kChannelMax = 255;

int ShiftOf(ColorChannel channel) {
    switch (channel) {
        case ColorChannel::Red:
            return 0;
        case ColorChannel::Green:
            return 8;
        case ColorChannel::Blue:
            return 16;
    }
    return 0;
}

// A colour the user picked is no longer the profile's default one; the flag's other bytes are
// kept as they are.
void ClearColorDefault(ProfileData& profile) {
    profile.bLightColorDefault =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(profile.bLightColorDefault) & ~0xFFu);
}

std::string ChannelText(ColorRef color, ColorChannel channel) {
    return std::to_string(color >> ShiftOf(channel) & 0xFFu);
}

}  // namespace

std::string LightModeTextId(int mode) {
    return "wireless_lightmode" + std::to_string(mode + 1);
}

LightingPage::LightingPage(ProfileSettings& settings, LightingPageView& view,
                           const VeltrixWindowHandle& window)
    : m_settings(settings),
      m_view(view),
      m_window(window),
      m_hold(view, window, kTimerLightApply, kApplyLight) {}

void LightingPage::Reload() {
    const ProfileData& profile = Current();
    m_view.SetWheelColor(UiColorFromColorRef(profile.crLightColor));
    ShowColorEdits(profile.crLightColor);
    // A mode outside the list (only a damaged file holds one) shows no item and no group, and the
    // record keeps it.
    const int mode = profile.iLightMode;
    m_iModeSelection = mode >= 0 && mode < kLightModeCount ? mode : -1;
    m_view.SelectMode(m_iModeSelection);
    if (m_iModeSelection >= 0) {
        m_view.SetModeTooltip(LightModeTextId(m_iModeSelection));
    }
    m_view.SetBrightnessSlider(profile.iLightBrightness);
    m_view.SetSpeedSlider(profile.iLightSpeed);
    m_view.ShowGroups(ModeGroups(mode));
    m_view.SetPresetPreview(UiColorFromColorRef(profile.acrLightPreset[0]));
    m_view.ShowDirection(profile.iLightDirection);
}

void LightingPage::OnModeChosen(int item) {
    if (!Visible() || item < 0 || item >= kLightModeCount || item == m_iModeSelection) {
        return;
    }
    m_iModeSelection = item;
    Current().iLightMode = item;
    m_view.SetModeTooltip(LightModeTextId(item));
    m_view.ShowGroups(ModeGroups(item));
    PostApplyRequest(m_window, kApplyLight, m_settings.iCurProfile);
}

void LightingPage::OnBrightnessChanged(int value) {
    if (Visible()) {
        Current().iLightBrightness = InRange(value, kBrightnessMin, kBrightnessMax);
        m_hold.Restart(m_settings.iCurProfile);
    }
}

void LightingPage::OnSpeedChanged(int value) {
    if (Visible()) {
        Current().iLightSpeed = InRange(value, kSpeedMin, kSpeedMax);
        m_hold.Restart(m_settings.iCurProfile);
    }
}

void LightingPage::OnChannelEdited(ColorChannel channel, std::string_view text) {
    if (!Visible()) {
        return;
    }
    const int typed = IntegerValueOfText(text);
    const int value = InRange(typed, 0, kChannelMax);
    if (value != typed) {
        m_view.SetChannelText(channel, std::to_string(value));
    }
    const int shift = ShiftOf(channel);
    ColorRef& color = Current().crLightColor;
    color = (color & ~(0xFFu << shift)) | static_cast<ColorRef>(value) << shift;
    ColorEdited();
}

void LightingPage::OnPaletteClick(int index) {
    if (!Visible() || index < 0 || index >= static_cast<int>(kPaletteColors.size())) {
        return;
    }
    StoreLightColor(ColorRefFromUiColor(kPaletteColors[static_cast<std::size_t>(index)]));
    ColorEdited();
    ShowColorEdits(Current().crLightColor);
}

void LightingPage::OnPresetClick(int index) {
    if (!Visible() || index < 0 || index >= static_cast<int>(kPresetColors.size())) {
        return;
    }
    const UiColor color = kPresetColors[static_cast<std::size_t>(index)];
    Current().acrLightPreset[0] = ColorRefFromUiColor(color);
    m_view.SetPresetPreview(color);
    PostApplyRequest(m_window, kApplyLight, m_settings.iCurProfile);
}

void LightingPage::OnDirectionClick(int index) {
    if (!Visible() || index < 0 || index > 1) {
        return;
    }
    Current().iLightDirection = index;
    m_view.ShowDirection(index);
    PostApplyRequest(m_window, kApplyLight, m_settings.iCurProfile);
}

void LightingPage::OnWheelMoved(UiColor color) {
    if (Visible()) {
        ShowColorEdits(ColorRefFromUiColor(color));
    }
}

void LightingPage::OnWheelReleased(UiColor color) {
    if (!Visible()) {
        return;
    }
    const ColorRef stored = ColorRefFromUiColor(color);
    ShowColorEdits(stored);
    StoreLightColor(stored);
    PostApplyRequest(m_window, kApplyLight, m_settings.iCurProfile);
}

void LightingPage::OnWheelKeyed(UiColor color) {
    if (!Visible()) {
        return;
    }
    const ColorRef stored = ColorRefFromUiColor(color);
    ShowColorEdits(stored);
    StoreLightColor(stored);
    m_hold.Restart(m_settings.iCurProfile);
}

void LightingPage::OnTimer(int id) {
    // The edits are in the record whether or not the page is still on screen: the request never
    // waits for the page to come back.
    if (id == m_hold.TimerId()) {
        m_hold.Fire();
    }
}

void LightingPage::ShowColorEdits(ColorRef color) {
    for (const ColorChannel channel :
         {ColorChannel::Red, ColorChannel::Green, ColorChannel::Blue}) {
        m_view.SetChannelText(channel, ChannelText(color, channel));
    }
    m_view.SetColorPreview(UiColorFromColorRef(color));
}

void LightingPage::StoreLightColor(ColorRef color) {
    Current().crLightColor = color;
    ClearColorDefault(Current());
}

// The free colour changed in the record: the wheel and the swatch follow, and the change is
// applied after a pause.
void LightingPage::ColorEdited() {
    ClearColorDefault(Current());
    const UiColor shown = UiColorFromColorRef(Current().crLightColor);
    m_view.SetWheelColor(shown);
    m_view.SetColorPreview(shown);
    m_hold.Restart(m_settings.iCurProfile);
}

}  // namespace veltrix
