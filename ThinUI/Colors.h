#pragma once
// Colours are written as the system writes them: 0x00BBGGRR, red in the low
// byte, so 0xA05EA1 is red 161, green 94, blue 160.

#include <QColor>
#include <cstdint>

namespace ThinUI {

using ColorRef = std::uint32_t;

/// The background value that means "transparent" for a label.
constexpr ColorRef kTransparent = 0xFFFFFFFF;

constexpr ColorRef Rgb(int red, int green, int blue) {
    return static_cast<ColorRef>(red) | (static_cast<ColorRef>(green) << 8) |
           (static_cast<ColorRef>(blue) << 16);
}
constexpr int RedOf(ColorRef color) {
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(ColorRef color) {
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef color) {
    return static_cast<int>((color >> 16) & 0xFF);
}

QColor ToQColor(ColorRef color);

} // namespace ThinUI
