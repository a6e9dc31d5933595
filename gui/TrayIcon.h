#pragma once

// The notification-area icon. A left click and the menu's items reach the main window as its
// messages; the menu is built afresh from the skin's "traymenu.ui" each time it opens.

#include <QObject>
#include <QSystemTrayIcon>
#include <cstdint>
#include <memory>

#include "platform/window_handle.h"

class QMenu;

namespace veltrix::gui {

// The tray icon's message: wParam the icon, lParam the mouse message that happened on it.
inline constexpr std::uintptr_t kTrayIconId = 107;
inline constexpr std::intptr_t kMouseLeftButtonUp = 514;
inline constexpr std::intptr_t kMouseRightButtonUp = 517;

class TrayIcon final : public QObject {
    Q_OBJECT

  public:
    TrayIcon(QWidget* window, const VeltrixWindowHandle& target);
    ~TrayIcon() override;

    // The desktop shows notification-area icons now.
    bool Available() const;
    // Takes the icon away for good (quitting).
    void Hide();
    // Opens the menu at the pointer, 50 pixels above it.
    void OpenMenu();
    QMenu* Menu() const { return m_pMenu.get(); }

  private:
    void RebuildMenu();

    QWidget* m_pWindow;
    VeltrixWindowHandle m_target;
    QSystemTrayIcon m_icon;
    std::unique_ptr<QMenu> m_pMenu;
};

}  // namespace veltrix::gui
