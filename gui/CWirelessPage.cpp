#include "CWirelessPage.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStackedWidget>

#include "CMsgWnd.h"
#include "CWirelessButtonUI.h"
#include "CWirelessDPIUI.h"
#include "CWirelessLightUI.h"
#include "CWirelessMacroUI.h"
#include "FileDialogs.h"
#include "Language.h"
#include "PageControls.h"
#include "Skin.h"
#include "profile/ProfileTransfer.h"
#include "profile/RecordAccess.h"
#include "profile/SettingsFiles.h"

namespace veltrix::gui {

CWirelessPage::CWirelessPage(QWidget* root, QWidget* dialogOwner, const VeltrixWindowHandle& window,
                             std::filesystem::path dataFolder, Clock& clock, DriverLinks links)
    : m_dataFolder(std::move(dataFolder)),
      m_keeper(SettingsFile(m_dataFolder)),
      m_pDialogOwner(dialogOwner),
      m_window(window),
      m_timers(this, [this](int id) { m_session.Link().OnTimer(id); }),
      m_session(m_settings, *this, window, SaveThrough(m_keeper), clock, links) {
    LookUpControls(root);
    ConnectControls();
    // The power bar is not on screen yet: it tells the link when it is (eventFilter).
    m_session.Link().SetPowerDisplayShown(false);
    if (m_pPower != nullptr) {
        m_pPower->installEventFilter(this);
    }
}

bool CWirelessPage::eventFilter(QObject* watched, QEvent* event) {
    // Hiding and minimising the window, and the view without a mouse, hide the bar too.
    if (watched == m_pPower && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        m_session.Link().SetPowerDisplayShown(event->type() == QEvent::Show);
    }
    return QObject::eventFilter(watched, event);
}

CWirelessPage::~CWirelessPage() {
    // The pages outlive the record and the hooks they were handed (the window's widgets go last),
    // and a focus change or a page's timer while the window closes would still reach them.
    m_context.reset();
    for (CSettingsPage* page : BuiltPages()) {
        page->Wire(PageContext{});
    }
}

void CWirelessPage::BuildPage(CSettingsPage* page) {
    if (page == nullptr || page->IsBuilt()) {
        return;
    }
    page->DoInit();
    if (m_context) {
        page->Wire(*m_context);
        page->FillMacroList();
        if (page != m_pMacroPage) {
            page->Reload();
        }
    }
    Q_EMIT PageBuilt(page);
}

std::vector<CSettingsPage*> CWirelessPage::BuiltPages() const {
    std::vector<CSettingsPage*> built;
    for (CSettingsPage* page : m_pages) {
        if (page->IsBuilt()) {
            built.push_back(page);
        }
    }
    return built;
}

CWirelessButtonUI* CWirelessPage::ButtonPage() {
    BuildPage(m_pButtonPage);
    return m_pButtonPage;
}

CWirelessDPIUI* CWirelessPage::DpiPage() {
    BuildPage(m_pDpiPage);
    return m_pDpiPage;
}

CWirelessLightUI* CWirelessPage::LightPage() {
    BuildPage(m_pLightPage);
    return m_pLightPage;
}

CWirelessMacroUI* CWirelessPage::MacroPage() {
    BuildPage(m_pMacroPage);
    return m_pMacroPage;
}

void CWirelessPage::LookUpControls(QWidget* root) {
    m_apNavigation[kLightTab] = FindControl<QAbstractButton>(root, "wireless_light_btn");
    m_apNavigation[kButtonTab] = FindControl<QAbstractButton>(root, "wireless_button_btn");
    m_apNavigation[kDpiTab] = FindControl<QAbstractButton>(root, "wireless_dpi_setting_btn");
    m_apNavigation[kMacroTab] = FindControl<QAbstractButton>(root, "wireless_macro_btn");
    m_pExport = FindControl<QAbstractButton>(root, "wireless_export_profile_btn");
    m_pImport = FindControl<QAbstractButton>(root, "wireless_import_profile_btn");
    m_pReset = FindControl<QAbstractButton>(root, "wireless_reset_profile_btn");
    m_pPower = FindControl<QProgressBar>(root, "progress_ms_1_power");
    m_pPowerLabel = FindControl<QLabel>(root, "label_power");
    m_pLowPowerLabel = FindControl<QLabel>(root, "low_power_label");
    m_pSleepLabel = FindControl<QWidget>(root, "wireless_sleep_label");
    m_pApplyRing = FindControl<QWidget>(root, "apply_ring");
    m_pTabs = FindControl<QStackedWidget>(root, "wireless_tab_switch");
    m_pButtonPage = FindControl<CWirelessButtonUI>(root, "wireless_button_tab");
    if (m_pButtonPage != nullptr) {
        // The button page's editing panel comes later than the page: it is said as a page.
        connect(m_pButtonPage, &CWirelessButtonUI::PanelBuilt, this, &CWirelessPage::PageBuilt);
    }
    m_pLightPage = FindControl<CWirelessLightUI>(root, "wireless_light_tab");
    m_pDpiPage = FindControl<CWirelessDPIUI>(root, "wireless_dpi_tab");
    m_pMacroPage = FindControl<CWirelessMacroUI>(root, "wireless_macro_tab");
    for (int i = 0; i < kProfileCount; ++i) {
        QAbstractButton* button =
            FindControl<QAbstractButton>(root, QString("wireless_profile_%1_btn").arg(i + 1));
        if (button != nullptr) {
            button->setText(QString("%1 %2").arg(Tr("profile_text")).arg(i + 1));
        }
        m_apProfile[static_cast<std::size_t>(i)] = button;
    }
    for (CSettingsPage* page : std::initializer_list<CSettingsPage*>{m_pButtonPage, m_pDpiPage,
                                                                     m_pLightPage, m_pMacroPage}) {
        if (page != nullptr) {
            m_pages.push_back(page);
        }
    }
    // The page on screen now; the others are built when first shown or asked for, which keeps
    // their layouts out of the start-up.
    if (m_pTabs != nullptr) {
        BuildPage(qobject_cast<CSettingsPage*>(m_pTabs->currentWidget()));
    } else {
        for (CSettingsPage* page : m_pages) {
            BuildPage(page);
        }
    }
    if (m_pApplyRing != nullptr) {
        m_pApplyRing->hide();
    }
    if (m_pLowPowerLabel != nullptr) {
        m_pLowPowerLabel->hide();
    }
}

void CWirelessPage::ConnectControls() {
    for (int tab = 0; tab < static_cast<int>(m_apNavigation.size()); ++tab) {
        if (QAbstractButton* button = m_apNavigation[static_cast<std::size_t>(tab)]) {
            connect(button, &QAbstractButton::toggled, this, [this, tab](bool checked) {
                if (checked) {
                    SelectNavigation(tab);
                }
            });
        }
    }
    for (int i = 0; i < kProfileCount; ++i) {
        if (QAbstractButton* button = m_apProfile[static_cast<std::size_t>(i)]) {
            connect(button, &QAbstractButton::toggled, this, [this, i](bool checked) {
                if (checked) {
                    SelectProfile(i);
                }
            });
        }
    }
    ConnectIf(m_pExport, &QAbstractButton::clicked, this, &CWirelessPage::ExportProfile);
    ConnectIf(m_pImport, &QAbstractButton::clicked, this, &CWirelessPage::ImportProfile);
    ConnectIf(m_pReset, &QAbstractButton::clicked, this, &CWirelessPage::ResetProfiles);
    // However the page comes on screen, it is built by then.
    ConnectIf(m_pTabs, &QStackedWidget::currentChanged, this, [this](int index) {
        BuildPage(qobject_cast<CSettingsPage*>(m_pTabs->widget(index)));
    });
    if (m_pMacroPage != nullptr) {
        connect(m_pMacroPage, &CWirelessMacroUI::RecordingChanged, this,
                &CWirelessPage::RecordingChanged);
        connect(m_pMacroPage, &CWirelessMacroUI::MacroListChanged, this, [this] {
            for (CSettingsPage* page : BuiltPages()) {
                if (page != m_pMacroPage) {
                    page->FillMacroList();
                }
            }
        });
        connect(m_pMacroPage, &CWirelessMacroUI::ButtonEntriesChanged, this, [this] {
            if (CWirelessButtonUI* buttons = IfBuilt(m_pButtonPage)) {
                buttons->RefreshButtons();
            }
        });
        if (m_pButtonPage != nullptr) {
            connect(m_pMacroPage, &CWirelessMacroUI::MacroRenamed, m_pButtonPage,
                    &CWirelessButtonUI::RenameMacro);
        }
    }
}

void CWirelessPage::StartDeviceLink() {
    m_session.Start();
}

void CWirelessPage::StartDeviceLink(std::span<const std::filesystem::path> pluginFolders) {
    m_session.Start(pluginFolders);
}

void CWirelessPage::WirePages(MacroStore& store, HookLibrary& hooks, CaptureTargetFlags& flags) {
    m_bSettingsUnreadable = m_keeper.Load(m_settings) == SettingsSource::Unreadable;
    m_pMacroStore = &store;
    m_pHooks = &hooks;
    m_pCaptureFlags = &flags;
    PageContext context;
    context.pSettings = &m_settings;
    context.pKeeper = &m_keeper;
    context.pMacroStore = &store;
    context.pHooks = &hooks;
    context.pCaptureFlags = &flags;
    context.mainWindow = m_window;
    context.pDialogOwner = m_pDialogOwner;
    context.dataFolder = m_dataFolder;
    m_context = context;
    for (CSettingsPage* page : BuiltPages()) {
        page->Wire(context);
    }
    FillMacroLists();
    ReloadPages();
    // Selecting the current profile's button applies it, so the mouse shows what the window does.
    m_rules.ExpectStartupSelection();
    const int current = CurrentProfileIndex(m_settings);
    if (QAbstractButton* button = m_apProfile[static_cast<std::size_t>(current)]) {
        if (button->isChecked()) {
            SelectProfile(current);
        } else {
            button->setChecked(true);
        }
    } else {
        SelectProfile(current);
    }
}

void CWirelessPage::EndCapture() {
    if (CWirelessButtonUI* buttons = IfBuilt(m_pButtonPage)) {
        buttons->EndCapture();
    }
    if (CWirelessMacroUI* macros = IfBuilt(m_pMacroPage)) {
        macros->EndCapture();
    }
    if (m_pHooks != nullptr && m_pCaptureFlags != nullptr) {
        veltrix::EndCapture(*m_pHooks, *m_pCaptureFlags);
    }
}

void CWirelessPage::CaptureButtonKey(std::uint32_t code, std::uint32_t flag) {
    CWirelessButtonUI* buttons = IfBuilt(m_pButtonPage);
    if (buttons != nullptr && buttons->SelectedButton() >= 0) {
        buttons->CaptureKey(code, flag);
    }
}

void CWirelessPage::RecordMacroEvent(std::uint32_t code, std::uint32_t flag) {
    if (CWirelessMacroUI* macros = IfBuilt(m_pMacroPage)) {
        macros->RecordEvent(code, flag);
    }
}

void CWirelessPage::EditMacroKey(std::uint32_t code, std::uint32_t flag) {
    if (CWirelessMacroUI* macros = IfBuilt(m_pMacroPage)) {
        macros->KeyEditEvent(code, flag);
    }
}

bool CWirelessPage::OnDriverMessage(const Message& message) {
    return m_session.Link().OnDriverMessage(message);
}

void CWirelessPage::Apply(std::uintptr_t wParam, std::intptr_t lParam) {
    m_rules.NoteApplyRequest(wParam, lParam);
    m_session.Apply(wParam, lParam);
}

void CWirelessPage::OnApplyStarted() {
    if (m_pApplyRing != nullptr) {
        m_pApplyRing->show();
    }
}

void CWirelessPage::OnApplyFinished() {
    SaveRecord();
    if (m_pApplyRing != nullptr) {
        m_pApplyRing->hide();
    }
}

void CWirelessPage::SaveRecord() {
    m_keeper.Save(m_settings);
}

QAbstractButton* CWirelessPage::NavigationButton(int tab) const {
    return tab >= 0 && tab < static_cast<int>(m_apNavigation.size())
               ? m_apNavigation[static_cast<std::size_t>(tab)]
               : nullptr;
}

void CWirelessPage::SelectNavigation(int tab) {
    if (m_pTabs == nullptr) {
        return;
    }
    // Also when the page stays because of unsaved edits: the user meant to leave it.
    if (m_pTabs->currentIndex() != tab) {
        EndCapture();
    }
    // Unsaved macro edits keep the user on the macro page until they save or cancel.
    CWirelessMacroUI* macros = IfBuilt(m_pMacroPage);
    if (tab != kMacroTab && macros != nullptr && macros->Unsaved()) {
        macros->ShowSaveNotice();
        if (QAbstractButton* macro = NavigationButton(kMacroTab)) {
            const QSignalBlocker blocker(macro);
            macro->setChecked(true);
        }
        return;
    }
    if (tab != m_pTabs->currentIndex()) {
        FlushHeldEdits();
    }
    // Built before it shows, so that it comes on screen whole.
    BuildPage(qobject_cast<CSettingsPage*>(m_pTabs->widget(tab)));
    m_pTabs->setCurrentIndex(tab);
    if (QAbstractButton* button = NavigationButton(tab);
        button != nullptr && !button->isChecked()) {
        const QSignalBlocker blocker(button);
        button->setChecked(true);
    }
}

void CWirelessPage::SelectProfile(int profile) {
    m_rules.SelectProfile(profile);
}

void CWirelessPage::ResetProfiles() {
    // There is no way back: the user is asked first.
    if (CMsgWnd::Ask(m_pDialogOwner, "warning_title_text", "reset_profile_confirm_text") == 1) {
        m_rules.ResetProfiles();
    }
}

FileDialogRequest CWirelessPage::ProfileFileRequest() const {
    return {Tr("profile_filter_text"), "*.pro *.PRO",
            QString::fromStdString(SettingsFolder(m_dataFolder).string()), "pro"};
}

void CWirelessPage::ExportProfile() {
    const QString file = AskSaveFileName(m_pDialogOwner, ProfileFileRequest());
    // A profile that did not reach its file must not look saved.
    if (!file.isEmpty() && !m_rules.ExportProfile(file.toStdString())) {
        CMsgWnd::Tell(m_pDialogOwner, "warning_title_text", "export_profile_failed_text");
    }
}

void CWirelessPage::ImportProfile() {
    EndCapture();
    const QString file = AskOpenFileName(m_pDialogOwner, ProfileFileRequest());
    if (file.isEmpty() || m_pMacroStore == nullptr) {
        return;
    }
    const ProfileImportStatus status =
        m_rules.ImportProfile(*m_pMacroStore, file.toStdString(), m_dataFolder);
    if (status != ProfileImportStatus::Imported) {
        CMsgWnd::Tell(m_pDialogOwner, "warning_title_text", ProfileImportWarningTextId(status));
    }
}

void CWirelessPage::FillMacroLists() {
    for (CSettingsPage* page : BuiltPages()) {
        page->FillMacroList();
    }
}

void CWirelessPage::ShowSleepLabel(bool shown) {
    if (m_pSleepLabel != nullptr) {
        m_pSleepLabel->setVisible(shown);
    }
}

void CWirelessPage::SetPowerTextId(std::string_view textId) {
    if (m_pPowerLabel != nullptr) {
        m_pPowerLabel->setText(Tr(textId));
        m_pPowerLabel->setAccessibleName(m_pPowerLabel->text());
    }
}

void CWirelessPage::SetPowerText(std::string_view text) {
    if (m_pPowerLabel != nullptr) {
        m_pPowerLabel->setText(QtText(text));
        m_pPowerLabel->setAccessibleName(m_pPowerLabel->text());
    }
}

void CWirelessPage::SetPowerProgress(int value) {
    if (m_pPower != nullptr) {
        m_pPower->setValue(value);
    }
}

void CWirelessPage::StartTimer(int id, std::chrono::milliseconds period) {
    m_timers.Start(id, period);
}

void CWirelessPage::StopTimer(int id) {
    m_timers.Stop(id);
}

void CWirelessPage::MarkDpiLevel(int level) {
    if (CWirelessDPIUI* dpi = IfBuilt(m_pDpiPage)) {
        dpi->ShowCurrentLevel(level);
    }
}

void CWirelessPage::SelectProfileButtonSilently(int profile) {
    if (QAbstractButton* button =
            m_apProfile[static_cast<std::size_t>(InRange(profile, 0, kProfileCount - 1))]) {
        const QSignalBlocker blocker(button);
        button->setChecked(true);
        // Exclusive buttons uncheck their siblings through the group, which the blocker keeps
        // quiet only for this one; the others were never connected to anything but selection.
    }
}

void CWirelessPage::FlushHeldEdits() {
    bool sent = false;
    for (CSettingsPage* page : BuiltPages()) {
        sent |= page->FlushHeldEdits([this](std::uintptr_t area, int profile) {
            Apply(area, static_cast<std::intptr_t>(profile));
        });
    }
    // Held edits are in the record already; the save must not wait for the mouse's answer.
    if (sent) {
        SaveRecord();
    }
}

// Every reload shows another profile, or new content of it: held edits go out for the profile
// they were made in, and an open button edit closes before it could reach the wrong profile.
void CWirelessPage::ReloadPages() {
    FlushHeldEdits();
    for (CSettingsPage* page : BuiltPages()) {
        if (page != m_pMacroPage) {
            page->Reload();
        }
    }
}

void CWirelessPage::ShowBatteryState(BatteryState state) {
    if (m_pLowPowerLabel != nullptr) {
        m_pLowPowerLabel->setVisible(state.bars == 1 && !state.charging);
    }
    Q_EMIT BatteryChanged(state);
}

void CWirelessPage::WarnLowBattery() {
    Q_EMIT LowBattery();
}

}  // namespace veltrix::gui
