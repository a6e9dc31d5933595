#pragma once

// The device page: the record, the mouse's two links with the worker behind them, and the
// controls around the four setting pages (navigation, profile buttons, export, import and reset,
// the power display and the sleep notice). It renders the device link through DeviceLinkView and
// hands the pages what they work on.

#include <QObject>
#include <QPointer>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "FileDialogs.h"
#include "PageControls.h"
#include "SettingsPage.h"
#include "device/DeviceLinkView.h"
#include "device/DeviceSession.h"
#include "pages/DevicePageRules.h"
#include "platform/Clock.h"
#include "platform/HookLibrary.h"
#include "platform/MessageQueue.h"
#include "profile/SettingsKeeper.h"

class QAbstractButton;
class QLabel;
class QProgressBar;
class QStackedWidget;

namespace veltrix::gui {

class CWirelessButtonUI;
class CWirelessDPIUI;
class CWirelessLightUI;
class CWirelessMacroUI;

// Indices of the pages in wireless_tab_switch.
inline constexpr int kLightTab = 0;
inline constexpr int kButtonTab = 1;
inline constexpr int kDpiTab = 2;
inline constexpr int kMacroTab = 3;

class CWirelessPage final : public QObject,
                            public DeviceLinkView,
                            public DevicePageView,
                            public HookEventTargets {
    Q_OBJECT

  public:
    // `root` holds the device page's controls; `window` receives the driver plugins', the
    // link's and the worker's messages; `dialogOwner` owns the page's dialogs. The worker paces
    // its reports by `clock`; `links` stand in for the driver plugins where given.
    CWirelessPage(QWidget* root, QWidget* dialogOwner, const VeltrixWindowHandle& window,
                  std::filesystem::path dataFolder, Clock& clock = SystemClock(),
                  DriverLinks links = {});
    ~CWirelessPage() override;

    // Binds the driver libraries (the cable's, then the receiver's) and opens both links.
    void StartDeviceLink();
    void StartDeviceLink(std::span<const std::filesystem::path> pluginFolders);
    // Loads Config_1.data, hands the pages what they work on, fills and reloads them, and selects
    // the current profile's button, which applies the profile to the mouse.
    void WirePages(MacroStore& store, HookLibrary& hooks, CaptureTargetFlags& flags);

    // Ends every capture of global input: a running recording stops as its record button would
    // stop it, a key field stops waiting, and the hooks are removed. What a user does not see
    // must not listen: the window calls it when it hides, minimises or quits, the page when the
    // user leaves a page.
    void EndCapture();

    bool OnDriverMessage(const Message& message);

    // HookEventTargets: the button page and the macro page.
    void CaptureButtonKey(std::uint32_t code, std::uint32_t flag) override;
    void RecordMacroEvent(std::uint32_t code, std::uint32_t flag) override;
    void EditMacroKey(std::uint32_t code, std::uint32_t flag) override;
    // Queues an apply request for the worker, on a copy of the record as it is now.
    void Apply(std::uintptr_t wParam, std::intptr_t lParam);
    // The worker started or finished a request: the busy ring, and the save of the live record.
    void OnApplyStarted();
    void OnApplyFinished();
    void SaveRecord();
    // The held DPI and lighting edits are sent at once and the record saved: when their page or
    // the window hides, when the profile changes and when the program quits.
    void FlushHeldEdits();

    bool Connected() { return m_session.Link().Connected(); }
    ProfileSettings& Settings() { return m_settings; }
    SettingsKeeper& Keeper() { return m_keeper; }
    // Config_1.data was there but could not be read: the user is to be told once.
    bool SettingsUnreadable() const { return m_bSettingsUnreadable; }
    DeviceSession& Session() { return m_session; }

    // The setting pages. Only the page on screen is built at start-up; asking for one builds it,
    // wired and showing the record as it is now.
    CWirelessButtonUI* ButtonPage();
    CWirelessDPIUI* DpiPage();
    CWirelessLightUI* LightPage();
    CWirelessMacroUI* MacroPage();

    // The user's actions on the page's own controls, as the controls report them.
    void SelectNavigation(int tab);
    void SelectProfile(int profile);
    void ResetProfiles();
    void ExportProfile();
    void ImportProfile();

    // DeviceLinkView
    void ShowSleepLabel(bool shown) override;
    void SetPowerTextId(std::string_view textId) override;
    void SetPowerText(std::string_view text) override;
    void SetPowerProgress(int value) override;
    void StartTimer(int id, std::chrono::milliseconds period) override;
    void StopTimer(int id) override;
    void MarkDpiLevel(int level) override;
    void SelectProfileButtonSilently(int profile) override;
    void ReloadPages() override;
    void ShowBatteryState(BatteryState state) override;
    void WarnLowBattery() override;
    // DevicePageView (and ReloadPages, SelectProfileButtonSilently above)
    void FillMacroLists() override;

  Q_SIGNALS:
    // For the tray: the battery changed, or fell to its last bar.
    void BatteryChanged(veltrix::BatteryState state);
    void LowBattery();
    // A macro recording started or ended.
    void RecordingChanged(bool recording);
    // A setting page, or the button page's editing panel, has just been built (at start-up or
    // when first needed).
    void PageBuilt(QWidget* page);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LookUpControls(QWidget* root);
    // Builds a page the first time it is needed: its layout, then what WirePages gave the others.
    void BuildPage(CSettingsPage* page);
    // The page when it has been built; a page not built yet holds nothing and shows nothing.
    template <typename Page>
    static Page* IfBuilt(Page* page) {
        return page != nullptr && page->IsBuilt() ? page : nullptr;
    }
    // The pages built so far, in a fixed order.
    std::vector<CSettingsPage*> BuiltPages() const;
    void ConnectControls();
    QAbstractButton* NavigationButton(int tab) const;
    FileDialogRequest ProfileFileRequest() const;

    ProfileSettings m_settings{};
    std::filesystem::path m_dataFolder;
    SettingsKeeper m_keeper;
    bool m_bSettingsUnreadable = false;
    QWidget* m_pDialogOwner;
    MacroStore* m_pMacroStore = nullptr;
    HookLibrary* m_pHooks = nullptr;
    CaptureTargetFlags* m_pCaptureFlags = nullptr;
    VeltrixWindowHandle m_window;
    PageTimers m_timers;  // the device link's

    std::array<QAbstractButton*, 4> m_apNavigation{};  // by tab index
    std::array<QAbstractButton*, kProfileCount> m_apProfile{};
    QAbstractButton* m_pExport = nullptr;
    QAbstractButton* m_pImport = nullptr;
    QAbstractButton* m_pReset = nullptr;
    QProgressBar* m_pPower = nullptr;
    QLabel* m_pPowerLabel = nullptr;
    QLabel* m_pLowPowerLabel = nullptr;
    QWidget* m_pSleepLabel = nullptr;
    QWidget* m_pApplyRing = nullptr;
    QStackedWidget* m_pTabs = nullptr;
    CWirelessButtonUI* m_pButtonPage = nullptr;
    CWirelessDPIUI* m_pDpiPage = nullptr;
    CWirelessLightUI* m_pLightPage = nullptr;
    CWirelessMacroUI* m_pMacroPage = nullptr;
    std::vector<CSettingsPage*> m_pages;  // every page of the layout, built or not
    // What the pages work on, from WirePages; a page built later is given the same.
    std::optional<PageContext> m_context;

    DevicePageRules m_rules{m_settings, m_keeper, *this, m_window};
    DeviceSession m_session;  // last: its worker and plugins post until it is gone
};

}  // namespace veltrix::gui
