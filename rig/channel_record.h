#pragma once
// The row of a channel table: eleven texts in a fixed column order. The texts
// are the only storage of a channel; every text form is a storage format.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

enum ChannelColumn : int {
  colNumber = 0,
  colFrequency = 1,
  colName = 2,
  colMode = 3,
  colFilter = 4,
  colDuplex = 5,
  colTxFrequency = 6,
  colRepeaterTone = 7,
  colToneSquelch = 8,
  colSelect = 9,
  colChanged = 10,
};

inline constexpr int kColumnCount = 11;

// Check-box cell texts.
inline constexpr std::string_view kUnchecked = "0";
inline constexpr std::string_view kChecked = "1";
inline constexpr std::string_view kRefused = "2";  // the radio refused the row during a store

using ChannelRecord = std::array<std::string, kColumnCount>;

// A set of columns, for the columns a model hides.
class ColumnSet {
 public:
  constexpr ColumnSet() = default;
  constexpr ColumnSet(std::initializer_list<ChannelColumn> cols) {
    for (ChannelColumn c : cols) bits_ |= static_cast<std::uint16_t>(1u << c);
  }
  constexpr bool contains(int col) const {
    return col >= 0 && col < kColumnCount && (bits_ & (1u << col)) != 0;
  }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr int count() const {
    int n = 0;
    for (int c = 0; c < kColumnCount; ++c) n += contains(c) ? 1 : 0;
    return n;
  }
  constexpr bool operator==(const ColumnSet&) const = default;

 private:
  std::uint16_t bits_ = 0;
};

}  // namespace tarnwick
