// export and import: one profile of a settings file to and from a profile file (*.pro).

#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Command.h"
#include "RecordFile.h"
#include "macro/MacroStore.h"
#include "platform/BinaryFile.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileTransfer.h"
#include "profile/SettingsFiles.h"

namespace veltrix::ctl {
namespace {

// The arguments FILE PROFILE OTHER of both commands.
struct ProfileFileArguments {
    std::filesystem::path settingsFile;
    int profileIndex = 0;
    std::filesystem::path profileFile;
    std::unique_ptr<ProfileSettings> settings;
};

bool ReadArguments(std::string_view command, Arguments args, ProfileFileArguments& parsed,
                   std::string& error) {
    if (args.size() != 3) {
        error = std::string(command) +
                " takes three arguments: the settings file, the profile (1 to 5) and the profile "
                "file";
        return false;
    }
    int number = 0;
    const std::string& text = args[1];
    const auto [stop, failed] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failed != std::errc() || stop != text.data() + text.size() || number < 1 ||
        number > kProfileCount) {
        error = "the profile must be a number from 1 to 5, not '" + text + "'";
        return false;
    }
    parsed.settingsFile = args[0];
    parsed.profileIndex = number - 1;
    parsed.profileFile = args[2];
    parsed.settings = ReadRecordFile(parsed.settingsFile, error);
    return parsed.settings != nullptr;
}

// The bytes of the macro list, or nothing when there is none or it cannot be read, so that it can
// be put back as it was.
std::optional<std::vector<std::byte>> MacroListContent(const std::filesystem::path& path) {
    FileContent content = ReadWholeFile(path, kMaxMacroListSize);
    if (content.status != FileReadStatus::Read) {
        return std::nullopt;
    }
    return std::move(content.bytes);
}

void Restore(const std::filesystem::path& path,
             const std::optional<std::vector<std::byte>>& content) {
    if (content) {
        WriteFileAtomically(path, *content);
    } else {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
}

}  // namespace

int RunExport(Arguments args) {
    ProfileFileArguments parsed;
    std::string error;
    if (!ReadArguments("export", args, parsed, error)) {
        return UsageError(error);
    }
    const ProfileData& profile =
        parsed.settings->Profiles[static_cast<std::size_t>(parsed.profileIndex)];
    if (!ExportProfileFile(profile, parsed.profileFile)) {
        return UsageError("cannot write " + parsed.profileFile.string());
    }
    return kExitOk;
}

int RunImport(Arguments args) {
    ProfileFileArguments parsed;
    std::string error;
    if (!ReadArguments("import", args, parsed, error)) {
        return UsageError(error);
    }
    const std::filesystem::path macroFile = parsed.settingsFile.parent_path() / "macro.data";
    const std::optional<std::vector<std::byte>> oldMacros = MacroListContent(macroFile);
    std::error_code ignored;
    if (!oldMacros && std::filesystem::exists(macroFile, ignored)) {
        // Saving the new macros would replace the ones that could not be read.
        return UsageError("cannot read " + macroFile.string());
    }
    MacroStore store;
    LoadMacroListFrom(store, macroFile);

    ProfileSettings& settings = *parsed.settings;
    const ProfileImportResult result =
        ImportProfileFile(settings.Profiles[static_cast<std::size_t>(parsed.profileIndex)], store,
                          parsed.profileFile, macroFile);
    const std::string in = parsed.profileFile.string();
    switch (result.status) {
        case ProfileImportStatus::Imported:
            break;
        case ProfileImportStatus::WrongSize:
            return UsageError(
                in + " holds " + std::to_string(RegularFileSize(parsed.profileFile).value_or(0)) +
                " bytes, not the " + std::to_string(kProfileFileSize) + " of a profile");
        case ProfileImportStatus::Unreadable:
            return UsageError("cannot read " + in);
        case ProfileImportStatus::MacrosNotSaved:
            return UsageError("cannot write " + macroFile.string());
    }

    if (!WriteFileAtomically(parsed.settingsFile, RecordBytes(settings))) {
        // The settings file still names the old macros: take the new ones back out.
        if (result.macrosAdded > 0) {
            Restore(macroFile, oldMacros);
        }
        return UsageError("cannot write " + parsed.settingsFile.string());
    }
    for (int i = store.Count() - result.macrosAdded; i < store.Count(); ++i) {
        std::cout << "added macro \"" << TerminalSafe(Utf16ToUtf8(FieldText(store.At(i).szName)))
                  << "\"\n";
    }
    return kExitOk;
}

}  // namespace veltrix::ctl
