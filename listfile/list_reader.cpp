#include "listfile/list_reader.h"

#include <algorithm>
#include <optional>

#include "engines/algorithm.h"
#include "platform/ascii.h"

namespace zelk::listfile {
namespace {

constexpr std::size_t kMd5Digits = 32;
constexpr char kCtrlZ = '\x1a';
constexpr std::string_view kTagOpen = " (";
constexpr std::string_view kTagClose = ") = ";

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The number of hexadecimal digits `text` opens with, when a blank, a tab or
// its end follows them, as in every line that opens with a digest; 0 else.
std::size_t leadingDigest(std::string_view text) {
  const std::size_t digits = static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), isHexDigit) - text.begin());
  const bool separated = digits == text.size() || text[digits] == ' ' || text[digits] == '\t';
  return separated ? digits : 0;
}

bool isEscaped(std::string_view line) { return line.starts_with('\\'); }

// The kinds whose digests, in lists that put them first, have `digits` digits.
engines::KindSet kindsWithDigits(std::size_t digits) {
  engines::KindSet kinds;
  for (const ListDialect& dialect : ListDialects()) {
    if (dialect.form == EntryForm::DigestFirst && 2 * engines::AlgorithmOf(dialect.kind).digestSize == digits) {
      kinds.add(dialect.kind);
    }
  }
  return kinds;
}

// Turns lines into creator, comment and entry calls; holds the name of an
// escaped line while the visitor has it.
class LineReader {
 public:
  explicit LineReader(const ListReading& reading) : reading_(reading) {}

  // Hands one line, CRs already removed, to the visitor; the line's bytes in
  // the text, CRs and line break included, are `start` and `length`.
  void dispatch(std::string_view line, std::size_t start, std::size_t length, ListVisitor& visitor) {
    if (line.empty()) return;
    if (reading_.dialect != nullptr && reading_.dialect->header == HeaderStyle::Hashes) {
      if (line.starts_with(kHashCreatorMarker)) return visitor.creatorLine(std::string(line.substr(2)));
      if (line.starts_with(kHashCommentMarker)) return visitor.commentLine(std::string(line.substr(2)));
    }
    if (line.front() == '#') return;
    if (line.starts_with(kCreatorMarker)) return visitor.creatorLine(std::string(line.substr(2)));
    if (line.starts_with(kCommentMarker)) return visitor.commentLine(std::string(line.substr(2)));
    if (line.front() == ';') return;
    ListEntry entry = entryOf(line);
    entry.lineStart = start;
    entry.lineLength = length;
    visitor.entry(entry);
  }

 private:
  ListEntry entryOf(std::string_view line) {
    switch (reading_.mode) {
      case ChecksumMode::Crc32: return splitEntry(line, ChecksumKind::Crc32);
      case ChecksumMode::Md5: return isEscapedMd5(line) ? digestFirst(line, ChecksumKind::Md5) : splitEntry(line, ChecksumKind::Md5);
      case ChecksumMode::Automatic: break;
    }
    if (reading_.dialect == nullptr) {
      if (std::optional<ListEntry> entry = tagged(line)) return *entry;
      const engines::KindSet kinds = kindsWithDigits(leadingDigest(line.substr(isEscaped(line) ? 1 : 0)));
      return kinds.empty() ? byShape(line) : digestFirst(line, kinds);
    }
    switch (reading_.dialect->rule) {
      case LineRule::ByShape: return byShape(line);
      case LineRule::Md5Lines:
        if (std::optional<ListEntry> entry = tagged(line)) return *entry;
        return isEscapedMd5(line) ? digestFirst(line, ChecksumKind::Md5) : byShape(line);
      case LineRule::OwnKind: break;
    }
    if (std::optional<ListEntry> entry = tagged(line)) return *entry;
    return digestFirst(line, reading_.dialect->kind);
  }

  static ListEntry byShape(std::string_view line) {
    return splitEntry(line, readsAsMd5Entry(line, ChecksumMode::Automatic) ? ChecksumKind::Md5 : ChecksumKind::Crc32);
  }

  static bool isEscapedMd5(std::string_view line) {
    return isEscaped(line) && leadingDigest(line.substr(1)) == kMd5Digits;
  }

