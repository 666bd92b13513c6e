#pragma once
// Read buffers aligned to a cache line: reading from the page cache into a
// buffer that starts mid-line is markedly slower.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace zelk::engines::detail {

inline constexpr std::align_val_t kBufferAlignment{64};

struct AlignedDelete {
  void operator()(std::uint8_t* bytes) const { ::operator delete[](bytes, kBufferAlignment); }
};

using AlignedBuffer = std::unique_ptr<std::uint8_t[], AlignedDelete>;

// An uninitialised buffer of `size` bytes; throws std::bad_alloc like new.
inline AlignedBuffer MakeAlignedBuffer(std::size_t size) {
  return AlignedBuffer(static_cast<std::uint8_t*>(::operator new[](size, kBufferAlignment)));
}

// The block size for reading a file of `fileSize` bytes. Large blocks keep
// system calls rare (reads from the page cache run a third faster in 1 MiB
// blocks than in 64 KiB ones); small files get a buffer of their own size, so
// checking many of them does not touch a whole block of fresh pages each time.
inline std::size_t ReadBufferSizeFor(std::int64_t fileSize) {
  constexpr std::int64_t kLargest = std::int64_t{1} << 20;
  const std::int64_t pages = (std::max<std::int64_t>(fileSize, 1) + 4095) / 4096;
  return static_cast<std::size_t>(std::min(pages * 4096, kLargest));
}

}  // namespace zelk::engines::detail
