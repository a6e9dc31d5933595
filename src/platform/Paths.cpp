#include "platform/Paths.h"

#include <cstdlib>
#include <system_error>

#include "platform/BinaryFile.h"

namespace veltrix {
namespace {

std::filesystem::path DataHome() {
    // An empty or relative XDG_DATA_HOME is invalid and must be ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr && home[0] != '\0' ? home : "/tmp") / ".local" /
           "share";
}

}  // namespace

std::filesystem::path DataFolder() {
    std::filesystem::path folder = DataHome() / "veltrix-wireless" / "Data";
    EnsureDirectory(folder);
    return folder;
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path(error) : self.parent_path();
}

std::vector<std::filesystem::path> PluginSearchFolders() {
    return {ExecutableFolder(), VELTRIX_PLUGIN_DIR};
}

}  // namespace veltrix
