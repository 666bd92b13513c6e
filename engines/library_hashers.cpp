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

class Blake3Hasher final : public Hasher {
 public:
  Blake3Hasher() { blake3_hasher_init(&state_); }

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
