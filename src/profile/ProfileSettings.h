#pragma once

// The settings record: the current profile and five complete profiles. Config_1.data is this
// record byte for byte and a profile file is one ProfileData, so the layout is a file format.
// Every field sits at its natural alignment, which makes the record free of padding without any
// packing pragma; the static_asserts below pin each size and offset.

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "macro/MacroRecord.h"

namespace veltrix {

inline constexpr int kProfileCount = 5;
inline constexpr int kDpiLevelCount = 8;
inline constexpr int kButtonEntryCount = 24;
inline constexpr int kShownButtonCount = 12;  // entries 12 to 23 mirror the twelve buttons

// Colours are COLORREF values: byte 0 red, byte 1 green, byte 2 blue, byte 3 zero.
using ColorRef = std::uint32_t;

struct ButtonEntry {
    std::uint8_t byButtonIndex;
    std::uint8_t byFuncCode;
    std::uint8_t byFuncType;
    std::uint8_t byKeyCode;
    std::array<std::uint8_t, 3> abyReserved4;
    std::uint8_t byKeyModifiers;
    std::uint16_t wReserved8;
    std::array<std::uint8_t, 2> abyReserved10;
    std::int32_t iMacroRepeatMode;
    std::array<char16_t, kMacroNameUnits> szMacroName;
    std::int32_t iMacroRepeatCount;
    std::uint16_t wMacroActionCount;
    std::array<std::uint8_t, 2> abyReserved70;
    std::array<std::uint8_t, 1000> abyReserved72;
    std::int32_t iMacroIndex;
    std::int32_t iReserved1076;
    std::int32_t iMacroExtra;
    std::array<MacroAction, kMaxMacroActions> aMacroAction;
};

struct ProfileData {
    std::array<std::uint8_t, 200> byReserved;
    std::array<char16_t, 500> szReserved1;
    std::array<char16_t, 500> szReserved2;
    std::int32_t iReserved2200;
    std::int32_t iReserved2204;
    std::int32_t byReserved2208;  // only its low byte has a default
    std::int32_t iReserved2212;
    std::array<std::int32_t, 2> aiReserved2216;
    std::int32_t iReserved2224;
    std::int32_t iDpiSlotCountX;
    std::int32_t iDpiSlotCountY;
    std::array<std::int32_t, 2> aiReserved2236;
    std::array<std::int32_t, kDpiLevelCount> aiDpiValue;  // units of 100 DPI
    std::array<std::int32_t, kDpiLevelCount> aiDpiValueY;
    std::array<std::int32_t, kDpiLevelCount> aiDpiEnabled;
    std::int32_t iLightBrightness;
    std::int32_t iLightSpeed;
    std::int32_t iLightParam;
    std::int32_t iCurDpiLevel;
    std::int32_t iReportRate;
    std::int32_t iLightMode;
    std::int32_t bLightColorDefault;  // only its low byte has a meaning
    std::int32_t iLightDirection;
    ColorRef crLightColor;
    std::array<ColorRef, kDpiLevelCount> acrDpiColor;
    std::array<ColorRef, kDpiLevelCount> acrLightPreset;
    std::array<ButtonEntry, kButtonEntryCount> aButton;
};

struct ProfileSettings {
    std::int32_t iCurProfile;
    std::array<ProfileData, kProfileCount> Profiles;
};

// ButtonEntry
static_assert(sizeof(ButtonEntry) == 1268);
static_assert(offsetof(ButtonEntry, byButtonIndex) == 0);
static_assert(offsetof(ButtonEntry, byFuncCode) == 1);
static_assert(offsetof(ButtonEntry, byFuncType) == 2);
static_assert(offsetof(ButtonEntry, byKeyCode) == 3);
static_assert(offsetof(ButtonEntry, abyReserved4) == 4);
static_assert(offsetof(ButtonEntry, byKeyModifiers) == 7);
static_assert(offsetof(ButtonEntry, wReserved8) == 8);
static_assert(offsetof(ButtonEntry, abyReserved10) == 10);
static_assert(offsetof(ButtonEntry, iMacroRepeatMode) == 12);
static_assert(offsetof(ButtonEntry, szMacroName) == 16);
static_assert(offsetof(ButtonEntry, iMacroRepeatCount) == 64);
static_assert(offsetof(ButtonEntry, wMacroActionCount) == 68);
static_assert(offsetof(ButtonEntry, abyReserved70) == 70);
static_assert(offsetof(ButtonEntry, abyReserved72) == 72);
static_assert(offsetof(ButtonEntry, iMacroIndex) == 1072);
static_assert(offsetof(ButtonEntry, iReserved1076) == 1076);
static_assert(offsetof(ButtonEntry, iMacroExtra) == 1080);
static_assert(offsetof(ButtonEntry, aMacroAction) == 1084);

// ProfileData
static_assert(sizeof(ProfileData) == 32872);
static_assert(offsetof(ProfileData, byReserved) == 0);
static_assert(offsetof(ProfileData, szReserved1) == 200);
static_assert(offsetof(ProfileData, szReserved2) == 1200);
static_assert(offsetof(ProfileData, iReserved2200) == 2200);
static_assert(offsetof(ProfileData, iReserved2204) == 2204);
static_assert(offsetof(ProfileData, byReserved2208) == 2208);
static_assert(offsetof(ProfileData, iReserved2212) == 2212);
static_assert(offsetof(ProfileData, aiReserved2216) == 2216);
static_assert(offsetof(ProfileData, iReserved2224) == 2224);
static_assert(offsetof(ProfileData, iDpiSlotCountX) == 2228);
static_assert(offsetof(ProfileData, iDpiSlotCountY) == 2232);
static_assert(offsetof(ProfileData, aiReserved2236) == 2236);
static_assert(offsetof(ProfileData, aiDpiValue) == 2244);
static_assert(offsetof(ProfileData, aiDpiValueY) == 2276);
static_assert(offsetof(ProfileData, aiDpiEnabled) == 2308);
static_assert(offsetof(ProfileData, iLightBrightness) == 2340);
static_assert(offsetof(ProfileData, iLightSpeed) == 2344);
static_assert(offsetof(ProfileData, iLightParam) == 2348);
static_assert(offsetof(ProfileData, iCurDpiLevel) == 2352);
static_assert(offsetof(ProfileData, iReportRate) == 2356);
static_assert(offsetof(ProfileData, iLightMode) == 2360);
static_assert(offsetof(ProfileData, bLightColorDefault) == 2364);
static_assert(offsetof(ProfileData, iLightDirection) == 2368);
static_assert(offsetof(ProfileData, crLightColor) == 2372);
static_assert(offsetof(ProfileData, acrDpiColor) == 2376);
static_assert(offsetof(ProfileData, acrLightPreset) == 2408);
static_assert(offsetof(ProfileData, aButton) == 2440);

// ProfileSettings
static_assert(sizeof(ProfileSettings) == 164364);
static_assert(offsetof(ProfileSettings, iCurProfile) == 0);
static_assert(offsetof(ProfileSettings, Profiles) == 4);

static_assert(std::is_trivially_copyable_v<ProfileSettings>);
static_assert(std::is_standard_layout_v<ProfileSettings>);
static_assert(std::has_unique_object_representations_v<ProfileSettings>, "no padding bytes");

}  // namespace veltrix
