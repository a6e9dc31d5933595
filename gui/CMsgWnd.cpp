#include "CMsgWnd.h"

#include <QLabel>
#include <QPushButton>

#include "Language.h"
#include "Skin.h"

namespace veltrix::gui {

CMsgWnd::CMsgWnd(QWidget* owner, std::string_view titleId, std::string_view textId,
                 const QString& argument)
    : SkinWindow(owner, "msg.ui") {
    if (auto* title = FindControl<QLabel>(Root(), "warning_title")) {
        title->setText(Tr(titleId));
    }
    if (auto* text = FindControl<QLabel>(Root(), "warning")) {
        const QString message = Tr(textId);
        text->setText(argument.isEmpty() ? message : message.arg(argument));
    }
    setWindowTitle(Tr(titleId));
    if (auto* confirm = FindControl<QPushButton>(Root(), "confirm_btn")) {
        connect(confirm, &QPushButton::clicked, this, [this] { done(1); });
        confirm->setDefault(true);
    }
    if (auto* cancel = FindControl<QPushButton>(Root(), "cancel_btn")) {
        connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
    }
}

int CMsgWnd::Ask(QWidget* owner, std::string_view titleId, std::string_view textId) {
    CMsgWnd box(owner, titleId, textId);
    return box.ShowModal();
}

void CMsgWnd::Tell(QWidget* owner, std::string_view titleId, std::string_view textId,
                   const QString& argument) {
    CMsgWnd box(owner, titleId, textId, argument);
    if (auto* cancel = FindControl<QPushButton>(&box, "cancel_btn")) {
        cancel->hide();
    }
    box.ShowModal();
}

}  // namespace veltrix::gui
