#pragma once

// Debug traces: short texts for a developer, never shown to the user. The UI sends them to its
// debug output; tests read them.

#include <string_view>

namespace veltrix {

class TraceSink {
  public:
    virtual ~TraceSink() = default;

    // One trace, line ending included.
    virtual void Trace(std::string_view text) = 0;
};

}  // namespace veltrix
