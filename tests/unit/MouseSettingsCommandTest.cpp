#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pages/MouseSettingsCommand.h"
#include "support/TempDir.h"

namespace veltrix {
namespace {

using Command = std::optional<std::vector<std::string>>;

struct DesktopCase {
    std::string desktops;
    std::set<std::string, std::less<>> installed;
    Command command;
};

TEST(MouseSettingsCommandTest, TheDesktopDecidesAmongTheInstalledPrograms) {
    const std::set<std::string, std::less<>> all = {"gnome-control-center", "systemsettings",
                                                    "systemsettings5", "xfce4-mouse-settings"};
    const std::vector<DesktopCase> cases = {
        {"GNOME", all, {{"gnome-control-center", "mouse"}}},
        {"ubuntu:GNOME", all, {{"gnome-control-center", "mouse"}}},
        {"KDE", all, {{"systemsettings", "kcm_mouse"}}},
        {"kde", {"systemsettings5"}, {{"systemsettings5", "kcm_mouse"}}},
        {"XFCE", all, {{"xfce4-mouse-settings"}}},
        // A known desktop without its own program gets no other desktop's.
        {"KDE", {"gnome-control-center"}, std::nullopt},
        // An unknown or unnamed desktop takes whatever known program is installed.
        {"Sway", {"xfce4-mouse-settings"}, {{"xfce4-mouse-settings"}}},
        {"", {"systemsettings5", "xfce4-mouse-settings"}, {{"systemsettings5", "kcm_mouse"}}},
        {"", {}, std::nullopt},
    };
    for (const DesktopCase& c : cases) {
        SCOPED_TRACE(c.desktops);
        EXPECT_EQ(MouseSettingsCommand(c.desktops,
                                       [&](std::string_view p) { return c.installed.contains(p); }),
                  c.command);
    }
}

TEST(MouseSettingsCommandTest, AProgramIsOnThePathWhenAFolderHoldsItAsAnExecutableFile) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "bin");
    std::filesystem::create_directory(dir / "bin" / "folder");
    std::ofstream(dir / "bin" / "tool") << "#!/bin/sh\n";
    std::ofstream(dir / "bin" / "plain") << "text\n";
    std::filesystem::permissions(dir / "bin" / "tool", std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    const std::string path = "/nonexistent::" + (dir / "bin").string();
    EXPECT_TRUE(IsProgramOnPath("tool", path));
    EXPECT_FALSE(IsProgramOnPath("plain", path)) << "not executable";
    EXPECT_FALSE(IsProgramOnPath("folder", path));
    EXPECT_FALSE(IsProgramOnPath("bin/tool", dir.Path().string()));
    EXPECT_FALSE(IsProgramOnPath("tool", ""));
}

}  // namespace
}  // namespace veltrix
