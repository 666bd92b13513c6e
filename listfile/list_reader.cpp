#include "listfile/list_reader.h"

#include <algorithm>

#include "platform/ascii.h"

namespace zelk::listfile {
namespace {

constexpr std::size_t kDigestLength = 32;
constexpr std::size_t kCrcLength = 8;
constexpr char kCtrlZ = '\x1a';

// Hands one line, CRs already removed, to the visitor.
void dispatchLine(std::string_view line, ChecksumMode mode, ListVisitor& visitor) {
  if (line.empty() || line.front() == '#') return;
  if (line.starts_with(kCreatorMarker)) {
    visitor.creatorLine(std::string(line.substr(2)));
    return;
  }
  if (line.starts_with(kCommentMarker)) {
    visitor.commentLine(std::string(line.substr(2)));
    return;
  }
  if (line.front() == ';') return;
  visitor.entry(splitEntry(line, teste(line, mode) ? ChecksumKind::Md5 : ChecksumKind::Crc32));
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

bool teste(std::string_view line, ChecksumMode mode) {
  switch (mode) {
    case ChecksumMode::Md5: return true;
    case ChecksumMode::Crc32: return false;
    case ChecksumMode::Automatic: break;
  }
  if (line.size() < kDigestLength || !std::all_of(line.begin(), line.begin() + kDigestLength, isHexDigit)) {
    return false;
  }
  // A name that merely starts with 32 hexadecimal digits ("<md5>.jpg", as
  // content-addressed stores name files) goes on without a separator.
  return line.size() == kDigestLength || line[kDigestLength] == ' ' || line[kDigestLength] == '\t';
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

void readList(std::string_view text, ChecksumMode mode, ListVisitor& visitor) {
  std::string withoutCarriageReturns;
  while (!text.empty()) {
    const std::size_t feed = text.find('\n');
    std::string_view line = text.substr(0, feed);
    text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    // A CR before the LF belongs to the line break, and a CR standing alone
    // is dropped too, so every CR goes.
    if (line.find('\r') != std::string_view::npos) {
      withoutCarriageReturns.assign(line);
      std::erase(withoutCarriageReturns, '\r');
      line = withoutCarriageReturns;
    }
    // A Ctrl-Z opening a line ends the list as if the file stopped there.
    if (!line.empty() && line.front() == kCtrlZ) return;
    dispatchLine(line, mode, visitor);
  }
}

bool checksumTextsMatch(std::string_view expected, std::string_view computed) {
  return platform::equalIgnoringAsciiCase(expected, computed);
}

}  // namespace zelk::listfile
