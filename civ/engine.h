#pragma once
// The transfer engine: one state machine, stepped once a second by the
// window timer and after every answer that steps it. It reads a bank of
// memories into the rig table (collecting new channels into the permanent
// file), learns the duplex offsets of the IC-746 and IC-746Pro, writes
// changed rows back to the radio and tunes the radio to a row.
//
// Everything runs on the main thread. Work that arrives while a step is
// running (a tick, a received frame, a restart, a click, a repeat timer, fed
// in by a window call or a blocked send that lets the event loop run) is
// queued and taken up in arrival order when the outer step returns, so one
// step never runs inside another and every frame is dispatched exactly once.
//
// A request that has no answer within its line time and a turnaround margin
// (the line time of its shortest answer, longer while an answer is seen
// arriving) is sent again, up to kRepeatsPerRequest times, before the
// one-second countdown reports its time-out; the repeat timer is a single
// shot of the main thread.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "civ/civ_frame.h"
#include "civ/civ_port.h"
#include "civ/debug_log.h"
#include "civ/engine_window.h"
#include "civ/frame_assembler.h"
#include "civ/radio_address.h"
#include "files/rig_backups.h"
#include "rig/duplex_offsets.h"
#include "rig/memory_contents.h"
#include "rig/separators.h"
#include "serial/main_thread.h"
#include "tables/channel_table.h"
#include "tables/table_observer.h"

namespace tarnwick {

class PermanentFileIndex;
class TableRecorder;

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
  smVerifyMemory = 25,  // a written memory is being read back
  smBackupMemory = 26,  // a memory a store will overwrite is being read for a backup
  smTuneDataMode = 27,  // a tune sets data mode on or off (IC-7300 family)
  smCheckLink = 28,     // the radio is asked for its frequency, the rig table left as it is
  smCheckLinkAnswer = 29,
};

// What the radio left unanswered when a command timed out; the number shows
// in the status bar ("Timeout (15)") and the debug log, so it never changes.
enum class TimeoutCode : int {
  SelectVfoOk = 1,
  VfoFrequency = 2,
  VfoMode = 3,
  OffsetHfTuneOk = 4,
  OffsetHfDuplexOk = 5,
  OffsetHf = 6,
  Offset50TuneOk = 7,
  Offset50DuplexOk = 8,
  Offset50 = 9,
  Offset144TuneOk = 10,
  Offset144DuplexOk = 11,
  Offset144 = 12,
  RestoreFrequencyOk = 13,
  RestoreModeOk = 14,
  MemoryContents = 15,  // a memory read for the bank, a backup
  MemoryWrite = 16,     // a memory write, or reading it back
  TuneFrequency = 17,
  TuneMode = 18,
  ProOffsetHf = 19,
  ProOffset50 = 20,
  ProOffset144 = 21,
  LinkCheck = 22,  // the frequency asked for by a link check
};

// What Store to Rig says when no row is marked, across the two status
// panels; the left one is narrow.
inline constexpr std::string_view kNothingToStore = "Nothing to store:";
inline constexpr std::string_view kNothingToStoreHint =
    "no row is marked Changed. Mark All as Changed stores the whole table.";

// Steps a command gets before its time-out report.
inline constexpr int kStepsPerCommand = 4;

// Times a request without an answer is sent again.
inline constexpr int kRepeatsPerRequest = 2;
// What a radio (and a USB adapter in between) may take beyond the line time
// before its answer starts.
inline constexpr std::chrono::milliseconds kTurnaroundMargin{20};
// Received frames kept while a step waits (a box is open, a send is
// blocked); the oldest beyond this are dropped.
inline constexpr std::size_t kMaxQueuedFrames = 64;
// Bytes read per receive event before other work of the main thread runs.
inline constexpr int kMaxBytesPerWakeup = 1024;
// Controller addresses the "ID: " line lists, the latest ones.
inline constexpr std::size_t kIdListEntries = 16;

// How long to wait for an answer: the request and the answer on the line at
// 10 bits a byte, and the turnaround margin.
std::chrono::milliseconds answerWait(int baud, std::size_t requestBytes, std::size_t answerBytes);

