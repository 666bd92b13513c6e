#include "listfile/list_reader.h"

#include <algorithm>

#include "engines/algorithm.h"
#include "platform/ascii.h"

namespace zelk::listfile {
namespace {

constexpr std::size_t kMd5Digits = 32;
constexpr char kCtrlZ = '\x1a';

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The kind of an entry line in Automatic mode.
ChecksumKind automaticKind(std::string_view line, const ListReading& reading) {
  const LineRule rule = reading.dialect != nullptr ? reading.dialect->rule : LineRule::ByShape;
  switch (rule) {
    case LineRule::ByShape: break;
  }
  return readsAsMd5Entry(line, ChecksumMode::Automatic) ? ChecksumKind::Md5 : ChecksumKind::Crc32;
}

ListEntry entryOf(std::string_view line, const ListReading& reading) {
  switch (reading.mode) {
    case ChecksumMode::Crc32: return splitEntry(line, ChecksumKind::Crc32);
    case ChecksumMode::Md5: return splitEntry(line, ChecksumKind::Md5);
    case ChecksumMode::Automatic: break;
  }
  return splitEntry(line, automaticKind(line, reading));
}

// Hands one line, CRs already removed, to the visitor.
void dispatchLine(std::string_view line, const ListReading& reading, ListVisitor& visitor) {
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
  visitor.entry(entryOf(line, reading));
}

}  // namespace

bool readsAsMd5Entry(std::string_view line, ChecksumMode mode) {
  switch (mode) {
    case ChecksumMode::Md5: return true;
    case ChecksumMode::Crc32: return false;
    case ChecksumMode::Automatic: break;
  }
  if (line.size() < kMd5Digits || !std::all_of(line.begin(), line.begin() + kMd5Digits, isHexDigit)) return false;
  // A name that merely starts with 32 hexadecimal digits ("<md5>.jpg", as
  // content-addressed stores name files) goes on without a separator.
  return line.size() == kMd5Digits || line[kMd5Digits] == ' ' || line[kMd5Digits] == '\t';
}

ListEntry splitEntry(std::string_view line, ChecksumKind kind) {
  ListEntry entry;
  entry.kinds = kind;
  const std::size_t digits = 2 * engines::AlgorithmOf(kind).digestSize;
  switch (DialectOf(kind).form) {
    case EntryForm::NameFirst:
      // Checksum at the end, one separator of any kind before it.
      entry.expected = line.substr(line.size() > digits ? line.size() - digits : 0);
      if (line.size() > digits + 1) entry.name = line.substr(0, line.size() - digits - 1);
      return entry;
    case EntryForm::DigestFirst: break;
  }
  // Digest first, one separator, then an optional blank or '*' (the binary
  // marker other tools write) before the name.
  entry.expected = line.substr(0, digits);
  std::size_t nameStart = digits + 1;
  if (line.size() > nameStart && (line[nameStart] == ' ' || line[nameStart] == '*')) ++nameStart;
  if (line.size() > nameStart) entry.name = line.substr(nameStart);
  return entry;
}

void readList(std::string_view text, const ListReading& reading, ListVisitor& visitor) {
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
    dispatchLine(line, reading, visitor);
  }
}

bool checksumTextsMatch(std::string_view expected, std::string_view computed) {
  return platform::equalIgnoringAsciiCase(expected, computed);
}

}  // namespace zelk::listfile
