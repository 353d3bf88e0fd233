// The last step of a tune on the radios that keep data mode apart from the
// mode: their mode command leaves data mode as it was, so a tune to USB-D
// (or back to plain USB) needs 1A 06 after 05 and 06.

#include <vector>

#include "civ/engine.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

// The filter byte of 1A 06 while data mode is off.
constexpr Byte kNoDataFilter = 0x00;

}  // namespace

bool Engine::sendTuneDataMode() {
  const RigModel* model = findRigModel(modelIndex_);
  if (model == nullptr || !model->tunesDataMode) return false;
  const Byte on = tuneData_ ? 0x01 : 0x00;
  const Byte filter = tuneData_ ? tuneFilter_ : kNoDataFilter;
  sendAndGo(smTuneDataMode, std::vector<Byte>{civ::kCmdMemory, civ::kSubDataMode, on, filter});
  return true;
}

void Engine::stepTuneDataMode() {
  // The mode command's time-out: this is the rest of setting the mode.
  if (!answers_.okReceived && !answers_.ngReceived) return countdown(TimeoutCode::TuneMode);
  tuneRefusals_.dataMode = !answers_.okReceived;
  const bool refused = tuneRefusals_.frequency || tuneRefusals_.mode || tuneRefusals_.dataMode;
  window_.setStatus("Ready", refused ? std::string() : tunedText_);
  engineState_ = smIdle;
}

}  // namespace tarnwick