  // A digest-first line of one of `kinds`, escaped (a leading '\') or not.
  ListEntry digestFirst(std::string_view line, engines::KindSet kinds) {
    const bool escaped = isEscaped(line);
    ListEntry entry = splitEntry(line.substr(escaped ? 1 : 0), kinds.first());
    entry.kinds = kinds;
    return escaped ? undoEscapes(entry) : entry;
  }

  // "TAG (name) = digest", escaped or not, of a tag of ours; the name runs to
  // the last ") = ", which no digest holds.
  std::optional<ListEntry> tagged(std::string_view line) {
    const bool escaped = isEscaped(line);
    const std::string_view body = line.substr(escaped ? 1 : 0);
    const std::size_t open = body.find(kTagOpen);
    const std::size_t close = body.rfind(kTagClose);
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + kTagOpen.size()) {
      return std::nullopt;
    }
    const ListDialect* dialect = DialectOfTag(body.substr(0, open));
    if (dialect == nullptr) return std::nullopt;
    ListEntry entry;
    entry.kinds = dialect->kind;
    entry.tagged = true;
    entry.name = body.substr(open + kTagOpen.size(), close - open - kTagOpen.size());
    entry.expected = body.substr(close + kTagClose.size());
    return escaped ? undoEscapes(entry) : entry;
  }

  ListEntry undoEscapes(ListEntry entry) {
    name_ = unescapedName(entry.name);
    entry.name = name_;
    entry.backslashSeparatesFolders = false;
    return entry;
  }

  ListReading reading_;
  std::string name_;
};

}  // namespace

bool readsAsMd5Entry(std::string_view line, ChecksumMode mode) {
  switch (mode) {
    case ChecksumMode::Md5: return true;
    case ChecksumMode::Crc32: return false;
    case ChecksumMode::Automatic: break;
  }
  // A name that merely starts with 32 hexadecimal digits ("<md5>.jpg", as
  // content-addressed stores name files) goes on without a separator.
  return line.size() >= kMd5Digits && std::all_of(line.begin(), line.begin() + kMd5Digits, isHexDigit) &&
         (line.size() == kMd5Digits || line[kMd5Digits] == ' ' || line[kMd5Digits] == '\t');
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

std::string unescapedName(std::string_view name) {
  std::string text;
  text.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char next = i + 1 < name.size() ? name[i + 1] : '\0';
    const char meant = next == '\\' ? '\\' : next == 'n' ? '\n' : next == 'r' ? '\r' : '\0';
    if (name[i] == '\\' && meant != '\0') {
      text += meant;
      ++i;
    } else {
      text += name[i];
    }
  }
  return text;
}

std::size_t readTextLength(std::string_view text) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t first = text.find_first_not_of('\r', start);
    if (first != std::string_view::npos && text[first] == kCtrlZ) return start;
    const std::size_t feed = text.find('\n', start);
    if (feed == std::string_view::npos) break;
    start = feed + 1;
  }
  return text.size();
}

void readList(std::string_view text, const ListReading& reading, ListVisitor& visitor) {
  LineReader reader(reading);
  // A Ctrl-Z opening a line ends the list as if the file stopped there.
  const std::string_view read = text.substr(0, readTextLength(text));
  std::string withoutCarriageReturns;
  for (std::size_t start = 0; start < read.size();) {
    const std::size_t feed = read.find('\n', start);
    const std::size_t end = feed == std::string_view::npos ? read.size() : feed;
    std::string_view line = read.substr(start, end - start);
    const std::size_t length = (feed == std::string_view::npos ? end : feed + 1) - start;
    // A CR before the LF belongs to the line break, and a CR standing alone
    // is dropped too, so every CR goes; only a line with one inside it is
    // copied for that.
    while (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos) {
      withoutCarriageReturns.assign(line);
      std::erase(withoutCarriageReturns, '\r');
      line = withoutCarriageReturns;
    }
    reader.dispatch(line, start, length, visitor);
    start += length;
  }
}

bool checksumTextsMatch(std::string_view expected, std::string_view computed) {
  return platform::equalIgnoringAsciiCase(expected, computed);
}

}  // namespace zelk::listfile
