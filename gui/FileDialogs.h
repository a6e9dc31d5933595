#pragma once

// The open and save dialogs of the profile and macro files. Tests queue the user's answers, so
// that no test waits on a dialog.

#include <QString>

class QWidget;

namespace veltrix::gui {

struct FileDialogRequest {
    QString description;  // the kind of file, as the filter shows it
    QString patterns;     // e.g. "*.pro *.PRO"
    QString folder;       // where the dialog starts
    QString suffix;       // added to a saved name without one; empty for none
};

// The chosen file, or empty when the user cancelled.
QString AskSaveFileName(QWidget* owner, const FileDialogRequest& request);
QString AskOpenFileName(QWidget* owner, const FileDialogRequest& request);

// The next dialog answers this path (empty: cancel) without showing.
void QueueFileAnswer(const QString& path);
void ClearFileAnswers();

}  // namespace veltrix::gui
