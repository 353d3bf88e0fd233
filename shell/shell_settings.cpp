#include "shell/shell_settings.h"

#include <cstdint>

#include "serial/serial_devices.h"
#include "shell/model_setup.h"
#include "tables/column_layout.h"

namespace tarnwick {
namespace {

constexpr int kMaxColumnWidth = 10000;
constexpr int kMaxFontSize = 200;
constexpr std::uint32_t kMaxColour = 0xFFFFFF;

std::string columnKey(int col) {
  return "Col" + std::to_string(col);
}

// Marks a group whose widths belong to column indexes. Older groups held one
// width per shown position, which shifted between models; they are not read.
constexpr std::string_view kByColumnKey = "ByColumn";

std::string portKey(int port) {
  return "COM" + std::to_string(port);
}

// Reads of one group's values, each leaving the target at its fresh-start
// value when the store has nothing usable.
class Reader {
 public:
  Reader(const SettingsStore& store, std::string_view group) : store_(store), group_(group) {}

  template <typename T>
  void integer(std::string_view key, T& target, std::int64_t min, std::int64_t max) {
    if (const auto v = store_.readInt(group_, key); v && *v >= min && *v <= max) {
      target = static_cast<T>(*v);
    }
  }
  void flag(std::string_view key, bool& target) {
    if (const auto v = store_.readBool(group_, key)) target = *v;
  }
  // An empty name is no name.
  void name(std::string_view key, std::string& target) {
    if (auto v = store_.readString(group_, key); v && !v->empty()) target = std::move(*v);
  }
  void text(std::string_view key, std::string& target) {
    if (auto v = store_.readString(group_, key)) target = std::move(*v);
  }
  void side(std::string_view key, std::optional<int>& target, std::int64_t min) {
    if (const auto v = store_.readInt(group_, key); v && *v >= min) target = *v;
  }

