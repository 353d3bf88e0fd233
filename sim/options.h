#pragma once
// The civsim command line.

#include <optional>
#include <string>
#include <vector>

#include "sim/simulator.h"

namespace tarnwick::sim {

struct CommandLine {
  const RadioModel* model = nullptr;
  std::string memoryFile;  // empty: the built-in memories
  std::string saveFile;    // empty: nothing saved on exit
  bool stopOnStdinEof = false;
  SimulatorOptions simulator;
};

// Throws std::invalid_argument with a message for the user.
CommandLine parseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace tarnwick::sim
