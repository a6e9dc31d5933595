#pragma once

// The input hooks the main window uses, chosen by the platform the window runs on: the hook
// plugin on X11 when it can be bound, the in-window hooks otherwise.

#include <memory>

#include "platform/HookLibrary.h"
#include "platform/InputPath.h"

class QWidget;

namespace veltrix::gui {

struct BoundHooks {
    std::unique_ptr<HookLibrary> hooks;
    InputPath path = InputPath::InWindow;
};

BoundHooks BindHookLibrary();

// Where the window offers a recording or a key capture, says what the in-window path can hear,
// so that nobody expects keys typed into other programs to arrive.
void ExplainInputPath(QWidget* window, InputPath path);

}  // namespace veltrix::gui
