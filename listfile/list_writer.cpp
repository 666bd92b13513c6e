#include "listfile/list_writer.h"

#include <string>
#include <string_view>

#include "listfile/list_format.h"
#include "platform/system_calls.h"

namespace zelk::listfile {
namespace {

// Lines are gathered and written in large pieces: a list of many small
// entries then costs few system calls.
constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

ListWriter::ListWriter(ChecksumKind kind, const std::string& path)
    : dialect_(DialectOf(kind)), style_(DialectStyle(kind)) {
  file_.emplace(path);
  buffer_.reserve(kBufferSize);
}

ListWriter::ListWriter(ChecksumKind kind, Descriptor target)
    : dialect_(DialectOf(kind)), style_(DialectStyle(kind)), fd_(target.fd) {
  buffer_.reserve(kBufferSize);
}

void ListWriter::writeHeader(const ListHeader& header) {
  const auto line = [this](std::string_view first, std::string_view second = {}) {
    put(first);
    put(second);
    put(dialect_.lineEnd);
  };
  switch (dialect_.header) {
    case HeaderStyle::Semicolons:
      line(kHeaderGenerator);
      line(kHeaderCompatible);
      line(dialect_.kindLine);
      line(kHeaderAddress);
      line(kCreatorPrefix, header.creator.empty() ? kEmptyField : std::string_view(header.creator));
      line(kCommentPrefix, header.comment.empty() ? kEmptyField : std::string_view(header.comment));
      line(kDatePrefix, header.dateText);
      line(kHeaderLast);
      return;
    case HeaderStyle::Hashes:
      line(dialect_.kindLine);
      line(kHashCreatorPrefix, header.creator.empty() ? kEmptyField : std::string_view(header.creator));
      line(kHashCommentPrefix, header.comment.empty() ? kEmptyField : std::string_view(header.comment));
      line(kHashDatePrefix, header.dateText);
      return;
    case HeaderStyle::None: return;
  }
}

void ListWriter::writeEntry(std::string_view name, std::string_view checksumText) {
  if (!atLineStart_) put(style_.lineEnd);
  std::string_view checksum = checksumText;
  std::string upperCase;
  if (style_.upperCase) {
    upperCase.assign(checksumText);
    for (char& c : upperCase) {
      if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    checksum = upperCase;
  }
  switch (style_.form) {
    case EntryForm::NameFirst:
      put(name);
      put(style_.separator);
      put(checksum);
      break;
    case EntryForm::DigestFirst: {
      const bool escaped = style_.escapesNames && name.find_first_of("\\\n") != std::string_view::npos;
      if (escaped) put("\\");
      if (!style_.tag.empty()) {
        put(style_.tag);
        put(" (");
      } else {
        put(checksum);
        put(style_.separator);
      }
      if (escaped) {
        putEscaped(name);
      } else {
        put(name);
      }
      if (!style_.tag.empty()) {
        put(") = ");
        put(checksum);
      }
      break;
    }
  }
  put(style_.lineEnd);
}

void ListWriter::writeVerbatim(std::string_view text) { put(text); }

bool ListWriter::commit(const std::stop_token& stop) {
  flush();
  return file_ ? file_->commit(stop) : !failed();
}

void ListWriter::putEscaped(std::string_view name) {
  for (const char c : name) {
    if (c == '\\') {
      put("\\\\");
    } else if (c == '\n') {
      put("\\n");
    } else {
      put(std::string_view(&c, 1));
    }
  }
}

void ListWriter::put(std::string_view text) {
  if (text.empty()) return;
  if (buffer_.size() + text.size() > kBufferSize) flush();
  buffer_.append(text);
  atLineStart_ = text.back() == '\n';
}

void ListWriter::flush() {
  // After a failure the file drops every further line.
  if (!buffer_.empty() && !failed()) {
    if (file_) {
      file_->write(buffer_.data(), buffer_.size());
    } else {
      streamError_ = platform::writeFully(fd_, buffer_.data(), buffer_.size());
    }
  }
  buffer_.clear();
}

}  // namespace zelk::listfile
