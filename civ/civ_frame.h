#pragma once
// One received CI-V frame, and the texts of the TX and Rx lines of the
// debug log.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "civ/civ_protocol.h"

namespace tarnwick {

struct CivFrame {
  Byte source = 0;       // third byte on the wire
  Byte destination = 0;  // second byte on the wire
  Byte command = 0;
  // Sub-command and data in received order; zero past `length`, so that
  // fixed-position reads of short answers see zeros, never stale bytes.
  std::array<Byte, civ::kMaxFrameData> data{};
  std::int16_t length = 0;

  std::span<const Byte> payload() const { return {data.data(), static_cast<std::size_t>(length)}; }
};

// Whether a frame is meant for this program. A radio with CI-V Transceive on
// reports its dial to every station (address 00) at any moment, and a second
// controller's answers pass on the same line: neither answers our request.
inline bool isForController(const CivFrame& frame) {
  return frame.destination == civ::ControllerAddress;
}

// Two upper-case hex digits and a blank per byte.
std::string hexDump(std::span<const Byte> bytes);

// Source, destination, command and length (at least two hex digits each),
// then data[0..63], each followed by a blank: always 68 fields.
std::string frameDump(const CivFrame& frame);

}  // namespace tarnwick
