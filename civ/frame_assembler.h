#pragma once
// Assembles received bytes into CI-V frames. It drops the echo of the
// program's own frames (source ControllerAddress) when the line gives one
// (a radio on USB with its echo off does not) and anything malformed,
// silently, and hunts for the next preamble; FE FE inside an unfinished
// frame starts a new one there. Its state survives between receive events,
// so a frame may arrive in any number of pieces.

#include <optional>

#include "civ/civ_frame.h"

namespace tarnwick {

enum class RxState {
  WaitPreamble,
  WaitSecondPreamble,
  WaitDestination,
  WaitSource,
  WaitCommand,
  CollectData,
};

class FrameAssembler {
 public:
  // Takes one byte; returns the frame it completes, if any.
  std::optional<CivFrame> feed(Byte b);

  RxState rxState() const { return rxState_; }

 private:
  void discard();
  void startFrame();
  // An FE where no FE belongs: it may begin the next preamble.
  void resyncOnPreamble();

  RxState rxState_ = RxState::WaitPreamble;
  std::optional<CivFrame> partialFrame_;
};

// Whether a command byte may start a frame's body on receipt.
bool isAcceptedCommand(Byte command);

}  // namespace tarnwick
