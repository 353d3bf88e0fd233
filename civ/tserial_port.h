#pragma once
// The link's port over the program's serial component, and the wiring of
// its receive-data event to the engine. A front end wires them like this:
//
//   TSerial serial(mainThread);
//   applyCivLineSettings(serial);        // then device, speed, setActive(true)
//   TSerialPort port(serial);
//   Engine engine(permanent, rig, index, port, log, window, mainThread);
//   engine.setBackupFolder(defaultBackupFolder());  // the default already
//   engine.setVerifyAfterStore(setting);            // on by default
//   connectReceiveEvent(serial, engine);  // each receive event: bytesReceived
//   every 1000 ms:                         engine.tick();
//   port opened:                           engine.setModel(m); engine.setEngineState(smRestart);

#include "civ/civ_port.h"
#include "serial/tserial.h"

namespace tarnwick {

class Engine;

class TSerialPort : public CivPort {
 public:
  explicit TSerialPort(TSerial& serial) : serial_(serial) {}

  bool active() const override { return serial_.Active(); }
  void sendString(std::span<const Byte> bytes) override;
  int readByte(Byte& b) override { return serial_.ReadByte(b); }
  int baudRate() const override { return serial_.Baudrate(); }

  TSerial& serial() { return serial_; }

 private:
  TSerial& serial_;
};

// Line settings of the CI-V bus: 8 data bits, no parity, one stop bit, no
// parity checking, no flow control, and writes that wait for room in the
// transmit queue.
void applyCivLineSettings(TSerial& serial);

// Every receive-data event of `serial` runs the engine's bytesReceived.
void connectReceiveEvent(TSerial& serial, Engine& engine);

}  // namespace tarnwick
