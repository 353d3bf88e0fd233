#pragma once
// Assembles the bytes a controller sends into frames, the way a radio on the
// bus hunts for them: anything before FE FE is ignored, a broken header or
// an over-long frame is dropped and the hunt starts again.

#include <functional>
#include <span>

#include "sim/civ_bytes.h"

namespace tarnwick::sim {

class FrameParser {
 public:
  static constexpr std::size_t kMaxData = 256;

  // Called for every complete frame with the frame and its bytes as received
  // (from the last preamble byte pair to FD).
  using Sink = std::function<void(const Frame&, const Bytes&)>;

  explicit FrameParser(Sink sink) : sink_(std::move(sink)) {}

  void feed(std::span<const Byte> bytes);
  void feed(Byte b);

  // Between frames: no preamble byte heard since the last frame ended.
  bool idle() const { return state_ == State::Hunt; }

 private:
  enum class State { Hunt, SecondPreamble, To, From, Command, Data };

  void restart();
  // Keeps a byte of the frame's head and moves on to `next`.
  void takeHeaderByte(Byte& field, Byte b, State next);

  Sink sink_;
  State state_ = State::Hunt;
  Frame frame_;
  Bytes raw_;
};

}  // namespace tarnwick::sim
