#include "CWirelessMacroUI.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStackedWidget>

#include "CMsgWnd.h"
#include "Language.h"
#include "PageControls.h"
#include "Skin.h"
#include "macro/HookRepeatFilter.h"
#include "macro/MacroFiles.h"
#include "macro/MacroSync.h"
#include "platform/Clock.h"
#include "platform/Utf16Text.h"
#include "platform/x11/KeysymTable.h"
#include "profile/SettingsFiles.h"
#include "vocabulary/KeyCodes.h"

// X's headers name event types with macros that collide with Qt's enumerators.
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut

namespace veltrix::gui {
namespace {

// The key code of a click or key on the record button, which may be about to toggle it.
std::optional<std::uint8_t> RecordButtonInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton) {
                return kKeyLeftButton;
            }
            return std::nullopt;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            std::uint32_t virtualKey = x11::VirtualKeyOfKeysym(key->nativeVirtualKey());
            if (virtualKey == 0 && key->key() == Qt::Key_Space) {
                virtualKey = 0x20;  // platforms without key symbols
            }
            return KeyCodeFromVirtualKey(virtualKey).value_or(0);
        }
        default:
            return std::nullopt;
    }
}

constexpr int kRowHeight = 30;
constexpr QSize kKeyPictureSize(22, 22);
constexpr QSize kArrowPictureSize(14, 14);
// The layout's column headings have the same widths.
constexpr int kKeyColumnWidth = 104;
constexpr int kActionColumnWidth = 70;

// The core's traces of the macro editor, one for every action: a developer turns them on with
// QT_LOGGING_RULES="veltrix.macro.debug=true"; nobody else should see them.
Q_LOGGING_CATEGORY(lcMacroTrace, "veltrix.macro", QtInfoMsg)

class DebugTrace final : public TraceSink {
  public:
    void Trace(std::string_view text) override {
        qCDebug(lcMacroTrace).noquote()
            << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
    }
};

