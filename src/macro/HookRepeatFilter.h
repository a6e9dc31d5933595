#pragma once

#include <cstdint>

namespace veltrix {

// Drops a hook event that equals the one before it. A held key repeats its press again and again;
// only the first gets through. Each recording starts with a filter afresh: an event of an earlier
// recording says nothing about the first of the next.
class HookRepeatFilter {
  public:
    // False when (code, flag) repeats the event before it; otherwise remembers it.
    bool Pass(std::uint32_t code, std::uint32_t flag) {
        if (code == m_code && flag == m_flag) {
            return false;
        }
        m_code = code;
        m_flag = flag;
        return true;
    }

  private:
    std::uint32_t m_code = 0;
    std::uint32_t m_flag = 0;
};

// The program's filter, which lives as long as the program does. Tests make filters of their own.
HookRepeatFilter& ProgramRepeatFilter();

}  // namespace veltrix
