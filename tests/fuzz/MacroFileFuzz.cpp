// macro.data as it may be found on disk: any bytes, of any length. It is loaded through the
// program's own load path; each macro is then named uniquely, shown, given to a button and sent
// to the mouse, and the store is saved again.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

#include "FuzzUse.h"
#include "macro/MacroSync.h"
#include "platform/AnsiText.h"
#include "platform/Utf16Text.h"
#include "profile/ProfileDefaults.h"
#include "profile/SettingsFiles.h"
#include "vocabulary/ButtonFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    const std::filesystem::path& folder = veltrix::fuzz::ScratchDataFolder();
    std::ofstream(MacroFile(folder), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    MacroStore store;
    LoadMacroList(store, folder);
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    for (int i = 0; i < store.Count(); ++i) {
        const std::u16string_view name = FieldText(store.At(i).szName);
        Utf16ToUtf8(name);
        ToWindows1252(name);
        store.UniqueName(name);
        // Every macro runs on some button of some profile.
        ButtonEntry& entry = settings->Profiles[static_cast<std::size_t>(i % kProfileCount)]
                                 .aButton[static_cast<std::size_t>(i % kButtonEntryCount)];
        entry.byFuncCode = kFuncMacro;
        entry.szMacroName = store.At(i).szName;
    }
    MacroSync(*settings, store);
    fuzz::SendEveryRequest(*settings, 0);
    SaveMacroList(store, folder);
    return 0;
}
