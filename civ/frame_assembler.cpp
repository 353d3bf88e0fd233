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

void FrameAssembler::startFrame() {
  partialFrame_.emplace();
  rxState_ = RxState::WaitDestination;
}

std::optional<CivFrame> FrameAssembler::feed(Byte b) {
  // FE is never a data byte of these radios' frames, so FE FE anywhere
  // starts a new frame: a lost end byte or a stray FE costs only the broken
  // frame, not the answer after it.
  switch (rxState_) {
    case RxState::WaitPreamble:
      if (b == civ::kPreamble) rxState_ = RxState::WaitSecondPreamble;
      break;
    case RxState::WaitSecondPreamble:
      if (b == civ::kPreamble) {
        startFrame();
      } else {
        discard();
      }
      break;
    case RxState::WaitDestination:
      if (b == civ::kPreamble) {
        startFrame();  // FE FE FE: the last two are the preamble
      } else if (b < civ::kFirstInvalidAddress) {
        partialFrame_->destination = b;
        rxState_ = RxState::WaitSource;
      } else {
        discard();
      }
      break;
    case RxState::WaitSource:
      // Our own source address is the bus echo of what we sent.
      if (b == civ::kPreamble) {
        resyncOnPreamble();
      } else if (b == civ::ControllerAddress || b >= civ::kFirstInvalidAddress) {
        discard();
      } else {
        partialFrame_->source = b;
        rxState_ = RxState::WaitCommand;
      }
      break;
    case RxState::WaitCommand:
      if (b == civ::kPreamble) {
        resyncOnPreamble();
      } else if (isAcceptedCommand(b)) {
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
      if (b == civ::kPreamble && partialFrame_->length > 0 &&
          partialFrame_->data[static_cast<std::size_t>(partialFrame_->length - 1)] ==
              civ::kPreamble) {
        startFrame();
      } else if (partialFrame_->length >= civ::kMaxFrameData) {
        // No frame of this protocol is that long: treat it as noise.
        b == civ::kPreamble ? resyncOnPreamble() : discard();
      } else {
        partialFrame_->data[static_cast<std::size_t>(partialFrame_->length++)] = b;
      }
      break;
  }
  return std::nullopt;
}

void FrameAssembler::resyncOnPreamble() {
  partialFrame_.reset();
  rxState_ = RxState::WaitSecondPreamble;
}

}  // namespace tarnwick
