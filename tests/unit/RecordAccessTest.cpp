#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "profile/RecordAccess.h"

namespace veltrix {
namespace {

template <typename T>
bool Inside(const void* p, const T& whole) {
    const auto* begin = reinterpret_cast<const std::byte*>(&whole);
    const auto* at = static_cast<const std::byte*>(p);
    return at >= begin && at < begin + sizeof(T);
}

TEST(RecordAccess, IndicesFromRandomBytesStayInsideTheRecord) {
    auto settings = std::make_unique<ProfileSettings>();
    std::mt19937 random(20261206);
    auto* bytes = reinterpret_cast<std::uint8_t*>(settings.get());
    for (int round = 0; round < 50; ++round) {
        for (std::size_t i = 0; i < sizeof(ProfileSettings); ++i) {
            bytes[i] = static_cast<std::uint8_t>(random());
        }
        const ProfileData& current = CurrentProfile(*settings);
        ASSERT_TRUE(Inside(&current, settings->Profiles));
        ASSERT_TRUE(Inside(&current.aiDpiValue[static_cast<std::size_t>(CurrentDpiLevel(current))],
                           current.aiDpiValue));
        for (const ButtonEntry& entry : current.aButton) {
            const int count = MacroActionCount(entry);
            ASSERT_GE(count, 0);
            ASSERT_LE(count, kMaxMacroActions);
        }
    }
}

TEST(RecordAccess, OutOfRangeValuesMeanTheNearestValidIndex) {
    auto settings = std::make_unique<ProfileSettings>();
    settings->iCurProfile = INT32_MIN;
    EXPECT_EQ(&CurrentProfile(*settings), &settings->Profiles[0]);
    settings->iCurProfile = 5;
    EXPECT_EQ(&CurrentProfile(*settings), &settings->Profiles[4]);
    ProfileData& profile = settings->Profiles[2];
    profile.iCurDpiLevel = 8;
    EXPECT_EQ(CurrentDpiLevel(profile), 7);
    profile.aButton[0].wMacroActionCount = 47;
    EXPECT_EQ(MacroActionCount(profile.aButton[0]), 46);
    MacroRecord record{};
    record.iActionCount = -3;
    EXPECT_EQ(MacroActionCount(record), 0);
}

}  // namespace
}  // namespace veltrix
