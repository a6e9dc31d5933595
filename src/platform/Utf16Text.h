#pragma once

// Text fields of the records are fixed arrays of UTF-16 units, zero-terminated inside the field.
// A field read from a file may lack its terminator; these helpers never read past the field.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace veltrix {

// The text of a field: its units up to the first zero, or the whole field when it has none.
template <std::size_t N>
std::u16string_view FieldText(const std::array<char16_t, N>& field) {
    std::size_t length = 0;
    while (length < N && field[length] != u'\0') {
        ++length;
    }
    return std::u16string_view(field.data(), length);
}

// Writes text into a field, cut to leave room for the terminator, and zeroes the rest.
template <std::size_t N>
void SetFieldText(std::array<char16_t, N>& field, std::u16string_view text) {
    static_assert(N > 0);
    field.fill(u'\0');
    text.copy(field.data(), std::min(text.size(), N - 1));
}

// The longest beginning of text with at most maxUnits units that does not end between the two
// halves of a surrogate pair.
std::u16string_view FitText(std::u16string_view text, std::size_t maxUnits);

// Whether two texts are equal when the case of their letters is ignored, for the letters of every
// script (Ä and ä, Σ, σ and ς, Ж and ж).
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// Conversions between UTF-16 and UTF-8. Unpaired surrogates and invalid UTF-8 become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace veltrix
