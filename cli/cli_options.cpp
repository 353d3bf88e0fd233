#include "cli/cli_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "serial/serial_types.h"

namespace tarnwick::cli {
namespace {

constexpr std::array<std::pair<std::string_view, Command>, 8> kCommandNames{{
    {"read", Command::Read},
    {"store", Command::Store},
    {"tune", Command::Tune},
    {"import", Command::Import},
    {"export", Command::Export},
    {"detect", Command::Detect},
    {"print", Command::Print},
    {"rigs", Command::Rigs},
}};

std::string lowered(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool readInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && !text.empty();
}

int parseIntOption(const std::string& name, const std::string& text) {
  int v = 0;
  if (!readInt(text, v)) throw UsageError{name + " needs a whole number, not \"" + text + "\""};
  return v;
}

DuplexOffsets parseOffsets(const std::string& text) {
  std::vector<int> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(parseIntOption("--offsets", text.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.size() != 3 || std::any_of(parts.begin(), parts.end(), [](int v) { return v < 0; })) {
    throw UsageError{"--offsets needs three offsets in Hz: HF,50,144"};
  }
  return DuplexOffsets{parts[0], parts[1], parts[2]};
}

// The table's own spelling of a text given in any case.
template <std::size_t N>
std::string canonicalText(const std::array<std::string_view, N>& table, const std::string& text,
                          const char* what) {
  for (std::string_view t : table) {
    if (!t.empty() && lowered(std::string(t)) == lowered(text)) return std::string(t);
  }
  throw UsageError{std::string("unknown ") + what + " \"" + text + "\""};
}

}  // namespace

namespace {

// The radio lists of --rig and --baud come from the catalogue, wrapped
// under the option's text.
constexpr std::string_view kUsageHead = R"(Usage:
  tarnwick-cli read  --device DEV --rig MODEL [--addr HH] [--baud N] [--band BAND]
                     [--offsets HF,50,144] --out FILE [--permanent FILE] [--no-backup]
  tarnwick-cli store --device DEV --rig MODEL [--addr HH] [--baud N] [--band BAND]
                     --in FILE (--rows LIST | --all | --changed) [--no-verify] [--no-backup]
  tarnwick-cli tune  --device DEV --rig MODEL [--addr HH] [--baud N] FREQUENCY [MODE [FILTER]]
  tarnwick-cli import --rig MODEL [--band BAND] [--offsets HF,50,144] --in LIST.csv
                     (--out FILE [--start N] | --permanent FILE)
  tarnwick-cli export --rig MODEL [--offsets HF,50,144] --in FILE --out LIST.csv [--rows LIST]
  tarnwick-cli detect --device DEV
  tarnwick-cli print --in FILE --out FILE.pdf [--rig MODEL] [--all-rows]
  tarnwick-cli rigs
  tarnwick-cli --help | --version

Reads a radio's memory bank into a memory list file, stores rows of such a
file into the radio, or tunes the radio, over the CI-V bus. Imports CHIRP CSV
channel lists into memory list files and exports them as such lists. Detect
asks the device at each speed of the Baudrate menu which radio is there.
Prints a memory list file to a PDF, with the columns of --rig when given.
Rigs lists the radios, one a line: Rig menu caption, catalogue name, CI-V
address (hex), usual speed and the model number the settings keep, separated
by tabs.

