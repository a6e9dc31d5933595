#include "profile/ProfileTransfer.h"

#include <memory>
#include <string>

#include "platform/BinaryFile.h"
#include "platform/Utf16Text.h"
#include "profile/RecordAccess.h"
#include "profile/SettingsFiles.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

// A text field that fills its whole width has no terminator; its last unit becomes one.
template <std::size_t N>
void TerminateText(std::array<char16_t, N>& field) {
    if (FieldText(field).size() == N) {
        field[N - 1] = u'\0';
    }
}

// Brings what another installation (or a damaged file) may hold out of range back into it before
// any page, report or macro copy uses it. Only values that would index past their arrays change.
void KeepInRange(ProfileData& profile) {
    profile.iCurDpiLevel = CurrentDpiLevel(profile);
    TerminateText(profile.szReserved1);
    TerminateText(profile.szReserved2);
    for (ButtonEntry& entry : profile.aButton) {
        entry.wMacroActionCount = static_cast<std::uint16_t>(MacroActionCount(entry));
        TerminateText(entry.szMacroName);
    }
}

MacroRecord MacroOfButton(const ButtonEntry& entry, std::u16string_view name) {
    MacroRecord record{};
    SetFieldText(record.szName, name);
    record.iReserved48 = entry.iMacroRepeatCount;
    record.iActionCount = entry.wMacroActionCount;
    record.aAction = entry.aMacroAction;
    return record;
}

void EraseLast(MacroStore& store, int count) {
    for (; count > 0; --count) {
        store.Erase(store.Count() - 1);
    }
}

}  // namespace

bool ExportProfileFile(const ProfileData& profile, const std::filesystem::path& file) {
    return WriteFileAtomically(file, RecordBytes(profile));
}

ProfileImportResult ImportProfileFile(ProfileData& profile, MacroStore& store,
                                      const std::filesystem::path& file,
                                      const std::filesystem::path& macroFile) {
    ProfileImportResult result;
    const std::optional<std::uintmax_t> size = RegularFileSize(file);
    if (!size) {
        result.status = ProfileImportStatus::Unreadable;
        return result;
    }
    if (*size != kProfileFileSize) {
        result.status = ProfileImportStatus::WrongSize;
        return result;
    }
    // Read into a copy with one byte to spare, so that a file that changed size since it was
    // measured is still caught, and the live profile is only touched once all went well.
    struct Buffer {
        ProfileData profile;
        std::byte spare;
    };
    auto buffer = std::make_unique<Buffer>();
    const std::optional<std::size_t> read = ReadFilePrefix(
        file, std::span(reinterpret_cast<std::byte*>(buffer.get()), sizeof(ProfileData) + 1));
    if (!read) {
        result.status = ProfileImportStatus::Unreadable;
        return result;
    }
    if (*read != kProfileFileSize) {
        result.status = ProfileImportStatus::WrongSize;
        return result;
    }
    ProfileData& imported = buffer->profile;
    KeepInRange(imported);

    for (ButtonEntry& entry : imported.aButton) {
        if (entry.byFuncCode != kFuncMacro) {
            continue;
        }
        const std::u16string name = store.UniqueName(FieldText(entry.szMacroName));
        SetFieldText(entry.szMacroName, name);
        store.Append(MacroOfButton(entry, name));
        entry.iMacroIndex = store.Count() - 1;
        ++result.macrosAdded;
    }
    if (result.macrosAdded > 0 && !SaveMacroListTo(store, macroFile)) {
        EraseLast(store, result.macrosAdded);
        result.macrosAdded = 0;
        result.status = ProfileImportStatus::MacrosNotSaved;
        return result;
    }
    profile = imported;
    result.status = ProfileImportStatus::Imported;
    return result;
}

std::string_view ProfileImportWarningTextId(ProfileImportStatus status) {
    switch (status) {
        case ProfileImportStatus::Imported:
            return {};
        case ProfileImportStatus::WrongSize:
            return "import_profile_size_text";
        case ProfileImportStatus::Unreadable:
        case ProfileImportStatus::MacrosNotSaved:
            break;
    }
    return "import_profile_failed_text";
}

}  // namespace veltrix
