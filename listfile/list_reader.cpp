#include "listfile/list_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zelk::listfile {
namespace {

constexpr std::size_t kDigestLength = 32;
constexpr std::size_t kCrcLength = 8;
constexpr char kCtrlZ = '\x1a';
constexpr std::size_t kChunkSize = 64 * 1024;

bool isAsciiLetterCaseEqual(char a, char b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return lower(a) == lower(b);
}

// Hands one complete line, CRs already removed, to the visitor.
void dispatchLine(const std::string& line, ChecksumMode mode, ListVisitor& visitor) {
  if (line.empty() || line.front() == '#') return;
  const std::string_view view(line);
  if (view.starts_with(kCreatorMarker)) {
    visitor.creatorLine(line.substr(2));
    return;
  }
  if (view.starts_with(kCommentMarker)) {
    visitor.commentLine(line.substr(2));
    return;
  }
  if (line.front() == ';') return;
  visitor.entry(splitEntry(view, teste(view, mode) ? ChecksumKind::Md5 : ChecksumKind::Crc32));
}

// Ends the line collected so far. False when a Ctrl-Z opened it, which ends
// the list as if the file stopped there.
bool finishLine(std::string& line, ChecksumMode mode, ListVisitor& visitor) {
  // A CR before the LF belongs to the line break, and a CR standing alone is
  // dropped too, so every CR goes.
  std::erase(line, '\r');
  if (!line.empty() && line.front() == kCtrlZ) return false;
  dispatchLine(line, mode, visitor);
  line.clear();
  return true;
}

}  // namespace

bool teste(std::string_view line, ChecksumMode mode) {
  switch (mode) {
    case ChecksumMode::Md5: return true;
    case ChecksumMode::Crc32: return false;
    case ChecksumMode::Automatic: break;
  }
  const std::string_view head = line.substr(0, kDigestLength);
  return head.find_first_of(" .:") == std::string_view::npos;
}

ListEntry splitEntry(std::string_view line, ChecksumKind kind) {
  ListEntry entry;
  entry.kind = kind;
  if (kind == ChecksumKind::Crc32) {
    // Checksum at the end, one separator of any kind before it.
    const std::size_t checksumStart = line.size() > kCrcLength ? line.size() - kCrcLength : 0;
    entry.expected = line.substr(checksumStart);
    if (line.size() > kCrcLength + 1) entry.name = line.substr(0, line.size() - kCrcLength - 1);
    return entry;
  }
  // Digest first, one separator, then an optional blank or '*' (the binary
  // marker other tools write) before the name.
  entry.expected = line.substr(0, kDigestLength);
  std::size_t nameStart = kDigestLength + 1;
  if (line.size() > nameStart && (line[nameStart] == ' ' || line[nameStart] == '*')) ++nameStart;
  if (line.size() > nameStart) entry.name = line.substr(nameStart);
  return entry;
}

void readList(std::istream& input, ChecksumMode mode, ListVisitor& visitor) {
  std::vector<char> chunk(kChunkSize);
  std::string line;
  while (input) {
    input.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(input.gcount());
    const char* position = chunk.data();
    const char* const end = position + got;
    while (position < end) {
      const auto rest = static_cast<std::size_t>(end - position);
      const auto* feed = static_cast<const char*>(std::memchr(position, '\n', rest));
      if (feed == nullptr) {
        line.append(position, end);
        break;
      }
      line.append(position, feed);
      if (!finishLine(line, mode, visitor)) return;
      position = feed + 1;
    }
  }
  // The last line needs no line break.
  if (!line.empty()) finishLine(line, mode, visitor);
}

bool checksumTextsMatch(std::string_view expected, std::string_view computed) {
  return std::equal(expected.begin(), expected.end(), computed.begin(), computed.end(), isAsciiLetterCaseEqual);
}

}  // namespace zelk::listfile
