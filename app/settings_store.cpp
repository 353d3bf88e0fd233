#include "app/settings_store.h"

#include <QStandardPaths>
#include <limits>

#include "app/qt_text.h"
#include "shell/settings_file.h"

namespace tarnwick::app {
namespace {

QString keyPath(std::string_view group, std::string_view key) {
  QString path = QString::fromLatin1(group.data(), static_cast<qsizetype>(group.size()));
  if (!path.isEmpty()) path += u'/';
  return path + QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

bool isInteger(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      return true;
    default:
      return false;
  }
}

// A decimal integer as the INI file holds it: "9600", "-1500".
std::optional<qlonglong> integerText(const QString& text) {
  bool ok = false;
  const qlonglong n = text.trimmed().toLongLong(&ok, 10);
  return ok ? std::optional(n) : std::nullopt;
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : path_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/Morvane-soft/rigbench.conf")) {
  obstacle_ = QString::fromStdString(settingsFileObstacle(pathFromQt(path_)));
  if (!obstacle_.isEmpty()) return;
  // A folder or file that cannot be made is told by sync(); reading goes on.
  failure_ = QString::fromStdString(prepareSettingsFile(pathFromQt(path_)));
  settings_ =
      std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                  QStringLiteral("Morvane-soft"), QStringLiteral("rigbench"));
}

bool QtSettingsStore::sync() {
  if (!settings_) {
    failure_ = QStringLiteral("it is %1").arg(obstacle_);
    return false;
  }
  // Something put in the file's place meanwhile is not written over.
  if (const std::string there = settingsFileObstacle(pathFromQt(path_)); !there.empty()) {
    failure_ = QStringLiteral("it is %1").arg(QString::fromStdString(there));
    return false;
  }
  settings_->sync();
  if (settings_->status() == QSettings::NoError) {
    failure_.clear();
    return true;
  }
  if (failure_.isEmpty()) {
    failure_ = QString::fromStdString(prepareSettingsFile(pathFromQt(path_)));
  }
  return false;
}

QVariant QtSettingsStore::value(std::string_view group, std::string_view key) const {
  if (!settings_) return memory_.value(keyPath(group, key));
  return settings_->value(keyPath(group, key));
}

void QtSettingsStore::setValue(std::string_view group, std::string_view key,
                               const QVariant& value) {
  if (!settings_) {
    memory_.insert(keyPath(group, key), value);
  } else {
    settings_->setValue(keyPath(group, key), value);
  }
}

bool QtSettingsStore::hasSharedGroup() const {
  return settings_ ? !settings_->allKeys().isEmpty() : !memory_.isEmpty();
}

// The INI file gives every value back as text; a value written in this run
// is still held with its own type. Anything else (a list, a byte array) is
// of the wrong type for all three reads.
std::optional<std::string> QtSettingsStore::readString(std::string_view group,
                                                       std::string_view key) const {
  const QVariant v = value(group, key);
  if (v.typeId() != QMetaType::QString) return std::nullopt;
  return pathFromQt(v.toString());
}

std::optional<std::int32_t> QtSettingsStore::readInt(std::string_view group,
                                                     std::string_view key) const {
  const QVariant v = value(group, key);
  std::optional<qlonglong> n;
  if (isInteger(v)) {
    bool ok = false;
    n = v.toLongLong(&ok);
    if (!ok) n.reset();
  } else if (v.typeId() == QMetaType::QString) {
    n = integerText(v.toString());
  }
  if (!n || *n < std::numeric_limits<std::int32_t>::min() ||
      *n > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*n);
}

// "true" and "false" as written here; a number, as other programs of the
// suite write flags, is true unless 0.
std::optional<bool> QtSettingsStore::readBool(std::string_view group, std::string_view key) const {
  const QVariant v = value(group, key);
  if (v.typeId() == QMetaType::Bool) return v.toBool();
  if (isInteger(v)) return v.toLongLong() != 0;
  if (v.typeId() != QMetaType::QString) return std::nullopt;
  const QString text = v.toString().trimmed();
  if (text.compare(u"true", Qt::CaseInsensitive) == 0) return true;
  if (text.compare(u"false", Qt::CaseInsensitive) == 0) return false;
  if (const auto n = integerText(text)) return *n != 0;
  return std::nullopt;
}

void QtSettingsStore::writeString(std::string_view group, std::string_view key,
                                  std::string_view value) {
  setValue(group, key, pathToQt(value));
}

void QtSettingsStore::writeInt(std::string_view group, std::string_view key, std::int32_t value) {
  setValue(group, key, value);
}

void QtSettingsStore::writeBool(std::string_view group, std::string_view key, bool value) {
  setValue(group, key, value);
}

void QtSettingsStore::remove(std::string_view group, std::string_view key) {
  const QString path = keyPath(group, key);
  if (settings_) {
    settings_->remove(path);
    return;
  }
  // As QSettings does: the key and everything below it.
  memory_.remove(path);
  const QString below = path + u'/';
  for (auto it = memory_.begin(); it != memory_.end();) {
    it = it.key().startsWith(below) ? memory_.erase(it) : std::next(it);
  }
}

}  // namespace tarnwick::app
