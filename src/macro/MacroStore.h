#pragma once

#include <memory>
#include <vector>

#include "macro/MacroRecord.h"

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

  private:
    std::vector<std::unique_ptr<MacroRecord>> m_records;
};

}  // namespace veltrix
