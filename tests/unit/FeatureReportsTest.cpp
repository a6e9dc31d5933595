#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "device/FeatureReports.h"
#include "device/ReportText.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

// The report's bytes from `from` on, without the zeros that end it: every byte of the report is
// checked, and the expectations need not spell out the padding.
template <std::size_t N>
std::string Hex(const std::array<std::uint8_t, N>& report, std::size_t from = 0) {
    std::size_t end = N;
    while (end > from && report[end - 1] == 0) {
        --end;
    }
    return ReportHexLine(std::span(report).subspan(from, end - from));
}

TEST(DpiReport, CarriesEveryLevelTwiceWithMasksLevelAndColours) {
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    ProfileData& profile = settings->Profiles[2];
    profile.iDpiSlotCountX = 8;
    profile.iDpiSlotCountY = 0x107;  // only the low byte goes
    // 0 has no table entry and goes as the lowest code; 300 as the highest, not as its low byte.
    profile.aiDpiValue = {1, 16, 50, 52, 100, 0, 300, 33};
    profile.aiDpiEnabled = {1, 1, 0, 1, 0, 2, 1, 0};  // only 1 counts as on
    for (std::size_t k = 0; k < kDpiLevelCount; ++k) {
        profile.acrDpiColor[k] = static_cast<ColorRef>(0x302010 + 0x010101 * k);
    }
    profile.iCurDpiLevel = 5;

    EXPECT_EQ(Hex(DpiReport(*settings, 2)),
              "04 32 03 08 07 4b 58 58 "
              "00 24 73 3b 73 00 73 4c "
              "00 24 73 3b 73 00 73 4c "
              "06 "
              "10 20 30 11 21 31 12 22 32 13 23 33 14 24 34 15 25 35 16 26 36 17 27 37 "
              "01");

    profile.iCurDpiLevel = 40;  // a damaged level is sent as the nearest real one
    EXPECT_EQ(DpiReport(*settings, 2)[24], 8);
    EXPECT_EQ(DpiReport(*settings, 9)[2], 5);  // and a profile index outside 0 to 4 likewise
}

TEST(LightReport, ColourAndBrightnessDependOnTheMode) {
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    ProfileData& profile = settings->Profiles[4];
    profile.iLightSpeed = 3;
    profile.iLightBrightness = 5;
    profile.crLightColor = 0x332211;
    profile.acrLightPreset[0] = 0x665544;
    profile.iLightParam = 4;
    profile.iLightDirection = 1;

    profile.iLightMode = 1;  // the free colour
    EXPECT_EQ(Hex(LightReport(*settings, 4)), "05 0d 05 01 06 05 11 22 33 04 01");
    profile.iLightMode = 7;    // brightness 8, the first preset colour
    profile.iLightSpeed = 10;  // 9 - 10 wraps
    EXPECT_EQ(Hex(LightReport(*settings, 4)), "05 0d 05 07 ff 08 44 55 66 04 01");
}

TEST(RateReport, IntervalCodes) {
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    const std::pair<int, int> rates[] = {{0, 8}, {1, 4}, {2, 2}, {3, 1}, {7, 2}, {-1, 2}};
    for (const auto& [rate, code] : rates) {
        settings->Profiles[1].iReportRate = rate;
        EXPECT_EQ(Hex(RateReport(*settings, 1)), "06 09 02 0" + std::to_string(code)) << rate;
    }
}

TEST(ButtonReport, EveryButtonInPlaceWithTheSlotsOfItsOwnProfile) {
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    ProfileData& profile = settings->Profiles[1];
    profile.aButton[1].byFuncCode = kFuncMacro;
    profile.aButton[23].byFuncCode = kFuncMacro;
    MacroSlotTable slots{};
    slots[0][1] = 3;  // another profile's slot
    slots[1][1] = 7;
    slots[1][23] = 9;

    EXPECT_EQ(Hex(ButtonReport(*settings, 1, slots)),
              "08 4d 02 "
              "02 00 00 12 00 07 04 00 00 06 00 00 05 00 00 0e 00 00 "
              "0f 00 00 01 00 00 01 00 00 01 00 00 09 00 00 0a 00 00 "
              "02 00 00 03 00 00 04 00 00 06 00 00 05 00 00 0e 00 00 "
              "0f 00 00 01 00 00 01 00 00 01 00 00 09 00 00 12 00 09");
}