// A row a store did not write as it stands, and why.
enum class StoreProblemKind {
  Refused,       // the radio answered NG
  ReadsBack,     // the radio holds something else than was written
  NotEncodable,  // a text the memory cannot carry; nothing was sent
  NeverRead,     // a memory nobody has seen; nothing was sent
  NoBackup,      // the memories could not be backed up; nothing was sent
};
struct StoreProblem {
  int row = 0;
  StoreProblemKind kind = StoreProblemKind::Refused;
  std::string text;  // "Memory 7 reads back different: Tone Squelch"
};
// A row stored with a name longer than the memory keeps: the radio holds
// the first characters only.
struct CutName {
  int row = 0;
  std::string kept;  // the name as the memory holds it, padding removed
};

// What the last answers said. The engine sets a slot to its sentinel before
// it asks; the dispatcher fills it.
struct AnswerSlots {
  bool okReceived = false;
  bool ngReceived = false;
  std::int32_t vfoFrequency = -1;  // Hz
  Byte vfoMode = 0xFF;
  Byte vfoFilter = 0;
  std::int32_t lastOffset = -1;  // Hz
  std::string idList;            // the latest kIdListEntries addresses, "E2 E4 "
};

class Engine : private TableObserver {
 public:
  // The main thread runs the repeat timers and the rest of a long burst of
  // received bytes. Backups go to the user's data folder until set otherwise;
  // without one, a store that needs a backup stores nothing.
  Engine(ChannelTable& permanent, ChannelTable& rig, PermanentFileIndex& index, CivPort& port,
         DebugLog& log, EngineWindow& window, MainThread& mainThread);
  ~Engine() override;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // --- Events from the window and the port -------------------------------
  // The 1000 ms timer tick: one step.
  void tick();
  // The port has received bytes: read them all and assemble frames; each
  // completed frame is dispatched before the next byte is read.
  void bytesReceived();
  // "Store to Rig": writes every rig row whose Changed box is ticked.
  void storeChangedRows();
  // Double click on a cell of either table: a Frequency cell tunes the radio
  // to that row while the engine is idle.
  void tuneFromCell(const ChannelTable& table, int row, int col);

  // --- Ending early ---------------------------------------------------------
  // Stop: a running read ends at its next step, keeping what it read; a
  // store ends once the write on the line has been answered, and reports
  // what it did. Nothing happens when no read or store runs.
  void stopTransfer();
  // The port has gone away: a running transfer ends as at a time-out (what
  // was read stays, nothing more is written), the rig side is free for work
  // without the radio, and the engine waits in smNoInit showing left/right
  // until it is steered again.
  void connectionLost(std::string left, std::string right);
  // A read, a store or their offset and backup sequences are under way.
  bool transferRunning() const;

  // --- Steering -----------------------------------------------------------
  // smRestart (new port, speed, model, address or band), smNoInit (the port
  // could not be opened). Applied after a running step has returned.
  void setEngineState(EngineState state);
  // The radio answers again but the rig table holds work of the user's: ask
  // the radio for its frequency only and go idle, so that the table can be
  // stored to it. The rig side stays locked until the answer or the time-out.
  void checkLink();
  // After a time-out the radio is asked for its frequency now and then,
  // without a word on screen, so that a radio switched on again is noticed;
  // radioAnsweredAgain() then says so, once. Only while the engine is idle
  // after a time-out.
  bool waitsForRadio() const { return engineState_ == smIdle && noAnswer_; }
  void askRadioQuietly();
  bool radioAnsweredAgain();
  // Model index and the bank size that goes with it.
  void setModel(int modelIndex);
  // The radio's address, as the address field gives it; the next command
  // goes there. One that is not an address sends nothing and says so.
  // 0x00 until set.
  void setAddress(RadioAddress address) { address_ = std::move(address); }
  // The IC-910 band its reads, writes and backups use from the next command
  // on, by its code (1 144 MHz, 2 430 MHz, 3 1240 MHz, as bankCodeOf gives
  // it; any other code is band 1). Band 1 until set.
  void setBand(Byte bankCode);
  void setOffsets(const DuplexOffsets& offsets) { offsets_ = offsets; }
  // Separators for frequency texts; the user's locale when not set.
  void setSeparators(Separators sep) { separators_ = sep; }
  // Read every written memory back and compare it (on by default).
  void setVerifyAfterStore(bool on) { verifyAfterStore_ = on; }
  bool verifyAfterStore() const { return verifyAfterStore_; }
  // Where completed reads and the memories a store overwrites are kept; an
  // empty path keeps no backups on purpose (and a store then reads nothing
  // first).
  void setBackupFolder(std::filesystem::path folder);
  const BackupFolder& backups() const { return backups_; }

