#include "rig/bcd.h"

namespace tarnwick {
namespace {

Byte bcdPair(int n) {
  n %= 100;
  return static_cast<Byte>(((n / 10) << 4) | (n % 10));
}

int nibbleValue(Byte b, int highWeight) {
  return (b >> 4) * highWeight * 10 + (b & 0x0F) * highWeight;
}

}  // namespace

bool isBcdByte(Byte b) {
  return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

std::int32_t decodeBcdFrequency(std::span<const Byte> bytes, std::size_t position) {
  if (position >= bytes.size() || bytes.size() - position < 5) return 0;
  if (bytes[position] == 0xFF) return 0;
  std::int64_t hz = 0;
  std::int64_t weight = 1;
  for (std::size_t k = 0; k < 5; ++k) {
    const Byte b = bytes[position + k];
    if (!isBcdByte(b)) return 0;
    int high = b >> 4;
    if (k == 4 && high > 1) high = 1;  // the 10^9 digit
    hz += (b & 0x0F) * weight + high * weight * 10;
    weight *= 100;
  }
  return static_cast<std::int32_t>(hz);
}

std::array<Byte, 5> encodeBcdFrequency(std::int32_t hz) {
  std::array<Byte, 5> out{};
  std::int64_t n = hz < 0 ? 0 : hz;
  for (Byte& b : out) {
    b = bcdPair(static_cast<int>(n % 100));
    n /= 100;
  }
  return out;
}

int decodeBcd4(Byte hi, Byte lo) {
  return nibbleValue(hi, 100) + nibbleValue(lo, 1);
}

int decodeBcd6(Byte b0, Byte b1, Byte b2) {
  return nibbleValue(b0, 10000) + nibbleValue(b1, 100) + nibbleValue(b2, 1);
}

std::array<Byte, 2> encodeBcd4(int n) {
  if (n < 0) n = 0;
  return {bcdPair(n / 100), bcdPair(n % 100)};
}

std::array<Byte, 3> encodeBcd6(int n) {
  if (n < 0) n = 0;
  return {bcdPair(n / 10000), bcdPair((n % 10000) / 100), bcdPair(n % 100)};
}

}  // namespace tarnwick