TEST(MacroReport, HeaderNameAndPairsWithTheDelayBeforeEachAction) {
    ButtonEntry entry{};
    entry.iMacroRepeatMode = 0x102;
    entry.iMacroExtra = 0x1FF;
    entry.iMacroRepeatCount = 0;  // sent as 1
    SetFieldText(entry.szMacroName, u"Reload \u00C4\u20AC");
    entry.wMacroActionCount = 6;
    entry.aMacroAction[0] = {0x04, kDirectionPress, 254};    // sent as 127
    entry.aMacroAction[1] = {0x05, kDirectionRelease, 255};  // (1, 3) and 55 >> 1
    entry.aMacroAction[2] = {0x06, kDirectionPress, 600};    // (3, 3) and 1 >> 1
    entry.aMacroAction[3] = {0x07, kDirectionRelease, 0};    // raised to 1
    entry.aMacroAction[4] = {0x08, kDirectionPress, 65535};  // (255, 3) and 135 >> 1
    entry.aMacroAction[5] = {0x09, kDirectionRelease, 7};    // the last delay is unused
    EXPECT_EQ(Hex(MacroReport(entry, 9)),
              "09 81 09 02 ff ff ff 01 "
              "52 65 6c 6f 61 64 20 c4 80 00 00 00 00 00 00 00 00 00 00 00 "
              "09 00 04 ff 05 01 03 1b 06 03 03 80 07 00 08 ff 03 c3 09");

    // A name of all 24 units, without a terminator, is cut after its 19th character, which
    // here is a surrogate pair: it becomes one '?', not half of anything.
    const std::u16string_view longName = u"ABCDEFGHIJKLMNOPQR\U0001F600STUV";
    std::copy(longName.begin(), longName.end(), entry.szMacroName.begin());
    entry.wMacroActionCount = 0;
    EXPECT_EQ(Hex(MacroReport(entry, 1), 8),
              "41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50 51 52 3f");
}

TEST(MacroReport, LongDelayPairsStopAtTheTenthAndWhereTheFiftyPairsRunOut) {
    ButtonEntry entry{};
    entry.wMacroActionCount = 12;
    for (std::size_t m = 0; m < 12; ++m) {
        entry.aMacroAction[m] = {static_cast<std::uint8_t>(0x10 + m), kDirectionPress, 300};
    }
    // Ten pairs (1, 3), each before a delay of 300 mod 200 = 100 sent as 0x32; the eleventh
    // keeps only its 0x32.
    EXPECT_EQ(Hex(MacroReport(entry, 1), 28),
              "16 00 10 01 03 32 11 01 03 32 12 01 03 32 13 01 03 32 14 01 03 32 15 01 03 32 16 "
              "01 03 32 17 01 03 32 18 01 03 32 19 01 03 32 1a 32 1b");

    entry.wMacroActionCount = 0xFFFF;  // a damaged count means all 46 actions
    for (std::size_t m = 0; m < kMaxMacroActions; ++m) {
        entry.aMacroAction[m] = {0x04, m % 2 == 0 ? kDirectionPress : kDirectionRelease, 1000};
    }
    // 45 long delays, but 46 actions leave room for only four long-delay pairs.
    std::string expected = "32 00 04 05 03 80 04 05 03 00 04 05 03 80 04 05 03 00 04";
    for (int m = 5; m < kMaxMacroActions; ++m) {
        expected += m % 2 == 0 ? " 00 04" : " 80 04";
    }
    EXPECT_EQ(Hex(MacroReport(entry, 1), 28), expected);
}

TEST(CommitReport, NamesTheCurrentProfileOrTheNearestOne) {
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    settings->iCurProfile = 9;
    EXPECT_EQ(Hex(CommitReport(*settings)), "0c 04 05 05");
}

}  // namespace
}  // namespace veltrix
