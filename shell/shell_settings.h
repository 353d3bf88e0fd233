#pragma once
// Every value the program keeps between runs, with its fresh-start value, and
// the rules that read and write them through a settings store: the shared
// group (port and rig, read by the other programs of the suite too), the
// own group "qdl" and its sub-groups.
//
//   ShellSettings s;
//   const bool found = loadSettings(store, s);  // false: a fresh start, s holds fresh values
//   ...
//   saveSettings(store, s);
//
// Strings (names and paths alike) are bytes in the local 8-bit encoding, the
// way file names are held.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rig/duplex_offsets.h"
#include "rig/rig_catalogue.h"
#include "shell/colour.h"
#include "shell/window_bounds.h"

namespace tarnwick {

// Groups of the store: "" is the shared group, the rest sit in the own group.
inline constexpr std::string_view kSharedGroup = "";
inline constexpr std::string_view kOwnGroup = "qdl";
inline constexpr std::string_view kFileColumnWidthGroup = "qdl/qdlfilecolwidth";
inline constexpr std::string_view kRigColumnWidthGroup = "qdl/qdlrigcolwidth";
inline constexpr std::string_view kPortDeviceGroup = "qdl/ports";

// The per-user settings store. A read gives nothing when the value is absent
// or does not read back as the asked type.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Whether anything at all is stored (the shared group holds the own one).
  virtual bool hasSharedGroup() const = 0;
  virtual std::optional<std::string> readString(std::string_view group,
                                                std::string_view key) const = 0;
  virtual std::optional<std::int32_t> readInt(std::string_view group,
                                              std::string_view key) const = 0;
  virtual std::optional<bool> readBool(std::string_view group, std::string_view key) const = 0;
  virtual void writeString(std::string_view group, std::string_view key,
                           std::string_view value) = 0;
  virtual void writeInt(std::string_view group, std::string_view key, std::int32_t value) = 0;
  virtual void writeBool(std::string_view group, std::string_view key, bool value) = 0;
  virtual void remove(std::string_view group, std::string_view key) = 0;
};

// Widths the user gave one table's columns, in pixels, by column index; a
// column the program fits to its content has none.
using ColumnWidths = std::vector<std::optional<int>>;

inline constexpr std::int32_t kFreshBaudRate = 9600;
inline constexpr int kFreshPortNumber = 2;
inline constexpr int kMaxPortNumber = 9;

struct ShellSettings {
  // Shared group.
  int portNumber = kFreshPortNumber;                            // portnum, 1 to 9
  std::int32_t baudRate = kFreshBaudRate;                       // speed
  int modelIndex = kModelIc756Pro;                              // model, a catalogue index
  std::uint8_t storedAddress = defaultAddress(kModelIc756Pro);  // adr

  // Own group.
  std::string gridFontName = "Courier New";        // fon
  int gridFontSize = 8;                            // fsi, points
  std::uint32_t gridFontColor = 0;                 // fco, 0x00BBGGRR
  bool permanentFileShown = true;                  // topv
  bool horizontalGridLines = true;                 // hli
  bool verticalGridLines = true;                   // vli
  std::string dataFolder;                          // path; empty: the user's documents folder
  std::string permanentFileName = "icommemo.txt";  // lffn
  std::string rigFileName = "icommem1.txt";        // lrfn
  WindowPlacement window;                          // left, top, width, height, wsta
  DuplexOffsets offsets;                           // ofhf, of50, of144, in Hz
  bool verifyAfterStore = true;                    // vas
  bool hideEmptyMemories = false;                  // hem
  bool frequenciesInMHz = false;                   // mhz: shown and typed; files keep kHz

  ColumnWidths fileColumnWidths;  // qdlfilecolwidth: Col0, Col1, ...
  ColumnWidths rigColumnWidths;   // qdlrigcolwidth
  // Devices assigned to COM numbers (ports: COM<n>); others use defaultPortDevice(n).
  std::map<int, std::string> portDevices;

  // A stored speed that is not on the Baudrate menu, refused at load in
  // favour of 9600; never stored.
  std::optional<std::int32_t> refusedBaudRate;

  // The port's name as shown and stored: "COM" and the number.
  std::string portName() const { return "COM" + std::to_string(portNumber); }
  // The device COM `port` opens.
  std::string deviceForPort(int port) const;

  bool operator==(const ShellSettings&) const = default;
};

// false when nothing is stored: `settings` then holds the fresh-start
// values. Otherwise every value that is present, of the right type and in
// range is read; the rest keep their fresh-start values.
bool loadSettings(const SettingsStore& store, ShellSettings& settings);

// Writes every value. A minimised window is stored as normal; unset window
// values are not written.
void saveSettings(SettingsStore& store, const ShellSettings& settings);

// The port label: "COM2: 9600", and when a stored speed was refused,
// "COM2: 9600 (stored 57600 refused)".
std::string comLabelText(const std::string& portName, std::int32_t baudRate,
                         std::optional<std::int32_t> refusedBaudRate = std::nullopt);

}  // namespace tarnwick