  --device DEV    serial device: a path (/dev/ttyUSB0, /dev/serial/by-id/...,
                  a pseudo-terminal) or COM<n>, which is /dev/ttyS<n-1>
  --rig MODEL     )";

constexpr std::string_view kUsageAddress = R"(
  --addr HH       CI-V address in hex (default: the model's own, e.g. 5C)
  --baud N        110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400,
                  56000, 57600, 115200, 128000 or 256000 (default 9600;)";

constexpr std::string_view kUsageTail = R"(
  --band BAND     IC-910 band: "144 MHz", "430 MHz", "1240 MHz" or 144, 430, 1240
                  (default 144 MHz)
  --offsets H,F,T duplex offsets in Hz for HF, 50 MHz and 144 MHz, used for the
                  transmit frequency of duplex rows (default 100000,500000,600000;
                  the IC-746 and IC-746Pro read their own from the radio)
  --out FILE      read: write the rig table to FILE
  --permanent FILE  read: collect channels not yet in FILE into it and save it
  --in FILE       store: memory list file to load as the rig table
  --rows LIST     store: memory numbers and ranges, e.g. 3,7,100-102
  --all           store: every row of the file
  --changed       store: the rows whose Changed field is 1 in the file
  --no-verify     store: do not read each written memory back to compare it
  --no-backup     read, store: keep no backup; a store then overwrites memories
                  that no backup holds (for scripts that take that risk)
  FREQUENCY       tune: kHz as typed in a Frequency cell (7050, 145.5, 14,195.00)
  MODE FILTER     tune: e.g. USB, FM, CW and Wide, Normal, Narrow
  --in LIST.csv   import: the CHIRP list; export: the memory list file to write out
  --out FILE      import: the rig table file the rows go into at their Location
                  (created when missing; imported rows are marked Changed, ready
                  for store --changed); export: the CHIRP list to write
  --start N       import: rows go, in list order, from memory N on instead
  --permanent FILE  import: append the rows to this permanent file instead
  --rows LIST     export: only these rows
  --all-rows      print: empty memories too (left out by default)

Every completed read, and the memories a store overwrites when no backup of
them exists yet, are kept in $XDG_DATA_HOME/tarnwick/backups (by default
~/.local/share/tarnwick/backups). Each radio (model and band) keeps its newest
50 reads, and the backups made before a store for 90 days, at least its newest
20. A store whose backup cannot be written stores nothing. To put one back:
  tarnwick-cli store --device DEV --rig MODEL --in BACKUP --all

Progress goes to standard error. Exit codes:
  0 success, 2 bad usage or input (a file that cannot be read or written included),
  3 the port cannot be opened, 4 the radio did not answer (time-out number given,
  memories not read named), 5 some rows were not stored as they stand (refused by
  the radio, read back different, or not storable; they are named) or nothing
  was stored for want of a backup; import and export: rows were left out (each
  is named with its reason); 128 + N stopped by signal N (SIGTERM, SIGHUP, SIGINT
  or SIGPIPE) while talking to the radio or printing, the port closed and its
  lock removed. An output that is the same file as an input is refused.
)";

constexpr std::size_t kHelpWidth = 79;
constexpr std::size_t kHelpIndent = 18;

// Appends words to `text`, whose last line is `column` long, each after a
// space or, where it would pass the help's width, on a new line.
void appendWrapped(std::string& text, std::size_t column, const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    if (column + 1 + word.size() > kHelpWidth) {
      text += '\n' + std::string(kHelpIndent, ' ');
      column = kHelpIndent;
    } else {
      text += ' ';
      ++column;
    }
    text += word;
    column += word.size();
  }
}

// "A, B and C" as words.
std::vector<std::string> listWords(const std::vector<std::string>& names) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < names.size(); ++i) {
    words.push_back(names[i] + (i + 2 < names.size() ? "," : ""));
    if (i + 2 == names.size()) words.emplace_back("and");
  }
  return words;
}

// A radio as --rig takes it: its caption, and its catalogue name when that
// differs ("IC-756Pro2 (IC-756ProII)").
std::string rigWord(const RigModel& m) {
  std::string word(m.menuCaption);
  if (modelName(m.modelIndex) != m.menuCaption) {
    word += " (" + std::string(modelName(m.modelIndex)) + ")";
  }
  return word;
}

}  // namespace

std::string usageText() {
  std::vector<std::string> rigs;
  std::vector<std::string> unread;
  std::vector<std::string> usb;
  for (const RigModel& m : supportedModels()) {
    rigs.push_back(rigWord(m));
    if (!m.readable) unread.emplace_back(m.menuCaption);
    if (m.usualBaud > 9600) usb.emplace_back(m.menuCaption);
  }
  std::vector<std::string> words = listWords(rigs);
  words.back() += ';';
  words.insert(words.end(), {"any", "case."});
  if (!unread.empty()) {
    words.emplace_back("The");
    for (std::string& w : listWords(unread)) words.push_back(std::move(w));
    for (const char* w : {unread.size() > 1 ? "are" : "is", "not", "read", "or", "written."}) {
      words.emplace_back(w);
    }
  }
  // The head ends with the --rig option's indent, where the list begins.
  std::string text(kUsageHead.substr(0, kUsageHead.size() - 1));
  appendWrapped(text, kHelpIndent - 1, words);
  text += kUsageAddress;
  words = {"the"};
  for (std::string& w : listWords(usb)) words.push_back(std::move(w));
  for (const char* w : {"over", "USB", "usually", "115200)"}) words.emplace_back(w);
  appendWrapped(text, kUsageAddress.size() - kUsageAddress.rfind('\n') - 1, words);
  text += kUsageTail;
  return text;
}

