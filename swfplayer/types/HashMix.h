// One step of the 64-bit hashes that name paths' contents, cache keys and frame signatures:
// mixes v into h (a multiply by the golden ratio's bits, then the high bits folded down).
#pragma once

#include <cstdint>

namespace swfplayer {

inline uint64_t HashMix(uint64_t h, uint64_t v) {
  h = (h ^ v) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

}  // namespace swfplayer
