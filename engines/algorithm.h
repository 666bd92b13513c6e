#pragma once
// The table of algorithms: everything the rest of the program needs to know
// of one, so that adding an algorithm is adding a row (and its list dialect,
// listfile/list_dialect.h).

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "engines/checksum_types.h"
#include "engines/hasher.h"

namespace zelk::engines {

struct Algorithm {
  ChecksumKind kind;
  std::string_view shownName;   // in windows and reports: "CRC32", "MD5"
  std::string_view optionName;  // on the command line and in machine output: "crc32"
  std::size_t digestSize;       // bytes; the text form has twice as many digits
  // Hashing runs about as fast as reading from the disk or slower, so a
  // second thread reading the next block while this one is hashed pays; for
  // much faster algorithms its wake-ups cost more than they save.
  bool readAhead;
  std::unique_ptr<Hasher> (*makeHasher)();
};

// Every algorithm, in ChecksumKind order.
std::span<const Algorithm> Algorithms();

const Algorithm& AlgorithmOf(ChecksumKind kind);

// The algorithm whose optionName is `name` (ASCII letter case ignored); null
// when there is none.
const Algorithm* AlgorithmNamed(std::string_view name);

}  // namespace zelk::engines