int modelIndexOfName(const std::string& name) {
  const std::string wanted = lowered(name);
  for (const RigModel& m : supportedModels()) {
    if (lowered(std::string(m.menuCaption)) == wanted ||
        lowered(std::string(modelName(m.modelIndex))) == wanted) {
      return m.modelIndex;
    }
  }
  return -1;
}

std::optional<std::string> bandTextOf(const std::string& text) {
  for (std::string_view band : kBandTexts) {
    const std::string b(band);
    if (lowered(text) == lowered(b) || text == b.substr(0, b.find(' '))) return b;
  }
  return std::nullopt;
}

std::set<int> parseRowList(const std::string& text) {
  std::set<int> rows;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma - start);
    const std::size_t dash = item.find('-');
    int first = 0;
    int last = 0;
    const bool ok = dash == std::string::npos ? readInt(item, first) && (last = first, true)
                                              : readInt(item.substr(0, dash), first) &&
                                                    readInt(item.substr(dash + 1), last);
    if (!ok || first < 1 || last < first || last > 999) {
      throw UsageError{"--rows: \"" + item + "\" is not a memory number or range"};
    }
    for (int r = first; r <= last; ++r) rows.insert(r);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return rows;
}

std::string devicePathFor(const std::string& device) {
  if (device.size() > 3 && lowered(device.substr(0, 3)) == "com") {
    int n = 0;
    if (readInt(device.substr(3), n) && n >= 1) return "/dev/ttyS" + std::to_string(n - 1);
  }
  return device;
}

std::string portLabelFor(const std::string& device) {
  const std::string path = devicePathFor(device);
  constexpr std::string_view kSerialPrefix = "/dev/ttyS";
  int n = 0;
  if (path.starts_with(kSerialPrefix) && readInt(path.substr(kSerialPrefix.size()), n) && n >= 0) {
    return std::to_string(n + 1);
  }
  return path;
}

