#include "pages/MouseSettingsCommand.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

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

bool IsProgramOnPath(std::string_view program, std::string_view searchPath) {
    if (program.empty() || program.find('/') != std::string_view::npos) {
        return false;
    }
    for (const std::string_view folder : Split(searchPath)) {
        if (folder.empty()) {
            continue;
        }
        const std::filesystem::path candidate = std::filesystem::path(folder) / program;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

std::optional<std::vector<std::string>> SessionMouseSettingsCommand() {
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    const char* path = std::getenv("PATH");
    const std::string searchPath = path != nullptr ? path : "";
    return MouseSettingsCommand(desktops != nullptr ? desktops : "", [&](std::string_view program) {
        return IsProgramOnPath(program, searchPath);
    });
}

}  // namespace veltrix
