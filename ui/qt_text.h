#pragma once
// The core keeps names and texts as byte strings in the local 8-bit encoding;
// Qt wants QString. These are the only crossings.

#include <QFile>
#include <QString>
#include <string>

#include "passes/display_text.h"

namespace zelk::ui {

// A path or a looked-up text, to and from Qt.
inline QString toQt(const std::string& bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// A text that names files (a report or memo line, a list's creator line) as
// every front end shows it; unlike toQt, the way back is not fromQt.
inline QString toShownQt(const std::string& bytes) {
  const std::string shown = passes::displayText(bytes);
  return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

inline std::string fromQt(const QString& text) {
  const QByteArray bytes = QFile::encodeName(text);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace zelk::ui
