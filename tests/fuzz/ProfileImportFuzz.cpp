// A .pro file to import: one profile from anywhere, read over the profile on screen. Its macro
// buttons are re-created in a store that already holds macros, under unique names, and every
// request is then built from the record, as the worker sends it. An import that keeps a value out
// of range, changes a byte it has no reason to touch, leaves two macros of one name or sends a
// report the mouse refuses ends the run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "FuzzUse.h"
#include "MouseModel.h"
#include "profile/ProfileDefaults.h"
#include "profile/ProfileTransfer.h"

namespace {

using namespace veltrix;

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// The fields an import may change: those that would index past their arrays, the values whose
// low byte alone would reach the mouse, unterminated texts and the macro buttons' names and
// indices.
ProfileData WithoutAdjustableFields(const ProfileData& profile) {
    ProfileData masked = profile;
    masked.iCurDpiLevel = 0;
    masked.aiDpiValue.fill(0);
    masked.aiDpiValueY.fill(0);
    masked.iLightMode = masked.iLightBrightness = masked.iLightSpeed = masked.iReportRate = 0;
    masked.szReserved1.back() = 0;
    masked.szReserved2.back() = 0;
    for (ButtonEntry& entry : masked.aButton) {
        entry.wMacroActionCount = 0;
        if (entry.byFuncCode == kFuncMacro) {
            entry.szMacroName.fill(0);
            entry.iMacroIndex = 0;
        } else {
            entry.szMacroName.back() = 0;
        }
    }
    return masked;
}

// Out of range, the nearest end; a report rate the mouse does not know becomes 500 Hz.
void RequireInRange(const ProfileData& imported, const ProfileData& had) {
    const auto masked = std::make_unique<ProfileData>(WithoutAdjustableFields(imported));
    const auto expected = std::make_unique<ProfileData>(WithoutAdjustableFields(had));
    Require(std::memcmp(masked.get(), expected.get(), sizeof(ProfileData)) == 0);
    Require(imported.iCurDpiLevel == CurrentDpiLevel(had));
    for (std::size_t k = 0; k < had.aiDpiValue.size(); ++k) {
        for (const auto& [got, value] : {std::pair(imported.aiDpiValue[k], had.aiDpiValue[k]),
                                         std::pair(imported.aiDpiValueY[k], had.aiDpiValueY[k])}) {
            Require(got == (value == 0 ? 0 : std::clamp(value, 1, 101)));
        }
    }
    Require(imported.iLightMode == std::clamp(had.iLightMode, 0, 8));
    Require(imported.iLightBrightness == std::clamp(had.iLightBrightness, 1, 8));
    Require(imported.iLightSpeed == std::clamp(had.iLightSpeed, 1, 8));
    Require(imported.iReportRate ==
            (had.iReportRate >= 0 && had.iReportRate <= 3 ? had.iReportRate : 2));
    for (const ButtonEntry& entry : imported.aButton) {
        Require(entry.wMacroActionCount <= kMaxMacroActions);
        Require(FieldText(entry.szMacroName).size() < std::size_t{kMacroNameUnits});
    }
}

void RequireUniqueNamesThatFit(const MacroStore& store) {
    for (int i = 0; i < store.Count(); ++i) {
        const MacroRecord& macro = store.At(i);
        Require(FieldText(macro.szName).size() < std::size_t{kMacroNameUnits});
        Require(macro.iActionCount >= 0 && macro.iActionCount <= kMaxMacroActions);
        for (int j = 0; j < i; ++j) {
            Require(!EqualIgnoringCase(FieldText(macro.szName), FieldText(store.At(j).szName)));
        }
    }
}

// What the window sends after an import, and after a reset of the other profiles.
void RequireTheMouseAcceptsEveryReport(const ProfileSettings& settings) {
    RecordingTransport transport;
    const LinkFlags flags;
    ReportSender sender(transport, flags, InstantClock());
    sender.SendRequest(settings, kApplyProfiles, kApplyCurrentProfile);
    sender.SendRequest(settings, kApplyProfiles, kApplyEveryProfile);
    emulator::MouseModel mouse;
    for (const SentReport& report : transport.Sent()) {
        Require(mouse.ReceiveFeature(report.link, report.bytes));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
    auto had = std::make_unique<ProfileData>();
    Require(size == sizeof(ProfileData));
    std::memcpy(had.get(), data, size);
    RequireInRange(CurrentProfile(*settings), *had);
    RequireUniqueNamesThatFit(store);
    RequireTheMouseAcceptsEveryReport(*settings);
    fuzz::ShowAndSync(*settings);
    fuzz::SendEveryRequest(*settings, settings->iCurProfile);
    return 0;
}
