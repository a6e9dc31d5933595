#include "MouseDiagram.h"

#include <QEvent>
#include <QPainter>
#include <cmath>

#include "Skin.h"

namespace veltrix::gui {
namespace {

constexpr qreal kBadgeRadius = 9.0;
// Between a control's edge and its badge.
constexpr qreal kBadgeGap = 5.0;
constexpr qreal kSpotRadius = 2.5;

}  // namespace

MouseDiagram::MouseDiagram(QWidget* parent) : QWidget(parent) {}

void MouseDiagram::SetPicture(const QString& fileName) {
    m_picture = fileName;
    m_renderer.load(SkinPath(fileName));
    update();
}

void MouseDiagram::SetPictureRect(const QRect& rect) {
    m_pictureRect = rect;
    m_bArranged = false;
    update();
}

QPointF MouseDiagram::MapFromPicture(QPointF point) const {
    const QSizeF size = m_renderer.isValid() ? m_renderer.viewBoxF().size() : QSizeF();
    if (size.isEmpty() || m_pictureRect.isEmpty()) {
        return point + m_pictureRect.topLeft();
    }
    return {m_pictureRect.x() + point.x() * m_pictureRect.width() / size.width(),
            m_pictureRect.y() + point.y() * m_pictureRect.height() / size.height()};
}

void MouseDiagram::Arrange() {
    m_leaders.clear();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant anchor = child->property("anchor");
        if (!anchor.isValid()) {
            continue;
        }
        Leader leader{child, nullptr, anchor.toPointF(), child->property("badge").toString()};
        child->installEventFilter(this);
        if (const QString markName = child->property("mark").toString(); !markName.isEmpty()) {
            if (auto* mark = findChild<QWidget*>(markName)) {
                leader.mark = mark;
                mark->setAttribute(Qt::WA_TransparentForMouseEvents);
                const QPointF spot = MapFromPicture(leader.anchor);
                mark->move(static_cast<int>(std::lround(spot.x() - mark->width() / 2.0)),
                           static_cast<int>(std::lround(spot.y() - mark->height() / 2.0)));
                mark->raise();
                mark->installEventFilter(this);
            }
        }
        m_leaders.push_back(leader);
    }
    m_bArranged = true;
}

void MouseDiagram::showEvent(QShowEvent* /*event*/) {
    if (!m_bArranged) {
        Arrange();
    }
}

bool MouseDiagram::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::EnabledChange:
        case QEvent::Move:
        case QEvent::Resize:
            update();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void MouseDiagram::paintEvent(QPaintEvent* /*event*/) {
    if (!m_bArranged) {
        Arrange();
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_renderer.isValid()) {
        m_renderer.render(&painter, QRectF(m_pictureRect));
    }
    for (const Leader& leader : m_leaders) {
        if (leader.control != nullptr && !leader.control->isHidden()) {
            PaintLeader(painter, leader);
        }
    }
}

void MouseDiagram::PaintLeader(QPainter& painter, const Leader& leader) const {
    const bool lit = leader.mark != nullptr && leader.mark->isVisibleTo(this);
    const QColor color = lit                           ? m_litColor
                         : leader.control->isEnabled() ? m_leaderColor
                                                       : m_disabledColor;
    const QRectF box = leader.control->geometry();
    const QPointF spot = MapFromPicture(leader.anchor);
    // The leader leaves the control on the side that faces its spot.
    const qreal direction = box.center().x() < spot.x() ? 1.0 : -1.0;
    const QPointF edge(direction > 0 ? box.right() + 1.0 : box.left(), box.center().y());
    const QPointF badge = edge + QPointF(direction * (kBadgeGap + kBadgeRadius), 0.0);

    const QPointF toSpot = spot - badge;
    const qreal length = std::hypot(toSpot.x(), toSpot.y());
    painter.setPen(QPen(color, lit ? 1.5 : 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(edge, badge - QPointF(direction * kBadgeRadius, 0.0));
    if (length > kBadgeRadius) {
        painter.drawLine(badge + toSpot * (kBadgeRadius / length), spot);
    }
    painter.setBrush(color);
    painter.drawEllipse(spot, kSpotRadius, kSpotRadius);

    painter.setBrush(m_badgeColor);
    painter.drawEllipse(badge, kBadgeRadius, kBadgeRadius);
    if (!leader.badge.isEmpty()) {
        QFont font = painter.font();
        font.setPixelSize(10);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(lit || !leader.control->isEnabled() ? color : m_badgeTextColor);
        painter.drawText(QRectF(badge.x() - kBadgeRadius, badge.y() - kBadgeRadius,
                                2 * kBadgeRadius, 2 * kBadgeRadius),
                         Qt::AlignCenter, leader.badge);
    }
}

}  // namespace veltrix::gui
