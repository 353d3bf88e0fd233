#pragma once
// The transfer engine: one state machine, stepped once a second by the
// window timer and after every answer that steps it. It reads a bank of
// memories into the rig table (collecting new channels into the permanent
// file), learns the duplex offsets of the IC-746 and IC-746Pro, writes
// changed rows back to the radio and tunes the radio to a row.
//
// Everything runs on the main thread. Work that arrives while a step is
// running (a tick, a received frame, a restart, a click, fed in by a window
// call or a blocked send that lets the event loop run) is queued and taken
// up in arrival order when the outer step returns, so one step never runs
// inside another and every frame is dispatched exactly once.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "civ/civ_frame.h"
#include "civ/civ_port.h"
#include "civ/debug_log.h"
#include "civ/engine_window.h"
#include "civ/frame_assembler.h"
#include "rig/duplex_offsets.h"
#include "rig/memory_contents.h"
#include "rig/separators.h"
#include "tables/channel_table.h"

namespace tarnwick {

class PermanentFileIndex;

enum EngineState : std::uint8_t {
  smNoInit = 0,
  smIdle = 1,
  smRestart = 2,
  smReadMemory = 3,
  smWriteMemory = 4,
  smTuneFrequency = 5,
  smTuneMode = 6,
  smStopped = 7,
  smSelectVfo = 8,
  smReadVfoFrequency = 9,
  smReadVfoMode = 10,
  smTuneHf = 11,
  smDuplexHf = 12,
  smOffsetHf = 13,
  smTune50 = 14,
  smDuplex50 = 15,
  smOffset50 = 16,
  smTune144 = 17,
  smDuplex144 = 18,
  smOffset144 = 19,
  smRestoreFrequency = 20,
  smRestoreMode = 21,
  smProOffsetHf = 22,
  smProOffset50 = 23,
  smProOffset144 = 24,
};

// Steps a command gets before its time-out report.
inline constexpr int kStepsPerCommand = 4;

// What the last answers said. The engine sets a slot to its sentinel before
// it asks; the dispatcher fills it.
struct AnswerSlots {
  bool okReceived = false;
  bool ngReceived = false;
  std::int32_t vfoFrequency = -1;  // Hz
  Byte vfoMode = 0xFF;
  Byte vfoFilter = 0;
  std::int32_t lastOffset = -1;  // Hz
  std::string idList;            // grows for the whole run
};

class Engine {
 public:
  Engine(ChannelTable& permanent, ChannelTable& rig, PermanentFileIndex& index, CivPort& port,
         DebugLog& log, EngineWindow& window);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // --- Events from the window and the port -------------------------------
  // The 1000 ms timer tick: one step.
  void Timer1Timer();
  // The port has received bytes: read them all and assemble frames; each
  // completed frame is dispatched before the next byte is read.
  void Serial1RxData();
  // "Store to Rig": writes every rig row whose Changed box is ticked.
  void btRStoreClick();
  // Double click on a cell of either table: a Frequency cell tunes the radio
  // to that row while the engine is idle.
  void sgRigDblClickCell(const ChannelTable& table, int row, int col);

  // --- Steering -----------------------------------------------------------
  // smRestart (new port, speed, model, address or band), smNoInit (the port
  // could not be opened). Applied after a running step has returned.
  void setEngineState(EngineState state);
  // Model index and the bank size that goes with it.
  void setModel(int modelIndex);
  void setOffsets(const DuplexOffsets& offsets) { offsets_ = offsets; }
  // Separators for frequency texts; the user's locale when not set.
  void setSeparators(Separators sep) { separators_ = sep; }

  // --- The link -----------------------------------------------------------
  // Frames and sends one command; does nothing when the port is closed.
  void sendCommand(Byte address, std::span<const Byte> payload);
  // The address field read as hex (trailing blanks and control characters
  // ignored, empty = 0x00); nothing when it is not a hex byte.
  std::optional<Byte> radioAddress() const;
  // Dispatches the queued frames (unless a step is running; it then
  // dispatches them when it returns).
  void processReceivedFrames();

  // --- Parts of the step, public for the window and tests ------------------
  void reportTimeout(int number);
  // First rig row (from row 1, up to the model's last stored row) whose
  // Changed cell is exactly "1"; -1 when none.
  int findNextChanged() const;

  // --- Inspection -----------------------------------------------------------
  EngineState engineState() const { return engineState_; }
  int currentMemory() const { return currentMemory_; }
  int ticksLeft() const { return ticksLeft_; }
  int lastMemoryNumber() const { return lastMemoryNumber_; }
  int modelIndex() const { return modelIndex_; }
  const DuplexOffsets& offsets() const { return offsets_; }
  const AnswerSlots& answers() const { return answers_; }
  const DecodedMemory& decodedMemory() const { return decoded_; }
  Byte tuneMode() const { return tuneMode_; }
  // Which commands of the last tune the radio refused (NG); the tune goes on
  // regardless, so only a front end that reports results looks at this.
  struct TuneRefusals {
    bool frequency = false;
    bool mode = false;
  };
  TuneRefusals tuneRefusals() const { return tuneRefusals_; }
  Byte tuneFilter() const { return tuneFilter_; }
  RxState rxState() const { return assembler_.rxState(); }
  std::size_t queuedFrames() const { return receiveQueue_.size(); }
  bool stepRunning() const { return stepRunning_; }

 private:
  // Runs `work` now, or after the running step when one is under way.
  void post(std::function<void()> work);
  // Runs queued work, frames and a pending tick one at a time.
  void runPending();
  void dispatch(const CivFrame& frame);
  // One step of the state machine ("sm state" line first).
  void step();
  // Counts a step without the awaited answer; reports time-out `number` at 0.
  void countdown(int number);
  // Sets the next state and the time-out, then sends to the window's address.
  void sendAndGo(EngineState next, std::span<const Byte> payload);
  void sendToRadio(std::span<const Byte> payload);
  Separators separators() const;

  // engine_read.cpp
  void stepRestart();
  void stepReadMemory();
  void stepIc746Offsets();
  void stepIc746ProOffsets();
  void requestMemory(EngineState next);
  // engine_store.cpp
  void startStore();
  void stepWriteMemory();
  void writeRow(int row);
  void startTune(const ChannelTable& table, int row, int col);
  void stepTune();

  ChannelTable& permanent_;
  ChannelTable& rig_;
  PermanentFileIndex& index_;
  CivPort& port_;
  DebugLog& log_;
  EngineWindow& window_;

  EngineState engineState_ = smNoInit;
  int currentMemory_ = 0;
  int ticksLeft_ = 0;
  int lastMemoryNumber_ = 0;
  int modelIndex_ = 0;
  DuplexOffsets offsets_;
  AnswerSlots answers_;
  DecodedMemory decoded_;
  Byte tuneMode_ = 0;
  Byte tuneFilter_ = 0;
  TuneRefusals tuneRefusals_;
  std::optional<Separators> separators_;

  FrameAssembler assembler_;
  std::deque<CivFrame> receiveQueue_;
  std::deque<std::function<void()>> deferred_;
  bool tickPending_ = false;
  bool stepRunning_ = false;
};

}  // namespace tarnwick
