#pragma once

// The main window: a frameless, skinned window that hosts the device page and its four setting
// pages, owns the macro store, the input hooks, the capture flags, the tray icon and the notice
// popup, and is where every message of the program arrives (HandleCustomMessage).

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "CDPIMsg.h"
#include "WindowMessages.h"
#include "device/DeviceSession.h"
#include "macro/MacroStore.h"
#include "platform/HookLibrary.h"

namespace veltrix::gui {

class CWirelessPage;
class DeferredHooks;
class TrayIcon;

inline constexpr int kNoticeTimerId = 52;
inline constexpr std::chrono::milliseconds kNoticeTime{2000};
// How long a start in the notification area waits for one to appear before showing the window.
inline constexpr std::chrono::seconds kTrayWait{10};

struct MainWindowOptions {
    std::filesystem::path dataFolder;
    // Where the driver plugins are looked for; empty for the program's own search.
    std::vector<std::filesystem::path> pluginFolders;
    // The input hooks; null binds the hook plugin.
    std::unique_ptr<HookLibrary> hooks;
    // Where a mouse cannot be plugged in: links that stand in for the driver plugins, and the
    // clock the worker paces its reports by (null for the system's).
    DriverLinks driverLinks;
    Clock* clock = nullptr;
};

class CMainWnd final : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainWnd(MainWindowOptions options);
    ~CMainWnd() override;

    // Starts the device link, creates the tray icon, loads the macros and wires the pages. Once,
    // right after construction. The tray icon is shown, and the hooks are bound, right after the
    // window's first frame (at once by a start without the window; the hooks by the first capture
    // if that comes sooner).
    void InitWindow();
    // Shows the window at start-up unless no mouse was found or the program was asked to start
    // hidden. Without a notification area it shows, since it could not be found again; asked to
    // start hidden, it first waits kTrayWait for one, as the desktop's panel may start later.
    void ShowAtStart(bool startHidden);

    // The program's message table. Posted messages arrive here through the message port.
    void HandleCustomMessage(const Message& message);
    const VeltrixWindowHandle& Handle() const { return m_port.Handle(); }

    // The tray icon's click and its menu's items, by the item's name ("Configuration", "Exit").
    // Nothing once the program is quitting.
    void OnTrayClicked();
    void OnMenuCommand(const QString& item);

    // Quit from the tray menu, Ctrl+Q, the caption's menu, a close from outside or a signal:
    // saves at once, hides the window and the tray icon, lets the worker send what is queued
    // (for at most kQuitSendLimit), then ends the program. A second Quit ends it at once.
    void Quit();
    // Writes the record and held edits to disk now (the desktop session is ending).
    void SaveNow();
    // Saves, stops the worker (bounded as Quit's), closes the devices and ends the event loop,
    // without waiting on the event loop. Never from inside a handler that a modal box may be
    // running under: the pages go with it.
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
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ToggleSkin();
    void ShowAbout();
    void BringToFront(bool showOnlyWhenHidden);
    void ShowNoDeviceWarning();
    void ShowNotice(const QString& text);
    // A Wayland window cannot place itself, and the compositor would treat the popup as a window
    // of its own: there the notice is the desktop's notification, replaced in place.
    void SendNoticeNotification(const QString& text);
    void CloseNotice();
    void OnPresenceChanged();
    void HideOrMinimise();
    void OnOutOfSight();
    void WaitForNotificationArea();
    void OpenCaptionMenu(const QPoint& at);
    void Shutdown();

    MessagePort m_port;  // first: everything below may post to it
    MainWindowOptions m_options;
    MacroStore m_macroStore;
    CaptureTargetFlags m_captureFlags{};
    std::unique_ptr<HookLibrary> m_pHooks;
    // m_pHooks when the window binds them itself, after its first frame; null when they were
    // handed over, or once they are gone.
    DeferredHooks* m_pDeferredHooks = nullptr;
    bool m_bFirstFrame = false;
    std::unique_ptr<CWirelessPage> m_pPage;
    std::unique_ptr<TrayIcon> m_pTray;
    QPointer<CDPIMsg> m_pNoticePopup;
    // The notification service's id of the last notice, and the text of one that waits for the
    // answer to the notice on its way (so that it replaces that one rather than adding a second).
    unsigned m_noticeId = 0;
    bool m_bNoticeSending = false;
    QString m_pendingNotice;
    QTimer m_noticeTimer;
    QWidget* m_pDeviceTabs = nullptr;
    bool m_bDevicePresent = false;
    bool m_bWarningOpen = false;
    // Quitting: hidden, saved, only waiting for the worker to send what was asked before.
    enum class Life { Running, Quitting, Ended };
    Life m_life = Life::Running;
    QTimer m_trayWait;
    std::unique_ptr<QMenu> m_pCaptionMenu;
    int m_iWarningsShown = 0;
};

}  // namespace veltrix::gui
