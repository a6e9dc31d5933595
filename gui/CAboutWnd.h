#pragma once

// The about window: version, licence, and the switch that starts the program with the desktop.

#include "SkinWindow.h"

namespace veltrix::gui {

class CAboutWnd final : public SkinWindow {
    Q_OBJECT

  public:
    explicit CAboutWnd(QWidget* owner);
};

}  // namespace veltrix::gui
