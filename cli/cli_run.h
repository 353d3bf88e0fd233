#pragma once
// Runs one tarnwick-cli command over the program's own core: the serial
// component, the transfer engine, the tables and the memory list files.

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "cli/cli_options.h"

namespace tarnwick::cli {

enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 2,     // bad usage or input, a file that cannot be read or written
  kExitPort = 3,      // the port cannot be opened, or went away
  kExitNoAnswer = 4,  // the radio did not answer
  kExitRefused = 5,   // rows not stored as they stand (refused, read back different, not storable)
  kExitSignal = 128,  // plus the signal's number: stopped by SIGTERM, SIGHUP or SIGINT
};

struct RunEnvironment {
  std::string debugLogPath;  // empty: the user's state folder
  std::string backupFolder;  // empty: the user's data folder (defaultBackupFolder)
  bool progressBar = false;  // a bar on a terminal, plain lines otherwise
  std::chrono::milliseconds tick{1000};
  // The print command, present when the program is built with Qt.
  std::function<int(const CliOptions&, std::ostream& err)> print;
};

int runCommand(const CliOptions& options, std::ostream& out, std::ostream& err,
               const RunEnvironment& env = {});

// The whole program: parses argv and runs the command.
int cliMain(int argc, char** argv, std::ostream& out, std::ostream& err, const RunEnvironment& env);

}  // namespace tarnwick::cli
