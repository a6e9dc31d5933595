#include "macro/HookRepeatFilter.h"

namespace veltrix {

HookRepeatFilter& ProgramRepeatFilter() {
    static HookRepeatFilter filter;
    return filter;
}

}  // namespace veltrix
