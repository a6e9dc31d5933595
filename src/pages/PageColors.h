#pragma once

// Colours as the pages and the colour picker show them. The record keeps COLORREF values (byte 0
// red, byte 1 green, byte 2 blue, byte 3 zero); the screen takes 0xAARRGGBB. Every conversion
// between the two goes through here, so the byte order is decided once.

#include <array>
#include <cstdint>

#include "profile/ProfileSettings.h"

namespace veltrix {

// A colour as the screen takes it: 0xAARRGGBB.
using UiColor = std::uint32_t;

// Opaque, whatever byte 3 of the record holds.
constexpr UiColor UiColorFromColorRef(ColorRef color) {
    const std::uint32_t red = color & 0xFFu;
    const std::uint32_t green = color >> 8 & 0xFFu;
    const std::uint32_t blue = color >> 16 & 0xFFu;
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// The alpha byte is dropped: the record's byte 3 is always zero.
constexpr ColorRef ColorRefFromUiColor(UiColor color) {
    const std::uint32_t red = color >> 16 & 0xFFu;
    const std::uint32_t green = color >> 8 & 0xFFu;
    const std::uint32_t blue = color & 0xFFu;
    return red | green << 8 | blue << 16;
}

// The sixteen colour buttons of the lighting page and of the colour picker, in button order.
inline constexpr std::array<UiColor, 16> kPaletteColors = {
    0xFF00FFFF, 0xFF6CFF00, 0xFF7F00FF, 0xFF007FFF, 0xFF0000FF, 0xFF7FFF00, 0xFFFF5400, 0xFFFF7F00,
    0xFFFFB400, 0xFFFFFF00, 0xFFFF0000, 0xFFFF00FF, 0xFF1EB40A, 0xFF48B1FF, 0xFFFF48B0, 0xFFFFFFFF};

// The seven preset buttons of the lighting page, in button order.
inline constexpr std::array<UiColor, 7> kPresetColors = {
    0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

}  // namespace veltrix
