// The link side of the engine: sending commands, assembling and dispatching
// received frames, and the one-step-at-a-time guard.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "civ/backup_read.h"
#include "civ/engine.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"

namespace tarnwick {
namespace {

// Whether a frame answers what this program asked the radio at `radio`. On a
// bus shared by several radios, another radio answers another program that
// uses the controller address E0 too (most do), and its frames end nothing
// of ours. A radio asked over the broadcast address may answer from any
// address; without an address nothing was asked.
bool answersAskedRadio(const CivFrame& frame, std::optional<Byte> radio) {
  if (!isForController(frame) || !radio) return false;
  return frame.source == *radio || *radio == civ::kBroadcastAddress;
}

}  // namespace

Engine::Engine(ChannelTable& permanent, ChannelTable& rig, PermanentFileIndex& index, CivPort& port,
               DebugLog& log, EngineWindow& window, MainThread& mainThread)
    : permanent_(permanent),
      rig_(rig),
      index_(index),
      port_(port),
      log_(log),
      window_(window),
      mainThread_(mainThread),
      backups_(BackupFolder::userFolder()) {
  rig_.addObserver(this);
}

Engine::~Engine() {
  cancelRepeat();
  rig_.removeObserver(this);
}

Separators Engine::separators() const {
  return separators_.value_or(Separators::current());
}

void Engine::setEngineState(EngineState state) {
  post([this, state] {
    engineState_ = state;
    stopRequested_ = false;
    noInitLeft_ = "No init";
    noInitRight_ = "Error";
    // A closed port ends any transfer: the rig table is the user's again.
    if (state == smNoInit) freeRigSide();
  });
}

void Engine::checkLink() {
  post([this] { engineState_ = smCheckLink; });
}

void Engine::askRadioQuietly() {
  const std::optional<Byte> address = radioAddress();
  if (!waitsForRadio() || !address) return;
  sendCommand(*address, std::array<Byte, 1>{civ::kCmdReadFrequency});
}

bool Engine::radioAnsweredAgain() {
  // A read or a link check started since has answered the question itself.
  return std::exchange(answeredAgain_, false) && waitsForRadio();
}

void Engine::setModel(int modelIndex) {
  post([this, modelIndex] {
    modelIndex_ = modelIndex;
    answeredNameLength_.clear();
    const RigModel* model = findRigModel(modelIndex);
    lastMemoryNumber_ = model != nullptr ? model->lastMemoryRead() : 0;
  });
}

void Engine::setBand(Byte bankCode) {
  band_ = bankCode >= 1 && bankCode <= kBandTexts.size() ? bankCode : 1;
}

std::string_view Engine::bandText() const {
  return kBandTexts[band_ - 1u];
}

void Engine::tick() {
  // Ticks that pile up while a step waits count once, like a window timer.
  tickPending_ = true;
  runPending();
}

void Engine::storeChangedRows() {
  post([this] { startStore(); });
}

void Engine::tuneFromCell(const ChannelTable& table, int row, int col) {
  post([this, &table, row, col] { startTune(table, row, col); });
}

void Engine::post(std::function<void()> work) {
  deferred_.push_back(std::move(work));
  runPending();
}

void Engine::runPending() {
  if (stepRunning_) return;  // the outer step picks it up when it returns
  struct Running {
    bool& flag;
    DebugLog& log;
    Running(bool& f, DebugLog& l) : flag(f), log(l) {
      flag = true;
      log.hold();
    }
    ~Running() {
      flag = false;
      log.release();
    }
  } running(stepRunning_, log_);
  for (;;) {
    if (!deferred_.empty()) {
      std::function<void()> work = std::move(deferred_.front());
      deferred_.pop_front();
      work();
    } else if (!receiveQueue_.empty()) {
      if (droppedFrames_ > 0) {
        log_.appendDebugLine("Dropped " + std::to_string(droppedFrames_) +
                             " received frames: too many waiting");
        droppedFrames_ = 0;
      }
      const CivFrame frame = receiveQueue_.front();
      receiveQueue_.pop_front();
      dispatch(frame);
    } else if (tickPending_) {
      tickPending_ = false;
      step();
    } else {
      break;
    }
  }
  noteLink();
}

void Engine::noteLink() {
  if (linkUp() == linkShown_) return;
  linkShown_ = linkUp();
  window_.linkChanged(linkShown_);
}

void Engine::sendCommand(Byte address, std::span<const Byte> payload) {
  if (!port_.active()) return;
  answers_.okReceived = false;
  answers_.ngReceived = false;
  std::vector<Byte> frame;
  frame.reserve(payload.size() + 5);
  frame.push_back(civ::kPreamble);
  frame.push_back(civ::kPreamble);
  frame.push_back(address);
  frame.push_back(civ::ControllerAddress);
  frame.insert(frame.end(), payload.begin(), payload.end());
  frame.push_back(civ::kEndOfMessage);
  log_.appendDebugLine("TX: " + hexDump(frame));
  port_.sendString(frame);
  log_.flush();  // the lines of this turn, now that the request is out
}

bool Engine::sendToRadio(std::span<const Byte> payload) {
  // A model without a memory layout has nothing to send, and the waiting
  // state then times out, so an OK or NG left over from an earlier command
  // must not count for it.
  answers_.okReceived = false;
  answers_.ngReceived = false;
  if (payload.empty()) return false;
  const std::optional<Byte> address = radioAddress();
  if (!address) {
    reportAddressError();
    return false;
  }
  if (!port_.active()) return false;
  sendCommand(*address, payload);
  return true;
}

void Engine::reportAddressError() {
  const std::string& text = address_.text;
  log_.appendDebugLine("Address error: \"" + text + "\" is not a hexadecimal CI-V address");
  window_.setStatus("Address error", "\"" + text + "\" is not a hexadecimal address");
  // Nothing can go out until the address is mended: waiting for a time-out
  // would only blame the radio.
  cancelRepeat();
  engineState_ = smIdle;
}

void Engine::sendAndGo(EngineState next, std::span<const Byte> payload) {
  // The new state is in place before the bytes go out, so an answer that is
  // handled during the send already meets it.
  engineState_ = next;
  ticksLeft_ = kStepsPerCommand;
  sendRequest(payload);
}

void Engine::bytesReceived() {
  Byte b = 0;
  int read = 0;
  while (read < kMaxBytesPerWakeup && port_.readByte(b) == 1) {
    ++read;
    ++receivedBytes_;
    if (std::optional<CivFrame> frame = assembler_.feed(b)) {
      queueFrame(std::move(*frame));
      processReceivedFrames();
    }
  }
  if (read < kMaxBytesPerWakeup || rxContinuationPosted_) return;
  // A long burst: the rest is read after the main thread's other work. The
  // port announces no bytes it announced before, so someone must come back.
  rxContinuationPosted_ = true;
  mainThread_.post([this, alive = std::weak_ptr<char>(alive_)] {
    if (alive.expired()) return;
    rxContinuationPosted_ = false;
    bytesReceived();
  });
}

void Engine::queueFrame(CivFrame frame) {
  if (receiveQueue_.size() >= kMaxQueuedFrames) {
    receiveQueue_.pop_front();
    ++droppedFrames_;
  }
  receiveQueue_.push_back(std::move(frame));
}

void Engine::processReceivedFrames() {
  runPending();
}

void Engine::dispatch(const CivFrame& frame) {
  // Of the frames for others (and other radios' frames to our address) only
  // the ID answers are noted, and they step nothing. A radio's dial reports
  // repeat many times a second: the log counts the same frame instead.
  const bool forUs = answersAskedRadio(frame, radioAddress());
  const std::string line = "Rx: " + frameDump(frame);
  forUs ? log_.appendDebugLine(line) : log_.appendRepeatable(line);
  if (!forUs && frame.command != civ::kCmdReadId) return;
  if (forUs && waitsForRadio()) answeredAgain_ = true;
  const auto& d = frame.data;
  bool stepsEngine = true;
  switch (frame.command) {
    case civ::kCmdReadFrequency:
      // A cut-off answer is no answer, never 0 Hz to tune back to later.
      if (frame.payload().size() >= civ::kFrequencyData) {
        answers_.vfoFrequency = decodeBcdFrequency(frame.payload(), 0);
      }
      break;
    case civ::kCmdReadMode:
      answers_.vfoMode = d[0];
      answers_.vfoFilter = d[1];
      break;
    case civ::kCmdReadOffset:
      // 100 Hz units, least significant byte first on the wire.
      answers_.lastOffset = 100 * decodeBcd6(d[2], d[1], d[0]);
      break;
    case civ::kCmdReadId: {
      static constexpr char kHex[] = "0123456789ABCDEF";
      std::string& ids = answers_.idList;
      ids += kHex[d[1] >> 4];
      ids += kHex[d[1] & 0x0F];
      ids += ' ';
      // The latest addresses only: a bus full of ID frames must not grow
      // each log line (and the log) without end.
      constexpr std::size_t kEntryLength = 3;
      if (ids.size() > kIdListEntries * kEntryLength) {
        ids.erase(0, ids.size() - kIdListEntries * kEntryLength);
      }
      forUs ? log_.appendDebugLine("ID: " + ids) : log_.appendRepeatable("ID: " + ids);
      break;
    }
    case civ::kCmdMemory:
      if (d[0] == civ::kSubMemoryContents) {
        // A malformed answer (cut off, a name in a length the memory does
        // not keep) leaves the decoded memory as it was, so the waiting
        // reader counts this step like silence and asks again, saying why.
        if (decodeMemoryContents(frame.source, frame.payload(), modelIndex_, decoded_)) {
          memoryAnswerSource_ = frame.source;
          // A radio whose names come in two lengths is written back in the
          // length it answered for that memory.
          if (!decoded_.name.empty()) {
            answeredNameLength_[decoded_.memoryNumber] = static_cast<int>(decoded_.name.size());
          }
        } else {
          malformedAnswer_ = memoryAnswerFault(frame.payload(), modelIndex_);
          log_.appendDebugLine("Malformed answer: " + malformedAnswer_);
        }
      } else {
        stepsEngine = false;
        if (d[0] == civ::kSubSettings &&
            (d[1] == civ::kItemOffsetHf || d[1] == civ::kItemOffset50 ||
             d[1] == civ::kItemOffset144)) {
          answers_.lastOffset = 100 * decodeBcd6(d[4], d[3], d[2]);
        }
      }
      break;
    case civ::kNg:
      answers_.ngReceived = true;
      break;
    case civ::kOk:
      answers_.okReceived = true;
      break;
    default:
      stepsEngine = false;
      break;
  }
  if (stepsEngine && forUs) step();
}

}  // namespace tarnwick
