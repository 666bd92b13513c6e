#pragma once
// Hashers of the algorithms that come from maintained libraries: OpenSSL's
// digests, xxHash's XXH128, and BLAKE3's official C implementation.

#include <memory>

#include "engines/hasher.h"

namespace zelk::engines {

// OpenSSL's digest of that name ("SHA256"). Throws std::runtime_error when
// the library offers none.
std::unique_ptr<Hasher> MakeOpenSslHasher(const char* digestName);

// XXH3's 128-bit hash, in its canonical (big-endian) byte order, as xxhsum
// writes it.
std::unique_ptr<Hasher> MakeXxh128Hasher();

// BLAKE3 with its default 32-byte output, as b3sum writes it.
std::unique_ptr<Hasher> MakeBlake3Hasher();

}  // namespace zelk::engines
