#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "Command.h"
#include "MouseSession.h"
#include "RequestArguments.h"
#include "profile/SettingsKeeper.h"

namespace veltrix::ctl {
namespace {

// Long enough for a mouse that was just plugged in to settle and send its first status report.
constexpr std::chrono::milliseconds kMouseWaitTime{5000};

}  // namespace

int RunApply(Arguments args) {
    RequestArguments request;
    std::string error;
    if (!ReadRequestArguments("apply", args, request, error)) {
        return UsageError(error);
    }
    const std::filesystem::path file = args[0];
    ProfileSettings& settings = *request.settings;

    // What the mouse changes meanwhile (its DPI level, its profile) goes into the file too, as
    // the program keeps it in its own settings.
    SettingsKeeper keeper(file);
    MouseSession mouse(settings, SaveThrough(keeper));
    if (!mouse.Start(error)) {
        std::cerr << "veltrixctl: " << error << "\n";
        return kExitFailure;
    }

    const LinkFlags& flags = mouse.Link().Flags();
    if (!mouse.RunUntil(kMouseWaitTime, [&] { return flags.AcceptsRequests(); })) {
        std::cerr << "veltrixctl: no mouse within " << kMouseWaitTime.count() / 1000
                  << " seconds: plug in its receiver or cable and wake it\n";
        return kExitFailure;
    }

    mouse.Session().Apply(request.wParam, request.lParam);
    std::optional<Message> finished;
    mouse.RunUntil(
        kWaitForever, [&] { return finished.has_value(); },
        [&](const Message& message) {
            if (message.id == kMsgApplyFinished) {
                finished = message;
            }
        });

    // Saved even when the request was discarded or cut short, as the program does.
    const bool saved = keeper.Save(settings);
    const std::string fileState =
        saved ? file.string() + " is saved" : file.string() + " could not be written";
    if (finished->wParam == kApplyDiscarded) {
        std::cerr << "veltrixctl: the mouse went to sleep before the request was sent\n";
        return kExitFailure;
    }
    if (finished->lParam != 0) {
        std::cerr << "veltrixctl: the mouse was lost during the request: " << finished->lParam
                  << " of its reports did not reach it; " << fileState << "\n";
        return kExitFailure;
    }
    if (!saved) {
        std::cerr << "veltrixctl: the mouse has the settings, but " << fileState << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace veltrix::ctl
