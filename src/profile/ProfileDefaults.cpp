#include "profile/ProfileDefaults.h"

#include <algorithm>
#include <cstring>

#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

constexpr std::array<std::int32_t, kDpiLevelCount> kDefaultDpi = {10, 16, 32, 50, 0, 0, 0, 0};
constexpr std::array<std::int32_t, kDpiLevelCount> kDefaultDpiEnabled = {1, 1, 1, 1, 0, 0, 0, 0};

// red, green, blue, yellow, cyan, magenta, orange, white (COLORREF: 0x00BBGGRR)
constexpr std::array<ColorRef, kDpiLevelCount> kDefaultDpiColor = {
    0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x0080FF, 0xFFFFFF};
constexpr std::array<ColorRef, kDpiLevelCount> kDefaultLightPreset = {
    0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0xFFFFFF, 0x0080FF};

constexpr std::uint16_t kDefaultButtonReserved8 = 562;

void ResetProfile(ProfileData& p) {
    p.szReserved1.fill(u'\0');
    p.szReserved2.fill(u'\0');
    p.iReserved2200 = 420;
    p.iReserved2204 = 3;
    p.byReserved2208 &= ~0xFF;
    p.iReserved2212 = 6;
    p.iReserved2224 = 0;
    p.iDpiSlotCountX = 8;
    p.iDpiSlotCountY = 8;
    p.aiDpiValue = kDefaultDpi;
    p.aiDpiValueY = kDefaultDpi;
    p.aiDpiEnabled = kDefaultDpiEnabled;
    p.iLightBrightness = 8;
    p.iLightSpeed = 5;
    p.iLightParam = 2;
    p.iCurDpiLevel = 1;
    p.iReportRate = 2;
    p.iLightMode = 7;
    p.bLightColorDefault = (p.bLightColorDefault & ~0xFF) | 1;
    p.iLightDirection = 1;
    p.crLightColor = 0x0000FF;
    p.acrDpiColor = kDefaultDpiColor;
    p.acrLightPreset = kDefaultLightPreset;

    std::memset(p.aButton.data(), 0, sizeof(p.aButton));
    for (int i = 0; i < kButtonEntryCount; ++i) {
        ButtonEntry& entry = p.aButton[static_cast<std::size_t>(i)];
        entry.byButtonIndex = static_cast<std::uint8_t>(i);
        entry.byFuncCode = DefaultFunctionCode(i);
        entry.byFuncType = 0;
        entry.wReserved8 = kDefaultButtonReserved8;
        entry.iMacroIndex = -1;
        entry.iReserved1076 = -1;
    }
}

}  // namespace

void ResetProfileSettings(ProfileSettings& settings) {
    settings.iCurProfile = 0;
    for (ProfileData& profile : settings.Profiles) {
        ResetProfile(profile);
    }
}

ProfileSettings DefaultProfileSettings() {
    ProfileSettings settings{};
    ResetProfileSettings(settings);
    return settings;
}

}  // namespace veltrix
