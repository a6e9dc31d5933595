#pragma once

// The about window: version, licence and links.

#include "SkinWindow.h"

namespace veltrix::gui {

class CAboutWnd final : public SkinWindow {
    Q_OBJECT

  public:
    explicit CAboutWnd(QWidget* owner);
};

}  // namespace veltrix::gui
