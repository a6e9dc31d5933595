#pragma once

#include <span>
#include <string>
#include <string_view>

namespace veltrix::ctl {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the command ran but did not reach its goal
inline constexpr int kExitUsage = 2;    // bad arguments or unusable input files

using Arguments = std::span<const std::string>;

struct Command {
    std::string_view name;
    std::string_view synopsis;     // the arguments, as shown in the usage line
    std::string_view description;  // what it does, for --help
    int (*run)(Arguments args);
};

// Text from a file (a macro name) as it may be printed on a terminal: control characters, which
// could move the cursor, retitle the window or worse, are shown escaped ("\x1b"), as are the
// eight-bit controls that UTF-8 spells as two bytes ("\xc2\x9b").
std::string TerminalSafe(std::string_view utf8);

// Prints "veltrixctl: <message>" on stderr and returns the usage exit code.
int UsageError(std::string_view message);

int RunApply(Arguments args);
int RunDefaults(Arguments args);
int RunExport(Arguments args);
int RunImport(Arguments args);
int RunReports(Arguments args);
int RunShow(Arguments args);
int RunStatus(Arguments args);

}  // namespace veltrix::ctl
