#include "CMainWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QWindow>
#include <optional>
#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "CAboutWnd.h"
#include "CDPIMsg.h"
#include "CMsgWnd.h"
#include "CWirelessPage.h"
#include "DesktopNotification.h"
#include "HookBinding.h"
#include "Language.h"
#include "Skin.h"
#include "TrayIcon.h"
#include "device/ApplyWorker.h"
#include "profile/SettingsFiles.h"

namespace veltrix::gui {
namespace {

// The device tab switch: the device page, or the view shown while no mouse is there.
constexpr int kDeviceView = 0;
constexpr int kNoDeviceView = 1;

}  // namespace

CMainWnd::CMainWnd(MainWindowOptions options)
    : m_port([this](const Message& message) { HandleCustomMessage(message); }),
      m_options(std::move(options)),
      m_pHooks(std::move(m_options.hooks)) {
    setObjectName("main_window");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground);
    setFixedSize(800, 572);
    // A main window, so that screen readers meet it as the program's frame.
    QWidget* root = LoadLayout("main.ui", this);
    if (root != nullptr) {
        setCentralWidget(root);
    }
    const std::pair<const char*, void (CMainWnd::*)()> captionButtons[] = {
        {"skin_btn", &CMainWnd::ToggleSkin},
        {"main_menu_btn", &CMainWnd::ShowAbout},
        {"min_btn", &QWidget::showMinimized},
        {"exit_btn", &CMainWnd::HideOrMinimise}};
    for (const auto& [name, slot] : captionButtons) {
        if (auto* button = FindControl<QAbstractButton>(root, name)) {
            connect(button, &QAbstractButton::clicked, this, slot);
        }
    }
    if (auto* caption = FindControl<QWidget>(root, "caption")) {
        caption->installEventFilter(this);
    }
    // Quit is also reachable without a notification area and its menu.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &CMainWnd::Quit);
    m_pDeviceTabs = FindControl<QStackedWidget>(root, "device_tab_switch");
    m_pPage = std::make_unique<CWirelessPage>(
        root, this, m_port.Handle(), m_options.dataFolder,
        m_options.clock != nullptr ? *m_options.clock : SystemClock(), m_options.driverLinks);
    connect(m_pPage.get(), &CWirelessPage::BatteryChanged, this, [this](BatteryState state) {
        if (m_pTray != nullptr) {
            m_pTray->SetBattery(state);
        }
    });
    connect(m_pPage.get(), &CWirelessPage::LowBattery, this, [this] {
        if (m_pTray != nullptr) {
            m_pTray->NotifyLowBattery();
        }
    });

    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(kNoticeTime);
    connect(&m_noticeTimer, &QTimer::timeout, this, &CMainWnd::CloseNotice);
}

CMainWnd::~CMainWnd() {
    Shutdown();
}

