#pragma once

// The language file as the core sees it: the text that the user reads for a text id.

#include <functional>
#include <string>
#include <string_view>

namespace veltrix {

using TextLookup = std::function<std::u16string(std::string_view textId)>;

}  // namespace veltrix
