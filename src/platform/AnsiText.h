#pragma once

// The mouse stores macro names in the single-byte Windows-1252 code page, which is what the
// settings record's UTF-16 names become on their way to it.

#include <string>
#include <string_view>

namespace veltrix {

// The text in Windows-1252: one byte per character, '?' for each character the code page cannot
// hold (a surrogate pair is one character; an unpaired surrogate is one as well).
std::string ToWindows1252(std::u16string_view text);

}  // namespace veltrix
