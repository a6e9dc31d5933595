#pragma once

// The input hooks the main window uses: the hook plugin when it can be bound.

#include <memory>

#include "platform/HookLibrary.h"

namespace veltrix::gui {

std::unique_ptr<HookLibrary> BindHookLibrary();

}  // namespace veltrix::gui
