#pragma once
// Bytes written as hex pairs ("1A 00 05"), for tests that compare frames.

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::testing {

inline std::vector<std::uint8_t> hexBytes(std::string_view text) {
  std::vector<std::uint8_t> out;
  std::istringstream in{std::string(text)};
  std::string pair;
  while (in >> pair) out.push_back(static_cast<std::uint8_t>(std::stoi(pair, nullptr, 16)));
  return out;
}

}  // namespace tarnwick::testing