  // --- The link -----------------------------------------------------------
  // Frames and sends one command; does nothing when the port is closed.
  void sendCommand(Byte address, std::span<const Byte> payload);
  // The address commands go to; nothing when the address field holds no
  // address.
  std::optional<Byte> radioAddress() const { return address_.value; }
  // Dispatches the queued frames (unless a step is running; it then
  // dispatches them when it returns).
  void processReceivedFrames();

  // --- Parts of the step, public for the window and tests ------------------
  void reportTimeout(TimeoutCode code);
  // First rig row (from row 1, up to the model's last stored row) whose
  // Changed cell is exactly "1"; -1 when none.
  int findNextChanged() const;
  // Whether the last read received the memory (a read that does not
  // complete gives the rig table back, so the table cannot tell).
  bool wasReceived(int memory) const;
  // Rig rows a store would write (Changed "1", or "2" while it runs).
  int markedRows() const;

  // --- Inspection -----------------------------------------------------------
  EngineState engineState() const { return engineState_; }
  // Whether the radio can be talked to: a port was opened and the last
  // request was answered (or none has failed yet). Store to Rig and tuning
  // need it; without it the rig table is the user's to edit and save.
  bool linkUp() const { return engineState_ != smNoInit && !noAnswer_; }
  int currentMemory() const { return currentMemory_; }
  int ticksLeft() const { return ticksLeft_; }
  int lastMemoryNumber() const { return lastMemoryNumber_; }
  int modelIndex() const { return modelIndex_; }
  Byte band() const { return band_; }
  const DuplexOffsets& offsets() const { return offsets_; }
  const AnswerSlots& answers() const { return answers_; }
  const DecodedMemory& decodedMemory() const { return decoded_; }
  Byte tuneMode() const { return tuneMode_; }
  // Which commands of the last tune the radio refused (NG); the tune goes on
  // regardless, so only a front end that reports results looks at this.
  struct TuneRefusals {
    bool frequency = false;
    bool mode = false;
    bool dataMode = false;
  };
  TuneRefusals tuneRefusals() const { return tuneRefusals_; }
  Byte tuneFilter() const { return tuneFilter_; }
  RxState rxState() const { return assembler_.rxState(); }
  std::size_t queuedFrames() const { return receiveQueue_.size(); }
  bool stepRunning() const { return stepRunning_; }
  // Rows the last store did not write as they stand, in the order found;
  // cleared when a store starts.
  const std::vector<StoreProblem>& storeProblems() const { return storeProblems_; }
  // The name length the radio answered for the memory (or, for a blank one,
  // for its other memories); 0 before any answer with a name.
  int answeredNameLengthOf(int memory) const;
  // While a store runs: "11 of 102 stored; 91 still ticked for the next
  // Store to Rig"; empty otherwise.
  std::string storeProgressNote() const;
  // The radio being read, as a memory list file records it: "IC-7300",
  // "IC-910 430 MHz".
  std::string radioName() const;
  // Told the radio's name whenever a read leaves its rows in the rig table,
  // and whether it reached the last memory (false: the user stopped it). A
  // read that fails puts the table back as it was, undo history included,
  // and tells nothing.
  void setRowsReadHandler(std::function<void(const std::string&, bool complete)> handler) {
    rowsRead_ = std::move(handler);
  }
  // Rows the last store wrote with their names cut to the memory's length.
  const std::vector<CutName>& cutNames() const { return cutNames_; }
  // The backup written last (a completed read, or before a store).
  const BackupOutcome& lastBackup() const { return lastBackup_; }
  // Memories of this radio that a backup made since the rig table was last
  // filled holds; a store reads the others first.
  const std::set<int>& backedUpMemories() const { return backedUp_; }

