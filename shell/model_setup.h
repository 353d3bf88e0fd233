#pragma once
// What the window sets up for a radio model, and the entries of the COM,
// Baudrate and Rig menus. Data the window reads; the models' own values
// come from the rig catalogue.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/channel_record.h"

namespace tarnwick {

struct ModelSetup {
  // Memories the engine reads; nothing for a model outside the Rig menu,
  // which keeps the previous value.
  std::optional<int> lastMemoryNumber;
  std::uint8_t defaultAddress = 0;
  std::string_view label;  // the model label: the catalogue name
  // Only a radio with bands (the IC-910) has the band box; it is on while
  // the rig side is not locked.
  bool hasBandBox = false;
  bool offsetsEntryEnabled = false;  // Options, "Edit &Duplex Offsets (746, 746Pro) ..."
  ColumnSet hiddenColumns;           // hidden in both tables
};

// For any model index; outside the catalogue the label is empty and the
// address 0.
ModelSetup modelSetup(int modelIndex);

// The address edit's text: two upper-case hexadecimal digits; it reads
// back with parseCivAddress.
std::string addressText(std::uint8_t address);

struct MenuEntry {
  std::string_view caption;  // with its accelerator
  int value;                 // port number, speed or model index
};

// "COM &1" to "COM &8".
std::span<const MenuEntry> comMenuEntries();
// "&300", "&1200", "&4800", "&9600", "192&00", "3&8400", "&57600", "115&200".
std::span<const MenuEntry> baudMenuEntries();
bool isMenuBaudRate(std::int32_t rate);
// The radios of the Rig menu, in menu order, with their model indexes;
// each caption marks the radio's access key ("IC-7&46").
std::span<const MenuEntry> rigMenuEntries();

// A COM entry with the device it opens after a tab, which menus show in
// their right-hand column: "COM &2\t/dev/ttyS1".
std::string comEntryCaption(const MenuEntry& entry, std::string_view device);

}  // namespace tarnwick
