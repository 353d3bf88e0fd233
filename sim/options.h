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
  int nameLength = 0;  // 0: the model's own
  SimulatorOptions simulator;
};

// Throws std::invalid_argument with a message for the user.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The radio as the command line asks it to play: the model, with another
// name length when one was given.
RadioModel playedModel(const CommandLine& commandLine);

// The --help text, with the radios of the model table.
std::string usageText();

}  // namespace tarnwick::sim
