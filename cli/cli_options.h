#pragma once
// Command line of tarnwick-cli: what to do and with which radio.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "rig/duplex_offsets.h"

namespace tarnwick::cli {

enum class Command { Read, Store, Tune, Import, Export, Detect, Print, Rigs, Help };
enum class StoreSelection { None, Rows, All, Changed };

struct CliOptions {
  Command command = Command::Help;
  std::string device;  // a device path, or COM<n> mapped to its device
  int modelIndex = -1;
  std::optional<std::uint8_t> address;  // the model's default when absent
  int baud = 9600;
  std::string band = "144 MHz";
  std::string outFile;
  std::string inFile;
  std::string permanentFile;
  std::optional<DuplexOffsets> offsets;
  StoreSelection selection = StoreSelection::None;
  std::set<int> rows;
  std::string frequency;  // kHz as typed in a Frequency cell
  std::string mode;
  std::string filter;
  int startRow = 0;      // import: the first rig row to fill; 0: rows by Location
  bool verify = true;    // store: read every written memory back
  bool backup = true;    // read, store: keep backups (a store refuses to go without)
  bool allRows = false;  // print: empty memories too
};

// Raised for any bad usage; the message says what is wrong.
struct UsageError {
  std::string message;
};

// Parses argv[1..]; throws UsageError.
CliOptions parseCommandLine(const std::vector<std::string>& args);

// Helpers, exposed for their tests.
int modelIndexOfName(const std::string& name);  // -1 when unknown
std::optional<std::string> bandTextOf(const std::string& text);
std::set<int> parseRowList(const std::string& text);  // throws UsageError
std::string devicePathFor(const std::string& device);
// The port as the debug log names it: the number of COM<n> or /dev/ttyS<n-1>,
// else the device path.
std::string portLabelFor(const std::string& device);

// The --help text, with the radios of the catalogue.
std::string usageText();

}  // namespace tarnwick::cli
