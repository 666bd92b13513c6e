#include "cli/json_lines.h"

#include <openssl/evp.h>

#include <optional>

#include "cli/terminal.h"
#include "passes/display_text.h"

namespace zelk::cli {
namespace {

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

// `bytes` with every byte that is no part of a valid UTF-8 sequence as
// U+FFFD; nothing when they are valid UTF-8 as they are.
std::optional<std::string> replacedInvalidBytes(std::string_view bytes) {
  std::string text;
  bool replaced = false;
  while (!bytes.empty()) {
    if (const auto decoded = passes::decodeUtf8(bytes)) {
      text.append(bytes.substr(0, decoded->length));
      bytes.remove_prefix(decoded->length);
    } else {
      passes::appendUtf8(text, kReplacementCharacter);
      bytes.remove_prefix(1);
      replaced = true;
    }
  }
  if (!replaced) return std::nullopt;
  return text;
}

}  // namespace

void putText(nlohmann::ordered_json& object, const std::string& key, std::string_view bytes) {
  if (std::optional<std::string> replaced = replacedInvalidBytes(bytes)) {
    object[key] = std::move(*replaced);
    object[key + "_base64"] = base64(bytes);
  } else {
    object[key] = std::string(bytes);
  }
}

void printJson(const nlohmann::ordered_json& object) { printLine(stdout, object.dump(), TerminalColour::Plain); }

std::string base64(std::string_view bytes) {
  std::string text;
  // EVP_EncodeBlock takes an int: a name or list path is far shorter.
  constexpr std::size_t kPiece = 48 * 1024;
  for (std::size_t start = 0; start < bytes.size(); start += kPiece) {
    const std::string_view piece = bytes.substr(start, kPiece);
    const std::size_t at = text.size();
    text.resize(at + (piece.size() + 2) / 3 * 4 + 1);
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data() + at),
                                        reinterpret_cast<const unsigned char*>(piece.data()),
                                        static_cast<int>(piece.size()));
    text.resize(at + static_cast<std::size_t>(written));
  }
  return text;
}

}  // namespace zelk::cli
