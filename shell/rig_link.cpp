#include "shell/rig_link.h"

#include <unistd.h>

#include "civ/debug_log.h"
#include "files/file_commands.h"
#include "rig/value_codes.h"
#include "serial/serial_devices.h"
#include "shell/model_setup.h"
#include "shell/shell_settings.h"
#include "tables/channel_table.h"

namespace tarnwick {

bool holdsUnsavedWork(const ChannelTable& rig) {
  if (rig.modified()) return true;
  for (int r = 1; r < rig.rowCount(); ++r) {
    if (rig.cell(colChanged, r) == kChecked) return true;
  }
  return false;
}

std::string rigChangedBeforeReadText(const ChannelTable& rig) {
  int ticked = 0;
  for (int r = 1; r < rig.rowCount(); ++r) {
    const std::string& mark = rig.cell(colChanged, r);
    if (mark == kChecked || mark == kRefused) ++ticked;
  }
  if (ticked == 0) return std::string(kRigChangedBeforeRead);
  return "Rig table has changed: " + std::to_string(ticked) +
         (ticked == 1 ? " ticked row not yet stored" : " ticked rows not yet stored") +
         ". Save before reading the radio again?";
}

void RigLink::guardRigTable(const ChannelTable& rig, FileCommands& files) {
  rig_ = &rig;
  files_ = &files;
  engine_.setRowsReadHandler([this](const std::string& radio, bool complete) {
    files_->setRigRowsRadio(radio,
                            complete ? FileCommands::Rows::Whole : FileCommands::Rows::Partial);
  });
}

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
  address_ = addressText(static_cast<std::uint8_t>(address));
  band_ = bandText;
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
  if (!mayChoose(true)) return;
  portNumber_ = portNumber;
  refusedBaudRate_.reset();
  if (reopen()) restart();
}

void RigLink::speedChosen(int baudRate) {
  if (!mayChoose(true)) return;
  baudRate_ = baudRate;
  refusedBaudRate_.reset();
  if (reopen()) restart();
}

void RigLink::rigChosen(int modelIndex) {
  if (!mayChoose(serial_.Active())) return;
  if (serial_.Active()) window_.lockRigSide();
  modelIndex_ = modelIndex;
  engine_.setModel(modelIndex);
  starting_ = true;  // the address the model brings restarts nothing on its own
  window_.applyModel(modelIndex);
  starting_ = false;
  window_.resetBand();
  band_ = kBandTexts.front();
  engine_.setBand(bankCodeOf(band_));
  restart();
}

void RigLink::addressChanged(std::string_view text) {
  // Typed digit by digit: only a whole address restarts the read.
  const bool whole = text.size() == 2;
  if (!starting_ && whole && !mayChoose(serial_.Active())) return;
  engine_.setAddress(radioAddressOf(text));
  if (whole) address_ = text;
  if (starting_ || !whole) return;
  restart();
}

void RigLink::bandChanged(std::string_view bandText) {
  if (!mayChoose(serial_.Active())) return;
  band_ = bandText;
  engine_.setBand(bankCodeOf(bandText));
  restart();
}

void RigLink::readBank() {
  if (!mayChoose(true)) return;
  if (!serial_.Active() && !reopen()) return;
  restart();
}

bool RigLink::releasePort() {
  const EngineState state = engine_.engineState();
  if (state != smIdle && state != smNoInit) return false;
  reopenAfterSearch_ = reopenAfterSearch_ || serial_.Active();
  searching_ = true;  // the watch for a missing device leaves the devices alone
  serial_.setActive(false);
  return true;
}

void RigLink::takePortBack() {
  searching_ = false;
  if (!reopenAfterSearch_) return;
  reopenAfterSearch_ = false;
  open(Failure::Reported);
}

