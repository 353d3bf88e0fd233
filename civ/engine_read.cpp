// The step of the engine: restart, reading a bank, the duplex-offset
// sequences and the time-out report.

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "civ/engine.h"
#include "files/memory_list_format.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tables/fill_rig_row.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

// Rig-table rows of a model that is not in the catalogue of supported radios.
constexpr int kFallbackRigRows = 102;

// The IC-746 shows the duplex offset of the band it is tuned to: each band
// is tuned to, set to a duplex direction, and its offset read, in this order.
struct Ic746OffsetProbe {
  std::int32_t tuneHz;
  Byte duplex;  // the duplex direction set in the band (sub-command of 0F)
  EngineState tuning, settingDuplex, readingOffset;
  TimeoutCode tuneTimeout, duplexTimeout, offsetTimeout;
  std::int32_t DuplexOffsets::*offset;
};

constexpr std::array<Ic746OffsetProbe, 3> kIc746OffsetProbes{{
    {.tuneHz = 29600000,
     .duplex = civ::kSubDuplexMinus,
     .tuning = smTuneHf,
     .settingDuplex = smDuplexHf,
     .readingOffset = smOffsetHf,
     .tuneTimeout = TimeoutCode::OffsetHfTuneOk,
     .duplexTimeout = TimeoutCode::OffsetHfDuplexOk,
     .offsetTimeout = TimeoutCode::OffsetHf,
     .offset = &DuplexOffsets::hf},
    {.tuneHz = 50120000,
     .duplex = civ::kSubDuplexPlus,
     .tuning = smTune50,
     .settingDuplex = smDuplex50,
     .readingOffset = smOffset50,
     .tuneTimeout = TimeoutCode::Offset50TuneOk,
     .duplexTimeout = TimeoutCode::Offset50DuplexOk,
     .offsetTimeout = TimeoutCode::Offset50,
     .offset = &DuplexOffsets::mhz50},
    {.tuneHz = 145700000,
     .duplex = civ::kSubDuplexMinus,
     .tuning = smTune144,
     .settingDuplex = smDuplex144,
     .readingOffset = smOffset144,
     .tuneTimeout = TimeoutCode::Offset144TuneOk,
     .duplexTimeout = TimeoutCode::Offset144DuplexOk,
     .offsetTimeout = TimeoutCode::Offset144,
     .offset = &DuplexOffsets::mhz144},
}};

}  // namespace

