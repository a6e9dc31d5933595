#pragma once

// The macro step and the macro record. A record is the unit of macro.data and the whole content
// of an exported macro file; a button entry carries the same steps inline. These layouts are file
// formats: the static_asserts pin every size and offset.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace veltrix {

static_assert(std::endian::native == std::endian::little,
              "records are stored byte for byte in little-endian order");

inline constexpr int kMaxMacroActions = 46;
inline constexpr int kMacroNameUnits = 24;  // 23 characters and the terminator

inline constexpr std::uint8_t kDirectionPress = 1;
inline constexpr std::uint8_t kDirectionRelease = 2;

// One step: press or release a key or mouse button, then wait wDelay milliseconds.
struct MacroAction {
    std::uint8_t byKeyCode;
    std::uint8_t byDirection;
    std::uint16_t wDelay;

    friend bool operator==(const MacroAction&, const MacroAction&) = default;
};

struct MacroRecord {
    std::array<char16_t, kMacroNameUnits> szName;
    std::int32_t iReserved48;  // a profile import keeps the button's repeat count here
    std::int32_t iActionCount;
    std::array<MacroAction, kMaxMacroActions> aAction;
};

static_assert(sizeof(MacroAction) == 4);
static_assert(offsetof(MacroAction, byDirection) == 1);
static_assert(offsetof(MacroAction, wDelay) == 2);

static_assert(sizeof(MacroRecord) == 240);
static_assert(offsetof(MacroRecord, szName) == 0);
static_assert(offsetof(MacroRecord, iReserved48) == 48);
static_assert(offsetof(MacroRecord, iActionCount) == 52);
static_assert(offsetof(MacroRecord, aAction) == 56);

static_assert(std::is_trivially_copyable_v<MacroRecord>);
static_assert(std::has_unique_object_representations_v<MacroRecord>, "no padding bytes");

}  // namespace veltrix
