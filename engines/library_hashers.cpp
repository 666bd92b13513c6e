#include "engines/library_hashers.h"

#include <blake3.h>
#include <openssl/evp.h>
#include <xxhash.h>
#if defined(__x86_64__)
// Debian builds the library for the baseline processor; its dispatching
// entry points pick the AVX2 or AVX-512 loop at run time, about twice as fast.
#include <xxh_x86dispatch.h>
#endif

#include <stdexcept>
#include <string>
#include <tuple>

// BLAKE3's update of a whole subtree in its two steps (engines/blake3_pieces.c),
// so that the subtrees of a large input can be hashed on several threads and
// given to one hasher in order.
extern "C" {
// The chaining values of the two halves of the `index`-th piece of the input
// of `hasher`, `length` bytes long (a power of two of at least two chunks),
// as the hasher's update computes them. Reads only the hasher's key and
// flags: several threads may call it at once.
void zelk_blake3_piece_cvs(const blake3_hasher* hasher, const uint8_t* piece, size_t length, uint64_t index,
                           uint8_t cvs[2 * BLAKE3_OUT_LEN]);

// Takes the piece of `length` bytes whose values these are, as the update
// would have taken its bytes. Only where the input given so far is a whole
// number of such pieces: 0 otherwise, and nothing is taken.
int zelk_blake3_add_piece(blake3_hasher* hasher, const uint8_t cvs[2 * BLAKE3_OUT_LEN], size_t length);
}

namespace zelk::engines {
namespace {

class OpenSslHasher final : public Hasher {
 public:
  explicit OpenSslHasher(const char* digestName)
      : digest_(EVP_MD_fetch(nullptr, digestName, nullptr)), context_(EVP_MD_CTX_new()) {
    if (digest_ == nullptr || context_ == nullptr || EVP_DigestInit_ex2(context_.get(), digest_.get(), nullptr) != 1) {
      throw std::runtime_error(std::string("OpenSSL offers no digest ") + digestName);
    }
  }

  void update(std::span<const std::uint8_t> bytes) override {
    if (EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) != 1) throw std::runtime_error("OpenSSL failed");
  }

  Digest finish() override {
    std::uint8_t bytes[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(context_.get(), bytes, &size) != 1 ||
        EVP_DigestInit_ex2(context_.get(), digest_.get(), nullptr) != 1) {
      throw std::runtime_error("OpenSSL failed");
    }
    return Digest(std::span<const std::uint8_t>(bytes, size));
  }

 private:
  struct FreeDigest {
    void operator()(EVP_MD* digest) const { EVP_MD_free(digest); }
  };
  struct FreeContext {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  std::unique_ptr<EVP_MD, FreeDigest> digest_;  // fetched once: a fetch per file would cost a lookup each
  std::unique_ptr<EVP_MD_CTX, FreeContext> context_;
};

class Xxh128Hasher final : public Hasher {
 public:
  Xxh128Hasher() : state_(XXH3_createState()) {
    if (state_ == nullptr) throw std::bad_alloc();
    XXH3_128bits_reset(state_.get());
  }

  void update(std::span<const std::uint8_t> bytes) override { XXH3_128bits_update(state_.get(), bytes.data(), bytes.size()); }

  Digest finish() override {
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state_.get()));
    XXH3_128bits_reset(state_.get());
    return Digest(std::span<const std::uint8_t>(canonical.digest, sizeof canonical.digest));
  }

 private:
  struct FreeState {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
  };
  std::unique_ptr<XXH3_state_t, FreeState> state_;
};

class Blake3Hasher final : public Hasher, public PieceHasher {
 public:
  Blake3Hasher() {
    // The library finds the processor's features at its first compression
    // and keeps them in a plain global: found here once, before threads
    // hash pieces at the same time.
    [[maybe_unused]] static const bool featuresFound = [] {
      blake3_hasher hasher;
      blake3_hasher_init(&hasher);
      std::uint8_t byte = 0;
      blake3_hasher_finalize(&hasher, &byte, 1);
      return true;
    }();
    blake3_hasher_init(&state_);
  }

  PieceHasher* pieces() override { return this; }

  Value hashPiece(const std::uint8_t* piece, std::uint64_t index) const override {
    static_assert(std::tuple_size_v<Value> == 2 * BLAKE3_OUT_LEN);
    Value value;
    zelk_blake3_piece_cvs(&state_, piece, kPieceSize, index, value.data());
    return value;
  }

  void addPiece(const Value& value) override {
    if (zelk_blake3_add_piece(&state_, value.data(), kPieceSize) == 0) {
      throw std::logic_error("a BLAKE3 piece given off its place");
    }
  }

  void update(std::span<const std::uint8_t> bytes) override { blake3_hasher_update(&state_, bytes.data(), bytes.size()); }

  Digest finish() override {
    std::uint8_t bytes[BLAKE3_OUT_LEN];
    blake3_hasher_finalize(&state_, bytes, sizeof bytes);
    blake3_hasher_init(&state_);
    return Digest(bytes);
  }

 private:
  blake3_hasher state_;
};

}  // namespace

std::unique_ptr<Hasher> MakeOpenSslHasher(const char* digestName) { return std::make_unique<OpenSslHasher>(digestName); }

std::unique_ptr<Hasher> MakeXxh128Hasher() { return std::make_unique<Xxh128Hasher>(); }

std::unique_ptr<Hasher> MakeBlake3Hasher() { return std::make_unique<Blake3Hasher>(); }

}  // namespace zelk::engines
