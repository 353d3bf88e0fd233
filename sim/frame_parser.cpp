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

void FrameParser::takeHeaderByte(Byte& field, Byte b, State next) {
  field = b;
  raw_.push_back(b);
  state_ = next;
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
      return takeHeaderByte(frame_.to, b, State::From);
    case State::From:
      if (b >= civ::kFirstInvalidAddress) return restart();
      return takeHeaderByte(frame_.from, b, State::Command);
    case State::Command:
      if (b >= civ::kFirstInvalidAddress && b != civ::kOk && b != civ::kNg) return restart();
      return takeHeaderByte(frame_.command, b, State::Data);
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
