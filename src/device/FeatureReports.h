#pragma once

// The six feature reports that program the mouse, as pure functions of the settings record.
// Every report starts with its command, its own length and the profile number (or, for a macro,
// the slot number); every byte not set by a builder is 0. Profile indices and the current DPI
// level are taken through the record's range-safe accessors, so a damaged record still builds
// well-formed reports.

#include <array>
#include <cstddef>
#include <cstdint>

#include "profile/ProfileSettings.h"

namespace veltrix {

inline constexpr std::uint8_t kDpiReportCommand = 0x04;
inline constexpr std::uint8_t kLightReportCommand = 0x05;
inline constexpr std::uint8_t kRateReportCommand = 0x06;
inline constexpr std::uint8_t kButtonReportCommand = 0x08;
inline constexpr std::uint8_t kMacroReportCommand = 0x09;
inline constexpr std::uint8_t kCommitReportCommand = 0x0C;

inline constexpr std::size_t kDpiReportLength = 50;
inline constexpr std::size_t kLightReportLength = 13;
inline constexpr std::size_t kRateReportLength = 9;
inline constexpr std::size_t kButtonReportLength = 77;
inline constexpr std::size_t kMacroReportLength = 129;
inline constexpr std::size_t kCommitReportLength = 4;

// A macro report has room for this many (delay, key) pairs after its header.
inline constexpr int kMaxMacroPairs = 50;

using DpiReportBytes = std::array<std::uint8_t, kDpiReportLength>;
using LightReportBytes = std::array<std::uint8_t, kLightReportLength>;
using RateReportBytes = std::array<std::uint8_t, kRateReportLength>;
using ButtonReportBytes = std::array<std::uint8_t, kButtonReportLength>;
using MacroReportBytes = std::array<std::uint8_t, kMacroReportLength>;
using CommitReportBytes = std::array<std::uint8_t, kCommitReportLength>;

// The macro slot number that the last macro upload gave each button of each profile; 0 for a
// button without a macro.
using MacroSlotTable = std::array<std::array<std::uint8_t, kButtonEntryCount>, kProfileCount>;

// The mouse's code for a DPI value in units of 100. Values above 50 are sent halved, with the
// level's bit set in the doubling mask (see DpiReport).
std::uint8_t DpiCode(std::int32_t dpiValue);

DpiReportBytes DpiReport(const ProfileSettings& settings, int profileIndex);
LightReportBytes LightReport(const ProfileSettings& settings, int profileIndex);
RateReportBytes RateReport(const ProfileSettings& settings, int profileIndex);
// Needs the slot numbers of the upload that preceded it, since macro buttons name their slot.
ButtonReportBytes ButtonReport(const ProfileSettings& settings, int profileIndex,
                               const MacroSlotTable& slots);
// The report of the macro that a button carries inline, stored in slot `slot` (1-based).
MacroReportBytes MacroReport(const ButtonEntry& entry, std::uint8_t slot);
// Switches the mouse to the record's current profile.
CommitReportBytes CommitReport(const ProfileSettings& settings);

}  // namespace veltrix
