#pragma once

// Colours as the screen takes them (0xAARRGGBB) and as the record stores them (COLORREF: byte 0
// red, byte 1 green, byte 2 blue, byte 3 zero), and the fixed colour tables of the pages.

#include <array>
#include <cstdint>

#include "profile/ProfileSettings.h"

namespace veltrix {

using UiColor = std::uint32_t;

constexpr UiColor ToUiColor(ColorRef stored) {
    const std::uint32_t red = stored & 0xFFu;
    const std::uint32_t green = (stored >> 8) & 0xFFu;
    const std::uint32_t blue = (stored >> 16) & 0xFFu;
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

constexpr ColorRef ToColorRef(UiColor ui) {
    const std::uint32_t red = (ui >> 16) & 0xFFu;
    const std::uint32_t green = (ui >> 8) & 0xFFu;
    const std::uint32_t blue = ui & 0xFFu;
    return red | green << 8 | blue << 16;
}

// The sixteen colour buttons of the colour picker and of the lighting page, in button order.
inline constexpr std::array<UiColor, 16> kPaletteColors = {
    0xFF00FFFF, 0xFF6CFF00, 0xFF7F00FF, 0xFF007FFF, 0xFF0000FF, 0xFF7FFF00, 0xFFFF5400, 0xFFFF7F00,
    0xFFFFB400, 0xFFFFFF00, 0xFFFF0000, 0xFFFF00FF, 0xFF1EB40A, 0xFF48B1FF, 0xFFFF48B0, 0xFFFFFFFF,
};

}  // namespace veltrix
