#pragma once

// The desktop's own mouse settings, for the DPI page's mouse settings button: which program to
// start, chosen by the desktop the session runs and by what is installed.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

// Whether a program of that name is installed where it can be started (on PATH).
using ProgramCheck = std::function<bool(std::string_view program)>;

// The command line (program first) that opens the mouse settings of `desktops`, a list of desktop
// names separated by ':' as XDG_CURRENT_DESKTOP holds them (case does not matter). The first
// named desktop that is known decides, and only its own settings programs are tried: another
// desktop's may refuse to run or change settings this desktop ignores. When no named desktop is
// known (or none is named), the first installed program of any known desktop is taken. Nothing
// when nothing fits.
std::optional<std::vector<std::string>> MouseSettingsCommand(std::string_view desktops,
                                                             const ProgramCheck& installed);

}  // namespace veltrix
