#pragma once

// The main window: a frameless, skinned window that hosts the device page and its four setting
// pages, owns the macro store, the input hooks, the capture flags, the tray icon and the notice
// popup, and is where every message of the program arrives (HandleCustomMessage).

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "CDPIMsg.h"
#include "WindowMessages.h"
#include "macro/MacroStore.h"
#include "platform/HookLibrary.h"

namespace veltrix::gui {

class CWirelessPage;
class TrayIcon;

inline constexpr int kNoticeTimerId = 52;
inline constexpr std::chrono::milliseconds kNoticeTime{2000};

struct MainWindowOptions {
    std::filesystem::path dataFolder;
    // Where the driver plugins are looked for; empty for the program's own search.
    std::vector<std::filesystem::path> pluginFolders;
    // The input hooks; null binds the hook plugin.
    std::unique_ptr<HookLibrary> hooks;
};

class CMainWnd final : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainWnd(MainWindowOptions options);
    ~CMainWnd() override;

    // Starts the device link, creates the tray icon, binds the hooks, loads the macros and wires
    // the pages. Once, right after construction.
    void InitWindow();
    // Shows the window at start-up unless no mouse was found or the program was asked to start
    // hidden; without a notification area it always shows, since it could not be found again.
    void ShowAtStart(bool startHidden);

    // The program's message table. Posted messages arrive here through the message port.
    void HandleCustomMessage(const Message& message);
    const VeltrixWindowHandle& Handle() const { return m_port.Handle(); }

    // Ends the program: what the tray menu's exit item and a system close do.
    void Destroy();

    CWirelessPage& DevicePage() { return *m_pPage; }
    MacroStore& Macros() { return m_macroStore; }
    CaptureTargetFlags& CaptureFlags() { return m_captureFlags; }
    bool DevicePresent() const { return m_bDevicePresent; }
    CDPIMsg* NoticePopup() const { return m_pNoticePopup; }
    TrayIcon* Tray() const { return m_pTray.get(); }
    bool HasNotificationArea() const;

    // Test seams: the warning box's number of openings so far, and the notice timer.
    int WarningsShown() const { return m_iWarningsShown; }
    QTimer& NoticeTimer() { return m_noticeTimer; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnClick(const QString& control);
    void BringToFront(bool showOnlyWhenHidden);
    void ShowNoDeviceWarning();
    void ShowNotice(const QString& text);
    void CloseNotice();
    void OnMenuCommand(const QString& item);
    void ForwardHookEvent(std::uint32_t code, std::uint32_t flag);
    void OnPresenceChanged();
    void HideOrMinimise();
    void OnOutOfSight();
    void Shutdown();

    MessagePort m_port;  // first: everything below may post to it
    MainWindowOptions m_options;
    MacroStore m_macroStore;
    CaptureTargetFlags m_captureFlags{};
    std::unique_ptr<HookLibrary> m_pHooks;
    std::unique_ptr<CWirelessPage> m_pPage;
    std::unique_ptr<TrayIcon> m_pTray;
    QPointer<CDPIMsg> m_pNoticePopup;
    QTimer m_noticeTimer;
    QWidget* m_pDeviceTabs = nullptr;
    bool m_bDevicePresent = false;
    bool m_bWarningOpen = false;
    bool m_bShutDown = false;
    int m_iWarningsShown = 0;
};

}  // namespace veltrix::gui
