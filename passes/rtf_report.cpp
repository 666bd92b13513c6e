#include "passes/rtf_report.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "language/message_format.h"
#include "language/texts.h"
#include "passes/display_text.h"
#include "platform/directory.h"
#include "platform/pending_file.h"

namespace zelk::passes {
namespace {

constexpr std::string_view kDocumentStart =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n{\\colortbl ;";
// \uc1: every \uN is followed by one fallback character for readers that
// know no Unicode.
constexpr std::string_view kBodyStart = "}\n\\uc1\\pard\\plain\\f0\\fs20 ";

// RTF takes \uN with N as a signed 16-bit number. The fallback '?' is
// written as \'3f, as word processors write it: some readers (unrtf, older
// pandoc) take a literal '?' for the end of the control word and then skip
// the character after it as the fallback.
void appendUnicodeUnit(std::string& out, std::uint32_t unit) {
  const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(unit));
  out += "\\u" + std::to_string(value) + "\\'3f";
}

void appendHexByte(std::string& out, std::uint8_t byte) {
  constexpr std::string_view digits = "0123456789abcdef";
  out += "\\'";
  out += digits[byte >> 4];
  out += digits[byte & 0x0Fu];
}

// `text` is valid UTF-8 (see displayText).
void appendEscaped(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const DecodedCharacter decoded = *decodeUtf8(text);
    text.remove_prefix(decoded.length);
    const std::uint32_t c = decoded.codePoint;
    if (c == '\n') {
      out += "\\par\n";
    } else if (c == '\r') {
      // Line breaks are '\n'; a CR before one would only double it.
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      appendHexByte(out, static_cast<std::uint8_t>(c));
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c > 0xFFFF) {
      const std::uint32_t offset = c - 0x10000;
      appendUnicodeUnit(out, 0xD800 + (offset >> 10));
      appendUnicodeUnit(out, 0xDC00 + (offset & 0x3FFu));
    } else {
      appendUnicodeUnit(out, c);
    }
  }
}

}  // namespace

std::string rtfDocument(const std::vector<ColouredRun>& runs) {
  std::vector<RgbColour> table;
  for (const ColouredRun& run : runs) {
    if (std::find(table.begin(), table.end(), run.colour) == table.end()) table.push_back(run.colour);
  }
  std::string out(kDocumentStart);
  for (const RgbColour& colour : table) {
    out += "\\red" + std::to_string(colour.red) + "\\green" + std::to_string(colour.green) + "\\blue" +
           std::to_string(colour.blue) + ";";
  }
  out += kBodyStart;
  for (const ColouredRun& run : runs) {
    // Index 0 of the table is the reader's default colour, so ours start at 1.
    const auto index = std::find(table.begin(), table.end(), run.colour) - table.begin() + 1;
    out += "\\cf" + std::to_string(index) + " ";
    appendEscaped(out, displayText(run.text));
  }
  out += "}\n";
  return out;
}

bool writeRtfFile(const std::string& path, const std::vector<ColouredRun>& runs) {
  const std::string document = rtfDocument(runs);
  platform::PendingFile file(path);
  file.write(document.data(), document.size());
  return file.commit();
}

std::optional<std::string> saveReport(const std::string& folder, const std::vector<ColouredRun>& runs,
                                      std::string_view lineBreak, const std::string& shownFolder) {
  if (!writeRtfFile(platform::withTrailingSlash(folder) + kReportFileName, runs)) return std::nullopt;
  return language::formatTemplate(language::translated(language::texts::ResultSave),
                                  {std::string(lineBreak), shownFolder});
}

}  // namespace zelk::passes
