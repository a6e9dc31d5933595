#include "platform/Autostart.h"

#include <cstddef>
#include <cstdlib>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/BinaryFile.h"
#include "platform/Paths.h"

namespace veltrix {
namespace {

// An entry is a few hundred bytes; a larger file is not ours and is read only this far.
constexpr std::size_t kLongestEntry = 64 * 1024;

bool IsOnPath(const std::filesystem::path& program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return false;
    }
    std::istringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        // An empty or relative entry depends on the session's working folder.
        if (folder.empty() || folder[0] != '/') {
            continue;
        }
        const std::filesystem::path candidate = std::filesystem::path(folder) / program.filename();
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) {
            return std::filesystem::equivalent(candidate, program, error) && !error;
        }
    }
    return false;
}

std::string EscapeString(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// Where earlier versions wrote the entry, before it was named after the application id.
std::filesystem::path OldAutostartFile() {
    return ConfigHome() / "autostart" / "veltrix-wireless.desktop";
}

bool EntryEnabled(const std::filesystem::path& file) {
    std::vector<std::byte> buffer(kLongestEntry);
    const std::optional<std::size_t> size = ReadFilePrefix(file, buffer);
    if (!size) {
        return false;
    }
    std::istringstream lines(std::string(reinterpret_cast<const char*>(buffer.data()), *size));
    std::string line;
    while (std::getline(lines, line)) {
        // Desktop entries allow spaces around the '='.
        std::erase(line, ' ');
        if (line == "Hidden=true") {
            return false;
        }
    }
    return true;
}

}  // namespace

std::filesystem::path AutostartFile() {
    return ConfigHome() / "autostart" / "io.veltrix.Wireless.desktop";
}

bool AutostartEnabled() {
    // An entry left by an earlier version still starts the program.
    return EntryEnabled(AutostartFile()) || EntryEnabled(OldAutostartFile());
}

bool SetAutostart(bool enable) {
    return SetAutostart(enable, ExecutablePath());
}

bool SetAutostart(bool enable, const std::filesystem::path& program) {
    const std::filesystem::path file = AutostartFile();
    std::error_code error;
    // Either way the old entry goes: left beside the new one it would start the program twice,
    // or start it after the user switched it off.
    std::filesystem::remove(OldAutostartFile(), error);
    if (error) {
        return false;
    }
    if (!enable) {
        std::filesystem::remove(file, error);
        return !error;
    }
    if (program.empty() || !EnsureDirectory(file.parent_path())) {
        return false;
    }
    const std::string entry = AutostartEntry(program);
    return WriteFileAtomically(file, std::as_bytes(std::span(entry.data(), entry.size())));
}

std::string AutostartEntry(const std::filesystem::path& program) {
    const std::string command = IsOnPath(program) ? program.filename().string() : program.string();
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Veltrix Wireless\n"
           "Comment=Keeps the Veltrix mouse settings at hand in the notification area\n"
           "Exec=" +
           DesktopExecArgument(command) +
           " --hidden\n"
           "TryExec=" +
           EscapeString(command) +
           "\n"
           "Icon=veltrix-wireless\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string DesktopExecArgument(std::string_view argument) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    constexpr std::string_view kEscapedInQuotes = "\"`$\\";
    const bool quote =
        argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    std::string quoted = quote ? "\"" : "";
    for (const char c : argument) {
        if (c == '%') {
            quoted += "%%";
            continue;
        }
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) {
            quoted += '\\';
        }
        quoted += c;
    }
    if (quote) {
        quoted += '"';
    }
    // The Exec value is itself a string value, whose own escapes come on top of the quoting.
    return EscapeString(quoted);
}

}  // namespace veltrix
