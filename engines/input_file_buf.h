#pragma once
// A read-only std::streambuf over a platform::InputFile with a large buffer,
// so a reader taking small blocks does not pay a system call for each.

#include <cstdint>
#include <streambuf>

#include "engines/aligned_buffer.h"
#include "platform/files.h"

namespace zelk::engines::detail {

// A read that fails throws from underflow(), which the istream turns into
// badbit. Seeking covers what a whole-stream reader asks: telling the
// position, finding the end, and moving within the bytes still buffered (the
// start, while nothing has been read). Any other target is remembered and
// makes the next read fail rather than deliver bytes from the wrong place.
class InputFileBuf final : public std::streambuf {
 public:
  // `file` is open and outlives the buffer.
  explicit InputFileBuf(platform::InputFile& file);

  // Bytes read from the file so far, whatever was taken from the buffer.
  std::int64_t delivered() const { return filePosition_; }

 protected:
  int_type underflow() override;
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

 private:
  char* begin() const { return reinterpret_cast<char*>(buffer_.get()); }

  platform::InputFile& file_;
  std::size_t capacity_;
  AlignedBuffer buffer_;
  std::int64_t filePosition_ = 0;  // bytes delivered by the file so far
  std::int64_t target_ = 0;        // where the next read must start
  bool ended_ = false;             // a read came back short: the file is done
};

}  // namespace zelk::engines::detail
