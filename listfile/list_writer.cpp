#include "listfile/list_writer.h"

#include <string_view>

#include "platform/system_calls.h"

namespace zelk::listfile {
namespace {

// Lines are gathered and written in large pieces: a list of many small
// entries then costs few system calls.
constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

ListWriter::ListWriter(const std::string& path) {
  file_.emplace(path);
  buffer_.reserve(kBufferSize);
}

ListWriter::ListWriter(Descriptor target) : fd_(target.fd) { buffer_.reserve(kBufferSize); }

void ListWriter::writeHeader(const ListHeader& header) {
  const auto line = [this](std::string_view first, std::string_view second = {}) {
    put(first);
    put(second);
    put(kLineEnd);
  };
  line(kHeaderGenerator);
  line(kHeaderCompatible);
  line(header.kind == ChecksumKind::Md5 ? kHeaderMd5Mode : kHeaderCrc32Mode);
  line(kHeaderAddress);
  line(kCreatorPrefix, header.creator.empty() ? kEmptyField : std::string_view(header.creator));
  line(kCommentPrefix, header.comment.empty() ? kEmptyField : std::string_view(header.comment));
  line(kDatePrefix, header.dateText);
  line(kHeaderLast);
}

void ListWriter::writeEntry(ChecksumKind kind, const std::string& name, const std::string& checksumText) {
  const bool md5 = kind == ChecksumKind::Md5;
  put(md5 ? checksumText : name);
  put(" ");
  put(md5 ? name : checksumText);
  put(kLineEnd);
}

bool ListWriter::commit(const std::stop_token& stop) {
  flush();
  return file_ ? file_->commit(stop) : !failed();
}

void ListWriter::put(std::string_view text) {
  if (buffer_.size() + text.size() > kBufferSize) flush();
  buffer_.append(text);
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