CliOptions parseCommandLine(const std::vector<std::string>& args) {
  CliOptions o;
  if (args.empty()) throw UsageError{"no command given"};
  const std::string& cmd = args[0];
  if (cmd == "--help" || cmd == "-h" || cmd == "help") return o;
  const auto named = std::find_if(kCommandNames.begin(), kCommandNames.end(),
                                  [&](const auto& entry) { return entry.first == cmd; });
  if (named == kCommandNames.end()) throw UsageError{"unknown command \"" + cmd + "\""};
  o.command = named->second;
  if (o.command == Command::Rigs && args.size() > 1) throw UsageError{"rigs takes no options"};
  if (o.command == Command::Rigs) return o;

  std::vector<std::string> positional;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      o.command = Command::Help;
      return o;
    } else if (a == "--device") {
      o.device = value();
    } else if (a == "--rig") {
      const std::string& m = value();
      o.modelIndex = modelIndexOfName(m);
      if (o.modelIndex < 0) throw UsageError{"unknown rig \"" + m + "\""};
    } else if (a == "--addr") {
      const std::string& h = value();
      unsigned v = 0;
      auto [p, ec] = std::from_chars(h.data(), h.data() + h.size(), v, 16);
      if (h.empty() || h.size() > 2 || ec != std::errc() || p != h.data() + h.size()) {
        throw UsageError{"--addr needs a hexadecimal address such as 5C, not \"" + h + "\""};
      }
      o.address = static_cast<std::uint8_t>(v);
    } else if (a == "--baud") {
      o.baud = parseIntOption(a, value());
      if (!isValidBaudrate(o.baud)) {
        throw UsageError{"--baud " + std::to_string(o.baud) + ": Baudrate is not valid"};
      }
    } else if (a == "--band") {
      const std::string& b = value();
      const auto band = bandTextOf(b);
      if (!band) throw UsageError{"unknown band \"" + b + "\" (144 MHz, 430 MHz or 1240 MHz)"};
      o.band = *band;
    } else if (a == "--out") {
      o.outFile = value();
    } else if (a == "--in") {
      o.inFile = value();
    } else if (a == "--permanent") {
      o.permanentFile = value();
    } else if (a == "--offsets") {
      o.offsets = parseOffsets(value());
    } else if (a == "--rows") {
      o.selection = StoreSelection::Rows;
      o.rows = parseRowList(value());
    } else if (a == "--start") {
      o.startRow = parseIntOption(a, value());
      if (o.startRow < 1) throw UsageError{"--start needs a memory number from 1"};
    } else if (a == "--all") {
      o.selection = StoreSelection::All;
    } else if (a == "--changed") {
      o.selection = StoreSelection::Changed;
    } else if (a == "--no-verify") {
      o.verify = false;
    } else if (a == "--no-backup") {
      o.backup = false;
    } else if (a == "--all-rows") {
      o.allRows = true;
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      throw UsageError{"unknown option " + a};
    } else {
      positional.push_back(a);
    }
  }

  const bool files =
      o.command == Command::Import || o.command == Command::Export || o.command == Command::Print;
  if (files && !o.backup) throw UsageError{"--no-backup belongs to read and store"};
  if (o.allRows && o.command != Command::Print) throw UsageError{"--all-rows belongs to print"};
  if (o.device.empty() && !files) throw UsageError{"--device is required"};
  if (o.command == Command::Detect) {
    if (!positional.empty()) throw UsageError{"unexpected argument \"" + positional[0] + "\""};
    return o;
  }
  // A printed file without a rig shows every column.
  if (o.modelIndex < 0 && o.command != Command::Print) throw UsageError{"--rig is required"};
  if (files && !positional.empty()) {
    throw UsageError{"unexpected argument \"" + positional[0] + "\""};
  }
  switch (o.command) {
    case Command::Read:
      if (o.outFile.empty()) throw UsageError{"read needs --out FILE"};
      if (!positional.empty()) throw UsageError{"unexpected argument \"" + positional[0] + "\""};
      if (!o.verify) throw UsageError{"--no-verify belongs to store"};
      break;
    case Command::Store:
      if (o.inFile.empty()) throw UsageError{"store needs --in FILE"};
      if (o.selection == StoreSelection::None) {
        throw UsageError{"store needs one of --rows LIST, --all or --changed"};
      }
      if (!positional.empty()) throw UsageError{"unexpected argument \"" + positional[0] + "\""};
      break;
    case Command::Tune:
      if (positional.empty()) throw UsageError{"tune needs a FREQUENCY in kHz"};
      if (positional.size() > 3) throw UsageError{"tune takes FREQUENCY [MODE [FILTER]]"};
      if (!o.verify) throw UsageError{"--no-verify belongs to store"};
      if (!o.backup) throw UsageError{"--no-backup belongs to read and store"};
      o.frequency = positional[0];
      if (positional.size() > 1) o.mode = canonicalText(kModeTable, positional[1], "mode");
      if (positional.size() > 2) o.filter = canonicalText(kFilterTable, positional[2], "filter");
      break;
    case Command::Import:
      if (o.inFile.empty()) throw UsageError{"import needs --in LIST.csv"};
      if (o.outFile.empty() == o.permanentFile.empty()) {
        throw UsageError{"import needs one of --out FILE or --permanent FILE"};
      }
      if (o.startRow > 0 && o.outFile.empty()) throw UsageError{"--start goes with --out FILE"};
      break;
    case Command::Export:
      if (o.inFile.empty() || o.outFile.empty()) {
        throw UsageError{"export needs --in FILE and --out LIST.csv"};
      }
      break;
    case Command::Print:
      if (o.inFile.empty() || o.outFile.empty()) {
        throw UsageError{"print needs --in FILE and --out FILE.pdf"};
      }
      break;
    case Command::Detect:
    case Command::Rigs:
    case Command::Help:
      break;
  }
  return o;
}

}  // namespace tarnwick::cli
