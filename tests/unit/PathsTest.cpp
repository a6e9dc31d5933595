// Finding the plugins and the skin in a build tree and in an installed tree, wherever it lies.

#include <fstream>

#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

namespace fs = std::filesystem;

TEST(InstallLayout, PluginsAreLookedForBesideTheProgramThenInTheTreeItWasInstalledTo) {
    test::TempDir prefix;
    const std::vector<fs::path> folders = PluginSearchFolders(prefix / "bin");
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders[0], prefix / "bin");
    EXPECT_EQ(folders[1], prefix / "lib" / "veltrix-wireless");
    for (const fs::path& folder : folders) {
        // Only ever inside the tree: nothing compiled in points at another prefix.
        EXPECT_TRUE(folder.string().starts_with(prefix.Path().string())) << folder;
    }
}

// With /proc unreadable the program's folder is unknown. A bare or relative folder would send
// the loader to the current folder or through LD_LIBRARY_PATH, where anyone may have put a
// library that then runs as the user: no plugin is loaded at all, and the reason is given.
TEST(InstallLayout, PluginsNeverComeFromTheCurrentFolderOrTheLibraryPath) {
    EXPECT_TRUE(PluginSearchFolders(fs::path()).empty());
    EXPECT_TRUE(PluginSearchFolders(fs::path("bin")).empty());
    // A library the loader would find by its bare name.
    const fs::path relative[] = {fs::path(), fs::path("."), fs::path("lib")};
    for (const fs::path& folder : relative) {
        const PluginLibrary found = LoadPluginLibrary("libm.so.6", std::span(&folder, 1));
        EXPECT_FALSE(found.library.IsLoaded()) << folder;
    }
    const PluginLibrary none = LoadPluginLibrary("libm.so.6", {});
    EXPECT_FALSE(none.library.IsLoaded());
    EXPECT_NE(none.error.find("/proc/self/exe"), std::string::npos) << none.error;
}

TEST(InstallLayout, TheSkinBesideTheProgramWinsOverTheInstalledOne) {
    test::TempDir prefix;
    const fs::path bin = prefix / "bin";
    const fs::path installed = prefix / "share" / "veltrix-wireless" / "res";
    const std::vector<fs::path> folders = SkinSearchFolders(bin);
    EXPECT_EQ(FindSkinFolder(folders), std::nullopt);

    fs::create_directories(installed);
    fs::create_directories(bin);
    std::ofstream(bin / "res") << "a file, not a skin";
    EXPECT_EQ(FindSkinFolder(folders), installed);

    fs::remove(bin / "res");
    fs::create_directories(bin / "res");
    EXPECT_EQ(FindSkinFolder(folders), bin / "res");
}

}  // namespace
}  // namespace veltrix
