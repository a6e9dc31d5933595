#pragma once

// Indices that come from a file, an import or the mouse are never trusted: every place that
// indexes with the current profile, the current DPI level or an action count asks here, and gets
// the nearest index that stays inside the record. A record full of random bytes is therefore safe
// to show, send and save.

#include <algorithm>

#include "profile/ProfileSettings.h"

namespace veltrix {

// The value moved to the nearest end of [low, high].
constexpr int InRange(long long value, int low, int high) {
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

constexpr int CurrentProfileIndex(const ProfileSettings& settings) {
    return InRange(settings.iCurProfile, 0, kProfileCount - 1);
}

inline ProfileData& CurrentProfile(ProfileSettings& settings) {
    return settings.Profiles[static_cast<std::size_t>(CurrentProfileIndex(settings))];
}

inline const ProfileData& CurrentProfile(const ProfileSettings& settings) {
    return settings.Profiles[static_cast<std::size_t>(CurrentProfileIndex(settings))];
}

inline ProfileData& ProfileAt(ProfileSettings& settings, int index) {
    return settings.Profiles[static_cast<std::size_t>(InRange(index, 0, kProfileCount - 1))];
}

inline const ProfileData& ProfileAt(const ProfileSettings& settings, int index) {
    return settings.Profiles[static_cast<std::size_t>(InRange(index, 0, kProfileCount - 1))];
}

constexpr int CurrentDpiLevel(const ProfileData& profile) {
    return InRange(profile.iCurDpiLevel, 0, kDpiLevelCount - 1);
}

// How many of the inline actions of a button entry are valid.
constexpr int MacroActionCount(const ButtonEntry& entry) {
    return InRange(entry.wMacroActionCount, 0, kMaxMacroActions);
}

// How many actions of a macro record are valid.
constexpr int MacroActionCount(const MacroRecord& record) {
    return InRange(record.iActionCount, 0, kMaxMacroActions);
}

}  // namespace veltrix
