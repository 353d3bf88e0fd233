#include "shell/rig_link.h"

#include "civ/debug_log.h"
#include "rig/value_codes.h"
#include "serial/serial_devices.h"
#include "shell/shell_settings.h"

namespace tarnwick {

RigLink::RigLink(TSerial& serial, Engine& engine, DebugLog& log, LinkWindow& window)
    : serial_(serial), engine_(engine), log_(log), window_(window) {}

std::string RigLink::comLabel() const {
  return comLabelText(portName(), baudRate_, refusedBaudRate_);
}

bool RigLink::start(int portNumber, int baudRate, int modelIndex, int address,
                    std::string_view bandText) {
  portNumber_ = portNumber;
  baudRate_ = baudRate;
  modelIndex_ = modelIndex;
  log_.appendDebugLine(portTrialLine(portNumber));
  log_.appendDebugLine(baudLine(baudRate));
  log_.appendDebugLine(addressLine(address));
  log_.appendDebugLine(modelLine(modelIndex));
  engine_.setAddress({.value = static_cast<Byte>(address)});
  engine_.setBand(bankCodeOf(bandText));
  // The model and the address are applied with the port's outcome known,
  // so that their changes restart nothing on a closed port.
  starting_ = true;
  const bool opened = reopen();
  if (!opened) log_.appendDebugLine(portOpenErrorLine(portNumber));
  engine_.setModel(modelIndex);
  window_.applyModel(modelIndex);
  starting_ = false;
  if (opened) {
    window_.lockRigSide();
    engine_.setEngineState(smRestart);
  }
  return opened;
}

void RigLink::portChosen(int portNumber) {
  portNumber_ = portNumber;
  refusedBaudRate_.reset();
  if (reopen()) restart();
}

void RigLink::speedChosen(int baudRate) {
  baudRate_ = baudRate;
  refusedBaudRate_.reset();
  if (reopen()) restart();
}

void RigLink::rigChosen(int modelIndex) {
  window_.lockRigSide();
  modelIndex_ = modelIndex;
  engine_.setModel(modelIndex);
  starting_ = true;  // the address the model brings restarts nothing on its own
  window_.applyModel(modelIndex);
  starting_ = false;
  window_.resetBand();
  engine_.setBand(bankCodeOf(kBandTexts.front()));
  restart();
}

void RigLink::addressChanged(std::string_view text) {
  engine_.setAddress(radioAddressOf(text));
  // Typed digit by digit: only a whole address restarts the read.
  if (starting_ || text.size() != 2) return;
  restart();
}

void RigLink::bandChanged(std::string_view bandText) {
  engine_.setBand(bankCodeOf(bandText));
  restart();
}

bool RigLink::reopen() {
  window_.setLedColour(LedColour::Red);
  try {
    serial_.setActive(false);
    serial_.setPort(portNumber_);
    serial_.setBaudrate(baudRate_);
  } catch (const std::exception&) {
    // A port number the component refuses is a port that cannot be opened.
  }
  return open();
}

bool RigLink::open() {
  try {
    serial_.setActive(true);
    window_.showComLabel(comLabel(), false);
    return true;
  } catch (const SerialOpenError& e) {
    serial_.setActive(false);
    window_.showComLabel(comLabel(), true);
    window_.lockRigSide();
    engine_.setEngineState(smNoInit);
    // The fixed message, then the device and why it could not be opened.
    window_.showPortError(portOpenFailedMessage(e));
    return false;
  }
}

void RigLink::restart() {
  window_.lockRigSide();
  window_.setLedColour(LedColour::Red);
  if (serial_.Active()) engine_.setEngineState(smRestart);
}

}  // namespace tarnwick
