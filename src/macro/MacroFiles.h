#pragma once

// A macro file (*.macro) is one MacroRecord, byte for byte, with no header: the way a single macro
// moves between installations. And what every change of the store is followed by: macro.data is
// rewritten and the buttons that run macros get their copies refreshed.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "macro/MacroStore.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"
#include "profile/SettingsKeeper.h"

namespace veltrix {

inline constexpr std::uintmax_t kMacroFileSize = sizeof(MacroRecord);

// Writes the record to `file`, replacing an existing file in one step. False when it could not be
// written; a file that was there is then untouched.
bool ExportMacroFile(const MacroRecord& record, const std::filesystem::path& file);

enum class MacroImportStatus {
    Imported,
    WrongSize,   // the file does not hold exactly one macro
    Unreadable,  // the file cannot be opened or read
    NotSaved,    // the store could not be written to the macro file
};

struct MacroImportResult {
    MacroImportStatus status = MacroImportStatus::Unreadable;
    int index = -1;  // where the macro went in the store: always its end

    bool Imported() const { return status == MacroImportStatus::Imported; }
};

// Appends the macro of a file to the store under its own name or, when the store has that name in
// any case, the first free "name_1", "name_2", ... cut to fit, and saves the store to `macroFile`.
// The file is untrusted: a name without its terminator is cut and a count outside 0..46 is brought
// to the nearest end; every other byte is kept as the file has it. Any failure changes nothing:
// neither the store nor the macro file.
MacroImportResult ImportMacroFile(MacroStore& store, const std::filesystem::path& file,
                                  const std::filesystem::path& macroFile);

// The text id of the warning that a failed import shows; empty for a successful one.
std::string_view MacroImportWarningTextId(MacroImportStatus status);

// After a macro was saved, renamed or deleted: macro.data is rewritten and the macro copies of the
// buttons of every profile follow the store. When some button names a macro, the record is saved
// too (through the run's keeper of the settings file) and the mouse is sent the buttons again (an
// apply request to `mainWindow`). True in that case: the button page then reads its buttons again.
bool PublishMacroChange(const MacroStore& store, ProfileSettings& settings, SettingsKeeper& keeper,
                        const std::filesystem::path& dataFolder,
                        const VeltrixWindowHandle& mainWindow);

}  // namespace veltrix
