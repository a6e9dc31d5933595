#include "CtlCommand.h"

namespace veltrix::emulator {

const std::string_view kCtlCommandHelp =
    "  plug receiver|cable     plug the receiver or the cable in\n"
    "  unplug receiver|cable   pull it out\n"
    "  dpi-button              press the DPI button: the next enabled DPI level\n"
    "  profile-button          press the profile button: the next profile\n"
    "  battery 1..4            set the battery to that many bars\n"
    "  sleep                   the mouse falls asleep\n"
    "  wake                    the mouse wakes up\n"
    "  state                   print the onboard state as JSON\n"
    "  log                     print every feature report received, oldest first, in hex\n"
    "  clear-log               forget the reports received so far\n";

std::optional<CtlCommand> ParseCtlCommand(std::span<const std::string> words, std::string& error) {
    using Kind = CtlCommand::Kind;
    struct Simple {
        std::string_view name;
        Kind kind;
    };
    constexpr Simple kSimple[] = {
        {"dpi-button", Kind::DpiButton}, {"profile-button", Kind::ProfileButton},
        {"sleep", Kind::Sleep},          {"wake", Kind::Wake},
        {"state", Kind::State},          {"log", Kind::Log},
        {"clear-log", Kind::ClearLog},
    };
    if (words.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::string& name = words[0];
    for (const Simple& simple : kSimple) {
        if (name == simple.name) {
            if (words.size() != 1) {
                error = name + " takes no argument";
                return std::nullopt;
            }
            return CtlCommand{simple.kind};
        }
    }
    if (name == "plug" || name == "unplug") {
        if (words.size() != 2 || (words[1] != "receiver" && words[1] != "cable")) {
            error = name + " takes one argument, receiver or cable";
            return std::nullopt;
        }
        return CtlCommand{name == "plug" ? Kind::Plug : Kind::Unplug,
                          words[1] == "cable" ? DeviceLinkKind::Cable : DeviceLinkKind::Receiver};
    }
    if (name == "battery") {
        if (words.size() != 2 || words[1].size() != 1 || words[1][0] < '1' || words[1][0] > '4') {
            error = "battery takes one argument, the number of bars from 1 to 4";
            return std::nullopt;
        }
        return CtlCommand{Kind::Battery, DeviceLinkKind::Receiver, words[1][0] - '0'};
    }
    error = "unknown command '" + name + "'";
    return std::nullopt;
}

}  // namespace veltrix::emulator
