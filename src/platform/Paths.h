#pragma once

#include <filesystem>
#include <vector>

namespace veltrix {

// Where the user's settings live: $XDG_DATA_HOME/veltrix-wireless/Data, by default
// ~/.local/share/veltrix-wireless/Data. The folder is created when it is missing; the path is
// returned even when that fails, so that the caller's own open reports the problem.
std::filesystem::path DataFolder();

// The folder of the running executable, where the plugins sit beside the program.
std::filesystem::path ExecutableFolder();

// Where the driver and hook plugins are looked for, in order: the executable's folder, then the
// folder they are installed to.
std::vector<std::filesystem::path> PluginSearchFolders();

}  // namespace veltrix
