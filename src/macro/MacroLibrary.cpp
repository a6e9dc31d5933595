#include "macro/MacroLibrary.h"

#include <string>

#include "macro/MacroSync.h"
#include "platform/Utf16Text.h"
#include "profile/SettingsFiles.h"

namespace veltrix {

MacroLibrary::MacroLibrary(MacroStore& store, MacroWorkingCopy& editor, MacroLibraryView& view,
                           TextLookup lookupText, MacroLibraryPlaces places)
    : m_store(store),
      m_editor(editor),
      m_view(view),
      m_lookupText(std::move(lookupText)),
      m_places(std::move(places)) {}

void MacroLibrary::Create() {
    m_view.AppendMacroRow(FieldText(m_store.NewMacro(m_lookupText).szName));
    SaveMacroList(m_store, m_places.dataFolder);
    const int row = m_store.Count() - 1;
    m_view.SelectMacroRow(row);
    m_editor.SelectMacro(row);
    m_view.NotifyMacroListChanged();
}

void MacroLibrary::Delete(int row) {
    if (row < 0 || row >= m_store.Count()) {
        return;
    }
    const int next = m_editor.EraseMacro(row);
    Publish();
    m_view.RemoveMacroRow(row);
    m_view.SelectMacroRow(next);
    m_view.NotifyMacroListChanged();
}

void MacroLibrary::Rename(std::u16string_view wanted) {
    const MacroRecord* macro = m_editor.CurrentMacro();
    const std::u16string oldName(macro != nullptr ? FieldText(macro->szName) : u"");
    if (m_editor.Rename(wanted) != RenameOutcome::Renamed) {
        return;
    }
    const std::u16string newName(FieldText(macro->szName));
    if (m_places.pSettings != nullptr) {
        RenameButtonMacros(*m_places.pSettings, oldName, newName);
    }
    m_view.NotifyMacroRenamed(oldName, newName);
    Publish();
    m_view.RenameMacroRow(m_editor.SelectedMacro(), newName);
    m_view.NotifyMacroListChanged();
}

MacroImportStatus MacroLibrary::Import(const std::filesystem::path& file) {
    const MacroImportResult result = ImportMacroFile(m_store, file, MacroFile(m_places.dataFolder));
    if (result.Imported()) {
        m_view.AppendMacroRow(FieldText(m_store.At(result.index).szName));
        m_view.SelectMacroRow(result.index);
        m_editor.SelectMacro(result.index);
        m_view.NotifyMacroListChanged();
    }
    return result.status;
}

bool MacroLibrary::Save() {
    if (!m_editor.Save()) {
        return false;
    }
    Publish();
    return true;
}

// A store change reaches macro.data, and the buttons that run macros with the mouse behind them.
void MacroLibrary::Publish() {
    if (m_places.pSettings == nullptr || m_places.pKeeper == nullptr) {
        SaveMacroList(m_store, m_places.dataFolder);
        return;
    }
    if (PublishMacroChange(m_store, *m_places.pSettings, *m_places.pKeeper, m_places.dataFolder,
                           m_places.mainWindow)) {
        m_view.NotifyButtonEntriesChanged();
    }
}

}  // namespace veltrix
