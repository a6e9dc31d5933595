#include "profile/SettingsFiles.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iostream>
#include <vector>

#include "platform/BinaryFile.h"
#include "profile/RecordAccess.h"
#include "profile/SettingsKeeper.h"

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

SettingsSource LoadSettings(ProfileSettings& settings, const std::filesystem::path& dataFolder) {
    return SettingsKeeper(SettingsFile(dataFolder)).Load(settings);
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
    RemoveDeadTempFiles(file);
    const FileContent content = ReadWholeFile(file, kMaxMacroListSize);
    if (content.status == FileReadStatus::Missing) {
        return;
    }
    if (content.status != FileReadStatus::Read) {
        const std::filesystem::path copy = UnreadableCopyPath(file);
        std::cerr << "veltrix: cannot read " << file.string() << "; no macros loaded";
        if (KeepUnreadableFile(file, copy)) {
            std::cerr << "; it is kept as " << copy.string();
        }
        std::cerr << "\n";
        return;
    }
    const std::vector<std::byte>& bytes = content.bytes;
    for (std::size_t at = 0; at < bytes.size(); at += sizeof(MacroRecord)) {
        // A file cut short (a full disk, a copy broken off) ends in part of a record. It is kept,
        // its missing bytes zero and its count cut to the steps it holds whole, so that the next
        // save does not lose the bytes that are there.
        const std::size_t part = std::min(sizeof(MacroRecord), bytes.size() - at);
        MacroRecord record{};
        std::memcpy(&record, bytes.data() + at, part);
        if (part < sizeof(MacroRecord)) {
            const auto wholeSteps = static_cast<int>(
                (part - std::min(part, offsetof(MacroRecord, aAction))) / sizeof(MacroAction));
            record.iActionCount = InRange(record.iActionCount, 0, wholeSteps);
            std::cerr << "veltrix: " << file.string() << " ends in a partial macro record of "
                      << part << " bytes; the rest of it is taken as zero\n";
        }
        store.Append(record);
    }
}

}  // namespace veltrix
