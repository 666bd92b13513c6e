#pragma once
// CRC-32 of ISO 3309 / ITU-T V.42 / IEEE 802.3 (zip, SFV): reflected
// polynomial 0xEDB88320, register preset and final XOR 0xFFFFFFFF.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "engines/checksum_types.h"
#include "engines/hasher.h"
#include "engines/progress.h"

namespace zelk::engines {

// The standard table of the reflected polynomial, held as constant data.
extern const std::uint32_t Crc32Table[256];

// Runs the register over `count` bytes and returns it: no preset, no final
// XOR. A count of 0 or below returns `crc` unchanged. Uses the fastest method
// the processor offers (carry-less multiply folding where present).
std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::int64_t count);

// The one-lookup-per-byte table loop: the reference every faster method must
// agree with, and the tail handler of the folding methods.
std::uint32_t UpdateCrc32Bytewise(std::uint32_t crc, const std::uint8_t* data, std::int64_t count);

// A Hasher giving the finished CRC-32, most significant byte first.
std::unique_ptr<Hasher> MakeCrc32Hasher();

// The finished CRC-32 of a memory block.
Crc32Value StreamCrc32(std::span<const std::uint8_t> bytes);

// The finished CRC-32 of a file's contents, read in blocks to the end of its
// data. Unless status is Ok the value is 0 and says nothing: status tells a
// name that is missing, not a regular file (FIFOs and devices are never
// opened) or not permitted from a file whose read failed part-way or that
// changed while it was read, so a shortened file never passes for a checksum.
FileChecksum<Crc32Value> FileCrc32(const std::string& fileName);

// The same, showing the percentage read on `progress`: shown before the file
// is opened, set whenever the whole percentage rises (never for a file under
// 1 KiB), hidden at the end in every case; sizes beyond 4 GiB included.
FileChecksum<Crc32Value> FileCrc32WithProgress(const std::string& fileName, ProgressSink& progress);

}  // namespace zelk::engines
