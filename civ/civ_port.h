#pragma once
// What the link needs of a serial port. The program's serial component
// implements it through an adapter; tests use a scripted fake.

#include <span>

#include "rig/bcd.h"

namespace tarnwick {

class CivPort {
 public:
  virtual ~CivPort() = default;
  // Whether the port is open.
  virtual bool active() const = 0;
  // Writes the bytes. May wait for room in the transmit queue while the
  // main thread keeps handling events, so it may re-enter the engine.
  virtual void sendString(std::span<const Byte> bytes) = 0;
  // Reads at most one waiting byte; returns how many were read (1 or 0).
  virtual int readByte(Byte& b) = 0;
  // The line speed, which sets how long an answer takes to come.
  virtual int baudRate() const = 0;
};

}  // namespace tarnwick
