#pragma once
// Helpers shared by the simulator's tests.

#include <cctype>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "sim/civ_bytes.h"
#include "sim/memory_file.h"
#include "sim/radio_model.h"
#include "sim/simulator.h"

namespace tarnwick::sim::test {

// "FE FE 56 E0" -> bytes; blanks are optional between pairs.
inline Bytes hex(std::string_view text) {
  Bytes out;
  int high = -1;
  for (char c : text) {
    if (c == ' ') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) throw std::invalid_argument("not hex");
    const int v =
        std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<Byte>(high * 16 + v));
      high = -1;
    }
  }
  if (high >= 0) throw std::invalid_argument("odd number of hex digits");
  return out;
}

inline const RadioModel& model(std::string_view name) {
  const RadioModel* m = findRadioModel(name);
  if (!m) throw std::invalid_argument("no such model");
  return *m;
}

// A simulator of `m` with its built-in memories, serving.
inline std::unique_ptr<Simulator> startSimulator(const RadioModel& m,
                                                 SimulatorOptions options = {}) {
  auto sim =
      std::make_unique<Simulator>(m, parseMemoryFile(defaultMemoryText(m), m), std::move(options));
  sim->start();
  return sim;
}

}  // namespace tarnwick::sim::test
