#pragma once
// Settings with every value away from its fresh-start value, for round trips.

#include "shell/shell_settings.h"

namespace tarnwick::testing {

inline ShellSettings everythingChanged() {
  ShellSettings s;
  s.portNumber = 9;
  s.baudRate = 19200;
  s.modelIndex = kModelIc910;
  s.storedAddress = 0xE0;
  s.gridFontName = "DejaVu Sans Mono";
  s.gridFontSize = 12;
  s.gridFontColor = 0x00336699;
  s.permanentFileShown = false;
  s.horizontalGridLines = false;
  s.verticalGridLines = false;
  s.dataFolder = "/home/op/Funk, alt/@\xC3\xA4nderungen";  // a comma, an @, UTF-8 bytes
  s.permanentFileName = "mine.txt";
  s.rigFileName = "bank.txt";
  s.window = {.left = -1200, .top = 40, .width = 1024, .height = 700, .state = kWindowMaximised};
  s.offsets = {.hf = -1500, .mhz50 = 1000000, .mhz144 = 5000000};
  s.verifyAfterStore = false;
  s.hideEmptyMemories = true;
  s.frequenciesInMHz = true;
  s.fileColumnWidths = {30, 90, std::nullopt, 120};
  s.rigColumnWidths = {25, 100};
  s.portDevices = {{2, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"}, {9, "/tmp/sim/pty"}};
  return s;
}

}  // namespace tarnwick::testing
