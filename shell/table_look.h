#pragma once
// Sizes of the tables that follow from their font.

namespace tarnwick {

// The height in pixels of a font of `points` on a screen of `dpi` dots per
// inch, rounded as the display does (8 points at 96 dpi: 11 pixels).
constexpr int fontPixelHeight(int points, int dpi) {
  return (points * dpi + 36) / 72;
}

// Every row of a table: twice the font's height less 4 pixels (18 for an
// 8-point font at 96 dpi).
constexpr int rowHeightForFont(int fontPixels) {
  return 2 * fontPixels - 4;
}

}  // namespace tarnwick
