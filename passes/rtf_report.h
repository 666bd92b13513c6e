#pragma once
// The saved report: an RTF document of coloured lines. Written here rather
// than by a toolkit so that the window and the command-line tool save the
// same document, and names with braces, backslashes and any letters survive.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listfile/list_naming.h"

namespace zelk::passes {

struct RgbColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

inline constexpr RgbColour kIntactColour{0, 128, 0};
inline constexpr RgbColour kFailedColour{255, 0, 0};
inline constexpr RgbColour kDefaultColour{0, 0, 0};

using listfile::kReportFileName;

// A run of text in one colour; text is shown as displayText() shows it and
// may hold line breaks ('\n').
struct ColouredRun {
  std::string text;
  RgbColour colour;
};

// A complete RTF document. Every non-ASCII character is written as \uN with
// an ASCII fallback, so the file reads the same in any word processor.
std::string rtfDocument(const std::vector<ColouredRun>& runs);

// Writes rtfDocument(runs) in place of `path` (see PendingFile); false when
// that fails, and `path` is then as it was.
bool writeRtfFile(const std::string& path, const std::vector<ColouredRun>& runs);

// What both front ends do to save a report: writes `runs` as the report file
// of `folder`, and gives the looked-up message saying where it is, filled
// with `lineBreak` and `shownFolder`. Nullopt when it could not be written.
std::optional<std::string> saveReport(const std::string& folder, const std::vector<ColouredRun>& runs,
                                      std::string_view lineBreak, const std::string& shownFolder);

}  // namespace zelk::passes
