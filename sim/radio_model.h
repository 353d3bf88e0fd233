#pragma once
// The radios the simulator can play, one constant entry each.

#include <optional>
#include <span>
#include <string_view>

#include "sim/civ_bytes.h"

namespace tarnwick::sim {

// How the radio lays out one memory's contents on the bus.
enum class Layout {
  Long,   // IC-746: receive part, transmit part, 9-character name
  Short,  // IC-756Pro family: receive part, 10-character name
  Band,   // IC-910: band byte, receive part, duplex offset in the memory
  Pro,    // IC-746Pro: receive part with data mode and DTCS, transmit block, name
  // IC-7300 family: split-and-select byte, receive part with a data-and-tone
  // byte, transmit block, name.
  DataTone,
  DataToneShort,  // IC-7610: as DataTone without the transmit block
};

inline bool isDataToneLayout(Layout layout) {
  return layout == Layout::DataTone || layout == Layout::DataToneShort;
}

// How a controller learns the radio's three duplex offsets.
enum class OffsetAccess {
  None,
  OffsetCommand,  // tune into the band, then command 0C (IC-746)
  MenuItems,      // 1A 05 14 / 15 / 16 (IC-746Pro)
};

struct RadioModel {
  std::string_view name;
  Byte address;
  Layout layout;
  int memoryCount;  // memory numbers 1..memoryCount, per band where there are bands
  int bandCount;    // 0: memories are not addressed by band
  int nameLength;   // 0: no name in the memory
  OffsetAccess offsetAccess;
  // A second name length the radio can be told to play, as some programs
  // declare the IC-7300MK2 with the IC-7300's name; 0: none.
  int otherNameLength = 0;

  bool usesBands() const { return bandCount > 0; }
};

std::span<const RadioModel> radioModels();

// Accepts the name in any case, with or without the "IC-" prefix.
const RadioModel* findRadioModel(std::string_view name);

// The model with another name length (nameLength or otherNameLength);
// nothing when the model cannot play that length.
std::optional<RadioModel> withNameLength(const RadioModel& model, int nameLength);

}  // namespace tarnwick::sim
