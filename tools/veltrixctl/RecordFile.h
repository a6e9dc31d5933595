#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "profile/ProfileSettings.h"

namespace veltrix::ctl {

// Reads a settings file that must hold exactly one record. On failure returns null and sets
// `error` to a one-line reason.
std::unique_ptr<ProfileSettings> ReadRecordFile(const std::filesystem::path& path,
                                                std::string& error);

}  // namespace veltrix::ctl
