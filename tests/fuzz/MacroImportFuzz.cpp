// A .macro file to import: one record of 240 bytes from anywhere. Its name is made unique in a
// store that already holds macros, shown, and the macro is given to a button and sent to the
// mouse.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "FuzzUse.h"
#include "device/FeatureReports.h"
#include "macro/MacroSync.h"
#include "platform/AnsiText.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"
#include "vocabulary/ButtonFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    // A file of any other size is refused before anything reads it.
    if (size != sizeof(MacroRecord)) {
        return -1;
    }
    MacroRecord record;
    std::memcpy(&record, data, sizeof record);

    MacroStore store;
    MacroRecord existing{};
    SetFieldText(existing.szName, FieldText(record.szName));
    store.Append(existing);  // so the import's name is taken and needs its suffix
    SetFieldText(record.szName, store.UniqueName(FieldText(record.szName)));
    MacroRecord& imported = store.Append(record);
    Utf16ToUtf8(FieldText(imported.szName));
    ToWindows1252(FieldText(imported.szName));

    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    ButtonEntry& entry = settings->Profiles[0].aButton[3];
    entry.byFuncCode = kFuncMacro;
    entry.szMacroName = imported.szName;
    MacroSync(*settings, store);
    MacroReport(entry, 1);
    fuzz::SendEveryRequest(*settings, 0);
    return 0;
}
