#include "pages/MouseSettingsCommand.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace veltrix {
namespace {

struct DesktopSettings {
    std::string_view desktop;  // as XDG_CURRENT_DESKTOP names it
    std::string_view program;
    std::string_view argument;  // none when empty
};

// Per desktop, its programs in the order they are tried; a desktop can offer several (newer
// KDE first, then the older program name).
constexpr std::array kDesktopSettings = {
    DesktopSettings{"GNOME", "gnome-control-center", "mouse"},
    DesktopSettings{"KDE", "systemsettings", "kcm_mouse"},
    DesktopSettings{"KDE", "systemsettings5", "kcm_mouse"},
    DesktopSettings{"XFCE", "xfce4-mouse-settings", ""},
    DesktopSettings{"X-Cinnamon", "cinnamon-settings", "mouse"},
    DesktopSettings{"MATE", "mate-mouse-properties", ""},
    DesktopSettings{"LXQt", "lxqt-config-input", ""},
};

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsKnownDesktop(std::string_view name) {
    return std::any_of(kDesktopSettings.begin(), kDesktopSettings.end(),
                       [&](const DesktopSettings& entry) { return SameName(entry.desktop, name); });
}

std::vector<std::string_view> Split(std::string_view list) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        parts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<std::string> CommandOf(const DesktopSettings& entry) {
    std::vector<std::string> command{std::string(entry.program)};
    if (!entry.argument.empty()) {
        command.emplace_back(entry.argument);
    }
    return command;
}

}  // namespace

std::optional<std::vector<std::string>> MouseSettingsCommand(std::string_view desktops,
                                                             const ProgramCheck& installed) {
    const std::vector<std::string_view> names = Split(desktops);
    const auto known = std::find_if(names.begin(), names.end(), IsKnownDesktop);
    for (const DesktopSettings& entry : kDesktopSettings) {
        const bool fits = known == names.end() || SameName(entry.desktop, *known);
        if (fits && installed(entry.program)) {
            return CommandOf(entry);
        }
    }
    return std::nullopt;
}

}  // namespace veltrix
