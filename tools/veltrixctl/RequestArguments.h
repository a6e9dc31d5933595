#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Command.h"
#include "profile/ProfileSettings.h"

namespace veltrix::ctl {

// The arguments FILE W L of the commands that run a worker request: the record in FILE and the
// request (wParam W, lParam L).
struct RequestArguments {
    std::unique_ptr<ProfileSettings> settings;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// Parses the arguments of `command` and reads the record. On failure sets `error` to a one-line
// reason and returns false.
bool ReadRequestArguments(std::string_view command, Arguments args, RequestArguments& request,
                          std::string& error);

}  // namespace veltrix::ctl
