#pragma once

// The notice popup: a small label in the corner of the screen that shows a DPI or profile change
// made on the mouse. It never takes the focus and deletes itself when it closes.

#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;

namespace veltrix::gui {

inline constexpr int kNoticeWidth = 200;
inline constexpr int kNoticeHeight = 50;

// Where the popup sits on a screen's available area: its bottom-right corner, 10 pixels in.
QRect NoticeGeometry(const QRect& workArea);

class CDPIMsg final : public QWidget {
    Q_OBJECT

  public:
    explicit CDPIMsg(const QString& text);

    // Replaces the text at once while the popup is shown.
    void SetText(const QString& text);
    QString Text() const { return m_text; }

  private:
    QLabel* m_pLabel = nullptr;
    QString m_text;
};

}  // namespace veltrix::gui
