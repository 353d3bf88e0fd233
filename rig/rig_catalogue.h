#pragma once
// The radio models known by CI-V address, and the memory geometry of the
// radios this program edits. Each supported radio is one constant entry.

#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "rig/channel_record.h"
#include "rig/receive_ranges.h"
#include "rig/value_codes.h"

namespace tarnwick {

struct RigCatalogueEntry {
  std::string_view name;
  std::uint8_t defaultAddress;
};

// The models by CI-V address; a model's index is its place here. The
// settings keep the chosen radio as that index, shared with programs that
// read the same file, so the table only ever grows at its end: an entry is
// never moved, removed or put in between.
inline constexpr RigCatalogueEntry kRigCatalogue[] = {
    {"IC-271", 0x20},       {"IC-275", 0x10},     {"IC-375", 0x12},  {"IC-471", 0x22},
    {"IC-475", 0x14},       {"IC-575", 0x16},     {"IC-706", 0x48},  {"IC-706MkII", 0x4E},
    {"IC-706MkII-G", 0x58}, {"IC-707", 0x3E},     {"IC-718", 0x5E},  {"IC-725", 0x28},
    {"IC-726", 0x30},       {"IC-728", 0x38},     {"IC-729", 0x3A},  {"IC-735", 0x04},
    {"IC-736", 0x40},       {"IC-737", 0x3C},     {"IC-738", 0x44},  {"IC-746", 0x56},
    {"IC-746Pro", 0x66},    {"IC-751", 0x1C},     {"IC-756", 0x50},  {"IC-756Pro", 0x5C},
    {"IC-756ProII", 0x64},  {"IC-761", 0x1E},     {"IC-765", 0x2C},  {"IC-775", 0x46},
    {"IC-78", 0x62},        {"IC-781", 0x26},     {"IC-820", 0x42},  {"IC-821", 0x4C},
    {"IC-910", 0x60},       {"IC-970", 0x2E},     {"IC-1271", 0x24}, {"IC-1275", 0x18},
    {"R-10", 0x52},         {"R-71", 0x1A},       {"R-72", 0x32},    {"R-75", 0x5A},
    {"R-7000", 0x08},       {"R-7100", 0x34},     {"R-8500", 0x4A},  {"R-9000", 0x2A},
    {"IC-7300", 0x94},      {"IC-7300MK2", 0xB6}, {"IC-7610", 0x98}, {"IC-7760", 0xB2},
    {"IC-785x", 0x8E},
};

inline constexpr int kCatalogueSize = static_cast<int>(std::size(kRigCatalogue));

// Indexed by model index, 0..kCatalogueSize - 1.
std::span<const RigCatalogueEntry, kCatalogueSize> RigCatalogue();

// The model index of a catalogue name; a name not in the catalogue does
// not compile where a constant is needed.
consteval std::uint8_t catalogueIndex(std::string_view name) {
  for (int i = 0; i < kCatalogueSize; ++i) {
    if (kRigCatalogue[i].name == name) return static_cast<std::uint8_t>(i);
  }
  throw "not a catalogue name";
}

// Model indexes of the radios of the Rig menu.
inline constexpr std::uint8_t kModelIc746 = 19;
inline constexpr std::uint8_t kModelIc746Pro = 20;
inline constexpr std::uint8_t kModelIc756Pro = 23;
inline constexpr std::uint8_t kModelIc756ProII = 24;
inline constexpr std::uint8_t kModelIc910 = 32;
inline constexpr std::uint8_t kModelIcR75 = 39;
inline constexpr std::uint8_t kModelIc7300 = 44;
inline constexpr std::uint8_t kModelIc7300Mk2 = 45;
inline constexpr std::uint8_t kModelIc7610 = 46;

// The byte layouts of a memory-contents answer and write.
enum class MemoryLayout {
  None,             // no layout: the model is neither read nor written
  LongLayout,       // receive part, transmit part, 9-character name
  ShortLayout,      // receive part, 10-character name
  BandLayout,       // band byte, receive part, duplex offset
  ProLayout,        // receive part with data mode, full transmit block, 9-character name
  Ic7300Layout,     // nibble flags, receive part, transmit block, 10-character name
  Ic7300Mk2Layout,  // as Ic7300Layout with a 16-character name (some answers bring 10)
  Ic7610Layout,     // nibble flags, receive part, 10-character name
};

struct RigModel {
  std::uint8_t modelIndex;
  std::string_view menuCaption;
  // The character of the caption that picks the radio in the Rig menu;
  // no two radios share it.
  char menuAccessKey;
  int memoryCount;    // memory numbers 1..memoryCount exist (rig-table data rows)
  bool readable;      // false: the engine has no read sequence for this model
  int bottomRows;     // rows after 99, kept out of sorting
  int lastStoredRow;  // the store searches rows 1..lastStoredRow for Changed marks
  int nameLength;     // characters of a memory name; 0: no name in the memory
  ColumnSet hiddenColumns;
  MemoryLayout readLayout;
  MemoryLayout writeLayout;
  bool usesBand;           // memories are addressed by band and number
  bool hasOffsetSequence;  // the radio's duplex offsets are read at every restart
  // The mode command leaves data mode as it was: a tune sends data on or off
  // in a command of its own (1A 06) after the mode.
  bool tunesDataMode = false;
  // What the radio tunes; for a band-addressed radio one range per band, in
  // band code order. The editing checks and imports hold rows to these.
  std::span<const FrequencyRange> receiveRanges;
  // The Duplex list editor's items: what a memory of the radio keeps.
  std::span<const std::string_view> duplexChoices = tarnwick::duplexChoices;
  // The speed the radio's CI-V port usually runs at (a USB port: 115200).
  int usualBaud = 9600;

  // Last memory number one read walks (0 when the model is not read).
  int lastMemoryRead() const { return readable ? memoryCount : 0; }
  // Rig-table rows including the header row.
  int rigTableRows() const { return memoryCount + 1; }
};

// The supported radios, in Rig menu order.
std::span<const RigModel> supportedModels();

// The geometry of a supported model; nullptr for any other model index.
const RigModel* findRigModel(int modelIndex);

// Catalogue name and default address; empty name and 0 outside the catalogue.
std::string_view modelName(int modelIndex);
std::uint8_t defaultAddress(int modelIndex);

// Text of column 0 of the rig-table row of a memory number: the number for
// 1..99, the model's special channel labels above 99, "?" for anything else.
std::string specialLabel(int modelIndex, int memoryNumber);

// Columns hidden in both tables for the model (none for unknown models).
ColumnSet hiddenColumns(int modelIndex);

}  // namespace tarnwick
