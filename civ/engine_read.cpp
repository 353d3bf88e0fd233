// The step of the engine: restart, reading a bank, the duplex-offset
// sequences and the time-out report.

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "civ/engine.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tables/fill_rig_row.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

// Rig-table rows of a model that is not in the catalogue of supported radios.
constexpr int kFallbackRigRows = 102;

// Frequencies the IC-746 is tuned to while its offsets are read.
constexpr std::int32_t kHfProbeHz = 29600000;
constexpr std::int32_t k50ProbeHz = 50120000;
constexpr std::int32_t k144ProbeHz = 145700000;

}  // namespace

void Engine::step() {
  // The idle engine steps every second; its state is logged once, until
  // something else happens.
  const std::string stateLine = "sm state: " + std::to_string(engineState_);
  if (engineState_ == smIdle) {
    log_.appendUnlessRepeated(stateLine);
  } else {
    log_.appendDebugLine(stateLine);
  }
  switch (engineState_) {
    case smNoInit:
      window_.setStatus("No init", "Error");
      break;
    case smIdle:
      window_.showSortIndicators();
      break;
    case smRestart:
      stepRestart();
      break;
    case smReadMemory:
      stepReadMemory();
      break;
    case smWriteMemory:
      stepWriteMemory();
      break;
    case smVerifyMemory:
      stepVerifyMemory();
      break;
    case smBackupMemory:
      stepBackupMemory();
      break;
    case smTuneFrequency:
    case smTuneMode:
      stepTune();
      break;
    case smStopped:
      window_.setStatus("Stop", "Internal Error");
      break;
    case smProOffsetHf:
    case smProOffset50:
    case smProOffset144:
      stepIc746ProOffsets();
      break;
    default:
      stepIc746Offsets();
      break;
  }
}

void Engine::countdown(int number) {
  if (--ticksLeft_ <= 0) reportTimeout(number);
}

void Engine::reportTimeout(int number) {
  const std::string n = std::to_string(number);
  log_.appendDebugLine("Timeout: " + n);
  window_.setStatus("Timeout (" + n + ")", "Check COM setup and rig");
  // Idle before the box: steps that run while it is open find nothing to do.
  engineState_ = smIdle;
  cancelRepeat();
  window_.showModalError("Rig is not responding.", "Error");
  window_.setLedColour(LedColour::Red);
}

void Engine::requestMemory(EngineState next) {
  std::vector<Byte> payload{civ::kCmdMemory, civ::kSubMemoryContents};
  const RigModel* model = findRigModel(modelIndex_);
  if (model != nullptr && model->usesBand) payload.push_back(bankCodeOf(window_.bandText()));
  const auto number = encodeBcd4(currentMemory_);
  payload.insert(payload.end(), number.begin(), number.end());
  sendAndGo(next, payload);
}

void Engine::stepRestart() {
  window_.setStatus("Restart...", "Please wait...");
  // No user change may land in the table the read is filling.
  rig_.setInputLocked(true);
  rig_.clearCells();
  window_.repaint();
  rig_.setRowCount(2);
  window_.repaint();
  const RigModel* model = findRigModel(modelIndex_);
  rig_.setRowCount(model != nullptr ? model->rigTableRows() : kFallbackRigRows);
  ResetHeaders(permanent_, rig_);
  window_.repaint();

  currentMemory_ = 1;
  ticksLeft_ = kStepsPerCommand;
  decoded_.memoryNumber = 0;
  received_.assign(static_cast<std::size_t>(std::max(lastMemoryNumber_, 0)) + 1, 0);
  cancelRepeat();
  if (model == nullptr || !model->readable) {
    engineState_ = smStopped;
  } else if (modelIndex_ == kModelIc746) {
    sendAndGo(smSelectVfo, std::array<Byte, 2>{civ::kCmdSelectVfo, civ::kSubVfoA});
  } else if (modelIndex_ == kModelIc746Pro) {
    answers_.lastOffset = -1;
    sendAndGo(smProOffsetHf,
              std::array<Byte, 3>{civ::kCmdMemory, civ::kSubSettings, civ::kItemOffsetHf});
  } else {
    requestMemory(smReadMemory);
  }
}

bool Engine::wasReceived(int memory) const {
  return memory >= 0 && static_cast<std::size_t>(memory) < received_.size() &&
         received_[static_cast<std::size_t>(memory)] != 0;
}

void Engine::acceptMemory(int memory) {
  // A number outside the table (a stray answer) has no row to go to.
  if (rig_.isDataRow(memory)) {
    fillRigRow(decoded_, modelIndex_, offsets_, rig_, permanent_, index_, separators());
  }
  if (memory >= 0 && static_cast<std::size_t>(memory) < received_.size()) {
    received_[static_cast<std::size_t>(memory)] = 1;
  }
}

void Engine::stepReadMemory() {
  if (decoded_.memoryNumber <= 0) {
    countdown(15);
    return;
  }
  window_.setLedColour(LedColour::Green);
  const int got = decoded_.memoryNumber;
  if (got != currentMemory_) {
    // An answer for another memory still fills its own row.
    if (!wasReceived(got)) acceptMemory(got);
    if (awaitAskedMemory(got)) return;
    // Out of repeats: the next request follows the count, as it always has.
  } else {
    acceptMemory(got);
  }
  ++currentMemory_;
  if (currentMemory_ > lastMemoryNumber_) {
    finishRead();
    return;
  }
  window_.setStatus("Reading #" + std::to_string(currentMemory_), "Please wait...");
  decoded_.memoryNumber = 0;
  requestMemory(smReadMemory);
}

