#pragma once
// A settings store in memory that keeps each value's type, so that reading a
// value as another type finds nothing, as the real store does.

#include <map>
#include <string>
#include <utility>
#include <variant>

#include "shell/shell_settings.h"

namespace tarnwick::testing {

class FakeSettingsStore : public SettingsStore {
 public:
  using Value = std::variant<std::string, std::int32_t, bool>;
  using Key = std::pair<std::string, std::string>;

  bool hasSharedGroup() const override { return !values.empty(); }
  std::optional<std::string> readString(std::string_view group,
                                        std::string_view key) const override {
    return read<std::string>(group, key);
  }
  std::optional<std::int32_t> readInt(std::string_view group, std::string_view key) const override {
    return read<std::int32_t>(group, key);
  }
  std::optional<bool> readBool(std::string_view group, std::string_view key) const override {
    return read<bool>(group, key);
  }
  void writeString(std::string_view group, std::string_view key, std::string_view value) override {
    set(group, key, std::string(value));
  }
  void writeInt(std::string_view group, std::string_view key, std::int32_t value) override {
    set(group, key, value);
  }
  void writeBool(std::string_view group, std::string_view key, bool value) override {
    set(group, key, value);
  }
  void remove(std::string_view group, std::string_view key) override {
    values.erase(Key(group, key));
  }

  void set(std::string_view group, std::string_view key, Value value) {
    values[Key(group, key)] = std::move(value);
  }
  bool has(std::string_view group, std::string_view key) const {
    return values.contains(Key(group, key));
  }

  std::map<Key, Value> values;

 private:
  template <typename T>
  std::optional<T> read(std::string_view group, std::string_view key) const {
    const auto it = values.find(Key(group, key));
    if (it == values.end() || !std::holds_alternative<T>(it->second)) return std::nullopt;
    return std::get<T>(it->second);
  }
};

}  // namespace tarnwick::testing
