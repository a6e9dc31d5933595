#include "CDpiColorWnd.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "ColorWheel.h"
#include "Skin.h"
#include "pages/PageColors.h"

namespace veltrix::gui {

CDpiColorWnd::CDpiColorWnd(QWidget* owner, QRgb selected, QPoint topLeft)
    : SkinWindow(owner, "DpiColorDialog.ui"), m_selected(selected) {
    // Kept on the screen the owner is on, whatever the swatch's position.
    QRect place(topLeft, size());
    if (QScreen* screen = QGuiApplication::screenAt(topLeft); screen != nullptr) {
        const QRect area = screen->availableGeometry();
        place.moveLeft(std::clamp(place.left(), area.left(), area.right() - place.width()));
        place.moveTop(std::clamp(place.top(), area.top(), area.bottom() - place.height()));
    }
    move(place.topLeft());

    m_pWheel = FindControl<ColorWheel>(Root(), "ColorPallet");
    m_pSwatch = FindControl<QWidget>(Root(), "color_show_control");
    if (m_pWheel != nullptr) {
        connect(m_pWheel, &ColorWheel::ColorChanged, this, &CDpiColorWnd::Select);
        connect(m_pWheel, &ColorWheel::ColorChangedButtonUp, this, &CDpiColorWnd::Select);
        connect(m_pWheel, &ColorWheel::ColorChangedByKey, this, &CDpiColorWnd::Select);
    }
    if (auto* confirm = FindControl<QPushButton>(Root(), "confirm_btn")) {
        connect(confirm, &QPushButton::clicked, this, [this] { done(1); });
    }
    if (auto* cancel = FindControl<QPushButton>(Root(), "cancel_btn")) {
        connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
    }
    for (int number = 1; number <= static_cast<int>(kPaletteColors.size()); ++number) {
        auto* button = FindControl<QPushButton>(Root(), QString("mouse_dpi_color_%1").arg(number));
        if (button == nullptr) {
            continue;
        }
        const QRgb color = kPaletteColors[static_cast<std::size_t>(number - 1)];
        button->setStyleSheet(QString("background-color: %1;").arg(QColor(color).name()));
        connect(button, &QPushButton::clicked, this, [this, number] { ChooseSwatch(number); });
    }
    Select(m_selected);
}

void CDpiColorWnd::ChooseSwatch(int number) {
    if (number < 1 || number > static_cast<int>(kPaletteColors.size())) {
        return;
    }
    Select(kPaletteColors[static_cast<std::size_t>(number - 1)]);
}

void CDpiColorWnd::Select(QRgb color) {
    m_selected = color | 0xFF000000u;
    if (m_pWheel != nullptr && m_pWheel->Color() != m_selected) {
        m_pWheel->SetColor(m_selected);
    }
    if (m_pSwatch != nullptr) {
        m_pSwatch->setStyleSheet(
            QString("background-color: %1; border-radius: 6px;").arg(QColor(m_selected).name()));
    }
}

}  // namespace veltrix::gui
