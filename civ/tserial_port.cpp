#include "civ/tserial_port.h"

#include <string_view>

#include "civ/engine.h"

namespace tarnwick {

void TSerialPort::sendString(std::span<const Byte> bytes) {
  serial_.SendString(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void applyCivLineSettings(TSerial& serial) {
  serial.setDataBits(d8bit);
  serial.setParity(paNone);
  serial.setStopBits(st1bit);
  serial.setCheckParity(false);
  serial.setFlowMode(fcNone);
  serial.setWaitOnTxFull(true);
}

void connectReceiveEvent(TSerial& serial, Engine& engine) {
  serial.OnRxData = [&engine](TSerial&) { engine.bytesReceived(); };
}

}  // namespace tarnwick
