#pragma once

// A button that runs a macro carries its own copy of the macro's name and steps, because that copy
// is what the mouse is sent. These keep the copies in step with the store.

#include <string_view>

#include "macro/MacroStore.h"
#include "profile/ProfileSettings.h"

namespace veltrix {

// The position in the store of the macro that a button entry names; -1 when no macro has that
// name.
int MacroIndexForButton(const MacroStore& store, const ButtonEntry& entry);

// Refreshes the macro copy of the twelve buttons of every profile that run a macro or name one:
// a button whose macro is gone gets its factory function back, every other one the current name,
// count and steps of its macro. True when at least one entry was looked at, changed or not; the
// caller then has the buttons re-read and the mouse updated.
bool MacroSync(ProfileSettings& settings, const MacroStore& store);

// A macro got a new name: the buttons that run it under its old name (in any case) take the new
// one, so that the next MacroSync keeps them on it instead of taking their macro away.
void RenameButtonMacros(ProfileSettings& settings, std::u16string_view oldName,
                        std::u16string_view newName);

}  // namespace veltrix