void CMainWnd::InitWindow() {
    if (m_options.pluginFolders.empty()) {
        m_pPage->StartDeviceLink();
    } else {
        m_pPage->StartDeviceLink(m_options.pluginFolders);
    }
    const QString title = Tr("mouse_name_text");
    setWindowTitle(title);
    setAccessibleName(title);
    m_pTray = std::make_unique<TrayIcon>(this);
    connect(m_pTray.get(), &TrayIcon::Clicked, this, &CMainWnd::OnTrayClicked);
    connect(m_pTray.get(), &TrayIcon::MenuItemChosen, this, &CMainWnd::OnMenuCommand);
    // The cable may have been found before there was a tray to tell.
    m_pTray->SetBattery(m_pPage->Session().Link().Battery());
    if (m_pHooks == nullptr) {
        auto hooks = std::make_unique<DeferredHooks>([this](InputPath path) {
            ExplainInputPath(this, path);
            // Pages built later say it too.
            if (m_pPage != nullptr) {
                connect(m_pPage.get(), &CWirelessPage::PageBuilt, this,
                        [path](QWidget* page) { ExplainInputPath(page, path); });
            }
        });
        m_pDeferredHooks = hooks.get();
        m_pHooks = std::move(hooks);
    }
    LoadMacroList(m_macroStore, m_options.dataFolder);
    m_pPage->WirePages(m_macroStore, *m_pHooks, m_captureFlags);
    connect(m_pPage.get(), &CWirelessPage::RecordingChanged, this, [this](bool recording) {
        if (m_pTray != nullptr) {
            m_pTray->SetRecording(recording);
        }
    });
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void CMainWnd::ShowAtStart(bool startHidden) {
    if (auto* tabs = qobject_cast<QStackedWidget*>(m_pDeviceTabs)) {
        tabs->setCurrentIndex(m_pPage->Connected() ? kDeviceView : kNoDeviceView);
    }
    if (m_pPage->Connected() && !startHidden) {
        show();
    } else if (!HasNotificationArea()) {
        if (startHidden) {
            WaitForNotificationArea();
        } else {
            show();
        }
    }
    if (!isVisible()) {
        // No frame to wait for: the icon is how the program is found.
        ApplySkinWindowIcon();
        if (m_pTray != nullptr) {
            m_pTray->Show();
        }
    }
    if (m_pPage->SettingsUnreadable()) {
        // Once the program runs: the settings are the defaults for now, and the file is kept,
        // under the name the user is told, before anything replaces it.
        const QString copy =
            QString::fromStdString(m_pPage->Keeper().UnreadableCopy().filename().string());
        QTimer::singleShot(0, this, [this, copy] {
            CMsgWnd::Tell(isVisible() ? this : nullptr, "warning_title_text",
                          "settings_unreadable_text", copy);
        });
    }
}

void CMainWnd::WaitForNotificationArea() {
    // Polled: Qt tells nobody when a notification area appears, though it embeds the icon then.
    constexpr std::chrono::milliseconds kPoll{250};
    m_trayWait.setInterval(kPoll);
    connect(&m_trayWait, &QTimer::timeout, this,
            [this, until = std::chrono::steady_clock::now() + kTrayWait] {
                if (HasNotificationArea()) {
                    m_trayWait.stop();
                } else if (std::chrono::steady_clock::now() >= until) {
                    m_trayWait.stop();
                    show();
                }
            });
    m_trayWait.start();
}

void CMainWnd::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (!m_bFirstFrame) {
        m_bFirstFrame = true;
        // Right after the first frame: the window's and the tray's icons, and the hooks, so that
        // the tooltips of the key fields and the record button say what the window hears before
        // anyone points at them.
        QTimer::singleShot(0, this, [this] {
            if (m_life != Life::Running) {
                return;
            }
            ApplySkinWindowIcon();
            if (m_pTray != nullptr) {
                m_pTray->Show();
            }
            if (m_pDeferredHooks != nullptr) {
                m_pDeferredHooks->Bind();
            }
#ifdef __GLIBC__
            // The start-up's temporaries (the layouts as read, the icon theme's index) are
            // freed by now, but scattered below what stays: give their pages back, once, as the
            // program may stay all day in the notification area.
            malloc_trim(0);
#endif
        });
    }
}

bool CMainWnd::HasNotificationArea() const {
    return m_pTray != nullptr && m_pTray->Available();
}

