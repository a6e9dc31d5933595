#pragma once

// The warning box: a title and a message, both text ids, with confirm and cancel.

#include <string_view>

#include "SkinWindow.h"

namespace veltrix::gui {

class CMsgWnd final : public SkinWindow {
    Q_OBJECT

  public:
    CMsgWnd(QWidget* owner, std::string_view titleId, std::string_view textId);

    // Shows the box modally; 1 when confirmed, 0 otherwise.
    static int Ask(QWidget* owner, std::string_view titleId, std::string_view textId);
    // The same box for a message that offers no choice: its cancel button is not shown.
    static void Tell(QWidget* owner, std::string_view titleId, std::string_view textId);
};

}  // namespace veltrix::gui
