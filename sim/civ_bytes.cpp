#include "sim/civ_bytes.h"

#include <algorithm>
#include <cstdio>

namespace tarnwick::sim {

Bytes buildFrame(const Frame& frame) {
  // Sized once and filled in place: growing a five-byte vector with insert()
  // trips GCC 12's -Warray-bounds at -O2 and above on a path never taken.
  constexpr std::size_t kHead = 5;
  Bytes out(kHead + frame.data.size() + 1);
  out[0] = civ::kPreamble;
  out[1] = civ::kPreamble;
  out[2] = frame.to;
  out[3] = frame.from;
  out[4] = frame.command;
  std::copy(frame.data.begin(), frame.data.end(), out.begin() + kHead);
  out.back() = civ::kEnd;
  return out;
}

std::string hexText(std::span<const Byte> bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (Byte b : bytes) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", b);
    if (!text.empty()) text += ' ';
    text += pair;
  }
  return text;
}

bool isBcd(Byte b) {
  return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

Byte toBcd(int twoDigits) {
  return static_cast<Byte>(((twoDigits / 10) % 10) << 4 | twoDigits % 10);
}

void putBcdLsb(Bytes& out, std::int64_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i) {
    out.push_back(toBcd(static_cast<int>(value % 100)));
    value /= 100;
  }
}

void putBcdMsb(Bytes& out, std::int64_t value, int byteCount) {
  const std::size_t start = out.size();
  putBcdLsb(out, value, byteCount);
  std::reverse(out.begin() + static_cast<std::ptrdiff_t>(start), out.end());
}

std::optional<std::int64_t> readBcdLsb(std::span<const Byte> bytes, std::size_t pos,
                                       int byteCount) {
  if (pos + static_cast<std::size_t>(byteCount) > bytes.size()) return std::nullopt;
  std::int64_t value = 0;
  for (int i = byteCount - 1; i >= 0; --i) {
    const Byte b = bytes[pos + static_cast<std::size_t>(i)];
    if (!isBcd(b)) return std::nullopt;
    value = value * 100 + (b >> 4) * 10 + (b & 0x0F);
  }
  return value;
}

std::optional<std::int64_t> readBcdMsb(std::span<const Byte> bytes, std::size_t pos,
                                       int byteCount) {
  if (pos + static_cast<std::size_t>(byteCount) > bytes.size()) return std::nullopt;
  std::int64_t value = 0;
  for (int i = 0; i < byteCount; ++i) {
    const Byte b = bytes[pos + static_cast<std::size_t>(i)];
    if (!isBcd(b)) return std::nullopt;
    value = value * 100 + (b >> 4) * 10 + (b & 0x0F);
  }
  return value;
}

}  // namespace tarnwick::sim
