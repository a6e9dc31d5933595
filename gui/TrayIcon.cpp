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
    ComposeToolTip();
    m_pMenu->setObjectName("tray_menu");
    // Filled afresh each time it opens, so the items always come from the skin as it is.
    connect(m_pMenu.get(), &QMenu::aboutToShow, this, &TrayIcon::RebuildMenu);
    m_icon.setContextMenu(m_pMenu.get());
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger) {
                    VeltrixPost(&m_target, kMsgTrayIcon, kTrayIconId, kMouseLeftButtonUp);
                }
            });
    if (Available()) {
        m_icon.show();
    }
}

void TrayIcon::SetRecording(bool recording) {
    m_bRecording = recording;
    ComposeToolTip();
}

void TrayIcon::ComposeToolTip() {
    QString tip = Tr("mouse_name_text");
    if (m_bRecording) {
        tip += "\n" + Tr("tray_recording_text");
    }
    m_icon.setToolTip(tip);
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
