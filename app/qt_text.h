#pragma once
// The one crossing between the core's texts and Qt's. Cell texts are Latin-1
// bytes, one character per byte; file paths are bytes in the local 8-bit
// encoding, so that any name the file system holds can be opened again.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::app {

inline QString toQt(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// Whether every character has a Latin-1 byte.
inline bool isLatin1(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() > 0xFF) return false;
  }
  return true;
}

// The Latin-1 bytes of a text, or nothing when a character has none: such a
// text is refused, never stored with "?" in its place.
inline std::optional<std::string> toLatin1(const QString& text) {
  if (!isLatin1(text)) return std::nullopt;
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

inline QString pathToQt(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string pathFromQt(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace tarnwick::app
