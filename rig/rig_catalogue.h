#pragma once
// The radio models known by CI-V address, and the memory geometry of the
// radios this program edits. Each supported radio is one constant entry.

#include <cstdint>
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

inline constexpr int kCatalogueSize = 47;

// Indexed by model index, 0..46.
std::span<const RigCatalogueEntry, kCatalogueSize> RigCatalogue();

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
