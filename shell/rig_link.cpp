#include "shell/rig_link.h"

#include <unistd.h>

#include "civ/debug_log.h"
#include "rig/value_codes.h"
#include "serial/serial_devices.h"
#include "shell/shell_settings.h"

namespace tarnwick {

RigLink::RigLink(TSerial& serial, Engine& engine, DebugLog& log, LinkWindow& window)
    : serial_(serial), engine_(engine), log_(log), window_(window) {
  serial_.OnLost = [this](TSerial&, int) { connectionLost(); };
}

std::string lostConnectionText(std::string_view portName, std::string_view device) {
  return "Lost connection to " + std::string(portName) + " (" + std::string(device) + ").";
}

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

bool RigLink::releasePort() {
  const EngineState state = engine_.engineState();
  if (state != smIdle && state != smNoInit) return false;
  released_ = released_ || serial_.Active();
  serial_.setActive(false);
  return true;
}

void RigLink::takePortBack() {
  if (!released_) return;
  released_ = false;
  open();
}

void RigLink::radioFound(int baudRate, int modelIndex) {
  released_ = false;
  baudRate_ = baudRate;
  refusedBaudRate_.reset();
  modelIndex_ = modelIndex;
  engine_.setModel(modelIndex);
  starting_ = true;  // the model's address comes with it: no read of its own
  window_.applyModel(modelIndex);
  starting_ = false;
  window_.resetBand();
  engine_.setBand(bankCodeOf(kBandTexts.front()));
  if (reopen()) restart();
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
    lost_ = false;
    window_.showComLabel(comLabel(), false);
    return true;
  } catch (const SerialOpenError& e) {
    lost_ = false;  // the box says what is wrong now; the user picks again
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

namespace tarnwick {

void RigLink::connectionLost() {
  if (!serial_.Active()) return;
  const std::string device = serial_.DevicePath();
  serial_.setActive(false);
  lost_ = true;
  const std::string text = lostConnectionText(portName(), device);
  log_.appendDebugLine(text);
  window_.setLedColour(LedColour::Red);
  window_.showComLabel(comLabel(), true);
  engine_.connectionLost("Lost connection", "Waiting for " + device + " ...");
  window_.showPortError(text);
}

void RigLink::tick() {
  if (!lost_ || serial_.Active()) return;
  const std::string device = serial_.DevicePath();
  if (::access(device.c_str(), F_OK) != 0) return;
  // A device that is back but not yet usable (permissions still being set,
  // held by another program) is tried again at the next tick, quietly.
  try {
    serial_.setActive(true);
  } catch (const SerialOpenError&) {
    return;
  }
  log_.appendDebugLine(device + " is back");
  portChosen(portNumber_);
}

}  // namespace tarnwick
