#include "civ/frame_assembler.h"

#include <utility>

namespace tarnwick {

bool isAcceptedCommand(Byte command) {
  return command <= civ::kLastKnownCommand || command == civ::kOk || command == civ::kNg;
}

void FrameAssembler::discard() {
  partialFrame_.reset();
  rxState_ = RxState::WaitPreamble;
}

std::optional<CivFrame> FrameAssembler::feed(Byte b) {
  switch (rxState_) {
    case RxState::WaitPreamble:
      if (b == civ::kPreamble) rxState_ = RxState::WaitSecondPreamble;
      break;
    case RxState::WaitSecondPreamble:
      if (b == civ::kPreamble) {
        partialFrame_.emplace();
        rxState_ = RxState::WaitDestination;
      } else {
        discard();
      }
      break;
    case RxState::WaitDestination:
      // A third FE lands here too and is discarded with the frame.
      if (b < civ::kFirstInvalidAddress) {
        partialFrame_->destination = b;
        rxState_ = RxState::WaitSource;
      } else {
        discard();
      }
      break;
    case RxState::WaitSource:
      // Our own source address is the bus echo of what we sent.
      if (b == civ::ControllerAddress || b >= civ::kFirstInvalidAddress) {
        discard();
      } else {
        partialFrame_->source = b;
        rxState_ = RxState::WaitCommand;
      }
      break;
    case RxState::WaitCommand:
      if (isAcceptedCommand(b)) {
        partialFrame_->command = b;
        rxState_ = RxState::CollectData;
      } else {
        discard();
      }
      break;
    case RxState::CollectData:
      if (b == civ::kEndOfMessage) {
        std::optional<CivFrame> done = std::move(partialFrame_);
        discard();
        return done;
      }
      if (partialFrame_->length >= civ::kMaxFrameData) {
        // No frame of this protocol is that long: treat it as noise.
        discard();
      } else {
        partialFrame_->data[static_cast<std::size_t>(partialFrame_->length++)] = b;
      }
      break;
  }
  return std::nullopt;
}

}  // namespace tarnwick
