#include "platform/Paths.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/BinaryFile.h"

namespace veltrix {
namespace {

// An empty or relative XDG base directory is invalid and must be ignored.
std::filesystem::path XdgHome(const char* variable, const std::filesystem::path& fallback) {
    if (const char* xdg = std::getenv(variable); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr && home[0] != '\0' ? home : "/tmp") / fallback;
}

void AppendUnique(std::vector<std::filesystem::path>& folders, std::filesystem::path folder) {
    folder = folder.lexically_normal();
    for (const std::filesystem::path& known : folders) {
        if (known == folder) {
            return;
        }
    }
    folders.push_back(std::move(folder));
}

}  // namespace

std::filesystem::path DataFolder() {
    std::filesystem::path folder =
        XdgHome("XDG_DATA_HOME", std::filesystem::path(".local") / "share") / "veltrix-wireless" /
        "Data";
    EnsureDirectory(folder);
    return folder;
}

std::filesystem::path ConfigHome() {
    return XdgHome("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path ExecutablePath() {
    std::error_code error;
    std::string self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    // A program replaced on disk while it runs (a package upgrade) reads as "PATH (deleted)";
    // the path is still where the new copy is.
    constexpr std::string_view kDeleted = " (deleted)";
    if (self.ends_with(kDeleted)) {
        self.resize(self.size() - kDeleted.size());
    }
    return self;
}

std::filesystem::path ExecutableFolder() {
    return ExecutablePath().parent_path();
}

// The install layout is known only as paths relative to the programs' folder, computed when the
// build is configured (for example "../lib" or "../lib/x86_64-linux-gnu"), so nothing here depends
// on the prefix the tree ends up in.
std::vector<std::filesystem::path> PluginSearchFolders(const std::filesystem::path& programFolder) {
    std::vector<std::filesystem::path> folders;
    if (!programFolder.is_absolute()) {
        // Code is loaded only from where the program itself lies: a relative folder would be the
        // current one, which anybody may have put a library in.
        return folders;
    }
    AppendUnique(folders, programFolder);
    AppendUnique(folders, programFolder / ".." / "lib" / "veltrix-wireless");
    AppendUnique(folders, programFolder / VELTRIX_LIBDIR_FROM_BINDIR / "veltrix-wireless");
    return folders;
}

std::vector<std::filesystem::path> PluginSearchFolders() {
    return PluginSearchFolders(ExecutableFolder());
}

std::vector<std::filesystem::path> SkinSearchFolders(const std::filesystem::path& programFolder) {
    std::vector<std::filesystem::path> folders;
    AppendUnique(folders, programFolder / "res");
    AppendUnique(folders, programFolder / ".." / "share" / "veltrix-wireless" / "res");
    AppendUnique(folders, programFolder / VELTRIX_DATADIR_FROM_BINDIR / "veltrix-wireless" / "res");
    return folders;
}

std::vector<std::filesystem::path> SkinSearchFolders() {
    return SkinSearchFolders(ExecutableFolder());
}

std::optional<std::filesystem::path> FindSkinFolder(
    std::span<const std::filesystem::path> folders) {
    for (const std::filesystem::path& folder : folders) {
        std::error_code error;
        if (std::filesystem::is_directory(folder, error)) {
            return folder;
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> FindSkinFolder() {
    return FindSkinFolder(SkinSearchFolders());
}

}  // namespace veltrix