 private:
  struct BackupRead;

  // Runs `work` now, or after the running step when one is under way.
  void post(std::function<void()> work);
  // Runs queued work, frames and a pending tick one at a time.
  void runPending();
  void dispatch(const CivFrame& frame);
  // One step of the state machine ("sm state" line first).
  void step();
  // Counts a step without the awaited answer; reports the time-out at 0.
  void countdown(TimeoutCode code);
  // Sets the next state and the time-out, then sends to the radio's address.
  void sendAndGo(EngineState next, std::span<const Byte> payload);
  // Sends to the radio's address; false when nothing went out.
  bool sendToRadio(std::span<const Byte> payload);
  void reportAddressError();
  // What to check when the radio does not answer: model, address, speed.
  std::string notRespondingHint() const;
  // The band box's text of the band, as backups name it.
  std::string_view bandText() const;
  Separators separators() const;
  void queueFrame(CivFrame frame);

  // engine_repeat.cpp
  // Sends a new request for the current state and arms its repeat timer.
  void sendRequest(std::span<const Byte> payload);
  void repeatRequest(const std::string& reason);
  void armRepeat(std::chrono::milliseconds wait);
  void cancelRepeat();
  void repeatDue(unsigned serial);
  // A late answer to an earlier request came while ours is out.
  void answerStillDue();
  bool awaitedAnswerArrived() const;
  enum class AnswerLength { Shortest, Longest };
  std::size_t expectedAnswerBytes(AnswerLength length) const;

  // engine_read.cpp
  void stepRestart();
  void stepCheckLink();
  // Frees the rig table for the user when no transfer can go on.
  void freeRigSide();
  // Tells the window when linkUp() changed.
  void noteLink();
  void stepReadMemory();
  void stepIc746Offsets();
  void stepIc746ProOffsets();
  void requestMemory(EngineState next);
  // The set-frequency command (05) for a frequency in hertz.
  static std::vector<Byte> setFrequencyPayload(std::int32_t hz);
  // An answer came for `got`, not the memory asked for: waits on after a
  // late answer to an earlier request, asks again after a later memory.
  // False when it is out of repeats and the caller decides.
  bool awaitAskedMemory(int got);
  // Fills the memory's rig row from the decoded answer.
  void acceptMemory(const DecodedMemory& answer);
  void showReading();  // "Reading #" the memory asked for
  void finishRead();
  // The end of a read or a store: the status, the rig side free, idle.
  void endTransfer(std::string_view left, std::string_view right);
  // The rig table as it was before the read emptied it, kept until the read
  // ends: the edit history is held off the table meanwhile, so that a read
  // that fails can give back the table and its undo steps.
  void keepRigTable();
  // The read's rows stay (true) or the table kept goes back (false).
  void endRead(bool keepRows);
  // engine_store.cpp
  void startStore();
  void writeNextRow();
  void stepWriteMemory();
  void stepVerifyMemory();
  void writeRow(int row);
  // The row just written is in the radio as written.
  void rowStored();
  void markRow(int row, std::string_view mark);
  void addProblem(int row, StoreProblemKind kind, std::string text);
  void finishStore();
  // Rows the radio refused are ticked again, so the next store retries them.
  void retickRefusedRows();
  // engine_stop.cpp
  void stopRead();
  void stopStore();
  // Why a marked row is not written; empty when it is.
  std::string whyNotWritten(int row) const;
  void startTune(const ChannelTable& table, int row, int col);
  void stepTune();
  // engine_tune.cpp
  // After the mode, a radio that keeps data mode apart is told it (1A 06);
  // false when the model has no such command.
  bool sendTuneDataMode();
  void stepTuneDataMode();
  // engine_backup.cpp
  std::string radioIdentity() const;
  void saveReadBackup();
  // The marked rows a store would write that no backup holds yet.
  std::vector<int> rowsWithoutBackup() const;
  void startBackupRead(std::vector<int> memories);
  void requestBackupMemory();
  void stepBackupMemory();
  void finishBackupRead();
  // Ends a store that sent nothing because its backup could not be made.
  void refuseStoreWithoutBackup(const std::string& reason);
  void modelReset() override;

