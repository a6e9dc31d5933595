#pragma once

// The macro page: the list of macros, the action list of the one being edited with its editor,
// recording from the keyboard and mouse, and single macros exchanged with .macro files. The rules
// live in the core's macro library, working copy and recorder; this page finds its controls,
// reports what the user does to them, and draws what the core tells it through MacroPageView and
// MacroLibraryView.

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "FileDialogs.h"
#include "MacroActionList.h"
#include "SettingsPage.h"
#include "macro/MacroLibrary.h"
#include "macro/MacroPageView.h"
#include "macro/MacroRecorder.h"
#include "macro/MacroWorkingCopy.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace veltrix::gui {

class CWirelessMacroUI : public CSettingsPage, public MacroPageView, public MacroLibraryView {
    Q_OBJECT

  public:
    explicit CWirelessMacroUI(QWidget* parent = nullptr);
    ~CWirelessMacroUI() override;

    void Wire(const PageContext& context) override;
    // One row per macro of the store, in store order, none selected.
    void FillMacroList() override;

    // Hook events while the macro recording flag or the macro key edit flag is set.
    void RecordEvent(std::uint32_t code, std::uint32_t flag);
    void KeyEditEvent(std::uint32_t virtualKey, std::uint32_t flag);
    // The page or the window went away: a recording stops and the key edit stops waiting.
    void EndCapture();
    // Edits that are neither saved nor cancelled keep the user on this page.
    bool Unsaved() const;
    void ShowSaveNotice();

    // The core behind the page; null until the page is wired.
    const MacroWorkingCopy* Editor() const { return m_pEditor.get(); }
    const MacroRecorder* Recorder() const { return m_pRecorder.get(); }

    // MacroPageView
    void ShowMacroName(std::u16string_view name) override;
    void ShowActionRows(std::span<const ActionRow> rows) override { m_actionRows.ShowRows(rows); }
    void SelectActionRow(int row) override { m_actionRows.Select(row); }
    void RemoveActionRow(int row) override { m_actionRows.Remove(row); }
    void UpdateActionRow(int row, const ActionRow& content) override {
        m_actionRows.Update(row, content);
    }
    void ShowActionRowKey(int row, std::string_view keyTextId) override {
        m_actionRows.ShowKey(row, keyTextId);
    }
    void ShowActionRowDelay(int row, std::uint16_t delay) override {
        m_actionRows.ShowDelay(row, delay);
    }
    void ShowActionEditor(const ActionEditorState& state) override { m_stepEditor.Show(state); }
    void ShowEditedKey(std::string_view keyTextId) override { m_stepEditor.ShowKey(keyTextId); }
    void ShowMouseActionDelay(std::uint16_t delay) override { m_stepEditor.ShowMouseDelay(delay); }
    void UncheckActionEditBox() override { m_stepEditor.UncheckEditBox(); }
    void ShowUnsavedState(bool unsaved) override;
    std::string DefaultDelayText() const override;
    void ShowRecordButtonText(std::string_view textId) override;
    void UncheckRecordButton() override;
    void ShowRecording(bool recording) override { Q_EMIT RecordingChanged(recording); }

    // MacroLibraryView
    void AppendMacroRow(std::u16string_view name) override;
    void RemoveMacroRow(int row) override;
    void RenameMacroRow(int row, std::u16string_view name) override;
    void SelectMacroRow(int row) override;
    void NotifyMacroListChanged() override { Q_EMIT MacroListChanged(); }
    void NotifyMacroRenamed(std::u16string_view oldName, std::u16string_view newName) override;
    void NotifyButtonEntriesChanged() override { Q_EMIT ButtonEntriesChanged(); }

  Q_SIGNALS:
    // Macros were added, renamed or erased: pages that list macros refill their lists.
    void MacroListChanged();
    // A macro got a new name (before MacroListChanged): a pick of it that is not applied yet
    // follows it.
    void MacroRenamed(const QString& oldName, const QString& newName);
    // The buttons' copies of the macros were brought in step with the store: the button page
    // reads its buttons again.
    void ButtonEntriesChanged();
    // A recording started or stopped.
    void RecordingChanged(bool recording);

  protected:
    void FindControls(QWidget* root) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ConnectControls();

    void OnNewMacro();
    void OnDeleteMacro();
    void OnMacroRowSelected(int row);
    void OnNameEdited();
    void OnRecordClicked();
    void OnInsertMouseToggled(bool checked);
    void OnSave();
    void OnCancel();
    void OnImport();
    void OnExport();

    // New, delete, import and export wait until the edits are saved or cancelled.
    bool RefusedWhileUnsaved();
    FileDialogRequest MacroFileRequest() const;
    void RememberFolder(const QString& file);

    // The controls, found by name; one that the layout lacks stays null.
    QListWidget* m_pMacroList = nullptr;
    QLineEdit* m_pNameEdit = nullptr;
    QAbstractButton* m_pAddButton = nullptr;
    QAbstractButton* m_pDeleteButton = nullptr;
    QAbstractButton* m_pInsertMouseButton = nullptr;
    QAbstractButton* m_pRecordButton = nullptr;
    std::array<QAbstractButton*, 3> m_apDelayModeButtons{};  // by delay mode
    QLineEdit* m_pDefaultDelayEdit = nullptr;
    QAbstractButton* m_pUpButton = nullptr;
    QAbstractButton* m_pDownButton = nullptr;
    QAbstractButton* m_pDeleteActionButton = nullptr;
    QAbstractButton* m_pClearButton = nullptr;
    QAbstractButton* m_pImportButton = nullptr;
    QAbstractButton* m_pExportButton = nullptr;
    QWidget* m_pNameTab = nullptr;
    QWidget* m_pMouseEventTab = nullptr;
    std::array<QAbstractButton*, 5> m_apClickButtons{};  // in the order of kClickButtonCodes
    QAbstractButton* m_pSaveButton = nullptr;
    QAbstractButton* m_pCancelButton = nullptr;
    QWidget* m_pSaveDataTab = nullptr;
    QWidget* m_pExportOrImportTab = nullptr;

    std::unique_ptr<TraceSink> m_pTrace;
    std::unique_ptr<MacroWorkingCopy> m_pEditor;
    std::unique_ptr<MacroLibrary> m_pLibrary;
    std::unique_ptr<MacroRecorder> m_pRecorder;
    MacroActionList m_actionRows;
    MacroStepEditor m_stepEditor;
    // Where the next macro file dialog opens: the data folder, then the last folder used.
    QString m_lastFolder;
    // The key code of the click or key on the record button that is toggling it, 0 for none.
    std::uint8_t m_byRecordInput = 0;
};

}  // namespace veltrix::gui
