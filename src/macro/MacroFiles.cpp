#include "macro/MacroFiles.h"

#include "macro/MacroSync.h"
#include "platform/BinaryFile.h"
#include "platform/Messages.h"
#include "platform/Utf16Text.h"
#include "profile/RecordAccess.h"
#include "profile/SettingsFiles.h"

namespace veltrix {

bool ExportMacroFile(const MacroRecord& record, const std::filesystem::path& file) {
    return WriteFileAtomically(file, RecordBytes(record));
}

MacroImportResult ImportMacroFile(MacroStore& store, const std::filesystem::path& file,
                                  const std::filesystem::path& macroFile) {
    MacroImportResult result;
    const std::optional<std::uintmax_t> size = RegularFileSize(file);
    if (!size) {
        return result;
    }
    if (*size != kMacroFileSize) {
        result.status = MacroImportStatus::WrongSize;
        return result;
    }
    // One byte to spare catches a file that grew since it was measured.
    struct Buffer {
        MacroRecord record;
        std::byte spare;
    } buffer{};
    const std::optional<std::size_t> read =
        ReadFilePrefix(file, std::span(reinterpret_cast<std::byte*>(&buffer), sizeof(buffer)));
    if (!read) {
        return result;
    }
    if (*read != kMacroFileSize) {
        result.status = MacroImportStatus::WrongSize;
        return result;
    }
    MacroRecord& record = buffer.record;
    record.iActionCount = MacroActionCount(record);
    SetFieldText(record.szName, store.UniqueName(FieldText(record.szName)));
    store.Append(record);
    if (!SaveMacroListTo(store, macroFile)) {
        store.Erase(store.Count() - 1);
        result.status = MacroImportStatus::NotSaved;
        return result;
    }
    result.status = MacroImportStatus::Imported;
    result.index = store.Count() - 1;
    return result;
}

std::string_view MacroImportWarningTextId(MacroImportStatus status) {
    switch (status) {
        case MacroImportStatus::Imported:
            return {};
        case MacroImportStatus::WrongSize:
            return "import_macro_size_text";
        case MacroImportStatus::Unreadable:
        case MacroImportStatus::NotSaved:
            break;
    }
    return "import_macro_failed_text";
}

bool PublishMacroChange(const MacroStore& store, ProfileSettings& settings, SettingsKeeper& keeper,
                        const std::filesystem::path& dataFolder,
                        const VeltrixWindowHandle& mainWindow) {
    SaveMacroList(store, dataFolder);
    if (!MacroSync(settings, store)) {
        return false;
    }
    keeper.Save(settings);
    VeltrixPost(&mainWindow, kMsgApplyRequest, kApplyButtons, 0);
    return true;
}

}  // namespace veltrix
