#include "macro/MacroFiles.h"

#include <cstring>

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
    const FileContent content = ReadWholeFile(file, kMacroFileSize);
    if (content.status == FileReadStatus::TooLarge ||
        (content.status == FileReadStatus::Read && content.size != kMacroFileSize)) {
        result.status = MacroImportStatus::WrongSize;
        return result;
    }
    if (content.status != FileReadStatus::Read) {
        return result;
    }
    MacroRecord record{};
    std::memcpy(&record, content.bytes.data(), sizeof(record));
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
