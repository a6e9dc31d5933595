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

// Gives the entry the name, count and steps of `record`; the index and the repeat are the
// caller's.
void CopyMacroToButton(ButtonEntry& entry, const MacroRecord& record);
// An entry that runs no macro carries none: a name left behind would tie the button to a macro
// it no longer runs, and deleting that macro would take the button's function away.
void ClearButtonMacro(ButtonEntry& entry);

// Refreshes the macro copy of the twelve buttons of every profile that run a macro (the macro
// code): a button whose macro is gone gets its factory function back, every other one the
// current name, count and steps of its macro. A button with another function is left alone,
// whatever name an older file left in it. True when at least one entry was looked at, changed or
// not; the caller then has the buttons re-read and the mouse updated.
bool MacroSync(ProfileSettings& settings, const MacroStore& store);

// A macro got a new name: the buttons that run it under its old name (in any case) take the new
// one, so that the next MacroSync keeps them on it instead of taking their macro away.
void RenameButtonMacros(ProfileSettings& settings, std::u16string_view oldName,
                        std::u16string_view newName);
// The same for one entry; true when it took the new name.
bool RenameButtonMacro(ButtonEntry& entry, std::u16string_view oldName,
                       std::u16string_view newName);

}  // namespace veltrix
