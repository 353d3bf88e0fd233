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
//
// The file is created 0600 in a 0700 folder: it names the user's devices and
// folders.

#include <QMap>
#include <QSettings>
#include <QVariant>
#include <memory>

#include "shell/shell_settings.h"

namespace tarnwick::app {

// When something other than a file stands at the settings file's path (a
// FIFO, a socket, a device, a folder), the store never opens it: it holds
// the values in memory for this run, and sync() fails, saying why.
class QtSettingsStore : public SettingsStore {
 public:
  QtSettingsStore();

  // The INI file, for messages.
  QString fileName() const { return path_; }
  // "a FIFO" when that stands in the file's place; empty when the file is used.
  QString obstacle() const { return obstacle_; }
  // Writes what is pending; false when the file could not be written.
  bool sync();
  // Why the last sync() failed, when known ("Read-only file system").
  QString failure() const { return failure_; }

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
  void setValue(std::string_view group, std::string_view key, const QVariant& value);

  QString path_;
  QString obstacle_;
  QString failure_;
  std::unique_ptr<QSettings> settings_;  // none while the file is not used
  QMap<QString, QVariant> memory_;
};

}  // namespace tarnwick::app
