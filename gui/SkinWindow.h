#pragma once

// The program's small windows (warning box, colour picker, about window): frameless, skinned,
// built from their own layout, moved by dragging their background. Modal ones answer 1 for
// confirm and 0 for cancel; closing them any other way answers 0.

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>

namespace veltrix::gui {

class SkinWindow : public QDialog {
    Q_OBJECT

  public:
    // Decides a modal window in place of the user: gets the built window, returns its result.
    using Answer = std::function<int(SkinWindow&)>;

    SkinWindow(QWidget* owner, const QString& layoutFile);

    // Shows the window modally, centred on its owner unless it was placed already, and returns
    // its result. Tests queue answers first, so that no test waits on a dialog.
    int ShowModal();
    static void QueueAnswer(Answer answer);
    static void QueueAnswer(int result);
    static void ClearAnswers();
    static int PendingAnswers();

  protected:
    QWidget* Root() const { return m_pRoot; }
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QWidget* m_pRoot = nullptr;
};

}  // namespace veltrix::gui
