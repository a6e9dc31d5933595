#pragma once

// A picture of the mouse with its buttons' controls placed around it, each joined to the spot
// where its button sits by a numbered leader line. The layout decides everything: the picture
// and where it is drawn, and on each child control the spot ("anchor", in the picture's own
// coordinates), the number on its leader ("badge") and the name of the highlight mark that sits
// on the spot ("mark"). A leader is lit while its mark is shown.

#include <QColor>
#include <QPointer>
#include <QSvgRenderer>
#include <QWidget>
#include <vector>

namespace veltrix::gui {

class MouseDiagram final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString picture READ Picture WRITE SetPicture)
    Q_PROPERTY(QRect pictureRect READ PictureRect WRITE SetPictureRect)
    // The colours of a leader at rest, lit, and for a control that cannot be used; the style sheet
    // sets them with qproperty-leaderColor and so on.
    Q_PROPERTY(QColor leaderColor MEMBER m_leaderColor)
    Q_PROPERTY(QColor litColor MEMBER m_litColor)
    Q_PROPERTY(QColor disabledColor MEMBER m_disabledColor)
    // The number on a leader and the disc behind it.
    Q_PROPERTY(QColor badgeTextColor MEMBER m_badgeTextColor)
    Q_PROPERTY(QColor badgeColor MEMBER m_badgeColor)

  public:
    explicit MouseDiagram(QWidget* parent = nullptr);

    // An image file of the skin folder.
    QString Picture() const { return m_picture; }
    void SetPicture(const QString& fileName);
    QRect PictureRect() const { return m_pictureRect; }
    void SetPictureRect(const QRect& rect);

    // Where a point of the picture lies on the widget.
    QPointF MapFromPicture(QPointF point) const;
    // Collects the controls that name a spot and centres their marks on it. Runs by itself when
    // the diagram is first shown; the layout's own positions of the marks do not count.
    void Arrange();

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    struct Leader {
        QPointer<QWidget> control;
        QPointer<QWidget> mark;
        QPointF anchor;
        QString badge;
    };

    void PaintLeader(QPainter& painter, const Leader& leader) const;

    QString m_picture;
    QRect m_pictureRect;
    QSvgRenderer m_renderer;
    std::vector<Leader> m_leaders;
    bool m_bArranged = false;
    QColor m_leaderColor{0x4a, 0x51, 0x60};
    QColor m_litColor{0x00, 0xc2, 0xff};
    QColor m_disabledColor{0x32, 0x37, 0x43};
    QColor m_badgeTextColor{0x9a, 0xa1, 0xb0};
    QColor m_badgeColor{0x14, 0x16, 0x1b};
};

}  // namespace veltrix::gui
