#pragma once

// What the program does with a settings record or a macro that came from outside, gathered so
// that every fuzz target drives the same code: every report that any request sends, as the
// worker builds them, and the record as veltrixctl shows it.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <signal.h>
#include <unistd.h>

#include "device/RecordingTransport.h"
#include "device/ReportSender.h"
#include "device/ReportText.h"
#include "macro/MacroSync.h"
#include "platform/AnsiText.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileSettings.h"
#include "profile/RecordAccess.h"
#include "profile/SettingsFiles.h"
#include "vocabulary/ButtonFunctions.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix::fuzz {

// A data folder of the target's own, with its settings folder, in memory when there is a tmpfs:
// each input is written as a file and loaded the program's way. libFuzzer ends without running
// exit handlers, so each run clears away the folders of runs that have ended.
inline const std::filesystem::path& ScratchDataFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path shm = "/dev/shm";
        const std::filesystem::path parent =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        const std::string prefix = "veltrix-fuzz-";
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(parent, ignored)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix) &&
                ::kill(std::atoi(name.c_str() + prefix.size()), 0) != 0 && errno == ESRCH) {
                std::filesystem::remove_all(entry.path(), ignored);
            }
        }
        std::filesystem::path path = parent / (prefix + std::to_string(::getpid()));
        std::filesystem::create_directories(SettingsFolder(path));
        return path;
    }();
    return folder;
}

// Sends every kind of request for the record and turns each report into its hex line, as the
// dry run prints it. `lParam` varies the request's profile.
inline std::size_t SendEveryRequest(const ProfileSettings& settings, std::intptr_t lParam) {
    RecordingTransport transport;
    LinkFlags flags;
    ReportSender sender(transport, flags, InstantClock());
    for (std::uintptr_t area = kApplyProfiles; area <= kApplyRate + 1; ++area) {
        sender.SendRequest(settings, area, area == kApplyProfiles ? kApplyEveryProfile : lParam);
    }
    sender.SendRequest(settings, kApplyProfiles, kApplyCurrentProfile);
    std::size_t text = 0;
    for (const SentReport& report : transport.Sent()) {
        text += ReportHexLine(report.bytes).size();
    }
    return text;
}

// What the pages show of the record, and the macro copies of its buttons brought in step with a
// store whose one macro may or may not be the one a button names.
inline std::size_t ShowAndSync(ProfileSettings& settings) {
    std::size_t text = 0;
    for (const ProfileData& profile : settings.Profiles) {
        text += static_cast<std::size_t>(CurrentDpiLevel(profile));
        for (const ButtonEntry& entry : profile.aButton) {
            text += FunctionTextId(entry.byFuncCode).size() + KeyTextId(entry.byKeyCode).size() +
                    Utf16ToUtf8(FieldText(entry.szMacroName)).size() +
                    ToWindows1252(FieldText(entry.szMacroName)).size();
            ListIndexOf(FunctionCategory::Mouse, entry.byFuncCode);
        }
    }
    MacroStore store;
    MacroRecord macro{};
    macro.szName = CurrentProfile(settings).aButton[0].szMacroName;
    macro.iActionCount = 3;
    store.Append(macro);
    MacroSync(settings, store);
    return text;
}

}  // namespace veltrix::fuzz