 private:
  const SettingsStore& store_;
  std::string_view group_;
};

ColumnWidths readColumnWidths(const SettingsStore& store, std::string_view group) {
  if (store.readBool(group, kByColumnKey) != true) return {};
  ColumnWidths widths(kColumnCount);
  bool any = false;
  for (int col = 0; col < kColumnCount; ++col) {
    const auto v = store.readInt(group, columnKey(col));
    if (v && *v >= 1 && *v <= kMaxColumnWidth) {
      widths[static_cast<std::size_t>(col)] = *v;
      any = true;
    }
  }
  if (!any) widths.clear();
  return widths;
}

// Every column is written or removed, so no width of an older layout stays.
void writeColumnWidths(SettingsStore& store, std::string_view group, const ColumnWidths& widths) {
  store.writeBool(group, kByColumnKey, true);
  for (int col = 0; col < kColumnCount; ++col) {
    const auto c = static_cast<std::size_t>(col);
    if (c < widths.size() && widths[c]) {
      store.writeInt(group, columnKey(col), *widths[c]);
    } else {
      store.remove(group, columnKey(col));
    }
  }
}

}  // namespace

std::string ShellSettings::deviceForPort(int port) const {
  const auto it = portDevices.find(port);
  return it != portDevices.end() ? it->second : defaultPortDevice(port);
}

bool loadSettings(const SettingsStore& store, ShellSettings& settings) {
  settings = ShellSettings{};
  if (!store.hasSharedGroup()) return false;

  Reader shared(store, kSharedGroup);
  shared.integer("portnum", settings.portNumber, 1, kMaxPortNumber);
  if (const auto speed = store.readInt(kSharedGroup, "speed")) {
    if (isMenuBaudRate(*speed)) {
      settings.baudRate = *speed;
    } else {
      settings.refusedBaudRate = *speed;
    }
  }
  shared.integer("model", settings.modelIndex, 0, kCatalogueSize - 1);
  shared.integer("adr", settings.storedAddress, 0, 255);

  Reader own(store, kOwnGroup);
  own.name("fon", settings.gridFontName);
  own.integer("fsi", settings.gridFontSize, 1, kMaxFontSize);
  own.integer("fco", settings.gridFontColor, 0, kMaxColour);
  own.flag("topv", settings.permanentFileShown);
  own.flag("hli", settings.horizontalGridLines);
  own.flag("vli", settings.verticalGridLines);
  own.text("path", settings.dataFolder);
  own.name("lffn", settings.permanentFileName);
  own.name("lrfn", settings.rigFileName);
  own.integer("wsta", settings.window.state, kWindowNormal, kWindowMaximised);
  if (settings.window.state == kWindowMinimised) settings.window.state = kWindowNormal;
  own.side("left", settings.window.left, INT32_MIN);
  own.side("top", settings.window.top, INT32_MIN);
  own.side("width", settings.window.width, kMinStoredWindowSide);
  own.side("height", settings.window.height, kMinStoredWindowSide);
  own.integer("ofhf", settings.offsets.hf, INT32_MIN, INT32_MAX);
  own.integer("of50", settings.offsets.mhz50, INT32_MIN, INT32_MAX);
  own.integer("of144", settings.offsets.mhz144, INT32_MIN, INT32_MAX);
  own.flag("vas", settings.verifyAfterStore);
  own.flag("hem", settings.hideEmptyMemories);
  own.flag("mhz", settings.frequenciesInMHz);

  settings.fileColumnWidths = readColumnWidths(store, kFileColumnWidthGroup);
  settings.rigColumnWidths = readColumnWidths(store, kRigColumnWidthGroup);
  for (int port = 1; port <= kMaxPortNumber; ++port) {
    // Only a full path: a relative one would depend on the folder the program starts in.
    auto device = store.readString(kPortDeviceGroup, portKey(port));
    if (device && device->starts_with('/')) settings.portDevices[port] = std::move(*device);
  }
  return true;
}

void saveSettings(SettingsStore& store, const ShellSettings& s) {
  store.writeString(kSharedGroup, "port", s.portName());
  store.writeInt(kSharedGroup, "speed", s.baudRate);
  store.writeInt(kSharedGroup, "portnum", s.portNumber);
  store.writeInt(kSharedGroup, "model", s.modelIndex);
  store.writeInt(kSharedGroup, "adr", s.storedAddress);

  store.writeString(kOwnGroup, "fon", s.gridFontName);
  store.writeInt(kOwnGroup, "fsi", s.gridFontSize);
  store.writeInt(kOwnGroup, "fco", static_cast<std::int32_t>(s.gridFontColor));
  store.writeBool(kOwnGroup, "topv", s.permanentFileShown);
  store.writeBool(kOwnGroup, "hli", s.horizontalGridLines);
  store.writeBool(kOwnGroup, "vli", s.verticalGridLines);
  store.writeString(kOwnGroup, "path", s.dataFolder);
  store.writeString(kOwnGroup, "lffn", s.permanentFileName);
  store.writeString(kOwnGroup, "lrfn", s.rigFileName);
  for (const auto& [key, value] :
       {std::pair{"left", s.window.left}, std::pair{"top", s.window.top},
        std::pair{"height", s.window.height}, std::pair{"width", s.window.width}}) {
    if (value) store.writeInt(kOwnGroup, key, *value);
  }
  store.writeInt(kOwnGroup, "wsta",
                 s.window.state == kWindowMaximised ? kWindowMaximised : kWindowNormal);
  store.writeInt(kOwnGroup, "ofhf", s.offsets.hf);
  store.writeInt(kOwnGroup, "of50", s.offsets.mhz50);
  store.writeInt(kOwnGroup, "of144", s.offsets.mhz144);
  store.writeBool(kOwnGroup, "vas", s.verifyAfterStore);
  store.writeBool(kOwnGroup, "hem", s.hideEmptyMemories);
  store.writeBool(kOwnGroup, "mhz", s.frequenciesInMHz);

  writeColumnWidths(store, kFileColumnWidthGroup, s.fileColumnWidths);
  writeColumnWidths(store, kRigColumnWidthGroup, s.rigColumnWidths);
  for (int port = 1; port <= kMaxPortNumber; ++port) {
    const auto it = s.portDevices.find(port);
    if (it != s.portDevices.end() && !it->second.empty()) {
      store.writeString(kPortDeviceGroup, portKey(port), it->second);
    } else {
      store.remove(kPortDeviceGroup, portKey(port));
    }
  }
}

std::string comLabelText(const std::string& portName, std::int32_t baudRate,
                         std::optional<std::int32_t> refusedBaudRate) {
  std::string text = portName + ": " + std::to_string(baudRate);
  if (refusedBaudRate) text += " (stored " + std::to_string(*refusedBaudRate) + " refused)";
  return text;
}

}  // namespace tarnwick
