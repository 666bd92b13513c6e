#pragma once
// Records everything a verify pass tells its front end, for the passes' tests.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "passes/verify_pass.h"

namespace zelk::passes {

struct Line {
  std::string text;
  ReportColour colour;
  friend bool operator==(const Line&, const Line&) = default;
};

inline void PrintTo(const Line& line, std::ostream* out) {
  static const char* const names[] = {"Default", "Green", "Red"};
  *out << '"' << line.text << "\" " << names[static_cast<int>(line.colour)];
}

class RecordingObserver final : public VerifyObserver {
 public:
  void creatorText(const std::string& text) override { creators.push_back(text); }
  void commentText(const std::string& text) override { comments.push_back(text); }
  void entryKind(engines::ChecksumKind kind) override { kinds.push_back(kind); }
  void entryChecked(const CheckedEntry& entry) override {
    checked.push_back(entry);
    reportLine(entry.line, entry.colour);
  }
  void reportLine(const std::string& text, ReportColour colour) override {
    lines.push_back({text, colour});
    afterLine();
  }
  void errorMessage(const std::string& text) override { errors.push_back(text); }
  void showProgress() override { ++shown; }
  void setProgress(int) override {}
  void hideProgress() override { ++hidden; }

  std::vector<std::string> creators;
  std::vector<std::string> comments;
  std::vector<engines::ChecksumKind> kinds;
  std::vector<CheckedEntry> checked;
  std::vector<Line> lines;
  std::vector<std::string> errors;
  int shown = 0;
  int hidden = 0;
  std::function<void()> afterLine = [] {};
};

}  // namespace zelk::passes
