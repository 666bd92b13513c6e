#include "listfile/entry_style.h"

#include <algorithm>

#include "engines/algorithm.h"

namespace zelk::listfile {
namespace {

bool hasLowerHexLetter(std::string_view digits) {
  return std::ranges::any_of(digits, [](char c) { return c >= 'a' && c <= 'f'; });
}

bool hasUpperHexLetter(std::string_view digits) {
  return std::ranges::any_of(digits, [](char c) { return c >= 'A' && c <= 'F'; });
}

// The line without its line break and the carriage returns before it.
std::string_view withoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

EntryStyle DialectStyle(ChecksumKind kind) {
  const ListDialect& dialect = DialectOf(kind);
  EntryStyle style;
  style.kind = kind;
  style.form = dialect.form;
  style.separator = dialect.form == EntryForm::NameFirst ? std::string(" ") : std::string(dialect.digestNameSeparator);
  style.lineEnd = dialect.lineEnd;
  style.folderSeparator = dialect.folderSeparator;
  style.escapesNames = dialect.escapesNames;
  return style;
}

ListStyleFinder::ListStyleFinder(std::string_view text, ChecksumKind kind) : text_(text), style_(DialectStyle(kind)) {
  const std::size_t feed = text.find('\n');
  if (feed != std::string_view::npos) style_.lineEnd = feed > 0 && text[feed - 1] == '\r' ? "\r\n" : "\n";
}

void ListStyleFinder::take(const ListEntry& entry) {
  if (!entry.kinds.contains(style_.kind)) return;
  if (!formKnown_) {
    takeForm(entry, withoutLineEnd(text_.substr(entry.lineStart, entry.lineLength)));
    formKnown_ = true;
  }
  if (!caseKnown_ && (hasUpperHexLetter(entry.expected) || hasLowerHexLetter(entry.expected))) {
    style_.upperCase = !hasLowerHexLetter(entry.expected);
    caseKnown_ = true;
  }
  if (!separatorKnown_) {
    const bool slash = entry.name.find('/') != std::string_view::npos;
    const bool backslash = entry.backslashSeparatesFolders && entry.name.find('\\') != std::string_view::npos;
    if (slash || backslash) {
      style_.folderSeparator = slash ? '/' : '\\';
      style_.escapesNames = style_.escapesNames && slash;
      separatorKnown_ = true;
    }
  }
}

void ListStyleFinder::takeForm(const ListEntry& entry, std::string_view line) {
  const std::size_t digits = 2 * engines::AlgorithmOf(style_.kind).digestSize;
  if (entry.tagged) {
    const std::string_view body = line.substr(line.starts_with('\\') ? 1 : 0);
    style_.tag = body.substr(0, body.find(" ("));
    return;
  }
  if (style_.form == EntryForm::NameFirst) {
    if (line.size() > digits) style_.separator = line.substr(line.size() - digits - 1, 1);
    return;
  }
  const std::string_view body = line.substr(line.starts_with('\\') ? 1 : 0);
  if (body.size() <= digits) return;
  const bool marked = body.size() > digits + 1 && (body[digits + 1] == ' ' || body[digits + 1] == '*');
  style_.separator = body.substr(digits, marked ? 2 : 1);
}

bool canHoldName(const EntryStyle& style, std::string_view relativePath) {
  // Every reader drops carriage returns; escapes keep the rest.
  if (relativePath.empty() || relativePath.find('\r') != std::string_view::npos) return false;
  if (!style.escapesNames && relativePath.find_first_of("\n\\") != std::string_view::npos) return false;
  const char first = relativePath.front();
  switch (style.form) {
    case EntryForm::NameFirst: return first != ';' && first != '#' && first != '\x1a';
    case EntryForm::DigestFirst: break;
  }
  // After one blank, the reader takes a second blank or a '*' for a marker.
  return !style.tag.empty() || style.separator.size() > 1 || (first != ' ' && first != '*');
}

}  // namespace zelk::listfile
