#pragma once

#include "profile/ProfileSettings.h"

namespace veltrix {

// Writes the factory defaults of all five profiles and makes the first profile current. Reserved
// fields without a default keep their bytes, as the mouse and older files may depend on them.
void ResetProfileSettings(ProfileSettings& settings);

// The defaults in a record that started as zero bytes: what a fresh installation writes.
ProfileSettings DefaultProfileSettings();

}  // namespace veltrix
