// Ending a transfer early: Stop from the window, a port that went away, and
// what to check when the radio stays silent.

#include <algorithm>
#include <cstdio>
#include <string>

#include "civ/backup_read.h"
#include "civ/engine.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {

bool Engine::transferRunning() const {
  switch (engineState_) {
    case smNoInit:
    case smIdle:
    case smStopped:
    case smTuneFrequency:
    case smTuneMode:
    case smTuneDataMode:
    case smCheckLink:
    case smCheckLinkAnswer:
      return false;
    default:
      return true;
  }
}

void Engine::stopTransfer() {
  post([this] {
    if (!transferRunning() || stopRequested_) return;
    stopRequested_ = true;
    log_.appendDebugLine("Stop requested");
    window_.setStatus("Stopping...", "Please wait...");
  });
}

void Engine::stopRead() {
  const auto read = std::count(received_.begin(), received_.end(), char{1});
  log_.appendDebugLine("Read stopped after " + std::to_string(read) + " memories");
  endTransfer("Stopped", "Read " + std::to_string(read) + " of " +
                             std::to_string(lastMemoryNumber_) + " memories");
}

void Engine::stopStore() {
  const bool left = findNextChanged() >= 0;
  log_.appendDebugLine("Store stopped after " + std::to_string(rowsStored_) + " rows");
  std::string done =
      "Stored " + std::to_string(rowsStored_) + (rowsStored_ == 1 ? " row" : " rows");
  if (left) done += "; the others stay ticked";
  endTransfer("Stopped", done);
  retickRefusedRows();
  window_.storeEnded();
}

void Engine::connectionLost(std::string left, std::string right) {
  post([this, left = std::move(left), right = std::move(right)] {
    log_.appendDebugLine(left + " " + right);
    // As at a time-out: rows read stay, rows not yet written stay ticked.
    if (backupRead_) backupRead_.reset();
    retickRefusedRows();
    endTransfer(left, right);
    noInitLeft_ = left;
    noInitRight_ = right;
    engineState_ = smNoInit;
    window_.setLedColour(LedColour::Red);
  });
}

std::string Engine::notRespondingHint() const {
  std::string address = address_.text;
  if (address_.value) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", *address_.value);
    address = hex;
  }
  return "Check the model (" + std::string(modelName(modelIndex_)) + ") and CI-V address (" +
         address + ") in use, the speed (" + std::to_string(port_.baudRate()) +
         " baud) and the radio's CI-V settings, or look for the radio with Find Radio.";
}

}  // namespace tarnwick
