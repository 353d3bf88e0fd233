// Writing changed rig rows to the radio, and tuning the radio to a row.

#include <string>
#include <vector>

#include "civ/engine.h"
#include "rig/frequency_text.h"
#include "rig/memory_compare.h"
#include "rig/rig_catalogue.h"
#include "rig/store_check.h"
#include "rig/value_codes.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

// Rows searched for Changed marks on a model outside the catalogue.
constexpr int kFallbackLastStoredRow = 101;

}  // namespace

int Engine::findNextChanged() const {
  const RigModel* model = findRigModel(modelIndex_);
  const int last = model != nullptr ? model->lastStoredRow : kFallbackLastStoredRow;
  for (int row = 1; row <= last && row < rig_.rowCount(); ++row) {
    if (rig_.cell(colChanged, row) == kChecked) return row;
  }
  return -1;
}

void Engine::writeRow(int row) {
  window_.setStatus("Writing #" + std::to_string(row), "Please wait...");
  writtenPayload_ =
      encodeMemoryContents(modelIndex_, row, rig_.record(row), window_.bandText(), separators());
  sendRequest(writtenPayload_);
}

std::string Engine::whyNotWritten(int row) const {
  if (IsNeverReadRow(rig_, row)) return "never read from the radio";
  return storeRefusalReason(rig_.record(row), modelIndex_, separators());
}

void Engine::markRow(int row, std::string_view mark) {
  if (rig_.isDataRow(row)) rig_.setCell(colChanged, row, std::string(mark));
}

void Engine::addProblem(int row, StoreProblemKind kind, std::string text) {
  log_.appendDebugLine("Store: " + text);
  storeProblems_.push_back({row, kind, std::move(text)});
}

void Engine::startStore() {
  if (findNextChanged() < 0) return;
  storeProblems_.clear();
  rig_.setInputLocked(true);
  window_.lockRigSide();
  // What a store overwrites must be in a backup first.
  if (std::vector<int> missing = rowsWithoutBackup(); !missing.empty()) {
    // Asking the radio is pointless when the backup cannot be written.
    if (const std::string why = backups_.unusableReason(); !why.empty()) {
      refuseStoreWithoutBackup(why);
      return;
    }
    startBackupRead(std::move(missing));
    return;
  }
  writeNextRow();
}

void Engine::writeNextRow() {
  for (;;) {
    const int row = findNextChanged();
    currentMemory_ = row;
    if (row < 0) {
      finishStore();
      return;
    }
    // Nothing goes out for a row the memory cannot hold as it stands.
    if (const std::string why = whyNotWritten(row); !why.empty()) {
      markRow(row, kRefused);
      addProblem(
          row,
          IsNeverReadRow(rig_, row) ? StoreProblemKind::NeverRead : StoreProblemKind::NotEncodable,
          "Memory " + std::to_string(row) + " not stored: " + why);
      continue;
    }
    engineState_ = smWriteMemory;
    ticksLeft_ = kStepsPerCommand;
    writeRow(row);
    return;
  }
}

void Engine::finishStore() {
  endTransfer("Ready", "");
  // Refused rows are ticked again, so the next store retries exactly them.
  for (int r = 1; r < rig_.rowCount(); ++r) {
    if (rig_.cell(colChanged, r) == kRefused) rig_.setCell(colChanged, r, std::string(kChecked));
  }
  window_.storeEnded();
}

void Engine::stepWriteMemory() {
  if (!answers_.okReceived && !answers_.ngReceived) return countdown(16);
  if (!answers_.okReceived) {
    markRow(currentMemory_, kRefused);
    addProblem(currentMemory_, StoreProblemKind::Refused,
               "Memory " + std::to_string(currentMemory_) + " refused by the radio");
    return writeNextRow();
  }
  if (!verifyAfterStore_) {
    markRow(currentMemory_, kUnchecked);
    return writeNextRow();
  }
  // Taken, but is it what the radio now holds? Read it back.
  decoded_.memoryNumber = 0;
  requestMemory(smVerifyMemory);
}

void Engine::stepVerifyMemory() {
  if (decoded_.memoryNumber <= 0) return countdown(16);
  const DecodedMemory readBack = decoded_;
  decoded_.memoryNumber = 0;
  if (readBack.memoryNumber != currentMemory_) {
    awaitAskedMemory(readBack.memoryNumber);
    return;
  }
  DecodedMemory written;
  decodeMemoryContents(memoryAnswerSource_, std::span<const Byte>(writtenPayload_).subspan(1),
                       modelIndex_, written);
  const std::vector<int> differ = readBackDifferences(written, readBack, modelIndex_);
  if (differ.empty()) {
    markRow(currentMemory_, kUnchecked);
  } else {
    std::string text = "Memory " + std::to_string(currentMemory_) + " reads back different: ";
    for (std::size_t i = 0; i < differ.size(); ++i) {
      if (i > 0) text += ", ";
      text += kColumnHeaders[static_cast<std::size_t>(differ[i])];
    }
    markRow(currentMemory_, kRefused);
    addProblem(currentMemory_, StoreProblemKind::ReadsBack, std::move(text));
  }
  writeNextRow();
}

void Engine::startTune(const ChannelTable& table, int row, int col) {
  if (engineState_ != smIdle || col != colFrequency || !table.isDataRow(row)) return;
  const Separators sep = separators();
  const std::int32_t hz = parseFrequency(table.cell(colFrequency, row), sep);
  // A data mode tunes to its base mode; the data flag is not sent.
  tuneMode_ = encodeMode(modeIndexOf(table.cell(colMode, row))).modeByte;
  tuneFilter_ = encodeFilter(filterIndexOf(table.cell(colFilter, row)));
  if (hz == 0) return;
  tuneRefusals_ = {};
  window_.setStatus("Set frequency", "");
  sendAndGo(smTuneFrequency, setFrequencyPayload(hz));
}

void Engine::stepTune() {
  const bool answered = answers_.okReceived || answers_.ngReceived;
  if (engineState_ == smTuneFrequency) {
    if (!answered) return countdown(17);
    tuneRefusals_.frequency = answers_.ngReceived && !answers_.okReceived;
    // A refused frequency still goes on to the mode.
    sendAndGo(smTuneMode, std::vector<Byte>{civ::kCmdSetMode, tuneMode_, tuneFilter_});
    return;
  }
  if (!answered) return countdown(18);
  tuneRefusals_.mode = answers_.ngReceived && !answers_.okReceived;
  window_.setStatus("Ready", "");
  engineState_ = smIdle;
}

}  // namespace tarnwick
