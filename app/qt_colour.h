#pragma once
// The core's 0x00BBGGRR colour values as Qt's colours and back.

#include <QColor>
#include <cstdint>

#include "shell/colour.h"

namespace tarnwick::app {

inline QColor toQColor(std::uint32_t colour) {
  const RgbColour c = rgbOf(colour);
  return QColor(c.red, c.green, c.blue);
}

inline std::uint32_t fromQColor(const QColor& c) {
  return colourOf({.red = static_cast<std::uint8_t>(c.red()),
                   .green = static_cast<std::uint8_t>(c.green()),
                   .blue = static_cast<std::uint8_t>(c.blue())});
}

}  // namespace tarnwick::app
