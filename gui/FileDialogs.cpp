#include "FileDialogs.h"

#include <QFileDialog>
#include <deque>

namespace veltrix::gui {
namespace {

std::deque<QString>& Answers() {
    static std::deque<QString> answers;
    return answers;
}

QString Ask(QWidget* owner, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    if (!Answers().empty()) {
        QString answer = Answers().front();
        Answers().pop_front();
        return answer;
    }
    QFileDialog dialog(owner, QString(), request.folder,
                       QString("%1 (%2)").arg(request.description, request.patterns));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString AskSaveFileName(QWidget* owner, const FileDialogRequest& request) {
    return Ask(owner, request, QFileDialog::AcceptSave);
}

QString AskOpenFileName(QWidget* owner, const FileDialogRequest& request) {
    return Ask(owner, request, QFileDialog::AcceptOpen);
}

void QueueFileAnswer(const QString& path) {
    Answers().push_back(path);
}

void ClearFileAnswers() {
    Answers().clear();
}

}  // namespace veltrix::gui
