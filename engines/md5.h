#pragma once
// MD5 exactly as RFC 1321 defines it, built the way its reference code is
// built, working data wiped included.

#include <cstdint>
#include <istream>
#include <memory>
#include <string>

#include "engines/checksum_types.h"
#include "engines/hasher.h"
#include "engines/progress.h"

namespace zelk::engines {

struct TMD5Context {
  std::uint32_t state[4];   // A, B, C, D
  std::uint32_t count[2];   // message bits modulo 2^64, low word first
  std::uint8_t buffer[64];  // not yet transformed tail of the message
};

using TMD5Digest = Md5Digest;

void MD5Init(TMD5Context& context);
void MD5Update(TMD5Context& context, const std::uint8_t* data, std::uint32_t length);
// Writes the digest and leaves the context zeroed.
void MD5Final(TMD5Digest& digest, TMD5Context& context);
void MD5Transform(std::uint32_t state[4], const std::uint8_t block[64]);

// A Hasher giving the MD5 digest, on the functions above.
std::unique_ptr<Hasher> MakeMd5Hasher();

// Digest of a whole seekable stream from its first byte to the end of its
// data, read in 4,096-byte blocks; the stream's position and state flags are
// the same afterwards. ReadFailed (digest left default, badbit set) when the
// stream cannot seek, is already bad, or a read fails. `sizeForProgress` (-1
// when unknown) gives the percentages shown while `progress` is not null; the
// bar is hidden at the end in every case.
FileChecksum<Md5Digest> MD5Stream(std::istream& stream, std::int64_t sizeForProgress, ProgressSink* progress);

// Digest of a file's contents, read in 4,096-byte blocks on the reader the
// passes use (engines/file_hasher.h), with progress when `progress` is not
// null. Unless status is Ok the digest is left default: status tells a file
// that cannot be opened (the MD5OpenFailed case of the passes; nothing is
// shown) from one whose read failed part-way or that changed while it was
// read.
FileChecksum<Md5Digest> MD5File(const std::string& fileName, ProgressSink* progress);

}  // namespace zelk::engines
