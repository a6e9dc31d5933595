#pragma once

// The user's macros as a list the macro page shows: making, deleting, renaming and importing a
// macro, and carrying every saved change to macro.data, to the buttons that run macros and from
// there to the mouse. The list itself is drawn through MacroLibraryView.

#include <filesystem>
#include <string_view>

#include "macro/MacroFiles.h"
#include "macro/MacroStore.h"
#include "macro/MacroWorkingCopy.h"
#include "platform/TextLookup.h"
#include "platform/window_handle.h"
#include "profile/ProfileSettings.h"
#include "profile/SettingsKeeper.h"

namespace veltrix {

class MacroLibraryView {
  public:
    virtual ~MacroLibraryView() = default;

    // The macro list, one row per macro in store order. Selecting a row here is the program's
    // doing: it does not load the macro again.
    virtual void AppendMacroRow(std::u16string_view name) = 0;
    virtual void RemoveMacroRow(int row) = 0;
    virtual void RenameMacroRow(int row, std::u16string_view name) = 0;
    virtual void SelectMacroRow(int row) = 0;

    // Macros were added, renamed or erased: other lists of macros refill. A rename is told first,
    // so that a pick of the macro that is not applied yet can follow it.
    virtual void NotifyMacroListChanged() = 0;
    virtual void NotifyMacroRenamed(std::u16string_view oldName, std::u16string_view newName) = 0;
    // The buttons' copies of the macros were brought in step with the store: the button page
    // reads its buttons again.
    virtual void NotifyButtonEntriesChanged() = 0;
};

// Where the changes go. Without the record (and its keeper) only macro.data is written.
struct MacroLibraryPlaces {
    std::filesystem::path dataFolder;
    ProfileSettings* pSettings = nullptr;
    SettingsKeeper* pKeeper = nullptr;
    VeltrixWindowHandle mainWindow{};
};

class MacroLibrary {
  public:
    MacroLibrary(MacroStore& store, MacroWorkingCopy& editor, MacroLibraryView& view,
                 TextLookup lookupText, MacroLibraryPlaces places);

    MacroWorkingCopy& Editor() { return m_editor; }

    // A new empty macro at the end of the list, saved, selected and loaded into the editor.
    void Create();
    // Erases the macro of `row` (the caller has asked the user); the next one is selected.
    void Delete(int row);
    // Renames the macro being edited; the buttons that run it follow it to the new name.
    void Rename(std::u16string_view wanted);
    // Adds the macro of a .macro file, selected and loaded; a failure changes nothing.
    MacroImportStatus Import(const std::filesystem::path& file);
    // Saves the working copy into the store; true when there was something to save.
    bool Save();

  private:
    void Publish();

    MacroStore& m_store;
    MacroWorkingCopy& m_editor;
    MacroLibraryView& m_view;
    TextLookup m_lookupText;
    MacroLibraryPlaces m_places;
};

}  // namespace veltrix