bool Engine::awaitAskedMemory(int got) {
  if (got > currentMemory_ && repeatsLeft_ <= 0) return false;
  decoded_.memoryNumber = 0;
  if (got < currentMemory_) {
    // A late answer to an earlier request: ours comes after it.
    answerStillDue();
  } else {
    // A later memory came instead of ours: ask again.
    repeatRequest("answer for memory " + std::to_string(got) + ", not " +
                  std::to_string(currentMemory_));
  }
  return true;
}

void Engine::finishRead() {
  saveReadBackup();
  endTransfer("Ready", "");
}

std::vector<Byte> Engine::setFrequencyPayload(std::int32_t hz) {
  std::vector<Byte> payload{civ::kCmdSetFrequency};
  const auto bcd = encodeBcdFrequency(hz);
  payload.insert(payload.end(), bcd.begin(), bcd.end());
  return payload;
}

void Engine::endTransfer(std::string_view left, std::string_view right) {
  cancelRepeat();
  window_.setStatus(left, right);
  rig_.setInputLocked(false);
  window_.unlockRigSide();
  engineState_ = smIdle;
}

void Engine::stepIc746Offsets() {
  AnswerSlots& a = answers_;
  const auto sendDuplex = [this](EngineState next, Byte sub) {
    sendAndGo(next, std::array<Byte, 2>{civ::kCmdDuplex, sub});
  };
  const auto readOffset = [this](EngineState next) {
    answers_.lastOffset = -1;
    sendAndGo(next, std::array<Byte, 1>{civ::kCmdReadOffset});
  };
  switch (engineState_) {
    case smSelectVfo:
      if (!a.okReceived) return countdown(1);
      a.vfoFrequency = -1;
      return sendAndGo(smReadVfoFrequency, std::array<Byte, 1>{civ::kCmdReadFrequency});
    case smReadVfoFrequency:
      if (a.vfoFrequency <= -1) return countdown(2);
      a.vfoMode = 0xFF;
      a.vfoFilter = 0;
      return sendAndGo(smReadVfoMode, std::array<Byte, 1>{civ::kCmdReadMode});
    case smReadVfoMode:
      if (a.vfoMode == 0xFF) return countdown(3);
      return sendAndGo(smTuneHf, setFrequencyPayload(kHfProbeHz));
    case smTuneHf:
      if (!a.okReceived) return countdown(4);
      return sendDuplex(smDuplexHf, civ::kSubDuplexMinus);
    case smDuplexHf:
      if (!a.okReceived) return countdown(5);
      return readOffset(smOffsetHf);
    case smOffsetHf:
      if (a.lastOffset <= -1) return countdown(6);
      offsets_.hf = a.lastOffset;
      return sendAndGo(smTune50, setFrequencyPayload(k50ProbeHz));
    case smTune50:
      if (!a.okReceived) return countdown(7);
      return sendDuplex(smDuplex50, civ::kSubDuplexPlus);
    case smDuplex50:
      if (!a.okReceived) return countdown(8);
      return readOffset(smOffset50);
    case smOffset50:
      if (a.lastOffset <= -1) return countdown(9);
      offsets_.mhz50 = a.lastOffset;
      return sendAndGo(smTune144, setFrequencyPayload(k144ProbeHz));
    case smTune144:
      if (!a.okReceived) return countdown(10);
      return sendDuplex(smDuplex144, civ::kSubDuplexMinus);
    case smDuplex144:
      if (!a.okReceived) return countdown(11);
      return readOffset(smOffset144);
    case smOffset144:
      if (a.lastOffset <= -1) return countdown(12);
      offsets_.mhz144 = a.lastOffset;
      return sendAndGo(smRestoreFrequency, setFrequencyPayload(a.vfoFrequency));
    case smRestoreFrequency:
      if (!a.okReceived) return countdown(13);
      return sendAndGo(smRestoreMode,
                       std::array<Byte, 3>{civ::kCmdSetMode, a.vfoMode, a.vfoFilter});
    case smRestoreMode:
      if (!a.okReceived) return countdown(14);
      currentMemory_ = 1;
      decoded_.memoryNumber = 0;
      return requestMemory(smReadMemory);
    default:
      // Not a state of this machine: nothing to wait for.
      engineState_ = smIdle;
      return;
  }
}

void Engine::stepIc746ProOffsets() {
  AnswerSlots& a = answers_;
  const auto readItem = [this](EngineState next, Byte item) {
    answers_.lastOffset = -1;
    sendAndGo(next, std::array<Byte, 3>{civ::kCmdMemory, civ::kSubSettings, item});
  };
  switch (engineState_) {
    case smProOffsetHf:
      if (a.lastOffset <= -1) return countdown(19);
      offsets_.hf = a.lastOffset;
      return readItem(smProOffset50, civ::kItemOffset50);
    case smProOffset50:
      if (a.lastOffset <= -1) return countdown(20);
      offsets_.mhz50 = a.lastOffset;
      return readItem(smProOffset144, civ::kItemOffset144);
    default:
      if (a.lastOffset <= -1) return countdown(21);
      offsets_.mhz144 = a.lastOffset;
      currentMemory_ = 1;
      decoded_.memoryNumber = 0;
      return requestMemory(smReadMemory);
  }
}

}  // namespace tarnwick
