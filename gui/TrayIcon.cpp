#include "TrayIcon.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "Language.h"
#include "Skin.h"
#include "platform/Messages.h"

namespace veltrix::gui {

TrayIcon::TrayIcon(QWidget* window, const VeltrixWindowHandle& target)
    : m_pWindow(window), m_target(target), m_pMenu(std::make_unique<QMenu>()) {
    QIcon icon = QIcon(SkinPath("images/veltrix-wireless.svg"));
    m_icon.setIcon(icon);
    m_icon.setToolTip(Tr("mouse_name_text"));
    m_pMenu->setObjectName("tray_menu");
    // Filled afresh each time it opens, so the items always come from the skin as it is.
    connect(m_pMenu.get(), &QMenu::aboutToShow, this, &TrayIcon::RebuildMenu);
    m_icon.setContextMenu(m_pMenu.get());
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger) {
                    VeltrixPost(&m_target, kMsgTrayIcon, kTrayIconId, kMouseLeftButtonUp);
                } else if (why == QSystemTrayIcon::Context && !m_pMenu->isVisible()) {
                    // Where the desktop asks for the menu without opening it itself.
                    VeltrixPost(&m_target, kMsgTrayIcon, kTrayIconId, kMouseRightButtonUp);
                }
            });
    // Asked for even when no notification area exists yet: Qt embeds the icon once one appears,
    // as at login when the panel starts after the program.
    m_icon.show();
}

void TrayIcon::Hide() {
    m_icon.hide();
}

TrayIcon::~TrayIcon() {
    m_icon.hide();
}

bool TrayIcon::Available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
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
        connect(action, &QAction::triggered, this, [this, name] {
            // The receiver takes the name and frees it.
            VeltrixPost(&m_target, kMsgMenuCommand,
                        reinterpret_cast<std::uintptr_t>(new QString(name)), 0);
        });
    }
}

}  // namespace veltrix::gui
