#pragma once
// The radio itself, without any I/O: one frame in, at most one frame out.
// The simulator feeds it from the pseudo-terminal; tests feed it directly.

#include <optional>
#include <set>

#include "sim/civ_bytes.h"
#include "sim/radio_model.h"
#include "sim/radio_state.h"

namespace tarnwick::sim {

// Misbehaviour on request, for testing how a controller copes.
struct Faults {
  bool silent = false;           // never answer
  int dropEvery = 0;             // ignore every Nth request (0: never)
  std::set<int> ngWrite{};       // refuse writes of these memory numbers
  std::set<int> shiftAnswer{};   // asked first for one of these, answer with the next memory
  std::set<int> corruptWrite{};  // take writes of these with OK but keep something else
  int closeAfter = 0;            // after this many requests the device goes away (0: never)
  bool noId = false;             // an older radio without the ID request
};

struct Reply {
  Bytes answer;              // a whole frame; empty when the radio stays quiet
  bool closeDevice = false;  // the device should close now, unanswered
};

class Radio {
 public:
  Radio(const RadioModel& model, RadioState state, Faults faults = {},
        std::optional<Byte> address = std::nullopt);

  // Acts on one frame heard on the bus. Frames for other stations are
  // ignored, and of the broadcasts only the ID request is answered; so is
  // everything once the device has closed.
  Reply handle(const Frame& frame);

  const RadioModel& model() const { return model_; }
  // Switched off (it hears but never answers) or on again.
  void setSilent(bool silent) { faults_.silent = silent; }
  Byte address() const { return address_; }
  const RadioState& state() const { return state_; }
  // The frame a radio with CI-V Transceive on sends when its dial turns:
  // the VFO frequency, to every station.
  Bytes transceiveFrame() const;
  int requestCount() const { return requests_; }

 private:
  Bytes dispatch(const Frame& frame);
  Bytes memoryCommand(const Frame& frame);
  Bytes menuItem(const Frame& frame);
  Bytes dataMode(const Frame& frame);
  Bytes offsetCommand(const Frame& frame);
  Bytes answer(const Frame& request, Byte command, Bytes data) const;
  Bytes ok(const Frame& request) const;
  Bytes ng(const Frame& request) const;

  const RadioModel& model_;
  RadioState state_;
  Faults faults_;
  Byte address_;
  int requests_ = 0;
  bool closed_ = false;
  std::set<MemoryKey> shifted_;  // memories already answered with the next one
};

}  // namespace tarnwick::sim
