#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "macro/MacroRecord.h"
#include "platform/TextLookup.h"

namespace veltrix {

// Every macro of the user, in the order of creation and import. Each record lives in its own
// allocation, so a reference to one (the macro being edited) stays valid while others are added
// or erased.
class MacroStore {
  public:
    int Count() const { return static_cast<int>(m_records.size()); }
    bool Empty() const { return m_records.empty(); }

    // index must lie in [0, Count()).
    MacroRecord& At(int index) { return *m_records.at(static_cast<std::size_t>(index)); }
    const MacroRecord& At(int index) const {
        return *m_records.at(static_cast<std::size_t>(index));
    }

    MacroRecord& Append(const MacroRecord& record) {
        m_records.push_back(std::make_unique<MacroRecord>(record));
        return *m_records.back();
    }

    // Removes the record at index, keeping the order of the others; an index outside the store
    // is ignored.
    void Erase(int index) {
        if (index >= 0 && index < Count()) {
            m_records.erase(m_records.begin() + index);
        }
    }

    void Clear() { m_records.clear(); }

    // Macro names are compared without regard to case, in every script: two names that differ
    // only in the case of their letters are the same name.

    // The position of the first macro with that name; -1 when there is none.
    int IndexOfName(std::u16string_view name) const;
    bool HasName(std::u16string_view name) const { return IndexOfName(name) >= 0; }

    // The wanted name when no macro has it, otherwise "wanted_1", "wanted_2", ..., the first that
    // is free. The result always fits a name field: a long name is cut to make room for its
    // suffix, so the number that makes it unique is never the part that is lost.
    std::u16string UniqueName(std::u16string_view wanted) const;

    // Appends an empty macro whose name is the text of "mouse_macro_function_text" followed by
    // the number the new macro has in the store, made unique. The caller saves the store.
    MacroRecord& NewMacro(const TextLookup& lookupText);

  private:
    std::vector<std::unique_ptr<MacroRecord>> m_records;
};

}  // namespace veltrix
