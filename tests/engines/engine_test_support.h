#pragma once
// Shared fixtures of the engine tests: reproducible file contents with
// checksums from other tools and a progress sink that records what it is told.

#include <cstdint>
#include <string>
#include <vector>

#include "engines/progress.h"

namespace zelk::engines::testing {

// Byte i of every sample is the top byte of i * 2654435761 (mod 2^32).
inline std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 2654435761u & 0xFFFFFFFFu) >> 24);
  return bytes;
}

inline std::string PatternText(std::size_t size) {
  const std::vector<std::uint8_t> bytes = Pattern(size);
  return std::string(bytes.begin(), bytes.end());
}

struct PatternSample {
  std::size_t size;
  const char* crc32;
  const char* md5;
};

// Written to files and checked with `rhash --crc32` and `md5sum`. The sizes
// sit on the edges of MD5's fill, of 4 KiB and 64 KiB blocks and of 1 MiB.
inline const std::vector<PatternSample> kPatternSamples = {
    {0, "00000000", "d41d8cd98f00b204e9800998ecf8427e"},
    {1, "d202ef8d", "93b885adfe0da089cdf634904fd59f71"},
    {3, "3fec0201", "a67ea6915931db34dea950eb299205b8"},
    {55, "d00953c9", "1eec39e439a0686e0f16143c93e65544"},
    {56, "f366126b", "99d69c39ec90af2fb1496b6e9c6c764d"},
    {63, "6b53518c", "6bb048b09bcadbcdfd181977323cdfd0"},
    {64, "06d28c3e", "e2ea14ec96ad97249814fe4e07e09782"},
    {65, "806cdf37", "6eefe2eaf8f76d19fb53cbf452e5a331"},
    {4095, "f0fbd39a", "81af61e11575cff6721fe9c66cd28591"},
    {4096, "3d270474", "2b6e9f327f32713bff9d289ac0017436"},
    {4097, "4b369933", "2fe8769520df8b681cc5e247f6bf5fab"},
    {65535, "94655158", "8732144f0f9c53c1b349d0dd1ca53885"},
    {65536, "a6275846", "6ddae881989d556c679d301c2cfe4baf"},
    {65537, "64c2e5e8", "c398b9a82043529c02272bcc51e1673c"},
    {1048576, "158987c5", "900fad0e36be8d5ba0cb1653208c9f07"},
    {1048577, "5ec41af9", "030183cb4d095748263e646164fbdbda"},
    {3145745, "2967f726", "b055e9e0eb8acff5b0eb5fda9a6738a8"},
};

struct Rfc1321Case {
  const char* message;
  const char* digest;
};

// The test suite of RFC 1321, appendix A.5.
inline const Rfc1321Case kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

// Records the calls as text, e.g. "show 33 66 100 hide".
class RecordingProgress final : public ProgressSink {
 public:
  void showProgress() override { add("show"); }
  void setProgress(int percent) override { add(std::to_string(percent)); }
  void hideProgress() override { add("hide"); }
  const std::string& events() const { return events_; }

 private:
  void add(const std::string& event) {
    if (!events_.empty()) events_ += ' ';
    events_ += event;
  }
  std::string events_;
};

// "show 1 2 ... last hide": a bar that rises one point at a time.
inline std::string EveryPercentUpTo(int last) {
  std::string events = "show";
  for (int i = 1; i <= last; ++i) {
    events += ' ';
    events += std::to_string(i);
  }
  events += " hide";
  return events;
}

}  // namespace zelk::engines::testing
