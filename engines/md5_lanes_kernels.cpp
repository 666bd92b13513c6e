#include "engines/md5_lanes_kernels.h"

#include "engines/md5.h"

namespace zelk::engines::detail {

void AdvanceMd5LanesScalar(Md5LaneStates& states, const Md5LanePointers& blocks, std::uint32_t activeLanes,
                           std::size_t blockCount) {
  for (std::size_t lane = 0; lane < kMd5MaxLanes; ++lane) {
    if ((activeLanes >> lane & 1) == 0) continue;
    std::uint32_t state[4];
    for (std::size_t w = 0; w < 4; ++w) state[w] = states.words[w][lane];
    const std::uint8_t* block = blocks[lane];
    for (std::size_t i = 0; i < blockCount; ++i, block += 64) MD5Transform(state, block);
    for (std::size_t w = 0; w < 4; ++w) states.words[w][lane] = state[w];
  }
}

std::vector<NamedMd5LanesKernel> SupportedMd5LanesKernels() {
  std::vector<NamedMd5LanesKernel> kernels{{"scalar", 1, AdvanceMd5LanesScalar}};
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) kernels.push_back({"avx2", 8, AdvanceMd5LanesAvx2});
  if (__builtin_cpu_supports("avx512f")) kernels.push_back({"avx512", 16, AdvanceMd5LanesAvx512});
#endif
  return kernels;
}

}  // namespace zelk::engines::detail
