#pragma once

// Config_1.data holds the whole settings record and macro.data every macro record, both as raw
// images without header, inside the settings folder "ms_1" of the data folder.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "macro/MacroStore.h"
#include "profile/ProfileSettings.h"

namespace veltrix {

std::filesystem::path SettingsFolder(const std::filesystem::path& dataFolder);
std::filesystem::path SettingsFile(const std::filesystem::path& dataFolder);
std::filesystem::path MacroFile(const std::filesystem::path& dataFolder);

// Where a record came from: the file; the defaults, because there was no file (and the defaults
// were saved at once); or the defaults, because the file is there but could not be read (and it
// was left as it is).
enum class SettingsSource { File, Defaults, Unreadable };

// Reads Config_1.data into the record, as SettingsKeeper::Load does. The program loads and saves
// through its SettingsKeeper instead, which also holds the saves after an unreadable file.
SettingsSource LoadSettings(ProfileSettings& settings, const std::filesystem::path& dataFolder);

// Writes every macro record to macro.data, in store order; an empty store leaves an empty file.
bool SaveMacroList(const MacroStore& store, const std::filesystem::path& dataFolder);

// The most macros macro.data is read with. The store sets no limit, but every macro is made by
// hand or imported one file at a time, and the mouse holds at most a macro per button of its five
// profiles; 65,536 is far beyond any real list and still reads at start-up in a blink (15 MiB).
inline constexpr std::size_t kMaxStoredMacros = 65536;
inline constexpr std::uintmax_t kMaxMacroListSize = kMaxStoredMacros * sizeof(MacroRecord);

// Appends the records of macro.data to the store. A missing file adds nothing. A trailing partial
// record is kept with its missing bytes zero and its count cut to its whole steps, with a note on
// stderr. A file that cannot be read (larger than kMaxMacroListSize, not a regular file, an I/O
// error) adds nothing and is moved aside as "macro.data.unreadable-YYYYMMDD-HHMMSS", so that the
// next save cannot replace it; stderr says so.
void LoadMacroList(MacroStore& store, const std::filesystem::path& dataFolder);

// The same for a macro file at any path (the command line keeps one beside its settings file).
// Saving creates the file's folder when needed.
bool SaveMacroListTo(const MacroStore& store, const std::filesystem::path& macroFile);
void LoadMacroListFrom(MacroStore& store, const std::filesystem::path& macroFile);

}  // namespace veltrix
