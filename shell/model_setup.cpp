#include "shell/model_setup.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

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

}  // namespace

ModelSetup modelSetup(int modelIndex) {
  ModelSetup setup;
  setup.defaultAddress = defaultAddress(modelIndex);
  setup.label = modelName(modelIndex);
  if (const RigModel* model = findRigModel(modelIndex)) {
    setup.lastMemoryNumber = model->lastMemoryRead();
    setup.hasBandBox = model->usesBand;
    setup.offsetsEntryEnabled = model->hasOffsetSequence;
    setup.hiddenColumns = model->hiddenColumns;
  }
  return setup;
}

std::string addressText(std::uint8_t address) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[address >> 4], kDigits[address & 0xF]};
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

std::span<const MenuEntry> rigMenuEntries() {
  // Built once: the entries point into these captions for the whole run.
  static const std::vector<std::string> captions = [] {
    std::vector<std::string> all;
    for (const RigModel& m : supportedModels()) {
      std::string caption(m.menuCaption);
      caption.insert(std::min(caption.find(m.menuAccessKey), caption.size()), 1, '&');
      all.push_back(std::move(caption));
    }
    return all;
  }();
  static const std::vector<MenuEntry> entries = [] {
    std::vector<MenuEntry> all;
    const auto models = supportedModels();
    for (std::size_t i = 0; i < models.size(); ++i) {
      all.push_back({captions[i], models[i].modelIndex});
    }
    return all;
  }();
  return entries;
}

std::string comEntryCaption(const MenuEntry& entry, std::string_view device) {
  std::string caption(entry.caption);
  if (!device.empty()) caption.append("\t").append(device);
  return caption;
}

}  // namespace tarnwick
