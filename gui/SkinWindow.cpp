#include "SkinWindow.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include "Skin.h"

namespace veltrix::gui {
namespace {

std::deque<SkinWindow::Answer>& Answers() {
    static std::deque<SkinWindow::Answer> answers;
    return answers;
}

}  // namespace

SkinWindow::SkinWindow(QWidget* owner, const QString& layoutFile) : QDialog(owner) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground);
    setObjectName("skin_window");
    m_pRoot = LoadLayout(layoutFile, this);
    if (m_pRoot != nullptr) {
        setWindowTitle(m_pRoot->windowTitle());
        resize(m_pRoot->size());
    }
    // Enter answers the layout's default button, whichever button has the focus; that button
    // starts with the focus.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        if (button->isDefault()) {
            button->setFocus();
        }
    }
}

int SkinWindow::ShowModal() {
    if (!Answers().empty()) {
        Answer answer = std::move(Answers().front());
        Answers().pop_front();
        return answer(*this);
    }
    return exec() == 1 ? 1 : 0;
}

void SkinWindow::QueueAnswer(Answer answer) {
    Answers().push_back(std::move(answer));
}

void SkinWindow::QueueAnswer(int result) {
    QueueAnswer([result](SkinWindow&) { return result; });
}

void SkinWindow::ClearAnswers() {
    Answers().clear();
}

int SkinWindow::PendingAnswers() {
    return static_cast<int>(Answers().size());
}

void SkinWindow::mousePressEvent(QMouseEvent* event) {
    // The window has no title bar of its own: its background moves it.
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
    }
    QDialog::mousePressEvent(event);
}

}  // namespace veltrix::gui
