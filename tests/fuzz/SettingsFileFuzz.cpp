// Config_1.data as it may be found on disk: any bytes, of any length. It is loaded through the
// program's own load path, and the record is then sent, applied to by the mouse's events and
// saved, as a run would.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

#include "FuzzUse.h"
#include "profile/SettingsFiles.h"
#include "profile/SettingsKeeper.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& folder = veltrix::fuzz::ScratchDataFolder();
    std::ofstream(veltrix::SettingsFile(folder), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    auto settings = std::make_unique<veltrix::ProfileSettings>();
    veltrix::SettingsKeeper keeper(veltrix::SettingsFile(folder));
    keeper.Load(*settings);
    veltrix::fuzz::SendEveryRequest(*settings, size > 0 ? data[0] : 0);
    veltrix::fuzz::ShowAndSync(*settings);
    veltrix::fuzz::SendEveryRequest(*settings, 0);
    keeper.Save(*settings);
    return 0;
}
