#pragma once

#include <gtest/gtest.h>
#include <time.h>

#include "pty_pair.h"
#include "serial/event_loop.h"
#include "serial/tserial.h"

namespace tarnwick::testing {

// A port on the slave of a fresh pseudo-terminal, 8 data bits as the program
// uses it, errors recorded.
class TSerialPty : public ::testing::Test {
 protected:
  TSerialPty() {
    serial.setDevice(pty.devicePath());
    serial.setLockDirectory(locks.path());
    serial.setErrorDialog(&dialog);
    serial.setDataBits(d8bit);
  }

  // Drains everything waiting, as the program's receive handler does.
  static std::string drain(TSerial& s) {
    std::string got;
    std::uint8_t b;
    while (s.ReadByte(b) == 1) got += static_cast<char>(b);
    return got;
  }

  EventLoop loop;
  PtyPair pty;
  TempDir locks;
  RecordingDialog dialog;
  TSerial serial{loop};
};

inline double processCpuMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

}  // namespace tarnwick::testing
