#include "platform/KeyLayout.h"

namespace veltrix {

std::uint32_t ActiveLayoutScanCode(std::uint32_t /*virtualKey*/) {
    return 0;
}

}  // namespace veltrix
