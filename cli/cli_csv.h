#pragma once
// tarnwick-cli import and export: CHIRP CSV channel lists in and out of
// memory list files. No radio takes part.

#include <ostream>

#include "cli/cli_options.h"

namespace tarnwick::cli {

// Exit codes as runCommand's: 0, 2 for input or files that cannot be read or
// written, 5 when rows were left out. The report goes to `err`.
int runImport(const CliOptions& options, std::ostream& out, std::ostream& err);
int runExport(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tarnwick::cli
