#include "TrayIcon.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "DesktopNotification.h"
#include "Language.h"
#include "Skin.h"
#include "SkinImages.h"

namespace veltrix::gui {
namespace {

// The installed icon theme's names of the program's icons.
const QString kIconName = QStringLiteral("veltrix-wireless");
const QString kSymbolicIconName = QStringLiteral("veltrix-wireless-symbolic");

// Notification panels and trays draw monochrome icons in the panel's own colour; the coloured
// one is for where the theme has no symbolic icon, and the skin's for a program not installed.
QIcon TrayIconImage() {
    return QIcon::fromTheme(
        kSymbolicIconName,
        QIcon::fromTheme(kIconName, SkinIconFrom(SkinPath("images/" + kIconName + ".svg"), {})));
}

}  // namespace

TrayIcon::TrayIcon(QWidget* window) : m_pWindow(window), m_pMenu(std::make_unique<QMenu>()) {
    UpdateToolTip();
    m_pMenu->setObjectName("tray_menu");
    // Filled afresh each time it opens, so the items always come from the skin as it is.
    connect(m_pMenu.get(), &QMenu::aboutToShow, this, &TrayIcon::RebuildMenu);
    m_icon.setContextMenu(m_pMenu.get());
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger) {
                    Q_EMIT Clicked();
                } else if (why == QSystemTrayIcon::Context && !m_pMenu->isVisible()) {
                    // Where the desktop asks for the menu without opening it itself.
                    OpenMenu();
                }
            });
}

void TrayIcon::Show() {
    if (m_bShown) {
        return;
    }
    m_bShown = true;
    m_icon.setIcon(TrayIconImage());
    // Asked for even when no notification area exists yet: Qt embeds the icon once one appears,
    // as at login when the panel starts after the program.
    m_icon.show();
}

void TrayIcon::Hide() {
    m_icon.hide();
}

void TrayIcon::SetRecording(bool recording) {
    m_bRecording = recording;
    UpdateToolTip();
}

TrayIcon::~TrayIcon() {
    m_icon.hide();
}

bool TrayIcon::Available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::SetBattery(BatteryState battery) {
    m_battery = battery;
    UpdateToolTip();
}

// The one place the tooltip is composed: every state it shows is kept and joined here.
void TrayIcon::UpdateToolTip() {
    QStringList lines{Tr("mouse_name_text")};
    if (m_battery.charging) {
        lines << Tr("charging_text");
    } else if (m_battery.bars > 0) {
        lines << Tr("tray_battery_text").arg(m_battery.bars * 25);
    }
    if (m_bRecording) {
        lines << Tr("tray_recording_text");
    }
    m_icon.setToolTip(lines.join('\n'));
}

void TrayIcon::NotifyLowBattery() {
    const QString title = Tr("low_battery_title_text");
    const QString text = Tr("low_power_text");
    // No id to replace: each discharge is news of its own. The desktop decides how long it shows.
    SendDesktopNotification(this, {title, text}, [this, title, text](unsigned id) {
        if (id == 0) {
            ShowBalloon(title, text);
        }
    });
}

void TrayIcon::ShowBalloon(const QString& title, const QString& text) {
    if (Available()) {
        m_icon.showMessage(title, text, m_icon.icon());
    }
}

void TrayIcon::OpenMenu() {
    RebuildMenu();
    m_pMenu->popup(QCursor::pos() - QPoint(0, 50));
}

void TrayIcon::RebuildMenu() {
    m_pMenu->clear();
    QWidget holder;
    QWidget* form = LoadLayout("traymenu.ui", &holder);
    const QList<QAction*> items =
        form != nullptr ? form->findChildren<QAction*>() : QList<QAction*>{};
    for (QAction* item : items) {
        QAction* action = m_pMenu->addAction(item->icon(), item->text());
        action->setObjectName(item->objectName());
        const QString name = item->objectName();
        connect(action, &QAction::triggered, this, [this, name] { Q_EMIT MenuItemChosen(name); });
    }
}

}  // namespace veltrix::gui
