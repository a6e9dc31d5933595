#pragma once

// The two contents that the save loop alternates between. Each differs from the other in every
// byte and in the length of macro.data, so that a file made of parts of both, or cut short,
// matches neither.

#include <cstdint>
#include <cstring>
#include <memory>

#include "macro/MacroStore.h"
#include "profile/ProfileSettings.h"

namespace veltrix::test {

struct SaveLoopContent {
    std::unique_ptr<ProfileSettings> settings = std::make_unique<ProfileSettings>();
    MacroStore macros;
};

// The byte that fills the settings record of content 0 and of content 1.
inline constexpr char kSaveLoopFill[] = {0x11, 0x22};

// Content 0 or 1.
inline SaveLoopContent MakeSaveLoopContent(int which) {
    SaveLoopContent content;
    const auto fill = static_cast<std::uint8_t>(kSaveLoopFill[which == 0 ? 0 : 1]);
    std::memset(static_cast<void*>(content.settings.get()), fill, sizeof(ProfileSettings));
    MacroRecord record;
    std::memset(static_cast<void*>(&record), fill + 0x22, sizeof record);
    for (int i = 0; i < (which == 0 ? 3 : 5); ++i) {
        content.macros.Append(record);
    }
    return content;
}

}  // namespace veltrix::test
