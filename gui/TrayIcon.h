#pragma once

// The notification-area icon. A left click and the menu's items reach the main window as its
// signals; the menu is built afresh from the skin's "traymenu.ui" each time it opens. Its tooltip
// names the program and the battery; a low battery is told to the desktop's notification service.

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

#include "device/DeviceLinkView.h"

class QMenu;

namespace veltrix::gui {

class TrayIcon final : public QObject {
    Q_OBJECT

  public:
    explicit TrayIcon(QWidget* window);
    ~TrayIcon() override;

    // Looks the icon up in the icon theme and asks for its place in the notification area, once.
    // Not in the constructor: the theme's lookup takes milliseconds that the window's first frame
    // need not wait for.
    void Show();
    // The desktop shows notification-area icons now.
    bool Available() const;
    // Takes the icon away for good (quitting).
    void Hide();
    // Opens the menu at the pointer, 50 pixels above it.
    void OpenMenu();
    QMenu* Menu() const { return m_pMenu.get(); }
    const QSystemTrayIcon& Icon() const { return m_icon; }

    // The battery as the tooltip shows it.
    void SetBattery(BatteryState battery);
    // A desktop notification that the mouse's battery is at its last bar; the tray's own balloon
    // where the desktop has no notification service.
    void NotifyLowBattery();
    // A macro recording runs: the tooltip says so, since it listens to the whole desktop.
    void SetRecording(bool recording);
    QString ToolTip() const { return m_icon.toolTip(); }

  Q_SIGNALS:
    // The icon was clicked with the primary button.
    void Clicked();
    // A menu item was chosen, by the item's name in "traymenu.ui".
    void MenuItemChosen(const QString& item);

  private:
    void RebuildMenu();
    // The tooltip from everything the icon tells.
    void UpdateToolTip();
    void ShowBalloon(const QString& title, const QString& text);

    QWidget* m_pWindow;
    QSystemTrayIcon m_icon;
    std::unique_ptr<QMenu> m_pMenu;
    BatteryState m_battery;
    bool m_bRecording = false;
    bool m_bShown = false;
};

}  // namespace veltrix::gui