void CMainWnd::HandleCustomMessage(const Message& message) {
    if (m_life == Life::Ended) {
        return;
    }
    // Also while quitting: requests that held edits posted on the way out are still sent, and the
    // record follows what the mouse reports until the devices close (its status reports name the
    // DPI level that the requests being sent set).
    switch (message.id) {
        case kMsgApplyRequest:
            m_pPage->Apply(message.wParam, message.lParam);
            return;
        case kMsgReceiverEvent:
        case kMsgReceiverLink:
        case kMsgCableEvent:
        case kMsgCableLink:
            m_pPage->OnDriverMessage(message);
            return;
        default:
            break;
    }
    if (m_life == Life::Quitting) {
        // The rest has no window to show it.
        if (message.id == kMsgWorkerStopped) {
            // Torn down once the event loop has returned (aboutToQuit, or the destructor): a box
            // that some page opened may still be on the stack below this message.
            QCoreApplication::quit();
        }
        return;
    }
    switch (message.id) {
        case kMsgHookEvent:
            RouteHookEvent(m_captureFlags, *m_pPage, static_cast<std::uint32_t>(message.wParam),
                           static_cast<std::uint32_t>(message.lParam));
            break;
        case kMsgActivate:
            if (m_bDevicePresent) {
                BringToFront(false);
            } else {
                ShowNoDeviceWarning();
            }
            break;
        case kMsgPresenceChanged:
            OnPresenceChanged();
            break;
        case kMsgDpiNotice: {
            QString text = "DPI :";
            if (message.wParam <= 2) {
                text += QString::number(static_cast<qint64>(message.lParam) * 100);
            }
            ShowNotice(text);
            break;
        }
        case kMsgProfileNotice: {
            QString text = Tr("profile_text");
            if (message.wParam == 0) {
                text = QString("%1 %2").arg(text).arg(static_cast<qint64>(message.lParam) + 1);
            }
            ShowNotice(text);
            break;
        }
        case kMsgApplyStarted:
            m_pPage->OnApplyStarted();
            break;
        case kMsgApplyFinished:
            m_pPage->OnApplyFinished();
            break;
        default:  // 5121 among them: nothing to do
            break;
    }
}

void CMainWnd::ToggleSkin() {
    const SkinStyle style =
        CurrentSkinStyle() == SkinStyle::Dark ? SkinStyle::Light : SkinStyle::Dark;
    ApplySkinStyle(style);
    SaveSkinStyle(style);
}

void CMainWnd::ShowAbout() {
    CAboutWnd about(this);
    about.ShowModal();
}

void CMainWnd::OnTrayClicked() {
    if (m_life != Life::Running) {
        return;
    }
    if (m_bDevicePresent) {
        BringToFront(true);
    } else {
        ShowNoDeviceWarning();
    }
}

void CMainWnd::HideOrMinimise() {
    // Without a notification area a hidden window could not be found again.
    if (HasNotificationArea()) {
        hide();
    } else {
        showMinimized();
    }
}

