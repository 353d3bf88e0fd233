// The link side of the engine: sending commands, assembling and dispatching
// received frames, and the one-step-at-a-time guard.

#include <string>
#include <utility>
#include <vector>

#include "civ/engine.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {

Engine::Engine(ChannelTable& permanent, ChannelTable& rig, PermanentFileIndex& index, CivPort& port,
               DebugLog& log, EngineWindow& window)
    : permanent_(permanent), rig_(rig), index_(index), port_(port), log_(log), window_(window) {}

Separators Engine::separators() const {
  return separators_.value_or(Separators::current());
}

void Engine::setEngineState(EngineState state) {
  post([this, state] { engineState_ = state; });
}

void Engine::setModel(int modelIndex) {
  post([this, modelIndex] {
    modelIndex_ = modelIndex;
    const RigModel* model = findRigModel(modelIndex);
    lastMemoryNumber_ = model != nullptr ? model->lastMemoryRead() : 0;
  });
}

void Engine::Timer1Timer() {
  // Ticks that pile up while a step waits count once, like a window timer.
  tickPending_ = true;
  runPending();
}

void Engine::btRStoreClick() {
  post([this] { startStore(); });
}

void Engine::sgRigDblClickCell(const ChannelTable& table, int row, int col) {
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
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } running(stepRunning_);
  for (;;) {
    if (!deferred_.empty()) {
      std::function<void()> work = std::move(deferred_.front());
      deferred_.pop_front();
      work();
    } else if (!receiveQueue_.empty()) {
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
}

std::optional<Byte> Engine::radioAddress() const {
  std::string text = window_.addressText();
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  if (text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<Byte>(value);
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
}

void Engine::sendToRadio(std::span<const Byte> payload) {
  // A model without a memory layout has nothing to send; an address field
  // that is not hex sends nothing either. The waiting state then times out,
  // so an OK or NG left over from an earlier command must not count for it.
  answers_.okReceived = false;
  answers_.ngReceived = false;
  if (payload.empty()) return;
  if (const std::optional<Byte> address = radioAddress()) sendCommand(*address, payload);
}

void Engine::sendAndGo(EngineState next, std::span<const Byte> payload) {
  // The new state is in place before the bytes go out, so an answer that is
  // handled during the send already meets it.
  engineState_ = next;
  ticksLeft_ = kStepsPerCommand;
  sendToRadio(payload);
}

void Engine::Serial1RxData() {
  Byte b = 0;
  while (port_.readByte(b) == 1) {
    if (std::optional<CivFrame> frame = assembler_.feed(b)) {
      receiveQueue_.push_back(std::move(*frame));
      processReceivedFrames();
    }
  }
}

void Engine::processReceivedFrames() {
  runPending();
}

void Engine::dispatch(const CivFrame& frame) {
  log_.appendDebugLine("Rx: " + frameDump(frame));
  const auto& d = frame.data;
  bool stepsEngine = true;
  switch (frame.command) {
    case civ::kCmdReadFrequency:
      answers_.vfoFrequency = decodeBcdFrequency(frame.payload(), 0);
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
      answers_.idList += kHex[d[1] >> 4];
      answers_.idList += kHex[d[1] & 0x0F];
      answers_.idList += ' ';
      log_.appendDebugLine("ID: " + answers_.idList);
      break;
    }
    case civ::kCmdMemory:
      if (d[0] == civ::kSubMemoryContents) {
        // An answer too short for its layout leaves the decoded memory as it
        // was, so the waiting reader counts this step like silence.
        decodeMemoryContents(frame.source, frame.payload(), modelIndex_, decoded_);
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
  if (stepsEngine) step();
}

}  // namespace tarnwick