QString QStringOf(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString MacroName(const MacroRecord& record) {
    return QStringOf(FieldText(record.szName));
}

QLabel* PictureLabel(QWidget* parent, QSize size) {
    auto* label = new QLabel(parent);
    label->setFixedSize(size);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

// One row of the action list, as the skin's key list item draws it: the key or mouse button with
// its picture, the press or release arrow with its word, and the delay after the step.
class ActionRowWidget final : public QWidget {
  public:
    ActionRowWidget(QWidget* parent, const QIcon& keyboard, const QIcon& mouse, const QIcon& press,
                    const QIcon& release)
        : QWidget(parent),
          m_keyboard(keyboard),
          m_mouse(mouse),
          m_press(press),
          m_release(release) {
        setObjectName("macro_action_row");
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(6, 0, 10, 0);
        layout->setSpacing(8);
        m_pKeyPicture = PictureLabel(this, kKeyPictureSize);
        m_pKey = new QLabel(this);
        m_pKey->setObjectName("key");
        m_pKey->setFixedWidth(kKeyColumnWidth);
        m_pActionPicture = PictureLabel(this, kArrowPictureSize);
        m_pAction = new QLabel(this);
        m_pAction->setObjectName("action");
        m_pAction->setFixedWidth(kActionColumnWidth);
        m_pDelay = new QLabel(this);
        m_pDelay->setObjectName("delay");
        layout->addWidget(m_pKeyPicture);
        layout->addWidget(m_pKey);
        layout->addWidget(m_pActionPicture);
        layout->addWidget(m_pAction);
        layout->addWidget(m_pDelay, 1);
    }

    void Show(const ActionRow& row) {
        ShowKey(row.keyTextId, row.keyPicture != KeyPicture::Keyboard);
        m_pActionPicture->setPixmap((row.bPress ? m_press : m_release).pixmap(kArrowPictureSize));
        m_pAction->setText(Tr(row.actionTextId));
        ShowDelay(row.wShownDelay);
    }
    void ShowKey(std::string_view keyTextId, bool mouse) {
        m_pKeyPicture->setPixmap((mouse ? m_mouse : m_keyboard).pixmap(kKeyPictureSize));
        m_pKey->setText(Tr(keyTextId));
    }
    void ShowKey(std::string_view keyTextId) {
        // A key edit never turns a keyboard step into a mouse step or back, so the picture stays.
        m_pKey->setText(Tr(keyTextId));
    }
    void ShowDelay(std::uint16_t delay) { m_pDelay->setText(QString::number(delay)); }

    // What a screen reader says for the row.
    QString Spoken() const {
        return QString("%1, %2, %3 %4")
            .arg(m_pKey->text(), m_pAction->text(), m_pDelay->text(), Tr("ms_text"));
    }

  private:
    const QIcon &m_keyboard, &m_mouse, &m_press, &m_release;
    QLabel* m_pKeyPicture;
    QLabel* m_pKey;
    QLabel* m_pActionPicture;
    QLabel* m_pAction;
    QLabel* m_pDelay;
};

CWirelessMacroUI::CWirelessMacroUI(QWidget* parent)
    : CSettingsPage(parent, "wirelessmacropage.ui"), m_pTrace(std::make_unique<DebugTrace>()) {}

CWirelessMacroUI::~CWirelessMacroUI() = default;

void CWirelessMacroUI::FindControls(QWidget* root) {
    m_keyboardPicture = QIcon(SkinImagePath("images/keyboard_key_action.svg"));
    m_mousePicture = QIcon(SkinImagePath("images/mouse.svg"));
    m_pressPicture = QIcon(SkinImagePath("images/macro_key_down.svg"));
    m_releasePicture = QIcon(SkinImagePath("images/macro_key_up.svg"));

    m_pMacroList = FindControl<QListWidget>(root, "wireless_macro_list");
    m_pNameEdit = FindControl<QLineEdit>(root, "wireless_macro_name_edit");
    m_pAddButton = FindControl<QAbstractButton>(root, "wireless_macro_add_btn");
    m_pDeleteButton = FindControl<QAbstractButton>(root, "wireless_macro_delete_btn");
    m_pInsertMouseButton = FindControl<QAbstractButton>(root, "wireless_macro_insert_mouse_btn");
    m_pRecordButton = FindControl<QAbstractButton>(root, "wireless_macro_record_btn");
    m_pActionList = FindControl<QListWidget>(root, "wireless_macro_action_list");
    m_apDelayModeButtons = {FindControl<QAbstractButton>(root, "wireless_record_delay_btn"),
                            FindControl<QAbstractButton>(root, "wireless_default_delay_btn"),
                            FindControl<QAbstractButton>(root, "wireless_no_delay_btn")};
    m_pDefaultDelayEdit = FindControl<QLineEdit>(root, "wireless_default_delay_edit");
    m_pUpButton = FindControl<QAbstractButton>(root, "wireless_macro_up_btn");
    m_pDownButton = FindControl<QAbstractButton>(root, "wireless_macro_down_btn");
    m_pDeleteActionButton = FindControl<QAbstractButton>(root, "wireless_macro_delete_action_btn");
    m_pClearButton = FindControl<QAbstractButton>(root, "wireless_macro_clear_action_btn");
    m_pActionEditCheck = FindControl<QAbstractButton>(root, "wireless_macro_action_edit_check");
    m_pActionEdit = FindControl<QLineEdit>(root, "wireless_macro_action_edit");
    m_pDelayEdit = FindControl<QLineEdit>(root, "wireless_macro_delay_edit");
    m_pActionEditTab = FindControl<QStackedWidget>(root, "wireless_macro_action_edit_tab");
    m_pMouseActionCombo = FindControl<QComboBox>(root, "wireless_macro_mouse_action_combo");
    m_pMouseDelayEdit = FindControl<QLineEdit>(root, "wireless_macro_mouseaction_delay_edit");
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
    if (m_pSaveDataTab != nullptr) {
        m_pSaveDataTab->hide();
    }
    if (m_pMouseEventTab != nullptr) {
        m_pMouseEventTab->hide();
    }
    if (m_pActionEditTab != nullptr) {
        m_pActionEditTab->setCurrentIndex(0);
    }
    if (m_pNameEdit != nullptr) {
        m_pNameEdit->setMaxLength(kMacroNameUnits - 1);
    }
    for (QWidget* watched : std::initializer_list<QWidget*>{m_pRecordButton, m_pActionEdit}) {
        if (watched != nullptr) {
            watched->installEventFilter(this);
        }
    }
    ConnectControls();
}

void CWirelessMacroUI::ConnectControls() {
    const auto onClick = [this](QAbstractButton* button, void (CWirelessMacroUI::*handler)()) {
        if (button != nullptr) {
            connect(button, &QAbstractButton::clicked, this, handler);
        }
    };
    onClick(m_pAddButton, &CWirelessMacroUI::OnNewMacro);
    onClick(m_pDeleteButton, &CWirelessMacroUI::OnDeleteMacro);
    onClick(m_pSaveButton, &CWirelessMacroUI::OnSave);
    onClick(m_pCancelButton, &CWirelessMacroUI::OnCancel);
    onClick(m_pImportButton, &CWirelessMacroUI::OnImport);
    onClick(m_pExportButton, &CWirelessMacroUI::OnExport);

    // Edits of the action list act on the working copy alone.
    const auto onEdit = [this](QAbstractButton* button, void (MacroWorkingCopy::*edit)()) {
        if (button != nullptr) {
            connect(button, &QAbstractButton::clicked, this, [this, edit] {
                if (m_pEditor != nullptr) {
                    (m_pEditor.get()->*edit)();
                }
            });
        }
    };
    onEdit(m_pUpButton, &MacroWorkingCopy::MoveUp);
    onEdit(m_pDownButton, &MacroWorkingCopy::MoveDown);
    onEdit(m_pDeleteActionButton, &MacroWorkingCopy::DeleteAction);
    onEdit(m_pClearButton, &MacroWorkingCopy::Clear);

    for (std::size_t i = 0; i < m_apClickButtons.size(); ++i) {
        if (QAbstractButton* button = m_apClickButtons[i]) {
            connect(button, &QAbstractButton::clicked, this, [this, i] {
                if (m_pEditor != nullptr) {
                    m_pEditor->InsertClick(static_cast<int>(i));
                }
            });
        }
    }
    for (std::size_t mode = 0; mode < m_apDelayModeButtons.size(); ++mode) {
        if (QAbstractButton* button = m_apDelayModeButtons[mode]) {
            connect(button, &QAbstractButton::toggled, this, [this, mode](bool checked) {
                if (checked && m_pEditor != nullptr) {
                    m_pEditor->SetDelayMode(static_cast<DelayMode>(mode));
                }
            });
        }
    }
    if (m_pInsertMouseButton != nullptr) {
        connect(m_pInsertMouseButton, &QAbstractButton::toggled, this,
                &CWirelessMacroUI::OnInsertMouseToggled);
    }
    // The two toggles act on toggled, not clicked: a screen reader toggles them without a click.
    // The program unchecks them with signals blocked.
    if (m_pRecordButton != nullptr) {
        connect(m_pRecordButton, &QAbstractButton::toggled, this,
                &CWirelessMacroUI::OnRecordClicked);
    }
    if (m_pActionEditCheck != nullptr) {
        connect(m_pActionEditCheck, &QAbstractButton::toggled, this,
                &CWirelessMacroUI::OnActionEditClicked);
    }
    if (m_pMacroList != nullptr) {
        connect(m_pMacroList, &QListWidget::currentRowChanged, this,
                &CWirelessMacroUI::OnMacroRowSelected);
    }
    if (m_pActionList != nullptr) {
        connect(m_pActionList, &QListWidget::currentRowChanged, this,
                &CWirelessMacroUI::OnActionRowSelected);
    }
    if (m_pNameEdit != nullptr) {
        connect(m_pNameEdit, &QLineEdit::editingFinished, this, &CWirelessMacroUI::OnNameEdited);
    }
    if (m_pDelayEdit != nullptr) {
        connect(m_pDelayEdit, &QLineEdit::editingFinished, this,
                &CWirelessMacroUI::OnKeyDelayEdited);
    }
    if (m_pMouseDelayEdit != nullptr) {
        connect(m_pMouseDelayEdit, &QLineEdit::editingFinished, this,
                &CWirelessMacroUI::OnMouseDelayEdited);
    }
    if (m_pMouseActionCombo != nullptr) {
        connect(m_pMouseActionCombo, &QComboBox::currentIndexChanged, this,
                &CWirelessMacroUI::OnMouseButtonChosen);
    }
}

void CWirelessMacroUI::Wire(const PageContext& context) {
    CSettingsPage::Wire(context);
    m_lastFolder = QString::fromStdString(context.dataFolder.string());
    // Without what it works on (an empty context unwires it) the page ignores the user.
    m_pRecorder.reset();
    m_pEditor.reset();
    if (context.pMacroStore == nullptr || context.pHooks == nullptr ||
        context.pCaptureFlags == nullptr) {
        return;
    }
    m_pEditor = std::make_unique<MacroWorkingCopy>(*context.pMacroStore, *this, *m_pTrace);
    m_pRecorder = std::make_unique<MacroRecorder>(*m_pEditor, *this, *m_pTrace, *context.pHooks,
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
        AppendMacroRow(store.At(i));
    }
    m_pMacroList->setCurrentRow(-1);
}

void CWirelessMacroUI::AppendMacroRow(const MacroRecord& record) {
    if (m_pMacroList == nullptr) {
        return;
    }
    auto* item = new QListWidgetItem(MacroName(record), m_pMacroList);
    item->setSizeHint(QSize(0, kRowHeight));
}

void CWirelessMacroUI::SelectMacroRowQuietly(int row) {
    if (m_pMacroList != nullptr) {
        const QSignalBlocker blocker(m_pMacroList);
        m_pMacroList->setCurrentRow(row);
    }
}

void CWirelessMacroUI::RecordEvent(std::uint32_t code, std::uint32_t flag) {
    if (m_pRecorder != nullptr) {
        m_pRecorder->RecordEvent(code, flag);
    }
}

void CWirelessMacroUI::KeyEditEvent(std::uint32_t virtualKey, std::uint32_t flag) {
    if (m_pRecorder != nullptr) {
        m_pRecorder->KeyEditEvent(virtualKey, flag);
    }
}

void CWirelessMacroUI::EndCapture() {
    if (m_pRecorder != nullptr) {
        m_pRecorder->EndCapture();
    }
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

// A store change reaches macro.data, and the buttons that run macros with the mouse behind them.
void CWirelessMacroUI::PublishChange() {
    const PageContext& context = Context();
    if (context.pSettings == nullptr || context.pKeeper == nullptr) {
        SaveMacroList(*context.pMacroStore, context.dataFolder);
        return;
    }
    if (PublishMacroChange(*context.pMacroStore, *context.pSettings, *context.pKeeper,
                           context.dataFolder, context.mainWindow)) {
        Q_EMIT ButtonEntriesChanged();
    }
}

void CWirelessMacroUI::OnNewMacro() {
    EndCapture();
    if (!RefusedWhileUnsaved()) {
        CreateMacro();
    }
}

void CWirelessMacroUI::CreateMacro() {
    if (m_pEditor == nullptr) {
        return;
    }
    MacroStore& store = *Context().pMacroStore;
    AppendMacroRow(store.NewMacro(Language::Instance().Lookup()));
    SaveMacroList(store, Context().dataFolder);
    const int row = store.Count() - 1;
    SelectMacroRowQuietly(row);
    m_pEditor->SelectMacro(row);
    Q_EMIT MacroListChanged();
}

void CWirelessMacroUI::OnDeleteMacro() {
    EndCapture();
    if (RefusedWhileUnsaved()) {
        return;
    }
    if (CMsgWnd::Ask(Context().pDialogOwner, "warning_title_text", "delete_macro_text") == 1 &&
        m_pMacroList != nullptr && m_pMacroList->currentRow() >= 0) {
        const int row = m_pMacroList->currentRow();
        const int next = m_pEditor->EraseMacro(row);
        PublishChange();
        delete m_pMacroList->takeItem(row);
        SelectMacroRowQuietly(next);
    }
    Q_EMIT MacroListChanged();
}

void CWirelessMacroUI::OnMacroRowSelected(int row) {
    EndCapture();
    if (m_pEditor != nullptr && row >= 0) {
        m_pEditor->SelectMacro(row);
    }
}

void CWirelessMacroUI::OnActionRowSelected(int row) {
    if (m_pEditor != nullptr) {
        m_pEditor->SelectAction(row);
    }
}

void CWirelessMacroUI::OnNameEdited() {
    if (m_pEditor == nullptr || m_pNameEdit == nullptr) {
        return;
    }
    const MacroRecord* macro = m_pEditor->CurrentMacro();
    const std::u16string oldName(macro != nullptr ? FieldText(macro->szName) : u"");
    if (m_pEditor->Rename(m_pNameEdit->text().toStdU16String()) != RenameOutcome::Renamed) {
        return;
    }
    // The buttons that run the macro keep running it under its new name.
    if (Context().pSettings != nullptr) {
        RenameButtonMacros(*Context().pSettings, oldName, FieldText(macro->szName));
    }
    Q_EMIT MacroRenamed(QString::fromStdU16String(oldName),
                        QString::fromStdU16String(std::u16string(FieldText(macro->szName))));
    PublishChange();
    if (m_pMacroList != nullptr && m_pEditor->CurrentMacro() != nullptr) {
        if (QListWidgetItem* item = m_pMacroList->item(m_pEditor->SelectedMacro())) {
            item->setText(MacroName(*m_pEditor->CurrentMacro()));
        }
    }
    Q_EMIT MacroListChanged();
}

void CWirelessMacroUI::OnRecordClicked() {
    const std::uint8_t input = std::exchange(m_byRecordInput, 0);
    if (m_pRecorder != nullptr) {
        m_pRecorder->OnRecordButton(input);
    }
}

void CWirelessMacroUI::OnInsertMouseToggled(bool checked) {
    if (m_pMouseEventTab != nullptr) {
        m_pMouseEventTab->setVisible(checked);
    }
    if (m_pNameTab != nullptr) {
        m_pNameTab->setVisible(!checked);
    }
}

void CWirelessMacroUI::OnActionEditClicked(bool checked) {
    if (m_pEditor != nullptr) {
        m_pEditor->SetActionEditFlag(checked);
    }
}

void CWirelessMacroUI::OnKeyDelayEdited() {
    if (m_pEditor != nullptr && m_pDelayEdit != nullptr) {
        m_pEditor->SetDelay(DelayEdit::Keyboard, m_pDelayEdit->text().toStdString());
    }
}

void CWirelessMacroUI::OnMouseDelayEdited() {
    if (m_pEditor != nullptr && m_pMouseDelayEdit != nullptr) {
        m_pEditor->SetDelay(DelayEdit::Mouse, m_pMouseDelayEdit->text().toStdString());
    }
}

void CWirelessMacroUI::OnMouseButtonChosen(int index) {
    if (m_pEditor != nullptr && index >= 0) {
        m_pEditor->SetMouseButton(index);
    }
}

void CWirelessMacroUI::OnSave() {
    EndCapture();
    if (m_pEditor != nullptr && m_pEditor->Save()) {
        PublishChange();
    }
}

void CWirelessMacroUI::OnCancel() {
    EndCapture();
    if (m_pEditor != nullptr) {
        m_pEditor->Cancel();
    }
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
    MacroStore& store = *Context().pMacroStore;
    const MacroImportResult result =
        ImportMacroFile(store, file.toStdString(), MacroFile(Context().dataFolder));
    if (!result.Imported()) {
        CMsgWnd::Ask(Context().pDialogOwner, "warning_title_text",
                     MacroImportWarningTextId(result.status));
        return;
    }
    AppendMacroRow(store.At(result.index));
    SelectMacroRowQuietly(result.index);
    m_pEditor->SelectMacro(result.index);
    Q_EMIT MacroListChanged();
}

bool CWirelessMacroUI::eventFilter(QObject* watched, QEvent* event) {
    if (m_pRecorder != nullptr) {
        if (watched == m_pRecordButton) {
            // The click or key that is about to toggle the button: it must not become a step of
            // the recording it stops.
            m_byRecordInput = RecordButtonInput(event).value_or(m_byRecordInput);
            if (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut) {
                m_byRecordInput = 0;  // a press taken elsewhere toggles nothing
            }
        } else if (watched == m_pActionEdit) {
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

ActionRowWidget* CWirelessMacroUI::RowWidget(int row) const {
    if (m_pActionList == nullptr) {
        return nullptr;
    }
    QListWidgetItem* item = m_pActionList->item(row);
    return item != nullptr ? static_cast<ActionRowWidget*>(m_pActionList->itemWidget(item))
                           : nullptr;
}

void CWirelessMacroUI::ShowMacroName(std::u16string_view name) {
    if (m_pNameEdit != nullptr) {
        m_pNameEdit->setText(QStringOf(name));
    }
}

void CWirelessMacroUI::ShowActionRows(std::span<const ActionRow> rows) {
    if (m_pActionList == nullptr) {
        return;
    }
    const QSignalBlocker blocker(m_pActionList);
    m_pActionList->setUpdatesEnabled(false);
    m_pActionList->clear();
    for (const ActionRow& row : rows) {
        auto* item = new QListWidgetItem(m_pActionList);
        item->setSizeHint(QSize(0, kRowHeight));
        auto* widget = new ActionRowWidget(m_pActionList, m_keyboardPicture, m_mousePicture,
                                           m_pressPicture, m_releasePicture);
        widget->Show(row);
        item->setData(Qt::AccessibleTextRole, widget->Spoken());
        m_pActionList->setItemWidget(item, widget);
    }
    m_pActionList->setUpdatesEnabled(true);
}

void CWirelessMacroUI::SelectActionRow(int row) {
    if (m_pActionList != nullptr) {
        const QSignalBlocker blocker(m_pActionList);
        m_pActionList->setCurrentRow(row);
        if (QListWidgetItem* item = m_pActionList->item(row)) {
            m_pActionList->scrollToItem(item);
        }
    }
}

void CWirelessMacroUI::RemoveActionRow(int row) {
    if (m_pActionList != nullptr) {
        const QSignalBlocker blocker(m_pActionList);
        delete m_pActionList->takeItem(row);
    }
}

void CWirelessMacroUI::UpdateActionRow(int row, const ActionRow& content) {
    if (ActionRowWidget* widget = RowWidget(row)) {
        widget->Show(content);
        m_pActionList->item(row)->setData(Qt::AccessibleTextRole, widget->Spoken());
    }
}

void CWirelessMacroUI::ShowActionRowKey(int row, std::string_view keyTextId) {
    if (ActionRowWidget* widget = RowWidget(row)) {
        widget->ShowKey(keyTextId);
        m_pActionList->item(row)->setData(Qt::AccessibleTextRole, widget->Spoken());
    }
}

void CWirelessMacroUI::ShowActionRowDelay(int row, std::uint16_t delay) {
    if (ActionRowWidget* widget = RowWidget(row)) {
        widget->ShowDelay(delay);
        m_pActionList->item(row)->setData(Qt::AccessibleTextRole, widget->Spoken());
    }
}

void CWirelessMacroUI::ShowActionEditor(const ActionEditorState& state) {
    if (m_pActionEditTab != nullptr) {
        m_pActionEditTab->setCurrentIndex(state.iPage);
    }
    const QString delay = QString::number(state.wDelay);
    if (state.iPage == 1) {
        if (m_pActionEdit != nullptr) {
            m_pActionEdit->setText(Tr(state.keyTextId));
        }
        if (m_pDelayEdit != nullptr) {
            m_pDelayEdit->setText(delay);
            m_pDelayEdit->setEnabled(state.bDelayEnabled);
        }
    } else if (state.iPage == 2) {
        if (m_pMouseActionCombo != nullptr) {
            // The editor has set the step's button already; choosing it again would change nothing.
            const QSignalBlocker blocker(m_pMouseActionCombo);
            m_pMouseActionCombo->setCurrentIndex(state.iMouseComboIndex);
        }
        if (m_pMouseDelayEdit != nullptr) {
            m_pMouseDelayEdit->setText(delay);
            m_pMouseDelayEdit->setEnabled(state.bDelayEnabled);
        }
    }
}

void CWirelessMacroUI::ShowEditedKey(std::string_view keyTextId) {
    ShowFieldText(m_pActionEdit, Tr(keyTextId));
}

void CWirelessMacroUI::ShowMouseActionDelay(std::uint16_t delay) {
    if (m_pMouseDelayEdit != nullptr) {
        m_pMouseDelayEdit->setText(QString::number(delay));
    }
}

void CWirelessMacroUI::UncheckActionEditBox() {
    if (m_pActionEditCheck != nullptr) {
        const QSignalBlocker blocker(m_pActionEditCheck);
        m_pActionEditCheck->setChecked(false);
    }
}

void CWirelessMacroUI::ShowUnsavedState(bool unsaved) {
    if (m_pSaveDataTab != nullptr) {
        m_pSaveDataTab->setVisible(unsaved);
    }
    if (m_pExportOrImportTab != nullptr) {
        m_pExportOrImportTab->setVisible(!unsaved);
    }
    UncheckActionEditBox();
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

void CWirelessMacroUI::ShowRecording(bool recording) {
    Q_EMIT RecordingChanged(recording);
}

void CWirelessMacroUI::UncheckRecordButton() {
    if (m_pRecordButton != nullptr) {
        const QSignalBlocker blocker(m_pRecordButton);
        m_pRecordButton->setChecked(false);
    }
}

}  // namespace veltrix::gui
