#pragma once
// The core keeps names and texts as byte strings in the local 8-bit encoding;
// Qt wants QString. These two are the only crossings.

#include <QFile>
#include <QString>
#include <string>

namespace zelk::ui {

inline QString toQt(const std::string& bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

inline std::string fromQt(const QString& text) {
  const QByteArray bytes = QFile::encodeName(text);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace zelk::ui
