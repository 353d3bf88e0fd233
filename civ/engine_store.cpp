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

// "Stored 5 memories; all read back the same."
std::string storeSummary(int stored, bool verified) {
  std::string text = "Stored " + std::to_string(stored) + (stored == 1 ? " memory" : " memories");
  if (verified) text += stored == 1 ? "; it reads back the same" : "; all read back the same";
  return text + ".";
}

// " Memory 5's name is cut to \"RENAMED BU\"." or " Names are cut to what the
// radio keeps in memories 5, 9."
std::string cutNamesNote(const std::vector<CutName>& cut) {
  if (cut.empty()) return {};
  if (cut.size() == 1) {
    return " Memory " + std::to_string(cut[0].row) + "'s name is cut to \"" + cut[0].kept + "\".";
  }
  std::string text = " Names are cut to what the radio keeps in memories ";
  for (std::size_t i = 0; i < cut.size(); ++i) {
    text += (i > 0 ? ", " : "") + std::to_string(cut[i].row);
  }
  return text + ".";
}

std::string withoutPadding(std::string name) {
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

// "Tuned to 14,195.00 USB.": the mode the radio was set to; the data flag
// only for a radio that a tune sends it to.
std::string tunedText(std::int32_t hz, std::string_view modeText, bool dataSent, Separators sep) {
  std::string frequency = formatFrequency(hz, modeText, sep);
  frequency.erase(0, frequency.find_first_not_of(' '));
  std::string mode(modeText);
  if (!dataSent && mode.ends_with("-D")) mode.resize(mode.size() - 2);
  return "Tuned to " + frequency + (mode.empty() ? "" : " " + mode) + ".";
}

}  // namespace

int Engine::findNextChanged() const {
  const RigModel* model = findRigModel(modelIndex_);
  const int last = model != nullptr ? model->lastStoredRow : kFallbackLastStoredRow;
  for (int row = 1; row <= last && row < rig_.rowCount(); ++row) {
    if (rig_.cell(colChanged, row) == kChecked) return row;
  }
  return -1;
}

int Engine::markedRows() const {
  const RigModel* model = findRigModel(modelIndex_);
  const int last = model != nullptr ? model->lastStoredRow : kFallbackLastStoredRow;
  int marked = 0;
  for (int row = 1; row <= last && row < rig_.rowCount(); ++row) {
    const std::string& mark = rig_.cell(colChanged, row);
    if (mark == kChecked || mark == kRefused) ++marked;
  }
  return marked;
}

std::string Engine::storeProgressNote() const {
  switch (engineState_) {
    case smWriteMemory:
    case smVerifyMemory:
    case smBackupMemory:
      break;
    default:
      return {};
  }
  return std::to_string(rowsStored_) + " of " + std::to_string(rowsToStore_) + " stored; " +
         std::to_string(markedRows()) + " still ticked for the next Store to Rig";
}

int Engine::answeredNameLengthOf(int memory) const {
  // A blank memory answers without a name: the radio's other memories say
  // which length it keeps.
  const auto it = answeredNameLength_.find(memory);
  if (it != answeredNameLength_.end()) return it->second;
  return answeredNameLength_.empty() ? 0 : answeredNameLength_.rbegin()->second;
}

void Engine::writeRow(int row) {
  window_.setStatus("Writing #" + std::to_string(row), "Please wait...");
  if (ChannelRecord shown = rig_.record(row);
      applyStoreDefaults(shown, separators(), modelIndex_)) {
    for (int col : {colFilter, colDuplex, colRepeaterTone}) rig_.setCell(col, row, shown[col]);
  }
  writtenPayload_ = encodeMemoryContents(modelIndex_, row, rig_.record(row), bandText(),
                                         separators(), answeredNameLengthOf(row));
  // A longer name is cut to the memory's length as it goes out; the user
  // hears of it, the table keeps what was typed.
  writtenCut_.reset();
  const RigModel* model = findRigModel(modelIndex_);
  DecodedMemory sent;
  if (model != nullptr && model->nameLength > 0 && !writtenPayload_.empty() &&
      decodeMemoryContents(memoryAnswerSource_, std::span<const Byte>(writtenPayload_).subspan(1),
                           modelIndex_, sent) &&
      sent.frequency > 0) {
    std::string typed = withoutPadding(rig_.cell(colName, row));
    std::string kept = withoutPadding(sent.name);
    if (typed != kept) writtenCut_ = std::move(kept);
  }
  sendRequest(writtenPayload_);
}

