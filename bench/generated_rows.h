#pragma once
// The generated permanent file the table benchmarks share: 100,000 channels
// with varied frequencies, modes and names.

#include <string>
#include <vector>

#include "rig/frequency_text.h"
#include "tables/table_ops.h"

namespace tarnwick::bench {

inline constexpr int kGeneratedRows = 100000;

inline std::vector<ChannelRecord> generatedRows(int count = kGeneratedRows) {
  static const char* modes[] = {"FM", "USB", "LSB", "AM", "CW"};
  std::vector<ChannelRecord> rows(static_cast<std::size_t>(count) + 1);
  for (int c = 0; c < kColumnCount; ++c) rows[0][static_cast<std::size_t>(c)] = kColumnHeaders[c];
  unsigned seed = 12345;
  for (int r = 1; r <= count; ++r) {
    seed = seed * 1103515245u + 12345u;
    const int khz = 1800 + static_cast<int>(seed >> 8) % 440000;
    const char* mode = modes[r % 5];
    ChannelRecord& c = rows[static_cast<std::size_t>(r)];
    c = {std::to_string(r),
         formatFrequency(khz * 1000, mode),
         "CH" + std::to_string(seed % 100003),
         mode,
         "Normal",
         "Simp",
         "",
         r % 3 ? "88.5" : "",
         "",
         "0",
         "0"};
  }
  return rows;
}

}  // namespace tarnwick::bench
