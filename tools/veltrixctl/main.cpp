// veltrixctl: the settings record and the mouse from the command line.

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "Command.h"

namespace veltrix::ctl {
namespace {

constexpr Command kCommands[] = {
    {"apply", "FILE W L",
     "Send the apply request (wParam W, lParam L) for the settings record in FILE to the mouse, "
     "as the program does: wait up to 5 seconds for a connected, awake mouse, send the reports "
     "400 ms apart, then save FILE. Exits with 1 when no mouse comes, and when the mouse is lost "
     "part way (FILE is saved all the same).",
     RunApply},
    {"defaults", "FILE", "Write a settings record holding the factory defaults to FILE.",
     RunDefaults},
    {"export", "FILE PROFILE OUT.pro",
     "Write profile PROFILE (1 to 5) of the settings record in FILE to the profile file OUT.pro, "
     "which another installation can import.",
     RunExport},
    {"import", "FILE PROFILE IN.pro",
     "Read the profile file IN.pro into profile PROFILE (1 to 5) of the settings record in FILE "
     "and save FILE. The macros that its buttons run are added to the macro.data beside FILE, "
     "under names of their own (a name already there gets _1, _2, ...), and printed. A file that "
     "does not hold exactly one profile (32872 bytes) is refused and nothing changes.",
     RunImport},
    {"reports", "FILE W L",
     "Print the feature reports that the apply request (wParam W, lParam L) would send to the "
     "mouse for the settings record in FILE, in order and commit last: one report per line, "
     "each byte as two lowercase hex digits, separated by spaces. Nothing is sent.",
     RunReports},
    {"show", "FILE",
     "Print the settings record in FILE: the current profile and, for each profile, its DPI "
     "levels with their colours, report rate, lighting and the function of each of the twelve "
     "buttons (by text id, key or macro name).",
     RunShow},
    {"status", "",
     "Show which of the receiver and the cable are present, whether the mouse is awake, its "
     "battery and whether it is charging. Listens up to 3 seconds for the mouse's status.",
     RunStatus},
};

void PrintHelp(std::ostream& out) {
    out << "usage: veltrixctl COMMAND [ARGUMENTS]\n\n"
           "Reads and writes the settings record of the Veltrix wireless mouse "
           "(Config_1.data), and talks to the mouse itself.\n\ncommands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.name << (command.synopsis.empty() ? "" : " ") << command.synopsis
            << "\n      " << command.description << "\n";
    }
    out << "\nExit codes: 0 success, 1 the command could not finish, 2 bad arguments or an "
           "unusable file.\n";
}

}  // namespace

std::string TerminalSafe(std::string_view utf8) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string safe;
    safe.reserve(utf8.size());
    const auto escape = [&](unsigned char byte) {
        safe += "\\x";
        safe += kHex[byte >> 4];
        safe += kHex[byte & 0xF];
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = static_cast<unsigned char>(i + 1 < utf8.size() ? utf8[i + 1] : '\0');
        if (byte < 0x20 || byte == 0x7F) {
            escape(byte);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            escape(byte);
            escape(next);
            ++i;
        } else {
            safe += static_cast<char>(byte);
        }
    }
    return safe;
}

int UsageError(std::string_view message) {
    std::cerr << "veltrixctl: " << message << "\n";
    return kExitUsage;
}

}  // namespace veltrix::ctl

int main(int argc, char** argv) {
    using namespace veltrix::ctl;
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    if (args.empty()) {
        PrintHelp(std::cerr);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(std::cout);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (args[0] == command.name) {
            return command.run(Arguments(args).subspan(1));
        }
    }
    return UsageError("unknown command '" + args[0] + "'; see veltrixctl --help");
}
