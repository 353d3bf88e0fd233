#include "shell/offsets_input.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "rig/text_trim.h"

namespace tarnwick {
namespace {

constexpr std::int64_t kHzPerKhz = 1000;
constexpr std::int64_t kMaxKhz = std::numeric_limits<std::int32_t>::max() / kHzPerKhz;
constexpr std::int64_t kMinKhz = std::numeric_limits<std::int32_t>::min() / kHzPerKhz;

// The value of a decimal integer that fits 32 bits.
std::optional<std::int32_t> parseInt32(std::string_view s) {
  const bool negative = s.starts_with('-');
  if (negative) s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  value = negative ? -value : value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

OffsetsInput refused(int field, std::string error) {
  OffsetsInput input;
  input.badField = field;
  input.error = std::move(error);
  return input;
}

}  // namespace

OffsetTexts offsetTexts(const DuplexOffsets& offsets) {
  return {std::to_string(offsets.hf / kHzPerKhz), std::to_string(offsets.mhz50 / kHzPerKhz),
          std::to_string(offsets.mhz144 / kHzPerKhz)};
}

OffsetsInput parseOffsetTexts(const OffsetTexts& texts) {
  std::array<std::int32_t, 3> hz{};
  for (int field = 0; field < 3; ++field) {
    const std::string& text = texts[static_cast<std::size_t>(field)];
    const auto khz = parseInt32(trimmed(text, Blanks::SpaceOrTab));
    if (!khz) return refused(field, "'" + text + "' is not a valid integer value");
    if (*khz > kMaxKhz || *khz < kMinKhz) {
      return refused(field, "Integer overflow: '" + text + "' kHz is outside " +
                                std::to_string(kMinKhz) + " to " + std::to_string(kMaxKhz) +
                                " kHz");
    }
    hz[static_cast<std::size_t>(field)] = static_cast<std::int32_t>(*khz * kHzPerKhz);
  }
  OffsetsInput input;
  input.offsets = DuplexOffsets{.hf = hz[0], .mhz50 = hz[1], .mhz144 = hz[2]};
  return input;
}

}  // namespace tarnwick
