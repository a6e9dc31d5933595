#pragma once

// A profile file (*.pro) is one ProfileData, byte for byte, with no header. It carries the inline
// copies of the macros that its buttons run, so a profile moves to another installation complete:
// importing it re-creates those macros in the macro store under names of their own.
//
// What the device page does around these, on the UI thread:
//
//   Export: the save dialog gives a path; ExportProfileFile(CurrentProfile(settings), path).
//
//   Import: the open dialog gives a path; then
//     result = ImportProfileFile(CurrentProfile(settings), store, path, MacroFile(DataFolder()));
//     if (!result.Imported()):
//         warning box ProfileImportWarningTextId(result.status) under "warning_title_text";
//         nothing else (the record and the store are as they were).
//     else:
//         if (result.macrosAdded > 0): the button page and the macro page refill their macro lists
//         the button page reloads its twelve buttons; the DPI and lighting pages reload
//         keeper.Save(settings)  (the run's SettingsKeeper)
//         post kMsgApplyRequest with (kApplyProfiles, kApplyCurrentProfile), that is (0, 2): the
//         current profile's DPI, lighting and rate reports, every macro and the button reports
//         of all five profiles reach the mouse.
//
// A cancelled dialog calls neither function.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "macro/MacroStore.h"
#include "profile/ProfileSettings.h"

namespace veltrix {

inline constexpr std::uintmax_t kProfileFileSize = sizeof(ProfileData);

// Writes the profile to `file`, replacing an existing file in one step. False when it could not be
// written; a file that was there is then untouched.
bool ExportProfileFile(const ProfileData& profile, const std::filesystem::path& file);

enum class ProfileImportStatus {
    Imported,
    WrongSize,       // the file does not hold exactly one profile
    Unreadable,      // the file cannot be opened or read
    MacrosNotSaved,  // the profile's macros could not be written to the macro file
};

struct ProfileImportResult {
    ProfileImportStatus status = ProfileImportStatus::Unreadable;
    int macrosAdded = 0;  // appended to the end of the store, in button order

    bool Imported() const { return status == ProfileImportStatus::Imported; }
};

// Reads a profile file over `profile`. Every button that runs a macro (function 17) gets its macro
// re-created at the end of `store`, under its own name or, when the store has that name in any
// case, the first free "name_1", "name_2", ... cut to fit; the button then names that macro and
// points at its index. When any macro was added the store is saved to `macroFile`, once.
//
// The file is untrusted: counts and indices that would reach outside the record are brought into
// range and texts are terminated; every other byte is kept as the file has it.
//
// Any failure changes nothing: neither the profile, nor the store, nor the macro file.
ProfileImportResult ImportProfileFile(ProfileData& profile, MacroStore& store,
                                      const std::filesystem::path& file,
                                      const std::filesystem::path& macroFile);

// The text id of the warning that a failed import shows; empty for a successful one.
std::string_view ProfileImportWarningTextId(ProfileImportStatus status);

}  // namespace veltrix
