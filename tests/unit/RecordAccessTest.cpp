#include <memory>

#include <gtest/gtest.h>

#include "profile/RecordAccess.h"

namespace veltrix {
namespace {

// Whatever a damaged file holds, an index names the nearest valid entry.
TEST(RecordAccess, OutOfRangeValuesMeanTheNearestValidIndex) {
    auto settings = std::make_unique<ProfileSettings>();
    settings->iCurProfile = INT32_MIN;
    EXPECT_EQ(&CurrentProfile(*settings), &settings->Profiles[0]);
    settings->iCurProfile = 5;
    EXPECT_EQ(&CurrentProfile(*settings), &settings->Profiles[4]);
    ProfileData& profile = settings->Profiles[2];
    for (const auto& [level, nearest] : {std::pair{8, 7}, {-1, 0}, {INT32_MAX, 7}, {3, 3}}) {
        profile.iCurDpiLevel = level;
        EXPECT_EQ(CurrentDpiLevel(profile), nearest) << level;
    }
    for (const auto& [count, nearest] : {std::pair{47, 46}, {0xFFFF, 46}, {46, 46}}) {
        profile.aButton[0].wMacroActionCount = static_cast<std::uint16_t>(count);
        EXPECT_EQ(MacroActionCount(profile.aButton[0]), nearest) << count;
    }
    MacroRecord record{};
    for (const auto& [count, nearest] : {std::pair{-3, 0}, {INT32_MIN, 0}, {47, 46}, {9, 9}}) {
        record.iActionCount = count;
        EXPECT_EQ(MacroActionCount(record), nearest) << count;
    }
}

}  // namespace
}  // namespace veltrix
