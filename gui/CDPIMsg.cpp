#include "CDPIMsg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "Skin.h"

namespace veltrix::gui {

QRect NoticeGeometry(const QRect& workArea) {
    return {workArea.x() + workArea.width() - 210, workArea.y() + workArea.height() - 60,
            kNoticeWidth, kNoticeHeight};
}

CDPIMsg::CDPIMsg(const QString& text) : m_text(text) {
    // A tooltip-kind window that bypasses the window manager: no window manager gives it the
    // focus, tiles it, or moves the user's windows to make room for it.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                   Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_StyledBackground);
    setObjectName("notice_window");
    setFocusPolicy(Qt::NoFocus);
    QWidget* root = LoadLayout("DPImsg.ui", this);
    m_pLabel = FindControl<QLabel>(root, "dpi_label");
    if (m_pLabel == nullptr) {
        // Without its label the popup keeps its creation size and place, and only stores texts.
        setGeometry(0, 0, 800, 800);
        return;
    }
    m_pLabel->setText(m_text);
    m_pLabel->setAccessibleName(m_text);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(NoticeGeometry(screen->availableGeometry()));
    }
}

void CDPIMsg::SetText(const QString& text) {
    m_text = text;
    if (m_pLabel != nullptr) {
        m_pLabel->setText(text);
        m_pLabel->setAccessibleName(text);
    }
}

}  // namespace veltrix::gui
