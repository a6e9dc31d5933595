#include "device/FeatureReports.h"

#include <algorithm>
#include <string>

#include "platform/AnsiText.h"
#include "platform/Utf16Text.h"
#include "profile/RecordAccess.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

// Index n stands for (n + 1) x 100 DPI.
constexpr std::array<std::uint8_t, 50> kDpiCodes = {
    4,  4,  6,  8,  11, 13, 15, 18, 20, 22,  25,  27,  29,  32,  34,  36, 39,
    41, 43, 46, 48, 50, 52, 55, 57, 59, 62,  64,  66,  69,  71,  73,  76, 78,
    80, 83, 85, 87, 90, 92, 94, 97, 99, 101, 104, 106, 108, 111, 113, 115};

constexpr std::int32_t kDoubledAbove = 50;

// Lighting modes that are sent with brightness 8 whatever the record holds.
constexpr bool FixedBrightnessMode(std::int32_t mode) {
    return mode == 2 || mode == 3 || mode == 4 || mode == 7 || mode == 8;
}

constexpr std::uint8_t LowByte(std::int64_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

template <std::size_t N>
std::array<std::uint8_t, N> Frame(std::uint8_t command, int third) {
    std::array<std::uint8_t, N> report{};
    report[0] = command;
    report[1] = static_cast<std::uint8_t>(N);
    report[2] = LowByte(third);
    return report;
}

int ProfileNumber(int profileIndex) {
    return InRange(profileIndex, 0, kProfileCount - 1) + 1;
}

void PutColor(std::uint8_t* at, ColorRef color) {
    at[0] = LowByte(color);
    at[1] = LowByte(color >> 8);
    at[2] = LowByte(color >> 16);
}

constexpr std::size_t kMacroNameOffset = 8;
constexpr std::size_t kMacroNameBytes = 19;  // and the terminator in byte 27
constexpr std::size_t kPairCountOffset = 28;
constexpr std::size_t kPairsOffset = 29;
constexpr int kMaxLongDelayPairs = 10;
constexpr std::uint8_t kLongDelayMarker = 3;
constexpr unsigned kLongDelayStep = 200;  // ms per unit of a long-delay pair
constexpr unsigned kLongestShortDelay = 254;
constexpr std::uint8_t kReleaseBit = 0x80;

// Writes the (delay, key) pairs of a macro from byte 29 on and returns how many it wrote. The
// mouse wants the delay before each action, while an action stores the delay after it.
int PutActionPairs(const ButtonEntry& entry, MacroReportBytes& report) {
    const int actions = MacroActionCount(entry);
    // A delay above 254 ms needs an extra long-delay pair in front of its action, and the report
    // holds 50 pairs. Every action is always sent, since dropping one could leave a key held
    // down; the long-delay pairs get what room is left (and never more than 10), and a delay
    // beyond that budget keeps only its remainder below 200 ms, as the eleventh long delay does.
    const int longDelayBudget = std::min(kMaxLongDelayPairs, kMaxMacroPairs - actions);
    int pairs = 0;
    int longDelayPairs = 0;
    const auto put = [&](unsigned first, std::uint8_t second) {
        const std::size_t at = kPairsOffset + 2 * static_cast<std::size_t>(pairs);
        report[at] = LowByte(first);
        report[at + 1] = second;
        ++pairs;
    };
    for (int m = 0; m < actions; ++m) {
        const MacroAction& action = entry.aMacroAction[static_cast<std::size_t>(m)];
        unsigned delay = m == 0 ? 1 : entry.aMacroAction[static_cast<std::size_t>(m - 1)].wDelay;
        if (m > 0 && delay > kLongestShortDelay) {
            if (longDelayPairs < longDelayBudget) {
                // One pair counts at most 255 steps of 200 ms. A pause of 51,200 ms or more is
                // sent as 255 steps, the longest the pair holds, rather than as its count's low
                // byte, which would wrap round to a short pause.
                put(std::min(delay / kLongDelayStep, 255U), kLongDelayMarker);
                ++longDelayPairs;
            }
            delay %= kLongDelayStep;
        }
        delay = std::max(delay, 1U);
        put((delay >> 1) | (action.byDirection != kDirectionPress ? kReleaseBit : 0U),
            action.byKeyCode);
    }
    return pairs;
}

}  // namespace

std::uint8_t DpiCode(std::int32_t dpiValue) {
    // The table covers 100 to 10,100 DPI (1 to 101). Anything outside is sent as the nearest end:
    // 0 and below (the unused levels of the defaults) as 1, whose code is 0, and 102 and above as
    // 101, the top code doubled. Clamping before taking the low byte keeps a large value from
    // wrapping onto some small level.
    const int value = InRange(dpiValue, 1, 101);
    const int n = value > kDoubledAbove ? (value >> 1) - 1 : value - 1;
    return n == 0 ? 0 : kDpiCodes[static_cast<std::size_t>(n)];
}

