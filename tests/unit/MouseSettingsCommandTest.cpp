#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pages/MouseSettingsCommand.h"

namespace veltrix {
namespace {

TEST(MouseSettingsCommandTest, TheDesktopDecidesAmongTheInstalledPrograms) {
    using Installed = std::set<std::string, std::less<>>;
    using Command = std::optional<std::vector<std::string>>;
    const Installed all = {"gnome-control-center", "systemsettings", "systemsettings5",
                           "xfce4-mouse-settings"};
    const struct {
        std::string desktops;
        Installed installed;
        Command command;
    } cases[] = {
        {"ubuntu:GNOME", all, {{"gnome-control-center", "mouse"}}},
        {"KDE", all, {{"systemsettings", "kcm_mouse"}}},
        {"kde", {"systemsettings5"}, {{"systemsettings5", "kcm_mouse"}}},
        {"XFCE", all, {{"xfce4-mouse-settings"}}},
        {"KDE", {"gnome-control-center"}, std::nullopt},  // never another desktop's
        {"Sway", {"xfce4-mouse-settings"}, {{"xfce4-mouse-settings"}}},
        {"", {"systemsettings5", "xfce4-mouse-settings"}, {{"systemsettings5", "kcm_mouse"}}},
        {"", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktops);
        const auto installed = [&](std::string_view p) { return c.installed.contains(p); };
        EXPECT_EQ(MouseSettingsCommand(c.desktops, installed), c.command);
    }
}

}  // namespace
}  // namespace veltrix
