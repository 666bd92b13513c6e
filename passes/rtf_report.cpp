#include "passes/rtf_report.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/files.h"

namespace zelk::passes {
namespace {

constexpr std::string_view kDocumentStart =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n{\\colortbl ;";
// \uc1: every \uN is followed by one fallback character for readers that
// know no Unicode.
constexpr std::string_view kBodyStart = "}\n\\uc1\\pard\\plain\\f0\\fs20 ";

struct DecodedCharacter {
  std::uint32_t codePoint;
  std::size_t length;
};

// The UTF-8 sequence at the start of `text`; nullopt for an invalid, overlong,
// surrogate or truncated sequence.
std::optional<DecodedCharacter> decodeUtf8(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  std::size_t length = 0;
  std::uint32_t codePoint = 0;
  std::uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1Fu;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0Fu;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07u;
    minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() < length) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return std::nullopt;
    codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return std::nullopt;
  return DecodedCharacter{codePoint, length};
}

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

void appendEscaped(std::string& out, std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    const auto byte = static_cast<std::uint8_t>(c);
    if (c == '\n') {
      out += "\\par\n";
    } else if (c == '\r') {
      // Line breaks are '\n'; a CR before one would only double it.
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      appendHexByte(out, byte);
    } else if (byte < 0x80) {
      out += c;
    } else if (const auto decoded = decodeUtf8(text.substr(i))) {
      if (decoded->codePoint > 0xFFFF) {
        const std::uint32_t offset = decoded->codePoint - 0x10000;
        appendUnicodeUnit(out, 0xD800 + (offset >> 10));
        appendUnicodeUnit(out, 0xDC00 + (offset & 0x3FFu));
      } else {
        appendUnicodeUnit(out, decoded->codePoint);
      }
      i += decoded->length;
      continue;
    } else {
      // Not UTF-8 (a name in some 8-bit code page): kept as the byte it is.
      appendHexByte(out, byte);
    }
    ++i;
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
    appendEscaped(out, run.text);
  }
  out += "}\n";
  return out;
}

bool writeRtfFile(const std::string& path, const std::vector<ColouredRun>& runs) {
  const std::string document = rtfDocument(runs);
  platform::OutputFile file;
  if (!file.create(path)) return false;
  file.write(document.data(), document.size());
  return file.close();
}

}  // namespace zelk::passes
