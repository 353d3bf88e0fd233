#pragma once
// What choosing a port, a speed, a radio, an address or an IC-910 band does
// to the link: the port is opened again where the choice needs it, the
// engine reads the bank afresh, and the window is told what to show. Every
// restart locks the rig side first, so that no store can cut into the read
// it starts; after a port that could not be opened the engine stays in
// smNoInit, so that nothing is sent to a closed port and no time-out is
// reported on top of the port's own message.
//
// A read replaces the rig table. When the table holds work of the user's
// (unsaved changes or Changed marks), a choice asks first: Yes saves it
// under a new name and reads, No reads, Abort keeps the table and the old
// choice. When the radio comes back on its own (its device plugged in, the
// radio switched on again), No keeps the table too and the engine only
// checks the link, so that a bank prepared without the radio can be stored
// to it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "civ/engine.h"
#include "civ/engine_window.h"
#include "files/file_command_ui.h"
#include "rig/value_codes.h"
#include "serial/serial_errors.h"
#include "serial/tserial.h"

namespace tarnwick {

class ChannelTable;
class FileCommands;

inline constexpr std::string_view kRigChangedBeforeRead =
    "Rig table has changed. Save before reading the radio again?";

// The question before a read, naming the ticked rows it would replace:
// "Rig table has changed: 91 ticked rows not yet stored. Save before reading
// the radio again?"
std::string rigChangedBeforeReadText(const ChannelTable& rig);

// Whether a read would throw away something of the user's: the rig table is
// modified or a row is marked Changed.
bool holdsUnsavedWork(const ChannelTable& rig);

// The link's choices as the menus, the address field and the band box show them.
struct LinkChoices {
  int portNumber = 0;
  int baudRate = 0;
  int modelIndex = 0;
  std::string address;  // two hex digits
  std::string band;     // "144 MHz"
};

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
  // Puts the ticks, the address field and the band box back to `choices`
  // after an aborted choice. A change of the address field it makes comes
  // back as addressChanged, which then restarts nothing.
  virtual void showChoices(const LinkChoices& choices) { (void)choices; }
  // The question before a read replaces the rig table.
  virtual PromptAnswer askYesNoAbort(std::string_view text) {
    (void)text;
    return PromptAnswer::No;
  }
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
  // The rig table a read would replace and the commands that save it; until
  // set, nothing is asked before a read.
  // The files also learn which radio each read's rows came from.
  void guardRigTable(const ChannelTable& rig, FileCommands& files);

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
  // The user asks for the bank to be read again: asked first like a choice,
  // and a port that is closed (it failed to open, or its device went away)
  // is opened again for it.
  void readBank();

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
  // Once a second. A device that was missing or went away is opened again
  // once its path is back; a radio that stopped answering is asked quietly
  // every few seconds. When it is there again the bank is read afresh, or,
  // when the rig table holds the user's work and they do not want it read
  // over, only the link is checked, so that the table can be stored.
  void tick();
  // The port is closed because its device is missing or went away.
  bool waitingForDevice() const { return waitingForDevice_; }

 private:
  // Closes the port, applies number and speed, opens it again; on failure
  // the box, the red label and smNoInit.
  bool reopen();
  enum class Failure { Reported, Quiet };
  bool open(Failure failure);
  // Locks the rig side, turns the LED red and reads the bank afresh; on a
  // closed port only the LED.
  void restart();
  enum class BeforeRead { Read, KeepTable, Abort };
  // Asks before a read would replace the user's work; Yes saves it first
  // (a Save As that is cancelled or fails counts as Abort).
  BeforeRead askBeforeRead();
  // After the radio came back: reads the bank, or (No, Abort) only checks the
  // link and leaves the rig table as it is.
  void readOrCheckLink();
  // The port is open but the radio timed out: asks it now and then.
  void watchSilentRadio();
  // A menu choice: false when the user aborted it, with the old choice shown
  // again. `reads` says whether the choice would read the bank.
  bool mayChoose(bool reads);
  LinkChoices choices() const;

  TSerial& serial_;
  Engine& engine_;
  DebugLog& log_;
  LinkWindow& window_;
  int portNumber_ = 0;
  int baudRate_ = 0;
  int modelIndex_ = 0;
  std::optional<std::int32_t> refusedBaudRate_;
  std::string address_;  // the last whole address of the field
  std::string band_{kBandTexts.front()};
  bool starting_ = false;
  bool searching_ = false;          // the radio search has the devices
  bool reopenAfterSearch_ = false;  // the port was open when the search began
  bool waitingForDevice_ = false;   // the port's device is watched for until it is there
  int quietTicks_ = 0;              // ticks since the radio stopped answering
  const ChannelTable* rig_ = nullptr;
  FileCommands* files_ = nullptr;
};

// "Lost connection to COM2 (/dev/ttyUSB0)."
std::string lostConnectionText(std::string_view portName, std::string_view device);

}  // namespace tarnwick
