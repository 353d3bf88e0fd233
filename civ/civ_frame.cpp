#include "civ/civ_frame.h"

#include <cstdio>

namespace tarnwick {
namespace {

// The Rx line shows this many data bytes whatever the frame's length.
constexpr int kDumpedDataBytes = 64;

// "%02X " by hand: a read logs some 70 of these per memory, and formatting
// each with snprintf took longer than the rest of the turn.
void appendHex(std::string& out, unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  if (value > 0xFF) {
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%02X ", value);
    out.append(buf, static_cast<std::size_t>(n));
    return;
  }
  const char text[3] = {kDigits[value >> 4], kDigits[value & 0xF], ' '};
  out.append(text, 3);
}

}  // namespace

std::string hexDump(std::span<const Byte> bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  for (Byte b : bytes) appendHex(out, b);
  return out;
}

std::string frameDump(const CivFrame& frame) {
  std::string out;
  out.reserve((4 + kDumpedDataBytes) * 3);
  appendHex(out, frame.source);
  appendHex(out, frame.destination);
  appendHex(out, frame.command);
  appendHex(out, static_cast<unsigned>(frame.length));
  for (int i = 0; i < kDumpedDataBytes; ++i)
    appendHex(out, frame.data[static_cast<std::size_t>(i)]);
  return out;
}

}  // namespace tarnwick