void Engine::rowStored() {
  markRow(currentMemory_, kUnchecked);
  ++rowsStored_;
  if (writtenCut_) cutNames_.push_back({currentMemory_, *writtenCut_});
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
  // Without the radio a store would only time out, the rows half marked.
  if (!linkUp()) return;
  if (findNextChanged() < 0) {
    if (engineState_ == smIdle) window_.setStatus(kNothingToStore, kNothingToStoreHint);
    return;
  }
  storeProblems_.clear();
  cutNames_.clear();
  rowsStored_ = 0;
  rowsToStore_ = markedRows();
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
  if (stopRequested_) return stopStore();
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
  // A store that went well says so; problems get their own report.
  endTransfer("Ready", storeProblems_.empty() && rowsStored_ > 0
                           ? storeSummary(rowsStored_, verifyAfterStore_) + cutNamesNote(cutNames_)
                           : std::string());
  retickRefusedRows();
  window_.storeEnded();
}

// Refused rows are ticked again, so the next store retries exactly them.
void Engine::retickRefusedRows() {
  for (int r = 1; r < rig_.rowCount(); ++r) {
    if (rig_.cell(colChanged, r) == kRefused) rig_.setCell(colChanged, r, std::string(kChecked));
  }
}

void Engine::stepWriteMemory() {
  if (!answers_.okReceived && !answers_.ngReceived) return countdown(TimeoutCode::MemoryWrite);
  if (!answers_.okReceived) {
    markRow(currentMemory_, kRefused);
    addProblem(currentMemory_, StoreProblemKind::Refused,
               "Memory " + std::to_string(currentMemory_) + " refused by the radio");
    return writeNextRow();
  }
  if (!verifyAfterStore_) {
    rowStored();
    return writeNextRow();
  }
  // Taken, but is it what the radio now holds? Read it back.
  decoded_.memoryNumber = 0;
  requestMemory(smVerifyMemory);
}

void Engine::stepVerifyMemory() {
  if (decoded_.memoryNumber <= 0) return countdown(TimeoutCode::MemoryWrite);
  const DecodedMemory readBack = decoded_;
  decoded_.memoryNumber = 0;
  if (readBack.memoryNumber != currentMemory_) {
    awaitAskedMemory(readBack.memoryNumber);
    return;
  }
  // The row as stored against the memory as a read would show it: whatever
  // differs, the radio does not hold what the user sees.
  DecodedMemory written;
  decodeMemoryContents(memoryAnswerSource_, std::span<const Byte>(writtenPayload_).subspan(1),
                       modelIndex_, written);
  const std::vector<int> differ =
      readBackDifferences(rig_.record(currentMemory_), readBack, modelIndex_,
                          static_cast<int>(written.name.size()), separators());
  if (differ.empty()) {
    rowStored();
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
  if (engineState_ != smIdle || !linkUp() || col != colFrequency || !table.isDataRow(row)) return;
  const Separators sep = separators();
  const std::int32_t hz = parseFrequency(table.cell(colFrequency, row), sep);
  // A data mode tunes to its base mode; the data flag goes only to the radios
  // that take it in a command of its own.
  const EncodedMode mode = encodeMode(modeIndexOf(table.cell(colMode, row)));
  tuneMode_ = mode.modeByte;
  tuneData_ = mode.dataFlag != 0;
  tuneFilter_ = encodeFilter(filterIndexOf(table.cell(colFilter, row)));
  if (hz == 0) return;
  tuneRefusals_ = {};
  const RigModel* model = findRigModel(modelIndex_);
  tunedText_ =
      tunedText(hz, table.cell(colMode, row), model != nullptr && model->tunesDataMode, sep);
  window_.setStatus("Set frequency", "");
  sendAndGo(smTuneFrequency, setFrequencyPayload(hz));
}

void Engine::stepTune() {
  const bool answered = answers_.okReceived || answers_.ngReceived;
  if (engineState_ == smTuneFrequency) {
    if (!answered) return countdown(TimeoutCode::TuneFrequency);
    tuneRefusals_.frequency = answers_.ngReceived && !answers_.okReceived;
    // A refused frequency still goes on to the mode.
    sendAndGo(smTuneMode, std::vector<Byte>{civ::kCmdSetMode, tuneMode_, tuneFilter_});
    return;
  }
  if (!answered) return countdown(TimeoutCode::TuneMode);
  tuneRefusals_.mode = answers_.ngReceived && !answers_.okReceived;
  if (sendTuneDataMode()) return;
  const bool refused = tuneRefusals_.frequency || tuneRefusals_.mode;
  window_.setStatus("Ready", refused ? std::string() : tunedText_);
  engineState_ = smIdle;
}

}  // namespace tarnwick
