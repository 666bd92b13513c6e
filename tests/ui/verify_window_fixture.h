#pragma once
// The verify window's tests: each works in a folder of its own as the current
// directory, and reads the report back line by line with its colours.

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "tests/support/language_folders.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/modal_answers.h"
#include "ui/verify_window.h"

namespace zelk::ui::verify_test {

using listfile::ChecksumMode;
using modal::chooseMode;

// Checksums from their published sources: the CRC-32 check value of
// "123456789" and the MD5 of "abc" from RFC 1321.
inline constexpr char kCheckText[] = "123456789";
inline constexpr char kCheckCrc[] = "cbf43926";
inline constexpr char kAbcMd5[] = "900150983cd24fb0d6963f7d28e17f72";

inline std::string listOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct Line {
  std::string text;
  std::string colour;  // "green", "red", "default" or the colour's #rrggbb
  friend bool operator==(const Line&, const Line&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Line& line) {
  return out << '"' << line.text << "\" [" << line.colour << "]";
}

inline std::string colourName(const QTextCharFormat& format) {
  if (!format.hasProperty(QTextFormat::ForegroundBrush)) return "default";
  const QColor colour = format.foreground().color();
  if (colour == QColor(0, 128, 0)) return "green";
  if (colour == QColor(255, 0, 0)) return "red";
  return colour.name().toStdString();
}

// The report's lines with the colour of their text ("mixed" when it varies).
inline std::vector<Line> reportOf(const VerifyWindow& window) {
  std::vector<Line> lines;
  const QTextDocument* document = window.reportView->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    std::string colour;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const std::string name = colourName(it.fragment().charFormat());
      colour = colour.empty() || colour == name ? name : "mixed";
    }
    lines.push_back({block.text().toStdString(), colour.empty() ? colourName(block.charFormat()) : colour});
  }
  return lines;
}

inline std::string text(const QLabel* label) { return label->text().toStdString(); }
inline std::string text(const QPushButton* button) { return button->text().toStdString(); }

// Each test works in a folder of its own as the current directory, with a
// program folder of its own for the language file.
class VerifyWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDirectory_ = platform::currentDirectory();
    ASSERT_TRUE(platform::setCurrentDirectory(folder_.path()));
  }
  void TearDown() override {
    platform::setCurrentDirectory(previousDirectory_);
  }

  // Opens a verify window as its opener does and waits for its pass to end;
  // queue the chooser's answer first, where it is asked.
  std::unique_ptr<VerifyWindow> openWindow(engines::ProgressSink* progress = nullptr, const std::string& listName = {}) {
    auto window = std::make_unique<VerifyWindow>(nullptr, progress, listName);
    QSignalSpy ended(window.get(), &VerifyWindow::passFinished);
    window->show();
    EXPECT_TRUE(ended.wait(60000)) << "the pass did not end";
    return window;
  }

  // The folder without its trailing '/', as the window names it.
  std::string folderName() const { return folder_.path().substr(0, folder_.path().size() - 1); }

  zelk::testing::LanguageFolders languages_;
  const zelk::testing::TempFolder& programFolder_ = languages_.program();
  zelk::testing::TempFolder folder_;
  std::string previousDirectory_;
};

}  // namespace zelk::ui::verify_test
