#include "shell/model_setup.h"

#include <algorithm>
#include <array>

#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

constexpr std::array<MenuEntry, 8> kComEntries{{{"COM &1", 1},
                                                {"COM &2", 2},
                                                {"COM &3", 3},
                                                {"COM &4", 4},
                                                {"COM &5", 5},
                                                {"COM &6", 6},
                                                {"COM &7", 7},
                                                {"COM &8", 8}}};

// The radios with a USB port run at 115200 by default.
constexpr std::array<MenuEntry, 8> kBaudEntries{{{"&300", 300},
                                                 {"&1200", 1200},
                                                 {"&4800", 4800},
                                                 {"&9600", 9600},
                                                 {"192&00", 19200},
                                                 {"3&8400", 38400},
                                                 {"&57600", 57600},
                                                 {"115&200", 115200}}};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

ModelSetup modelSetup(int modelIndex) {
  ModelSetup setup;
  setup.defaultAddress = defaultAddress(modelIndex);
  setup.label = modelName(modelIndex);
  if (const RigModel* model = findRigModel(modelIndex)) {
    setup.lastMemoryNumber = model->lastMemoryRead();
    setup.bandBoxEnabled = model->usesBand;
    setup.offsetsEntryEnabled = model->hasOffsetSequence;
    setup.hiddenColumns = model->hiddenColumns;
  }
  return setup;
}

std::string addressText(std::uint8_t address) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[address >> 4], kDigits[address & 0xF]};
}

std::optional<std::uint8_t> parseAddressText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    const int digit = hexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<std::uint8_t>(value);
}

std::span<const MenuEntry> comMenuEntries() {
  return kComEntries;
}

std::span<const MenuEntry> baudMenuEntries() {
  return kBaudEntries;
}

bool isMenuBaudRate(std::int32_t rate) {
  return std::ranges::any_of(kBaudEntries, [rate](const MenuEntry& e) { return e.value == rate; });
}

std::vector<MenuEntry> rigMenuEntries() {
  std::vector<MenuEntry> entries;
  for (const RigModel& m : supportedModels()) entries.push_back({m.menuCaption, m.modelIndex});
  return entries;
}

std::string comEntryCaption(const MenuEntry& entry, std::string_view device) {
  std::string caption(entry.caption);
  if (!device.empty()) caption.append("\t").append(device);
  return caption;
}

}  // namespace tarnwick
