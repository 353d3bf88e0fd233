// Backups of the radio's memories: every completed read, and before a store
// the memories it will overwrite when no backup made since the rig table
// was last filled holds them (the table came from a file, or the read was
// cut short).

#include <algorithm>
#include <string>

#include "civ/backup_read.h"
#include "civ/engine.h"
#include "rig/rig_catalogue.h"
#include "rig/store_check.h"
#include "tables/fill_rig_row.h"
#include "tables/table_ops.h"

namespace tarnwick {

void Engine::setBackupFolder(std::filesystem::path folder) {
  backups_ = BackupFolder(std::move(folder));
}

std::string Engine::radioIdentity() const {
  const RigModel* model = findRigModel(modelIndex_);
  std::string id = std::to_string(modelIndex_);
  id += '/';
  // The address as read, so that "5c" and "5C" are one radio.
  id += address_.value ? std::to_string(*address_.value) : "not an address";
  if (model != nullptr && model->usesBand) {
    id += '/';
    id += bandText();
  }
  return id;
}

void Engine::modelReset() {
  // The rig table was refilled (a restart, a file opened into it): its rows
  // no longer come from the backup made of them.
  backedUp_.clear();
  backedUpFor_.clear();
}

void Engine::saveReadBackup() {
  if (!backups_.enabled()) return;
  lastBackup_ = backups_.save(rig_, modelIndex_, bandText(), BackupKind::BankRead);
  if (!lastBackup_.ok()) {
    log_.appendDebugLine("Backup: " + lastBackup_.error);
    return;
  }
  log_.appendDebugLine("Backup: " + lastBackup_.path);
  backedUp_.clear();
  for (std::size_t m = 1; m < received_.size(); ++m) {
    if (received_[m] != 0) backedUp_.insert(static_cast<int>(m));
  }
  backedUpFor_ = radioIdentity();
}

std::vector<int> Engine::rowsWithoutBackup() const {
  std::vector<int> rows;
  if (!backups_.enabled()) return rows;
  const bool sameRadio = backedUpFor_ == radioIdentity();
  const RigModel* model = findRigModel(modelIndex_);
  const int last = model != nullptr ? model->lastStoredRow : 0;
  for (int row = 1; row <= last && row < rig_.rowCount(); ++row) {
    if (rig_.cell(colChanged, row) != kChecked || !whyNotWritten(row).empty()) continue;
    if (!sameRadio || !backedUp_.contains(row)) rows.push_back(row);
  }
  return rows;
}

void Engine::startBackupRead(std::vector<int> memories) {
  backupRead_ = std::make_unique<BackupRead>();
  const RigModel* model = findRigModel(modelIndex_);
  backupRead_->rig.setRowCount(model != nullptr ? model->rigTableRows() : 1);
  SetColumnHeaders(backupRead_->rig);
  backupRead_->memories = std::move(memories);
  requestBackupMemory();
}

void Engine::requestBackupMemory() {
  currentMemory_ = backupRead_->memories[backupRead_->next];
  window_.setStatus("Backup #" + std::to_string(currentMemory_), "Please wait...");
  decoded_.memoryNumber = 0;
  requestMemory(smBackupMemory);
}

void Engine::stepBackupMemory() {
  // Nothing has been written yet: a stop ends the store here.
  if (stopRequested_) {
    backupRead_.reset();
    return endTransfer("Stopped", "Nothing stored");
  }
  if (decoded_.memoryNumber <= 0) return countdown(TimeoutCode::MemoryContents);
  window_.setLedColour(LedColour::Green);
  BackupRead& b = *backupRead_;
  const int got = decoded_.memoryNumber;
  // Any memory of the list that comes is kept, asked for or not.
  if (std::binary_search(b.memories.begin(), b.memories.end(), got) && IsNeverReadRow(b.rig, got)) {
    fillRigRow(decoded_, modelIndex_, offsets_, b.rig, b.permanent, b.index, separators());
  }
  decoded_.memoryNumber = 0;
  if (got != currentMemory_) {
    awaitAskedMemory(got);
    return;
  }
  while (b.next < b.memories.size() && !IsNeverReadRow(b.rig, b.memories[b.next])) ++b.next;
  if (b.next < b.memories.size()) return requestBackupMemory();
  finishBackupRead();
}

void Engine::finishBackupRead() {
  cancelRepeat();
  std::unique_ptr<BackupRead> b = std::move(backupRead_);
  lastBackup_ = backups_.save(b->rig, modelIndex_, bandText(), BackupKind::BeforeStore);
  if (!lastBackup_.ok()) {
    refuseStoreWithoutBackup(lastBackup_.error);
    return;
  }
  log_.appendDebugLine("Backup: " + lastBackup_.path);
  const std::string id = radioIdentity();
  if (backedUpFor_ != id) backedUp_.clear();
  backedUpFor_ = id;
  backedUp_.insert(b->memories.begin(), b->memories.end());
  writeNextRow();
}

void Engine::refuseStoreWithoutBackup(const std::string& reason) {
  // Without the backup nothing is overwritten; the rows stay marked.
  lastBackup_ = BackupOutcome{.path = {}, .error = reason};
  addProblem(0, StoreProblemKind::NoBackup, "Nothing stored: no backup (" + reason + ")");
  endTransfer("Backup failed", "Nothing stored");
  window_.storeEnded();
}

}  // namespace tarnwick
