#include "profile/ProfileTransfer.h"

#include <cstring>
#include <memory>
#include <string>

#include "pages/DpiPage.h"
#include "pages/LightingPage.h"
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

// The DPI values the mouse's table covers, in units of 100 DPI.
constexpr int kDpiTableFirst = 1;
constexpr int kDpiTableLast = 101;
constexpr std::int32_t kUnknownRateItem = 2;

// A DPI value beyond the table becomes its nearest end, as it is sent to the mouse; 0 is kept, as
// it marks a level that is not set.
std::int32_t DpiInRange(std::int32_t value) {
    return value == 0 ? 0 : InRange(value, kDpiTableFirst, kDpiTableLast);
}

// Brings what another installation (or a damaged file) may hold out of range back into it before
// any page, report or macro copy uses it: indices that would reach past their arrays, and the
// values whose low byte alone would reach the mouse. Values in range are kept as they are.
void KeepInRange(ProfileData& profile) {
    profile.iCurDpiLevel = CurrentDpiLevel(profile);
    for (std::size_t level = 0; level < profile.aiDpiValue.size(); ++level) {
        profile.aiDpiValue[level] = DpiInRange(profile.aiDpiValue[level]);
        profile.aiDpiValueY[level] = DpiInRange(profile.aiDpiValueY[level]);
    }
    profile.iLightMode = InRange(profile.iLightMode, 0, kLightModeCount - 1);
    profile.iLightBrightness = InRange(profile.iLightBrightness, kBrightnessMin, kBrightnessMax);
    profile.iLightSpeed = InRange(profile.iLightSpeed, kSpeedMin, kSpeedMax);
    // Every rate code beyond the list is sent as the 500 Hz code, so that is what it becomes.
    if (profile.iReportRate < 0 || profile.iReportRate >= static_cast<int>(kReportRates.size())) {
        profile.iReportRate = kUnknownRateItem;
    }
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
    const FileContent content = ReadWholeFile(file, kProfileFileSize);
    if (content.status == FileReadStatus::TooLarge ||
        (content.status == FileReadStatus::Read && content.size != kProfileFileSize)) {
        result.status = ProfileImportStatus::WrongSize;
        return result;
    }
    if (content.status != FileReadStatus::Read) {
        result.status = ProfileImportStatus::Unreadable;
        return result;
    }
    // Into a copy, so that the live profile is only touched once all went well.
    auto copy = std::make_unique<ProfileData>();
    std::memcpy(copy.get(), content.bytes.data(), sizeof(ProfileData));
    ProfileData& imported = *copy;
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
