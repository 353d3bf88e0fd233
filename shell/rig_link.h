#pragma once
// What choosing a port, a speed, a radio, an address or an IC-910 band does
// to the link: the port is opened again where the choice needs it, the
// engine reads the bank afresh, and the window is told what to show. Every
// restart locks the rig side first, so that no store can cut into the read
// it starts; after a port that could not be opened the engine stays in
// smNoInit, so that nothing is sent to a closed port and no time-out is
// reported on top of the port's own message.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "civ/engine.h"
#include "civ/engine_window.h"
#include "serial/serial_errors.h"
#include "serial/tserial.h"

namespace tarnwick {

// The window's side of the choices.
class LinkWindow {
 public:
  virtual ~LinkWindow() = default;
  virtual void lockRigSide() = 0;
  virtual void setLedColour(LedColour colour) = 0;
  // The port label ("COM2: 9600"), drawn red after a failed open.
  virtual void showComLabel(const std::string& text, bool failed) = 0;
  // The error box for a port that cannot be opened (shown after the step).
  virtual void showPortError(const std::string& text) = 0;
  // The controls that follow the model: band box, offsets entry, model
  // label, columns, and the model's default address in the address field.
  virtual void applyModel(int modelIndex) = 0;
  // The band box shows its first entry.
  virtual void resetBand() = 0;
};

class RigLink {
 public:
  RigLink(TSerial& serial, Engine& engine, DebugLog& log, LinkWindow& window);

  int portNumber() const { return portNumber_; }
  int baudRate() const { return baudRate_; }
  int modelIndex() const { return modelIndex_; }
  // "COM" and the port number.
  std::string portName() const { return "COM" + std::to_string(portNumber_); }
  // The port label: "COM2: 9600", and a note when the stored speed was not
  // one the menu offers.
  std::string comLabel() const;
  // A stored speed that was refused at start-up (the label says so until
  // the user picks a speed or a port).
  void setRefusedBaudRate(std::optional<std::int32_t> rate) { refusedBaudRate_ = rate; }
  bool portOpen() const { return serial_.Active(); }

  // The first activation: opens the port at the stored number and speed,
  // starts the read of the stored model's bank at the stored address in the
  // band box's band. Returns whether the port is open.
  bool start(int portNumber, int baudRate, int modelIndex, int address, std::string_view bandText);

  void portChosen(int portNumber);
  void speedChosen(int baudRate);
  void rigChosen(int modelIndex);
  // The text of the address field changed (by the user or the program).
  void addressChanged(std::string_view text);
  // The user picked a band ("144 MHz", "430 MHz", "1240 MHz").
  void bandChanged(std::string_view bandText);

  // The radio search opens devices itself: the port is closed for it and
  // opened again afterwards as it was. Refused (false) while the engine
  // reads or stores, which a closed port would break off.
  bool releasePort();
  void takePortBack();
  // A radio found on the device of the ticked port: its speed and its
  // model (at whose address it answered) are applied together, with one
  // reopen of the port and one read.
  void radioFound(int baudRate, int modelIndex);
  // The open device went away (the port reports it by itself): closes it,
  // ends a running transfer, frees the rig side and shows why, once.
  void connectionLost();
  // Once a second: a lost device whose path is back is opened again and
  // the bank read afresh, as choosing its port again does.
  void tick();
  bool connectionIsLost() const { return lost_; }

 private:
  // Closes the port, applies number and speed, opens it again; on failure
  // the box, the red label and smNoInit.
  bool reopen();
  bool open();
  // Locks the rig side, turns the LED red and reads the bank afresh; on a
  // closed port only the lock and the LED.
  void restart();

  TSerial& serial_;
  Engine& engine_;
  DebugLog& log_;
  LinkWindow& window_;
  int portNumber_ = 0;
  int baudRate_ = 0;
  int modelIndex_ = 0;
  std::optional<std::int32_t> refusedBaudRate_;
  bool starting_ = false;
  bool released_ = false;  // closed for the radio search while open
  bool lost_ = false;  // the device went away; watched for until it is back
};

// "Lost connection to COM2 (/dev/ttyUSB0)."
std::string lostConnectionText(std::string_view portName, std::string_view device);

}  // namespace tarnwick
