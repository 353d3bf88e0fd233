#include "sim/frame_parser.h"

namespace tarnwick::sim {

void FrameParser::feed(std::span<const Byte> bytes) {
  for (Byte b : bytes) feed(b);
}

void FrameParser::restart() {
  state_ = State::Hunt;
  frame_ = Frame{};
  raw_.clear();
}

void FrameParser::feed(Byte b) {
  switch (state_) {
    case State::Hunt:
      if (b == civ::kPreamble) state_ = State::SecondPreamble;
      return;
    case State::SecondPreamble:
      if (b == civ::kPreamble) {
        raw_ = {civ::kPreamble, civ::kPreamble};
        state_ = State::To;
      } else {
        restart();
      }
      return;
    case State::To:
      if (b == civ::kPreamble) return;  // a longer preamble is still a preamble
      if (b >= civ::kFirstInvalidAddress) return restart();
      frame_.to = b;
      raw_.push_back(b);
      state_ = State::From;
      return;
    case State::From:
      if (b >= civ::kFirstInvalidAddress) return restart();
      frame_.from = b;
      raw_.push_back(b);
      state_ = State::Command;
      return;
    case State::Command:
      if (b >= civ::kFirstInvalidAddress && b != civ::kOk && b != civ::kNg) return restart();
      frame_.command = b;
      raw_.push_back(b);
      state_ = State::Data;
      return;
    case State::Data:
      raw_.push_back(b);
      if (b == civ::kEnd) {
        const Frame done = std::move(frame_);
        const Bytes raw = std::move(raw_);
        restart();
        sink_(done, raw);
        return;
      }
      if (frame_.data.size() == kMaxData) return restart();
      frame_.data.push_back(b);
      return;
  }
}

}  // namespace tarnwick::sim
