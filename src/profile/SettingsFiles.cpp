#include "profile/SettingsFiles.h"

#include <cstring>
#include <iostream>
#include <vector>

#include "platform/BinaryFile.h"
#include "profile/ProfileDefaults.h"

namespace veltrix {

std::filesystem::path SettingsFolder(const std::filesystem::path& dataFolder) {
    return dataFolder / "ms_1";
}

std::filesystem::path SettingsFile(const std::filesystem::path& dataFolder) {
    return SettingsFolder(dataFolder) / "Config_1.data";
}

std::filesystem::path MacroFile(const std::filesystem::path& dataFolder) {
    return SettingsFolder(dataFolder) / "macro.data";
}

bool SaveSettings(const ProfileSettings& settings, const std::filesystem::path& dataFolder) {
    return EnsureDirectory(SettingsFolder(dataFolder)) &&
           WriteFileAtomically(SettingsFile(dataFolder), RecordBytes(settings));
}

SettingsSource LoadSettings(ProfileSettings& settings, const std::filesystem::path& dataFolder) {
    if (ReadFilePrefix(SettingsFile(dataFolder), WritableRecordBytes(settings))) {
        return SettingsSource::File;
    }
    ResetProfileSettings(settings);
    SaveSettings(settings, dataFolder);
    return SettingsSource::Defaults;
}

bool SaveMacroList(const MacroStore& store, const std::filesystem::path& dataFolder) {
    return SaveMacroListTo(store, MacroFile(dataFolder));
}

void LoadMacroList(MacroStore& store, const std::filesystem::path& dataFolder) {
    LoadMacroListFrom(store, MacroFile(dataFolder));
}

bool SaveMacroListTo(const MacroStore& store, const std::filesystem::path& macroFile) {
    std::vector<std::byte> bytes(static_cast<std::size_t>(store.Count()) * sizeof(MacroRecord));
    for (int i = 0; i < store.Count(); ++i) {
        std::memcpy(bytes.data() + static_cast<std::size_t>(i) * sizeof(MacroRecord), &store.At(i),
                    sizeof(MacroRecord));
    }
    const std::filesystem::path folder = macroFile.parent_path();
    return (folder.empty() || EnsureDirectory(folder)) && WriteFileAtomically(macroFile, bytes);
}

void LoadMacroListFrom(MacroStore& store, const std::filesystem::path& file) {
    const std::optional<std::uintmax_t> size = RegularFileSize(file);
    if (!size || *size == 0) {
        return;
    }
    std::vector<std::byte> bytes(*size);
    const std::optional<std::size_t> read = ReadFilePrefix(file, bytes);
    if (!read) {
        std::cerr << "veltrix: cannot read " << file.string() << "; no macros loaded\n";
        return;
    }
    const std::size_t whole = *read / sizeof(MacroRecord);
    if (*read % sizeof(MacroRecord) != 0) {
        std::cerr << "veltrix: " << file.string() << " ends in a partial macro record of "
                  << *read % sizeof(MacroRecord) << " bytes; it was dropped\n";
    }
    for (std::size_t i = 0; i < whole; ++i) {
        MacroRecord record;
        std::memcpy(&record, bytes.data() + i * sizeof(MacroRecord), sizeof(MacroRecord));
        store.Append(record);
    }
}

}  // namespace veltrix
