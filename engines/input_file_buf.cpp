#include "engines/input_file_buf.h"

#include <ios>

namespace zelk::engines::detail {

InputFileBuf::InputFileBuf(platform::InputFile& file)
    : file_(file), capacity_(ReadBufferSizeFor(file.size())), buffer_(MakeAlignedBuffer(capacity_)) {
  setg(begin(), begin(), begin());
}

InputFileBuf::int_type InputFileBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (target_ != filePosition_) throw std::ios_base::failure("position out of reach");
  // Past its size the file has changed; one that keeps growing would never end.
  if (ended_ || filePosition_ > file_.size()) return traits_type::eof();
  const std::int64_t got = file_.read(buffer_.get(), capacity_);
  if (got < 0) throw std::ios_base::failure("read failed");
  // InputFile::read fills the buffer unless the file ends, so a short read
  // already tells the end: asking again would cost a system call per file.
  ended_ = static_cast<std::size_t>(got) < capacity_;
  if (got == 0) return traits_type::eof();
  setg(begin(), begin(), begin() + got);
  filePosition_ += got;
  target_ = filePosition_;
  return traits_type::to_int_type(*gptr());
}

InputFileBuf::pos_type InputFileBuf::seekoff(off_type offset, std::ios_base::seekdir direction,
                                             std::ios_base::openmode which) {
  off_type base = file_.size();
  if (direction == std::ios_base::beg) base = 0;
  if (direction == std::ios_base::cur) base = target_ != filePosition_ ? target_ : filePosition_ - (egptr() - gptr());
  return seekpos(base + offset, which);
}

InputFileBuf::pos_type InputFileBuf::seekpos(pos_type position, std::ios_base::openmode which) {
  const off_type target = position;
  if ((which & std::ios_base::in) == 0 || target < 0) return pos_type(off_type(-1));
  const off_type bufferedFrom = filePosition_ - (egptr() - eback());
  if (target >= bufferedFrom && target <= filePosition_) {
    setg(eback(), eback() + (target - bufferedFrom), egptr());
    target_ = filePosition_;
  } else {
    setg(begin(), begin(), begin());
    target_ = target;
  }
  return position;
}

}  // namespace zelk::engines::detail
