#include "macro/MacroSync.h"

#include <cstring>

#include "platform/Utf16Text.h"
#include "profile/RecordAccess.h"
#include "vocabulary/ButtonFunctions.h"

namespace veltrix {
namespace {

void ResetToFactoryFunction(ButtonEntry& entry, int buttonNumber) {
    std::memset(&entry, 0, sizeof(entry));
    entry.byFuncCode = DefaultFunctionCode(buttonNumber);
    entry.iMacroIndex = -1;
}

}  // namespace

void CopyMacroToButton(ButtonEntry& entry, const MacroRecord& record) {
    // The clamped count, so that the copy never claims more steps than the record has: a count
    // of -1 from a damaged file means no steps here, not 65535.
    entry.wMacroActionCount = static_cast<std::uint16_t>(MacroActionCount(record));
    entry.szMacroName.fill(u'\0');
    const std::u16string_view name = FieldText(record.szName);
    name.copy(entry.szMacroName.data(), name.size());
    entry.aMacroAction = record.aAction;
}

void ClearButtonMacro(ButtonEntry& entry) {
    entry.szMacroName.fill(u'\0');
    entry.iMacroIndex = -1;
    entry.wMacroActionCount = 0;
    entry.aMacroAction = {};
}

int MacroIndexForButton(const MacroStore& store, const ButtonEntry& entry) {
    return store.IndexOfName(FieldText(entry.szMacroName));
}

bool MacroSync(ProfileSettings& settings, const MacroStore& store) {
    bool lookedAt = false;
    for (ProfileData& profile : settings.Profiles) {
        for (int button = 0; button < kShownButtonCount; ++button) {
            ButtonEntry& entry = profile.aButton[static_cast<std::size_t>(button)];
            if (entry.byFuncCode != kFuncMacro) {
                continue;
            }
            lookedAt = true;
            const int index = MacroIndexForButton(store, entry);
            if (index < 0) {
                ResetToFactoryFunction(entry, button);
            } else {
                CopyMacroToButton(entry, store.At(index));
            }
        }
    }
    return lookedAt;
}

void RenameButtonMacros(ProfileSettings& settings, std::u16string_view oldName,
                        std::u16string_view newName) {
    for (ProfileData& profile : settings.Profiles) {
        for (int button = 0; button < kShownButtonCount; ++button) {
            RenameButtonMacro(profile.aButton[static_cast<std::size_t>(button)], oldName, newName);
        }
    }
}

bool RenameButtonMacro(ButtonEntry& entry, std::u16string_view oldName,
                       std::u16string_view newName) {
    const std::u16string_view name = FieldText(entry.szMacroName);
    if ((entry.byFuncCode == kFuncMacro || !name.empty()) && EqualIgnoringCase(name, oldName)) {
        SetFieldText(entry.szMacroName, newName);
        return true;
    }
    return false;
}

}  // namespace veltrix