  ChannelTable& permanent_;
  ChannelTable& rig_;
  PermanentFileIndex& index_;
  CivPort& port_;
  DebugLog& log_;
  EngineWindow& window_;
  MainThread& mainThread_;

  EngineState engineState_ = smNoInit;
  bool noAnswer_ = false;   // the last request timed out
  bool answeredAgain_ = false;  // a quiet question was answered after a time-out
  bool linkShown_ = false;  // linkUp() as the window was last told
  int currentMemory_ = 0;
  int ticksLeft_ = 0;
  int lastMemoryNumber_ = 0;
  int modelIndex_ = 0;
  RadioAddress address_;
  Byte band_ = 1;
  DuplexOffsets offsets_;
  AnswerSlots answers_;
  DecodedMemory decoded_;
  Byte tuneMode_ = 0;
  Byte tuneFilter_ = 0;
  bool tuneData_ = false;  // the row's mode is a data mode
  TuneRefusals tuneRefusals_;
  std::optional<Separators> separators_;

  FrameAssembler assembler_;
  std::deque<CivFrame> receiveQueue_;
  std::size_t droppedFrames_ = 0;
  bool rxContinuationPosted_ = false;
  std::deque<std::function<void()>> deferred_;
  bool tickPending_ = false;
  bool stepRunning_ = false;
  // Lets work handed to the main thread see that the engine is gone.
  std::shared_ptr<char> alive_ = std::make_shared<char>(0);

  // The request out now, for its repeats.
  std::vector<Byte> request_;
  EngineState requestState_ = smNoInit;
  unsigned requestSerial_ = 0;
  int repeatsLeft_ = 0;
  int repeatTimer_ = 0;              // 0: none armed
  std::uint64_t receivedBytes_ = 0;  // every byte read off the port
  std::uint64_t receivedAtArm_ = 0;  // ... when the repeat timer was set
  std::chrono::milliseconds requestWait_{0};

  // Memories the running read has received, by number.
  std::vector<char> received_;

  bool verifyAfterStore_ = true;
  std::vector<Byte> writtenPayload_;
  Byte memoryAnswerSource_ = 0;  // source address of the last memory answer
  std::string malformedAnswer_;  // what was wrong with the answer to the request out now
  std::vector<StoreProblem> storeProblems_;
  // The name length each memory last answered with (memory number -> bytes),
  // for radios whose names come in two lengths; none: the full length.
  std::map<int, int> answeredNameLength_;
  int rowsStored_ = 0;   // rows the running store wrote (and read back the same)
  int rowsToStore_ = 0;  // rows marked when the running store began
  std::vector<CutName> cutNames_;
  std::optional<std::string> writtenCut_;  // the name the row being written is cut to
  std::string tunedText_;  // what the running tune reports when the radio took it

  bool stopRequested_ = false;
  // What smNoInit shows: a port that could not be opened, or one that went away.
  std::string noInitLeft_ = "No init";
  std::string noInitRight_ = "Error";

  BackupFolder backups_;
  BackupOutcome lastBackup_;
  std::set<int> backedUp_;
  std::string backedUpFor_;  // radioIdentity() of backedUp_
  std::unique_ptr<BackupRead> backupRead_;

  struct KeptRigTable {
    std::vector<ChannelRecord> rows;
    std::vector<char> checkBoxes;
    bool modified = false;
    TableRecorder* recorder = nullptr;
  };
  std::optional<KeptRigTable> keptRig_;
  std::function<void(const std::string&, bool complete)> rowsRead_;
};

}  // namespace tarnwick
