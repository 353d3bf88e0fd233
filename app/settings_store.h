#pragma once
// The program's settings on disk: QSettings with organisation "Morvane-soft"
// and application "rigbench" in the native format, an INI file in the user's
// XDG config folder ($XDG_CONFIG_HOME/Morvane-soft/rigbench.conf). The shared
// group is the file's top level, the own group "qdl".
//
//   app::QtSettingsStore store;
//   ShellSettings s;
//   loadSettings(store, s);      // at the first activation
//   saveSettings(store, s);      // at shutdown
//   store.sync();                // written when the store goes, at the latest

#include <QSettings>

#include "shell/shell_settings.h"

namespace tarnwick::app {

class QtSettingsStore : public SettingsStore {
 public:
  QtSettingsStore();

  // The INI file, for messages.
  QString fileName() const { return settings_.fileName(); }
  // Writes what is pending; false when the file could not be written.
  bool sync();

  bool hasSharedGroup() const override;
  std::optional<std::string> readString(std::string_view group,
                                        std::string_view key) const override;
  std::optional<std::int32_t> readInt(std::string_view group, std::string_view key) const override;
  std::optional<bool> readBool(std::string_view group, std::string_view key) const override;
  void writeString(std::string_view group, std::string_view key, std::string_view value) override;
  void writeInt(std::string_view group, std::string_view key, std::int32_t value) override;
  void writeBool(std::string_view group, std::string_view key, bool value) override;
  void remove(std::string_view group, std::string_view key) override;

 private:
  QVariant value(std::string_view group, std::string_view key) const;

  QSettings settings_;
};

}  // namespace tarnwick::app
