// A .pro file to import: one profile from anywhere, read over the profile on screen. Its macro
// buttons are re-created in a store that already holds macros, under unique names, and every
// request is then built from the record, as the worker sends it.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>

#include "FuzzUse.h"
#include "profile/ProfileDefaults.h"
#include "profile/ProfileTransfer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    const std::filesystem::path& folder = fuzz::ScratchDataFolder();
    const std::filesystem::path file = folder / "imported.pro";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    auto settings = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    settings->iCurProfile = static_cast<std::int32_t>(size % kProfileCount);
    MacroStore store;
    MacroRecord existing{};
    existing.szName[0] = u'M';
    store.Append(existing);
    const ProfileImportResult result =
        ImportProfileFile(CurrentProfile(*settings), store, file, MacroFile(folder));
    if (!result.Imported()) {
        return 0;
    }
    fuzz::ShowAndSync(*settings);
    fuzz::SendEveryRequest(*settings, settings->iCurProfile);
    return 0;
}
