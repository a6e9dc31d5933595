#include "CWirelessMacroUI.h"

#include <QAbstractButton>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QSignalBlocker>

#include "CMsgWnd.h"
#include "Language.h"
#include "PageControls.h"
#include "Skin.h"
#include "macro/HookRepeatFilter.h"
#include "macro/MacroFiles.h"
#include "macro/MacroSync.h"
#include "platform/Clock.h"
#include "platform/Utf16Text.h"
#include "profile/SettingsFiles.h"

namespace veltrix::gui {
namespace {

// The core's traces of the macro editor, one for every action: a developer turns them on with
// QT_LOGGING_RULES="veltrix.macro.debug=true"; nobody else should see them.
Q_LOGGING_CATEGORY(lcMacroTrace, "veltrix.macro", QtInfoMsg)

class DebugTrace final : public TraceSink {
  public:
    void Trace(std::string_view text) override {
        qCDebug(lcMacroTrace).noquote() << QtText(text).trimmed();
    }
};

}  // namespace

CWirelessMacroUI::CWirelessMacroUI(QWidget* parent)
    : CSettingsPage(parent, "wirelessmacropage.ui"), m_pTrace(std::make_unique<DebugTrace>()) {}

CWirelessMacroUI::~CWirelessMacroUI() = default;

void CWirelessMacroUI::FindControls(QWidget* root) {
    m_pMacroList = FindControl<QListWidget>(root, "wireless_macro_list");
    m_pNameEdit = FindControl<QLineEdit>(root, "wireless_macro_name_edit");
    m_pAddButton = FindControl<QAbstractButton>(root, "wireless_macro_add_btn");
    m_pDeleteButton = FindControl<QAbstractButton>(root, "wireless_macro_delete_btn");
    m_pInsertMouseButton = FindControl<QAbstractButton>(root, "wireless_macro_insert_mouse_btn");
    m_pRecordButton = FindControl<QAbstractButton>(root, "wireless_macro_record_btn");
    m_actionRows.Attach(FindControl<QListWidget>(root, "wireless_macro_action_list"));
    m_stepEditor.Attach(root, this, m_pEditor);
    m_apDelayModeButtons = {FindControl<QAbstractButton>(root, "wireless_record_delay_btn"),
                            FindControl<QAbstractButton>(root, "wireless_default_delay_btn"),
                            FindControl<QAbstractButton>(root, "wireless_no_delay_btn")};
    m_pDefaultDelayEdit = FindControl<QLineEdit>(root, "wireless_default_delay_edit");
    m_pUpButton = FindControl<QAbstractButton>(root, "wireless_macro_up_btn");
    m_pDownButton = FindControl<QAbstractButton>(root, "wireless_macro_down_btn");
    m_pDeleteActionButton = FindControl<QAbstractButton>(root, "wireless_macro_delete_action_btn");
    m_pClearButton = FindControl<QAbstractButton>(root, "wireless_macro_clear_action_btn");
    m_pImportButton = FindControl<QAbstractButton>(root, "wireless_macro_import_btn");
    m_pExportButton = FindControl<QAbstractButton>(root, "wireless_macro_export_btn");
    m_pNameTab = FindControl<QWidget>(root, "wireless_macro_name_tab");
    m_pMouseEventTab = FindControl<QWidget>(root, "wireless_macro_mouse_event_tab");
    for (std::size_t i = 0; i < m_apClickButtons.size(); ++i) {
        m_apClickButtons[i] =
            FindControl<QAbstractButton>(root, QString("wireless_macro_key%1_btn").arg(i + 1));
    }
    m_pSaveButton = FindControl<QAbstractButton>(root, "wireless_macro_save_btn");
    m_pCancelButton = FindControl<QAbstractButton>(root, "wireless_macro_cancel_btn");
    m_pSaveDataTab = FindControl<QWidget>(root, "wireless_macro_savedata_tab");
    m_pExportOrImportTab = FindControl<QWidget>(root, "wireless_macro_exportorimport_tab");

    // The saved state and the name area to begin with, whatever the layout left visible.
    SetVisibleIf(m_pSaveDataTab, false);
    SetVisibleIf(m_pMouseEventTab, false);
    if (m_pNameEdit != nullptr) {
        m_pNameEdit->setMaxLength(kMacroNameUnits - 1);
    }
    for (QWidget* watched :
         std::initializer_list<QWidget*>{m_pRecordButton, m_stepEditor.KeyField()}) {
        if (watched != nullptr) {
            watched->installEventFilter(this);
        }
    }
    ConnectControls();
}

void CWirelessMacroUI::ConnectControls() {
    using Self = CWirelessMacroUI;
    using Editor = MacroWorkingCopy;
    const auto clicked = &QAbstractButton::clicked;
    ConnectIf(m_pAddButton, clicked, this, &Self::OnNewMacro);
    ConnectIf(m_pDeleteButton, clicked, this, &Self::OnDeleteMacro);
    ConnectIf(m_pSaveButton, clicked, this, &Self::OnSave);
    ConnectIf(m_pCancelButton, clicked, this, &Self::OnCancel);
    ConnectIf(m_pImportButton, clicked, this, &Self::OnImport);
    ConnectIf(m_pExportButton, clicked, this, &Self::OnExport);
    // Edits of the action list act on the working copy alone.
    ConnectIf(m_pUpButton, clicked, this, WhenWired(m_pEditor, &Editor::MoveUp));
    ConnectIf(m_pDownButton, clicked, this, WhenWired(m_pEditor, &Editor::MoveDown));
    ConnectIf(m_pDeleteActionButton, clicked, this, WhenWired(m_pEditor, &Editor::DeleteAction));
    ConnectIf(m_pClearButton, clicked, this, WhenWired(m_pEditor, &Editor::Clear));
    for (std::size_t i = 0; i < m_apClickButtons.size(); ++i) {
        ConnectIf(m_apClickButtons[i], clicked, this, WhenWired(m_pEditor, [i](Editor& editor) {
                      editor.InsertClick(static_cast<int>(i));
                  }));
    }
    for (std::size_t mode = 0; mode < m_apDelayModeButtons.size(); ++mode) {
        ConnectIf(m_apDelayModeButtons[mode], &QAbstractButton::toggled, this,
                  WhenWired(m_pEditor, [mode](Editor& editor, bool checked) {
                      if (checked) {
                          editor.SetDelayMode(static_cast<DelayMode>(mode));
                      }
                  }));
    }
    ConnectIf(m_pInsertMouseButton, &QAbstractButton::toggled, this, &Self::OnInsertMouseToggled);
    // The record button acts on toggled, not clicked: a screen reader toggles it without a
    // click. The program unchecks it with signals blocked.
    ConnectIf(m_pRecordButton, &QAbstractButton::toggled, this, &Self::OnRecordClicked);
    ConnectIf(m_pMacroList, &QListWidget::currentRowChanged, this, &Self::OnMacroRowSelected);
    ConnectIf(m_actionRows.List(), &QListWidget::currentRowChanged, this,
              WhenWired(m_pEditor, &Editor::SelectAction));
    ConnectIf(m_pNameEdit, &QLineEdit::editingFinished, this, &Self::OnNameEdited);
}

void CWirelessMacroUI::Wire(const PageContext& context) {
    CSettingsPage::Wire(context);
    m_lastFolder = QString::fromStdString(context.dataFolder.string());
    // Without what it works on (an empty context unwires it) the page ignores the user.
    m_pRecorder.reset();
    m_pLibrary.reset();
    m_pEditor.reset();
    if (context.pMacroStore == nullptr || context.pHooks == nullptr ||
        context.pCaptureFlags == nullptr) {
        return;
    }
    m_pEditor = std::make_unique<MacroWorkingCopy>(*context.pMacroStore, *this, *m_pTrace);
    m_pLibrary = std::make_unique<MacroLibrary>(
        *context.pMacroStore, *m_pEditor, *this, Language::Instance().Lookup(),
        MacroLibraryPlaces{context.dataFolder, context.pSettings, context.pKeeper,
                           context.mainWindow});
    m_pRecorder = std::make_unique<MacroRecorder>(*m_pLibrary, *this, *m_pTrace, *context.pHooks,
                                                  *context.pCaptureFlags, context.mainWindow,
                                                  SystemClock(), ProgramRepeatFilter());
}

void CWirelessMacroUI::FillMacroList() {
    if (m_pMacroList == nullptr || Context().pMacroStore == nullptr) {
        return;
    }
    const QSignalBlocker blocker(m_pMacroList);
    m_pMacroList->clear();
    const MacroStore& store = *Context().pMacroStore;
    for (int i = 0; i < store.Count(); ++i) {
        AppendMacroRow(FieldText(store.At(i).szName));
    }
    m_pMacroList->setCurrentRow(-1);
}

void CWirelessMacroUI::AppendMacroRow(std::u16string_view name) {
    if (m_pMacroList != nullptr) {
        auto* item = new QListWidgetItem(QtText(name), m_pMacroList);
        item->setSizeHint(QSize(0, kMacroRowHeight));
    }
}

void CWirelessMacroUI::RemoveMacroRow(int row) {
    if (m_pMacroList != nullptr) {
        delete m_pMacroList->takeItem(row);
    }
}

void CWirelessMacroUI::RenameMacroRow(int row, std::u16string_view name) {
    if (QListWidgetItem* item = m_pMacroList != nullptr ? m_pMacroList->item(row) : nullptr) {
        item->setText(QtText(name));
    }
}

void CWirelessMacroUI::SelectMacroRow(int row) {
    if (m_pMacroList != nullptr) {
        const QSignalBlocker blocker(m_pMacroList);
        m_pMacroList->setCurrentRow(row);
    }
}

void CWirelessMacroUI::NotifyMacroRenamed(std::u16string_view oldName,
                                          std::u16string_view newName) {
    Q_EMIT MacroRenamed(QtText(oldName), QtText(newName));
}

void CWirelessMacroUI::RecordEvent(std::uint32_t code, std::uint32_t flag) {
    IfWired(m_pRecorder, &MacroRecorder::RecordEvent, code, flag);
}

void CWirelessMacroUI::KeyEditEvent(std::uint32_t virtualKey, std::uint32_t flag) {
    IfWired(m_pRecorder, &MacroRecorder::KeyEditEvent, virtualKey, flag);
}

void CWirelessMacroUI::EndCapture() {
    IfWired(m_pRecorder, &MacroRecorder::EndCapture);
}

bool CWirelessMacroUI::Unsaved() const {
    return m_pEditor != nullptr && m_pEditor->Unsaved();
}

void CWirelessMacroUI::ShowSaveNotice() {
    CMsgWnd::Ask(Context().pDialogOwner, "warning_title_text", "save_macro_text");
}

bool CWirelessMacroUI::RefusedWhileUnsaved() {
    if (m_pEditor == nullptr) {
        return true;
    }
    if (m_pEditor->Unsaved()) {
        ShowSaveNotice();
        return true;
    }
    return false;
}

void CWirelessMacroUI::OnNewMacro() {
    EndCapture();
    if (!RefusedWhileUnsaved()) {
        m_pLibrary->Create();
    }
}

void CWirelessMacroUI::OnDeleteMacro() {
    EndCapture();
    if (!RefusedWhileUnsaved() && m_pMacroList != nullptr &&
        CMsgWnd::Ask(Context().pDialogOwner, "warning_title_text", "delete_macro_text") == 1) {
        m_pLibrary->Delete(m_pMacroList->currentRow());
    }
}

void CWirelessMacroUI::OnMacroRowSelected(int row) {
    EndCapture();
    if (m_pEditor != nullptr && row >= 0) {
        m_pEditor->SelectMacro(row);
    }
}

void CWirelessMacroUI::OnNameEdited() {
    if (m_pLibrary != nullptr && m_pNameEdit != nullptr) {
        m_pLibrary->Rename(m_pNameEdit->text().toStdU16String());
    }
}

void CWirelessMacroUI::OnRecordClicked() {
    const std::uint8_t input = std::exchange(m_byRecordInput, 0);
    IfWired(m_pRecorder, &MacroRecorder::OnRecordButton, input);
}

void CWirelessMacroUI::OnInsertMouseToggled(bool checked) {
    SetVisibleIf(m_pMouseEventTab, checked);
    SetVisibleIf(m_pNameTab, !checked);
}

void CWirelessMacroUI::OnSave() {
    EndCapture();
    IfWired(m_pLibrary, &MacroLibrary::Save);
}

void CWirelessMacroUI::OnCancel() {
    EndCapture();
    IfWired(m_pEditor, &MacroWorkingCopy::Cancel);
}

FileDialogRequest CWirelessMacroUI::MacroFileRequest() const {
    return {Tr("macro_filter_text"), "*.macro *.MACRO", m_lastFolder, "macro"};
}

void CWirelessMacroUI::RememberFolder(const QString& file) {
    m_lastFolder = QFileInfo(file).absolutePath();
}

void CWirelessMacroUI::OnExport() {
    if (RefusedWhileUnsaved() || m_pEditor->CurrentMacro() == nullptr) {
        return;
    }
    const QString file = AskSaveFileName(Context().pDialogOwner, MacroFileRequest());
    if (file.isEmpty()) {
        return;
    }
    RememberFolder(file);
    // A macro that did not reach its file must not look exported.
    if (!ExportMacroFile(*m_pEditor->CurrentMacro(), file.toStdString())) {
        CMsgWnd::Ask(Context().pDialogOwner, "warning_title_text", "export_macro_failed_text");
    }
}

void CWirelessMacroUI::OnImport() {
    EndCapture();
    if (RefusedWhileUnsaved()) {
        return;
    }
    FileDialogRequest request = MacroFileRequest();
    request.suffix.clear();
    const QString file = AskOpenFileName(Context().pDialogOwner, request);
    if (file.isEmpty()) {
        return;
    }
    RememberFolder(file);
    const MacroImportStatus status = m_pLibrary->Import(file.toStdString());
    if (status != MacroImportStatus::Imported) {
        CMsgWnd::Ask(Context().pDialogOwner, "warning_title_text",
                     MacroImportWarningTextId(status));
    }
}

bool CWirelessMacroUI::eventFilter(QObject* watched, QEvent* event) {
    if (m_pRecorder != nullptr) {
        if (watched == m_pRecordButton) {
            // The click or key that is about to toggle the button: it must not become a step of
            // the recording it stops.
            m_byRecordInput = InputKeyCode(event).value_or(m_byRecordInput);
            if (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut) {
                m_byRecordInput = 0;  // a press taken elsewhere toggles nothing
            }
        } else if (watched == m_stepEditor.KeyField()) {
            MacroRecorder& recorder = *m_pRecorder;
            if (FilterKeyFieldEvent(event,
                                    {[&recorder] { recorder.StartKeyEdit(); },
                                     [&recorder] { recorder.EndKeyEdit(); },
                                     [&recorder] { return recorder.KeyEdit().OwnsKeyPress(); },
                                     [&recorder] { recorder.KeyEdit().KeyReleased(); }})) {
                return true;
            }
        }
    }
    return CSettingsPage::eventFilter(watched, event);
}

// What the core shows.

void CWirelessMacroUI::ShowMacroName(std::u16string_view name) {
    if (m_pNameEdit != nullptr) {
        m_pNameEdit->setText(QtText(name));
    }
}

void CWirelessMacroUI::ShowUnsavedState(bool unsaved) {
    SetVisibleIf(m_pSaveDataTab, unsaved);
    SetVisibleIf(m_pExportOrImportTab, !unsaved);
    m_stepEditor.UncheckEditBox();
    if (m_pMacroList != nullptr) {
        m_pMacroList->setEnabled(!unsaved);
    }
}

std::string CWirelessMacroUI::DefaultDelayText() const {
    return m_pDefaultDelayEdit != nullptr ? m_pDefaultDelayEdit->text().toStdString()
                                          : std::string();
}

void CWirelessMacroUI::ShowRecordButtonText(std::string_view textId) {
    if (m_pRecordButton != nullptr) {
        m_pRecordButton->setText(Tr(textId));
    }
}

void CWirelessMacroUI::UncheckRecordButton() {
    if (m_pRecordButton != nullptr) {
        const QSignalBlocker blocker(m_pRecordButton);
        m_pRecordButton->setChecked(false);
    }
}

}  // namespace veltrix::gui
