// A list of any bytes, read in all three modes as a list of every name, each entry's report line
// written into an RTF report: nothing may crash, leak or hang, and what comes
// out must hold the promises readers of it rely on.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engines/algorithm.h"
#include "listfile/list_reader.h"
#include "passes/display_text.h"
#include "passes/rtf_report.h"

namespace {

using zelk::engines::ChecksumKind;
using zelk::listfile::ChecksumMode;
using zelk::listfile::ListEntry;

void require(bool condition) {
  if (!condition) std::abort();
}

class ReportingVisitor final : public zelk::listfile::ListVisitor {
 public:
  explicit ReportingVisitor(ChecksumMode mode) : mode_(mode) {}

  void creatorLine(const std::string& text) override { runs.push_back({text + "\n", zelk::passes::kDefaultColour}); }
  void commentLine(const std::string& text) override { runs.push_back({text + "\n", zelk::passes::kDefaultColour}); }
  void entry(const ListEntry& entry) override {
    require(!entry.kinds.empty());
    require(mode_ != ChecksumMode::Crc32 || entry.kinds == ChecksumKind::Crc32);
    require(mode_ != ChecksumMode::Md5 || entry.kinds == ChecksumKind::Md5);
    entry.kinds.forEach([&](ChecksumKind kind) {
      require(entry.expected.size() <= 2 * zelk::engines::AlgorithmOf(kind).digestSize);
    });
    const bool intact = zelk::listfile::checksumTextsMatch(entry.expected, "00000000");
    runs.push_back({"FILE: " + std::string(entry.name) + " " + std::string(entry.expected) + "\n",
                    intact ? zelk::passes::kIntactColour : zelk::passes::kFailedColour});
  }

  std::vector<zelk::passes::ColouredRun> runs;

 private:
  ChecksumMode mode_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<const zelk::listfile::ListDialect*> dialects{nullptr};
  for (const zelk::listfile::ListDialect& dialect : zelk::listfile::ListDialects()) dialects.push_back(&dialect);
  for (const ChecksumMode mode : {ChecksumMode::Automatic, ChecksumMode::Crc32, ChecksumMode::Md5}) {
    for (const zelk::listfile::ListDialect* dialect : dialects) {
      ReportingVisitor visitor(mode);
      zelk::listfile::readList(text, {mode, dialect}, visitor);
      const std::string document = zelk::passes::rtfDocument(visitor.runs);
      // Every character is escaped into 7-bit ASCII, and the document closes.
      for (const char c : document) require(static_cast<unsigned char>(c) < 0x80);
      require(document.starts_with("{\\rtf1") && document.ends_with("}\n"));
    }
  }
  // Shown text is valid UTF-8, so showing it again changes nothing.
  const std::string shown = zelk::passes::displayText(text);
  require(zelk::passes::displayText(shown) == shown);
  return 0;
}