DpiReportBytes DpiReport(const ProfileSettings& settings, int profileIndex) {
    const ProfileData& profile = ProfileAt(settings, profileIndex);
    auto report = Frame<kDpiReportLength>(kDpiReportCommand, ProfileNumber(profileIndex));
    report[3] = LowByte(profile.iDpiSlotCountX);
    report[4] = LowByte(profile.iDpiSlotCountY);
    unsigned enabled = 0;
    unsigned doubled = 0;
    for (std::size_t k = 0; k < kDpiLevelCount; ++k) {
        enabled |= (profile.aiDpiEnabled[k] == 1 ? 1U : 0U) << k;
        doubled |= (profile.aiDpiValue[k] > kDoubledAbove ? 1U : 0U) << k;
        report[8 + k] = report[16 + k] = DpiCode(profile.aiDpiValue[k]);
        PutColor(&report[25 + 3 * k], profile.acrDpiColor[k]);
    }
    report[5] = LowByte(enabled);
    report[6] = report[7] = LowByte(doubled);
    report[24] = LowByte(CurrentDpiLevel(profile) + 1);
    report[49] = 1;
    return report;
}

LightReportBytes LightReport(const ProfileSettings& settings, int profileIndex) {
    const ProfileData& profile = ProfileAt(settings, profileIndex);
    auto report = Frame<kLightReportLength>(kLightReportCommand, ProfileNumber(profileIndex));
    report[3] = LowByte(profile.iLightMode);
    report[4] = LowByte(9 - LowByte(profile.iLightSpeed));
    report[5] = FixedBrightnessMode(profile.iLightMode) ? 8 : LowByte(profile.iLightBrightness);
    PutColor(&report[6],
             profile.iLightMode == 1 ? profile.crLightColor : profile.acrLightPreset[0]);
    report[9] = LowByte(profile.iLightParam);
    report[10] = LowByte(profile.iLightDirection);
    return report;
}

RateReportBytes RateReport(const ProfileSettings& settings, int profileIndex) {
    const ProfileData& profile = ProfileAt(settings, profileIndex);
    auto report = Frame<kRateReportLength>(kRateReportCommand, ProfileNumber(profileIndex));
    // Report interval in milliseconds: 125, 250, 500 and 1000 Hz; anything else runs at 500 Hz.
    constexpr std::uint8_t kIntervals[] = {8, 4, 2, 1};
    report[3] =
        profile.iReportRate >= 0 && profile.iReportRate <= 3 ? kIntervals[profile.iReportRate] : 2;
    return report;
}

ButtonReportBytes ButtonReport(const ProfileSettings& settings, int profileIndex,
                               const MacroSlotTable& slots) {
    const ProfileData& profile = ProfileAt(settings, profileIndex);
    const auto& profileSlots = slots[static_cast<std::size_t>(ProfileNumber(profileIndex) - 1)];
    auto report = Frame<kButtonReportLength>(kButtonReportCommand, ProfileNumber(profileIndex));
    for (std::size_t i = 0; i < kButtonEntryCount; ++i) {
        const auto triple = EncodeButtonFunction(profile.aButton[i], profileSlots[i]);
        std::copy(triple.begin(), triple.end(), report.begin() + 3 + 3 * i);
    }
    return report;
}

MacroReportBytes MacroReport(const ButtonEntry& entry, std::uint8_t slot) {
    auto report = Frame<kMacroReportLength>(kMacroReportCommand, slot);
    report[3] = LowByte(entry.iMacroRepeatMode);
    report[4] = report[5] = report[6] = LowByte(entry.iMacroExtra);
    const std::uint8_t repeatCount = LowByte(entry.iMacroRepeatCount);
    report[7] = repeatCount == 0 ? 1 : repeatCount;
    // Windows-1252 has one byte per character, so a name longer than the 19 bytes that fit is
    // cut after its 19th character and never inside one; byte 27 stays its terminator.
    const std::string name = ToWindows1252(FieldText(entry.szMacroName));
    std::copy_n(name.begin(), std::min(name.size(), kMacroNameBytes),
                report.begin() + kMacroNameOffset);
    report[kPairCountOffset] = LowByte(PutActionPairs(entry, report));
    return report;
}

CommitReportBytes CommitReport(const ProfileSettings& settings) {
    return {kCommitReportCommand, static_cast<std::uint8_t>(kCommitReportLength),
            LowByte(CurrentProfileIndex(settings) + 1), 0x05};
}

}  // namespace veltrix
