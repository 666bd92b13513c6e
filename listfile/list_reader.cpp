#include "listfile/list_reader.h"

#include "platform/ascii.h"

namespace zelk::listfile {
namespace {

constexpr std::size_t kDigestLength = 32;
constexpr std::size_t kCrcLength = 8;
constexpr char kCtrlZ = '\x1a';

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
  std::string line;
  // The last line needs no line break: getline hands it over all the same.
  while (std::getline(input, line)) {
    if (!finishLine(line, mode, visitor)) return;
  }
}

bool checksumTextsMatch(std::string_view expected, std::string_view computed) {
  return platform::equalIgnoringAsciiCase(expected, computed);
}

}  // namespace zelk::listfile
