#pragma once

// The warning box: a title and a message, both text ids, with confirm and cancel.

#include <QString>
#include <string_view>

#include "SkinWindow.h"

namespace veltrix::gui {

class CMsgWnd final : public SkinWindow {
    Q_OBJECT

  public:
    // A "%1" in the text is replaced by `argument` (a file name, say).
    CMsgWnd(QWidget* owner, std::string_view titleId, std::string_view textId,
            const QString& argument = {});

    // Shows the box modally; 1 when confirmed, 0 otherwise.
    static int Ask(QWidget* owner, std::string_view titleId, std::string_view textId);
    // The same box for a message that offers no choice: its cancel button is not shown.
    static void Tell(QWidget* owner, std::string_view titleId, std::string_view textId,
                     const QString& argument = {});
};

}  // namespace veltrix::gui