void RigLink::radioFound(int baudRate, int modelIndex) {
  searching_ = false;
  reopenAfterSearch_ = false;
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

void RigLink::readOrCheckLink() {
  if (askBeforeRead() == BeforeRead::Read) {
    restart();
  } else {
    window_.lockRigSide();
    engine_.checkLink();
  }
}

RigLink::BeforeRead RigLink::askBeforeRead() {
  if (rig_ == nullptr || files_ == nullptr || !holdsUnsavedWork(*rig_)) return BeforeRead::Read;
  switch (window_.askYesNoAbort(rigChangedBeforeReadText(*rig_))) {
    case PromptAnswer::Yes:
      // Reading over rows that could not be saved would lose them.
      return files_->saveAs(TableKind::Rig) ? BeforeRead::Read : BeforeRead::Abort;
    case PromptAnswer::No:
      return BeforeRead::KeepTable;
    case PromptAnswer::Abort:
      break;
  }
  return BeforeRead::Abort;
}

bool RigLink::mayChoose(bool reads) {
  // No on a choice still reads: the user asked for the new link.
  if (!reads || askBeforeRead() != BeforeRead::Abort) return true;
  starting_ = true;  // the address field put back restarts nothing
  window_.showChoices(choices());
  starting_ = false;
  return false;
}

LinkChoices RigLink::choices() const {
  return {.portNumber = portNumber_,
          .baudRate = baudRate_,
          .modelIndex = modelIndex_,
          .address = address_,
          .band = band_};
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
  return open(Failure::Reported);
}

bool RigLink::open(Failure failure) {
  try {
    serial_.setActive(true);
  } catch (const SerialOpenError& e) {
    serial_.setActive(false);
    // A device that is not there yet (an adapter still in the bag) is
    // watched for, so that plugging it in is enough.
    waitingForDevice_ = true;
    if (failure == Failure::Quiet) return false;
    window_.showComLabel(comLabel(), true);
    // The engine stops and leaves the rig table to the user.
    engine_.setEngineState(smNoInit);
    // The fixed message, then the device and why it could not be opened.
    window_.showPortError(portOpenFailedMessage(e));
    return false;
  }
  waitingForDevice_ = false;
  window_.showComLabel(comLabel(), false);
  return true;
}

void RigLink::restart() {
  window_.setLedColour(LedColour::Red);
  // Without a port nothing reads: the table stays the user's.
  if (!serial_.Active()) return;
  window_.lockRigSide();
  engine_.setEngineState(smRestart);
}

}  // namespace tarnwick

namespace tarnwick {

void RigLink::connectionLost() {
  if (!serial_.Active()) return;
  const std::string device = serial_.DevicePath();
  serial_.setActive(false);
  waitingForDevice_ = true;
  std::string text = lostConnectionText(portName(), device);
  log_.appendDebugLine(text);
  // A store cut short says what reached the radio and what is left to store.
  if (const std::string progress = engine_.storeProgressNote(); !progress.empty()) {
    text += "\n" + progress + ".";
  }
  window_.setLedColour(LedColour::Red);
  window_.showComLabel(comLabel(), true);
  engine_.connectionLost("Lost connection", "Waiting for " + device + " ...");
  window_.showPortError(text);
}

void RigLink::tick() {
  if (serial_.Active()) {
    watchSilentRadio();
    return;
  }
  if (!waitingForDevice_ || searching_) return;
  const std::string device = serial_.DevicePath();
  if (device.empty() || ::access(device.c_str(), F_OK) != 0) return;
  // A device that is back but not yet usable (permissions still being set,
  // held by another program) is tried again at the next tick, quietly.
  if (!open(Failure::Quiet)) return;
  log_.appendDebugLine(device + " is there");
  readOrCheckLink();
}

void RigLink::watchSilentRadio() {
  if (!engine_.waitsForRadio()) {
    quietTicks_ = 0;
    return;
  }
  if (engine_.radioAnsweredAgain()) {
    quietTicks_ = 0;
    log_.appendDebugLine("The radio answers again");
    readOrCheckLink();
    return;
  }
  // Often enough to notice a radio switched on, seldom enough to leave a
  // shared bus alone.
  constexpr int kTicksBetweenQuestions = 3;
  if (++quietTicks_ % kTicksBetweenQuestions == 0) engine_.askRadioQuietly();
}

}  // namespace tarnwick
