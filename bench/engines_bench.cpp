// Speed of our CRC-32 and MD5 against zlib and OpenSSL on the same memory,
// and of the file operations over a file hot in the page cache.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engines/crc32.h"
#include "engines/crc32_kernels.h"
#include "engines/md5.h"
#include "engines/md5_lanes.h"

namespace {

using namespace zelk::engines;

constexpr std::size_t kBufferSize = std::size_t{64} << 20;
constexpr std::uintmax_t kFileSize = std::uintmax_t{256} << 20;

const std::vector<std::uint8_t>& Buffer() {
  static const std::vector<std::uint8_t> bytes = [] {
    std::vector<std::uint8_t> filled(kBufferSize);
    std::uint32_t state = 1;
    for (std::uint8_t& byte : filled) {
      state = state * 1664525u + 1013904223u;
      byte = static_cast<std::uint8_t>(state >> 24);
    }
    return filled;
  }();
  return bytes;
}

// Written once and left in /tmp, so later runs find it hot.
const std::string& HotFile() {
  static const std::string path = [] {
    const std::string name = (std::filesystem::temp_directory_path() / "zelk-bench-256MiB.bin").string();
    std::error_code error;
    if (std::filesystem::file_size(name, error) != kFileSize) {
      std::ofstream out(name, std::ios::binary | std::ios::trunc);
      for (std::uintmax_t written = 0; written < kFileSize; written += kBufferSize) {
        out.write(reinterpret_cast<const char*>(Buffer().data()), static_cast<std::streamsize>(kBufferSize));
      }
    }
    return name;
  }();
  return path;
}

void SetBytes(benchmark::State& state, std::uintmax_t bytesPerIteration) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytesPerIteration));
}

void BM_UpdateCrc32(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = Buffer();
  for (auto _ : state) {
    benchmark::DoNotOptimize(UpdateCrc32(0xFFFFFFFF, bytes.data(), static_cast<std::int64_t>(bytes.size())));
  }
  SetBytes(state, bytes.size());
}

void BM_UpdateCrc32Bytewise(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = Buffer();
  for (auto _ : state) {
    benchmark::DoNotOptimize(UpdateCrc32Bytewise(0xFFFFFFFF, bytes.data(), static_cast<std::int64_t>(bytes.size())));
  }
  SetBytes(state, bytes.size());
}

// Each kernel this processor runs, the portable fallback included.
void BM_Crc32Kernel(benchmark::State& state, zelk::engines::detail::Crc32Kernel kernel) {
  const std::vector<std::uint8_t>& bytes = Buffer();
  for (auto _ : state) benchmark::DoNotOptimize(kernel(0xFFFFFFFF, bytes.data(), bytes.size()));
  SetBytes(state, bytes.size());
}

void BM_ZlibCrc32(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = Buffer();
  for (auto _ : state) {
    benchmark::DoNotOptimize(crc32_z(0, bytes.data(), bytes.size()));
  }
  SetBytes(state, bytes.size());
}

void BM_MD5Update(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = Buffer();
  for (auto _ : state) {
    TMD5Context context;
    MD5Init(context);
    MD5Update(context, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    Md5Digest digest;
    MD5Final(digest, context);
    benchmark::DoNotOptimize(digest);
  }
  SetBytes(state, bytes.size());
}

void BM_OpenSslMd5(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = Buffer();
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  for (auto _ : state) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    EVP_DigestUpdate(context, bytes.data(), bytes.size());
    EVP_DigestFinal_ex(context, digest, &length);
    benchmark::DoNotOptimize(digest);
  }
  EVP_MD_CTX_free(context);
  SetBytes(state, bytes.size());
}

// Sixteen messages of 1 MiB whatever the kernel's width, a kernel taking them
// as many at a time as it has lanes; the bytes are those of all sixteen.
void BM_Md5Lanes(benchmark::State& state, const zelk::engines::detail::NamedMd5LanesKernel& kernel) {
  constexpr std::size_t kMessages = 16;
  constexpr std::size_t kMessageSize = std::size_t{1} << 20;
  const std::vector<std::uint8_t>& bytes = Buffer();
  Md5Lanes lanes(kernel);
  for (auto _ : state) {
    for (std::size_t first = 0; first < kMessages; first += lanes.width()) {
      for (std::size_t lane = 0; lane < lanes.width(); ++lane) {
        lanes.start(lane);
        lanes.feed(lane, {bytes.data() + (first + lane) * kMessageSize, kMessageSize});
        lanes.endMessage(lane);
      }
      // The messages are equally long: they all run to their end together.
      lanes.advance();
      for (std::size_t lane = 0; lane < lanes.width(); ++lane) benchmark::DoNotOptimize(lanes.finish(lane));
    }
  }
  SetBytes(state, kMessages * kMessageSize);
}

void BM_FileCrc32(benchmark::State& state) {
  const std::string& path = HotFile();
  for (auto _ : state) {
    const FileChecksum<Crc32Value> result = FileCrc32(path);
    if (!result.ok()) state.SkipWithError("cannot read the file");
    benchmark::DoNotOptimize(result);
  }
  SetBytes(state, kFileSize);
}

void BM_MD5File(benchmark::State& state) {
  const std::string& path = HotFile();
  for (auto _ : state) {
    const FileChecksum<Md5Digest> result = MD5File(path, nullptr);
    if (!result.ok()) state.SkipWithError("cannot read the file");
    benchmark::DoNotOptimize(result);
  }
  SetBytes(state, kFileSize);
}

BENCHMARK(BM_UpdateCrc32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateCrc32Bytewise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MD5Update)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSslMd5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileCrc32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MD5File)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  for (const zelk::engines::detail::NamedCrc32Kernel& kernel : zelk::engines::detail::SupportedCrc32Kernels()) {
    benchmark::RegisterBenchmark((std::string("BM_Crc32Kernel/") + kernel.name).c_str(), BM_Crc32Kernel, kernel.update)
        ->Unit(benchmark::kMillisecond);
  }
  for (const zelk::engines::detail::NamedMd5LanesKernel& kernel : zelk::engines::detail::SupportedMd5LanesKernels()) {
    benchmark::RegisterBenchmark((std::string("BM_Md5Lanes/") + kernel.name).c_str(), BM_Md5Lanes, kernel)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
