#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace veltrix {

// Where the user's settings live: $XDG_DATA_HOME/veltrix-wireless/Data, by default
// ~/.local/share/veltrix-wireless/Data. The folder is created when it is missing; the path is
// returned even when that fails, so that the caller's own open reports the problem.
std::filesystem::path DataFolder();

// The user's configuration folder: $XDG_CONFIG_HOME, by default ~/.config. Not created.
std::filesystem::path ConfigHome();

// The running executable, resolved through /proc/self/exe; empty when that cannot be read.
std::filesystem::path ExecutablePath();

// The folder of the running executable, where the plugins sit beside the program in a build tree;
// empty when it cannot be found.
std::filesystem::path ExecutableFolder();

// Where the driver and hook plugins are looked for, in order: beside the program (a build tree),
// then the installed plugin folder found relative to the program's own folder, so an installed
// tree works from whatever prefix it was installed or unpacked to. None when the program's folder
// is unknown (empty) or relative: plugins never come from the current folder.
std::vector<std::filesystem::path> PluginSearchFolders(const std::filesystem::path& programFolder);
std::vector<std::filesystem::path> PluginSearchFolders();

// Where the skin (layouts, lan.xml, images, style sheet) is looked for, in order: `res` beside
// the program, then the installed skin relative to the program's folder.
std::vector<std::filesystem::path> SkinSearchFolders(const std::filesystem::path& programFolder);
std::vector<std::filesystem::path> SkinSearchFolders();

// The first of the folders that is a directory, or nothing when none is.
std::optional<std::filesystem::path> FindSkinFolder(std::span<const std::filesystem::path> folders);
std::optional<std::filesystem::path> FindSkinFolder();

}  // namespace veltrix
