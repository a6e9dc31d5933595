#pragma once

// The commands that `veltrix-mouse-emulator ctl` sends to a running emulator. Parsed on both
// sides: the client refuses a bad command without bothering the emulator, and the emulator
// trusts no client.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/FeatureTransport.h"

namespace veltrix::emulator {

struct CtlCommand {
    enum class Kind {
        Plug,
        Unplug,
        DpiButton,
        ProfileButton,
        Battery,
        Sleep,
        Wake,
        State,
        Log,
        ClearLog,
    };
    Kind kind = Kind::State;
    DeviceLinkKind link = DeviceLinkKind::Receiver;  // Plug, Unplug
    int batteryBars = 0;                             // Battery: 1 to 4
};

// The command that `words` spell, or nothing with `error` saying what is wrong.
std::optional<CtlCommand> ParseCtlCommand(std::span<const std::string> words, std::string& error);

// One line per command, for --help.
extern const std::string_view kCtlCommandHelp;

}  // namespace veltrix::emulator