void Engine::step() {
  // The idle engine steps every second, and so does one without a port
  // (waiting for a device to come back): such a state is logged once, until
  // something else happens.
  const std::string stateLine = "sm state: " + std::to_string(engineState_);
  if (engineState_ == smIdle || engineState_ == smNoInit) {
    log_.appendUnlessRepeated(stateLine);
  } else {
    log_.appendDebugLine(stateLine);
  }
  switch (engineState_) {
    case smNoInit:
      // A read cut off by a port that failed gives the table back.
      if (keptRig_) endRead(false);
      window_.setStatus(noInitLeft_, noInitRight_);
      // Nothing runs without a port: both tables may be sorted.
      window_.showSortIndicators();
      break;
    case smIdle:
      window_.showSortIndicators();
      break;
    case smRestart:
      stepRestart();
      break;
    case smCheckLink:
    case smCheckLinkAnswer:
      stepCheckLink();
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
    case smTuneDataMode:
      stepTuneDataMode();
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

void Engine::countdown(TimeoutCode code) {
  if (--ticksLeft_ <= 0) reportTimeout(code);
}

void Engine::reportTimeout(TimeoutCode code) {
  const std::string n = std::to_string(static_cast<int>(code));
  std::string progress = storeProgressNote();
  if (!progress.empty()) progress += ".\n";
  if (keptRig_) endRead(false);
  log_.appendDebugLine("Timeout: " + n);
  window_.setStatus("Timeout (" + n + ")", "Check COM setup and rig");
  // Idle before the box: steps that run while it is open find nothing to do.
  engineState_ = smIdle;
  stopRequested_ = false;
  noAnswer_ = true;
  answeredAgain_ = false;
  cancelRepeat();
  if (!progress.empty()) retickRefusedRows();
  freeRigSide();
  log_.flush();  // the box may stay open a long while: its cause is in the log meanwhile
  // A radio that answers, but not in its model's layout, is named as such.
  const std::string malformed =
      malformedAnswer_.empty() ? "" : "Its answer is malformed: " + malformedAnswer_ + ".\n";
  window_.showModalError("Rig is not responding.\n" + progress + malformed + notRespondingHint(),
                         "Error");
  window_.setLedColour(LedColour::Red);
}

void Engine::requestMemory(EngineState next) {
  if (next == smReadMemory && stopRequested_) return stopRead();
  std::vector<Byte> payload{civ::kCmdMemory, civ::kSubMemoryContents};
  const RigModel* model = findRigModel(modelIndex_);
  if (model != nullptr && model->usesBand) payload.push_back(band_);
  const auto number = encodeBcd4(currentMemory_);
  payload.insert(payload.end(), number.begin(), number.end());
  sendAndGo(next, payload);
}

void Engine::freeRigSide() {
  cancelRepeat();
  rig_.setInputLocked(false);
  window_.unlockRigSide();
}

void Engine::stepCheckLink() {
  if (engineState_ == smCheckLink) {
    window_.setStatus("Checking link", "Please wait...");
    noAnswer_ = false;
    answers_.vfoFrequency = -1;
    sendAndGo(smCheckLinkAnswer, std::array<Byte, 1>{civ::kCmdReadFrequency});
    return;
  }
  if (answers_.vfoFrequency <= -1) return countdown(TimeoutCode::LinkCheck);
  window_.setLedColour(LedColour::Green);
  endTransfer("Ready", "");
}

void Engine::stepRestart() {
  noAnswer_ = false;
  window_.setStatus("Restart...", "Please wait...");
  // No user change may land in the table the read is filling.
  rig_.setInputLocked(true);
  const RigModel* model = findRigModel(modelIndex_);
  currentMemory_ = 1;
  ticksLeft_ = kStepsPerCommand;
  decoded_.memoryNumber = 0;
  received_.assign(static_cast<std::size_t>(std::max(lastMemoryNumber_, 0)) + 1, 0);
  cancelRepeat();
  // The first request goes out before the table is emptied and drawn, so the
  // radio answers meanwhile; no answer is handled before this step returns.
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
  if (engineState_ != smStopped && !keptRig_) keepRigTable();
  rig_.clearCells();
  window_.repaint();
  rig_.setRowCount(2);
  window_.repaint();
  rig_.setRowCount(model != nullptr ? model->rigTableRows() : kFallbackRigRows);
  ResetHeaders(permanent_, rig_);
  window_.repaint();
}

bool Engine::wasReceived(int memory) const {
  return memory >= 0 && static_cast<std::size_t>(memory) < received_.size() &&
         received_[static_cast<std::size_t>(memory)] != 0;
}

void Engine::acceptMemory(const DecodedMemory& answer) {
  const int memory = answer.memoryNumber;
  // A number outside the table (a stray answer) has no row to go to.
  if (rig_.isDataRow(memory)) {
    fillRigRow(answer, modelIndex_, offsets_, rig_, permanent_, index_, separators());
  }
  if (memory >= 0 && static_cast<std::size_t>(memory) < received_.size()) {
    received_[static_cast<std::size_t>(memory)] = 1;
  }
}

void Engine::stepReadMemory() {
  if (decoded_.memoryNumber <= 0) {
    if (stopRequested_) return stopRead();
    countdown(TimeoutCode::MemoryContents);
    return;
  }
  window_.setLedColour(LedColour::Green);
  const int got = decoded_.memoryNumber;
  if (got != currentMemory_) {
    // An answer for another memory still fills its own row.
    if (!wasReceived(got)) acceptMemory(decoded_);
    if (awaitAskedMemory(got)) return;
    // Out of repeats: the next request follows the count, as it always has.
  } else if (currentMemory_ < lastMemoryNumber_ && !stopRequested_) {
    // The next request goes out before the row is filled and the status
    // shown: the radio answers meanwhile. At 115200 baud the window's part
    // (the table's signals, the status bar) would delay every request.
    const DecodedMemory answer = decoded_;
    ++currentMemory_;
    decoded_.memoryNumber = 0;
    requestMemory(smReadMemory);
    acceptMemory(answer);
    if (engineState_ == smReadMemory) showReading();
    return;
  } else {
    acceptMemory(decoded_);
  }
  ++currentMemory_;
  if (currentMemory_ > lastMemoryNumber_) {
    finishRead();
    return;
  }
  showReading();
  decoded_.memoryNumber = 0;
  requestMemory(smReadMemory);
}

void Engine::showReading() {
  window_.setStatus("Reading #" + std::to_string(currentMemory_), "Please wait...");
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
  endRead(true);
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
  // A read the user stopped keeps what it read; any other end of it (the
  // port went away) gives the table back.
  if (keptRig_) endRead(stopRequested_);
  stopRequested_ = false;
  noAnswer_ = false;
  window_.setStatus(left, right);
  rig_.setInputLocked(false);
  window_.unlockRigSide();
  engineState_ = smIdle;
}

void Engine::keepRigTable() {
  KeptRigTable kept;
  kept.rows.reserve(static_cast<std::size_t>(rig_.rowCount()));
  kept.checkBoxes.reserve(kept.rows.capacity());
  for (int r = 0; r < rig_.rowCount(); ++r) {
    kept.rows.push_back(rig_.record(r));
    kept.checkBoxes.push_back(rig_.hasCheckBoxes(r) ? 1 : 0);
  }
  kept.modified = rig_.modified();
  kept.recorder = rig_.recorder();
  rig_.setRecorder(nullptr);
  keptRig_ = std::move(kept);
}

void Engine::endRead(bool keepRows) {
  KeptRigTable kept = std::move(*keptRig_);
  keptRig_.reset();
  if (!keepRows) {
    log_.appendDebugLine("Read not completed: the rig table is put back as it was");
    const int rows = static_cast<int>(kept.rows.size());
    rig_.assign(std::move(kept.rows), /*checkBoxes=*/false);
    for (int r = 0; r < rows; ++r) {
      if (kept.checkBoxes[static_cast<std::size_t>(r)] != 0) rig_.setCheckBoxes(r, true);
    }
    rig_.setModified(kept.modified);
  }
  rig_.setRecorder(kept.recorder);
  if (!keepRows) return;
  // The rows are the radio's now: the steps that undid the user's edits of
  // the old ones no longer apply.
  if (kept.recorder != nullptr) kept.recorder->tableReset(rig_);
  if (rowsRead_) rowsRead_(radioName(), !stopRequested_);
}

std::string Engine::radioName() const {
  return tarnwick::radioName(modelIndex_, bandText());
}

void Engine::stepIc746Offsets() {
  AnswerSlots& a = answers_;
  const auto tuneTo = [this](const Ic746OffsetProbe& probe) {
    sendAndGo(probe.tuning, setFrequencyPayload(probe.tuneHz));
  };
  switch (engineState_) {
    case smSelectVfo:
      if (!a.okReceived) return countdown(TimeoutCode::SelectVfoOk);
      a.vfoFrequency = -1;
      return sendAndGo(smReadVfoFrequency, std::array<Byte, 1>{civ::kCmdReadFrequency});
    case smReadVfoFrequency:
      if (a.vfoFrequency <= -1) return countdown(TimeoutCode::VfoFrequency);
      a.vfoMode = 0xFF;
      a.vfoFilter = 0;
      return sendAndGo(smReadVfoMode, std::array<Byte, 1>{civ::kCmdReadMode});
    case smReadVfoMode:
      if (a.vfoMode == 0xFF) return countdown(TimeoutCode::VfoMode);
      return tuneTo(kIc746OffsetProbes.front());
    case smRestoreFrequency:
      if (!a.okReceived) return countdown(TimeoutCode::RestoreFrequencyOk);
      return sendAndGo(smRestoreMode,
                       std::array<Byte, 3>{civ::kCmdSetMode, a.vfoMode, a.vfoFilter});
    case smRestoreMode:
      if (!a.okReceived) return countdown(TimeoutCode::RestoreModeOk);
      currentMemory_ = 1;
      decoded_.memoryNumber = 0;
      return requestMemory(smReadMemory);
    default:
      break;
  }
  for (auto probe = kIc746OffsetProbes.begin(); probe != kIc746OffsetProbes.end(); ++probe) {
    if (engineState_ == probe->tuning) {
      if (!a.okReceived) return countdown(probe->tuneTimeout);
      return sendAndGo(probe->settingDuplex, std::array<Byte, 2>{civ::kCmdDuplex, probe->duplex});
    }
    if (engineState_ == probe->settingDuplex) {
      if (!a.okReceived) return countdown(probe->duplexTimeout);
      a.lastOffset = -1;
      return sendAndGo(probe->readingOffset, std::array<Byte, 1>{civ::kCmdReadOffset});
    }
    if (engineState_ == probe->readingOffset) {
      if (a.lastOffset <= -1) return countdown(probe->offsetTimeout);
      offsets_.*probe->offset = a.lastOffset;
      if (std::next(probe) != kIc746OffsetProbes.end()) return tuneTo(*std::next(probe));
      return sendAndGo(smRestoreFrequency, setFrequencyPayload(a.vfoFrequency));
    }
  }
  // Not a state of this machine: nothing to wait for.
  engineState_ = smIdle;
}

void Engine::stepIc746ProOffsets() {
  AnswerSlots& a = answers_;
  const auto readItem = [this](EngineState next, Byte item) {
    answers_.lastOffset = -1;
    sendAndGo(next, std::array<Byte, 3>{civ::kCmdMemory, civ::kSubSettings, item});
  };
  switch (engineState_) {
    case smProOffsetHf:
      if (a.lastOffset <= -1) return countdown(TimeoutCode::ProOffsetHf);
      offsets_.hf = a.lastOffset;
      return readItem(smProOffset50, civ::kItemOffset50);
    case smProOffset50:
      if (a.lastOffset <= -1) return countdown(TimeoutCode::ProOffset50);
      offsets_.mhz50 = a.lastOffset;
      return readItem(smProOffset144, civ::kItemOffset144);
    default:
      if (a.lastOffset <= -1) return countdown(TimeoutCode::ProOffset144);
      offsets_.mhz144 = a.lastOffset;
      currentMemory_ = 1;
      decoded_.memoryNumber = 0;
      return requestMemory(smReadMemory);
  }
}

}  // namespace tarnwick
