#pragma once
// The line settings of a port and their termios form.

#include <termios.h>

#include <cstdint>

#include "serial/serial_types.h"

namespace tarnwick {

struct LineSettings {
  std::int32_t baudrate = 9600;
  eParity parity = paNone;
  eDataBits dataBits = d8bit;
  eStopBits stopBits = st1bit;
  eFlowControl flowMode = fcNone;
  bool checkParity = false;
};

// Makes `tio` a raw line with these settings; reads return at once. The speed
// bits are left alone: the rate is set through termios2 afterwards.
void fillTermios(termios& tio, const LineSettings& settings);

}  // namespace tarnwick