void CMainWnd::BringToFront(bool showOnlyWhenHidden) {
    if (!showOnlyWhenHidden || !isVisible()) {
        show();
    }
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

void CMainWnd::ShowNoDeviceWarning() {
    if (m_bWarningOpen) {
        return;
    }
    m_bWarningOpen = true;
    ++m_iWarningsShown;
    CMsgWnd::Tell(this, "warning_title_text", "no_device_text");
    m_bWarningOpen = false;
}

void CMainWnd::ShowNotice(const QString& text) {
    m_noticeTimer.start();
    if (QGuiApplication::platformName().startsWith("wayland")) {
        SendNoticeNotification(text);
        return;
    }
    if (m_pNoticePopup != nullptr) {
        m_pNoticePopup->SetText(text);
        return;
    }
    m_pNoticePopup = new CDPIMsg(text);
    m_pNoticePopup->show();
}

void CMainWnd::SendNoticeNotification(const QString& text) {
    if (m_bNoticeSending) {
        m_pendingNotice = text;
        return;
    }
    m_bNoticeSending = true;
    DesktopNotification notice{text, {}, m_noticeId, static_cast<int>(kNoticeTime.count())};
    notice.transient = true;
    SendDesktopNotification(this, notice, [this](unsigned id) {
        m_bNoticeSending = false;
        if (id != 0) {
            m_noticeId = id;
        }
        if (!m_pendingNotice.isEmpty()) {
            SendNoticeNotification(std::exchange(m_pendingNotice, QString()));
        }
    });
}

void CMainWnd::CloseNotice() {
    m_noticeTimer.stop();
    if (m_pNoticePopup != nullptr) {
        m_pNoticePopup->close();  // it deletes itself
        m_pNoticePopup = nullptr;
    }
}

void CMainWnd::OnMenuCommand(const QString& item) {
    if (m_life != Life::Running) {
        return;
    }
    if (item.compare("configuration", Qt::CaseInsensitive) == 0) {
        if (m_bDevicePresent) {
            BringToFront(false);
        } else {
            ShowNoDeviceWarning();
        }
    } else if (item.compare("exit", Qt::CaseInsensitive) == 0) {
        Quit();
    }
}

void CMainWnd::OnPresenceChanged() {
    m_bDevicePresent = m_pPage->Connected();
    if (auto* tabs = qobject_cast<QStackedWidget*>(m_pDeviceTabs)) {
        tabs->setCurrentIndex(m_bDevicePresent ? kDeviceView : kNoDeviceView);
    }
    if (!m_bDevicePresent) {
        HideOrMinimise();
    }
}

void CMainWnd::SaveNow() {
    if (m_pPage != nullptr) {
        m_pPage->FlushHeldEdits();
        m_pPage->SaveRecord();
    }
}

void CMainWnd::Quit() {
    if (m_life == Life::Ended) {
        return;
    }
    SaveNow();
    if (m_life == Life::Quitting) {
        // Asked twice: the user will not wait for the mouse.
        m_pPage->Session().FinishSending(std::chrono::nanoseconds(0));
        QCoreApplication::quit();
        return;
    }
    m_life = Life::Quitting;
    m_trayWait.stop();
    CloseNotice();
    hide();
    if (m_pTray != nullptr) {
        m_pTray->Hide();
    }
    // Queued behind the requests that held edits may just have posted, so they are sent too.
    QMetaObject::invokeMethod(
        &m_port,
        [this] {
            if (m_life == Life::Quitting) {  // not ended meanwhile by a second quit
                m_pPage->Session().FinishSending(kQuitSendLimit);
            }
        },
        Qt::QueuedConnection);
}

void CMainWnd::Destroy() {
    Shutdown();
    QCoreApplication::quit();
}

void CMainWnd::Shutdown() {
    if (m_life == Life::Ended) {
        return;
    }
    // Nothing listens to the desktop any more, and no held edit is left behind by the save.
    OnOutOfSight();
    SaveNow();
    m_life = Life::Ended;
    m_trayWait.stop();
    hide();
    if (m_pTray != nullptr) {
        m_pTray->Hide();
    }
    CloseNotice();
    // Lets the worker finish (within the quit's limit), closes both links, then unloads the
    // driver plugins.
    m_pPage.reset();
    m_pDeferredHooks = nullptr;
    m_pHooks.reset();
    m_macroStore.Clear();
    m_pTray.reset();
}

// Out of the user's sight nothing may go on listening to the desktop, and held edits would wait
// for a user who may not come back before the program ends.
void CMainWnd::OnOutOfSight() {
    if (m_pPage != nullptr) {
        m_pPage->EndCapture();
        m_pPage->FlushHeldEdits();
    }
}

void CMainWnd::hideEvent(QHideEvent* event) {
    OnOutOfSight();
    QMainWindow::hideEvent(event);
}

void CMainWnd::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        OnOutOfSight();
    }
    QMainWindow::changeEvent(event);
}

void CMainWnd::closeEvent(QCloseEvent* event) {
    // Only a close from outside the program gets here (the window has no close box of its own):
    // it ends the program, like the tray menu's exit.
    event->accept();
    Quit();
}

void CMainWnd::OpenCaptionMenu(const QPoint& at) {
    if (m_pCaptionMenu == nullptr) {
        m_pCaptionMenu = std::make_unique<QMenu>();
        m_pCaptionMenu->setObjectName("caption_menu");
        connect(m_pCaptionMenu->addAction(Tr("minimise_text")), &QAction::triggered, this,
                &QWidget::showMinimized);
        connect(m_pCaptionMenu->addAction(Tr("exit_text")), &QAction::triggered, this,
                &CMainWnd::Quit);
    }
    m_pCaptionMenu->popup(at);
}

bool CMainWnd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        OpenCaptionMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && windowHandle() != nullptr) {
        // The caption moves the window; startSystemMove also works where windows may not move
        // themselves.
        windowHandle()->startSystemMove();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace veltrix::gui
