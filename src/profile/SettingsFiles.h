#pragma once

// Config_1.data holds the whole settings record and macro.data every macro record, both as raw
// images without header, inside the settings folder "ms_1" of the data folder.

#include <filesystem>

#include "macro/MacroStore.h"
#include "profile/ProfileSettings.h"

namespace veltrix {

std::filesystem::path SettingsFolder(const std::filesystem::path& dataFolder);
std::filesystem::path SettingsFile(const std::filesystem::path& dataFolder);
std::filesystem::path MacroFile(const std::filesystem::path& dataFolder);

// Writes the record to Config_1.data, creating the settings folder when needed. Returns false
// when the file could not be written; the previous file is then untouched.
bool SaveSettings(const ProfileSettings& settings, const std::filesystem::path& dataFolder);

enum class SettingsSource { File, Defaults };

// Reads Config_1.data into the record. A shorter file fills only the beginning and leaves the
// rest as it was; extra bytes are not read. A file that cannot be opened is replaced by the
// defaults, which are saved at once.
SettingsSource LoadSettings(ProfileSettings& settings, const std::filesystem::path& dataFolder);

// Writes every macro record to macro.data, in store order; an empty store leaves an empty file.
bool SaveMacroList(const MacroStore& store, const std::filesystem::path& dataFolder);

// Appends the records of macro.data to the store. A missing file adds nothing. A trailing partial
// record is kept with its missing bytes zero and its count cut to its whole steps, with a note on
// stderr.
void LoadMacroList(MacroStore& store, const std::filesystem::path& dataFolder);

}  // namespace veltrix
