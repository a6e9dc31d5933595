#include "macro/MacroStore.h"

#include "platform/Utf16Text.h"

namespace veltrix {
namespace {

constexpr std::size_t kMaxNameLength = kMacroNameUnits - 1;

std::u16string DecimalText(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

int MacroStore::IndexOfName(std::u16string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        if (EqualIgnoringCase(FieldText(At(i).szName), name)) {
            return i;
        }
    }
    return -1;
}

std::u16string MacroStore::UniqueName(std::u16string_view wanted) const {
    // Compare the name as the field will hold it, or a long name that differs from an existing
    // one only past the field's end would be taken for free.
    const std::u16string_view whole = FitText(wanted, kMaxNameLength);
    if (!HasName(whole)) {
        return std::u16string(whole);
    }
    // The store holds Count() names, so one of the first Count() + 1 numbers is free.
    for (int number = 1;; ++number) {
        const std::u16string suffix = u"_" + DecimalText(number);
        std::u16string candidate(FitText(wanted, kMaxNameLength - suffix.size()));
        candidate += suffix;
        if (!HasName(candidate)) {
            return candidate;
        }
    }
}

MacroRecord& MacroStore::NewMacro(const TextLookup& lookupText) {
    const std::u16string base = lookupText("mouse_macro_function_text") + DecimalText(Count() + 1);
    MacroRecord record{};
    SetFieldText(record.szName, UniqueName(base));
    return Append(record);
}

}  // namespace veltrix
