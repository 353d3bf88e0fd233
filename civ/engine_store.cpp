// Writing changed rig rows to the radio, and tuning the radio to a row.

#include <string>
#include <vector>

#include "civ/engine.h"
#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"

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
  const std::vector<Byte> payload =
      encodeMemoryContents(modelIndex_, row, rig_.record(row), window_.bandText(), separators());
  sendToRadio(payload);
}

void Engine::startStore() {
  const int row = findNextChanged();
  if (row < 0) return;
  currentMemory_ = row;
  engineState_ = smWriteMemory;
  ticksLeft_ = kStepsPerCommand;
  rig_.setInputLocked(true);
  window_.lockRigSide();
  writeRow(row);
}

void Engine::stepWriteMemory() {
  if (!answers_.okReceived && !answers_.ngReceived) return countdown(16);
  if (rig_.isDataRow(currentMemory_)) {
    rig_.setCell(colChanged, currentMemory_,
                 std::string(answers_.okReceived ? kUnchecked : kRefused));
  }
  const int row = findNextChanged();
  currentMemory_ = row;
  if (row < 0) {
    window_.setStatus("Ready", "");
    rig_.setInputLocked(false);
    window_.unlockRigSide();
    // Refused rows are ticked again, so the next store retries exactly them.
    for (int r = 1; r < rig_.rowCount(); ++r) {
      if (rig_.cell(colChanged, r) == kRefused) rig_.setCell(colChanged, r, std::string(kChecked));
    }
    engineState_ = smIdle;
    return;
  }
  ticksLeft_ = kStepsPerCommand;
  writeRow(row);
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
  std::vector<Byte> payload{civ::kCmdSetFrequency};
  const auto bcd = encodeBcdFrequency(hz);
  payload.insert(payload.end(), bcd.begin(), bcd.end());
  sendAndGo(smTuneFrequency, payload);
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
