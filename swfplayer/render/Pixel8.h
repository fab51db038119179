// Pixel4.h's operations on eight pixels (one AVX2 register) at a time, for the functions marked
// SWFPLAYER_AVX2: the same arithmetic per pixel, so the results match bit for bit. AVX2's
// unpacks and packs work within each 128-bit half, so every step below keeps pixels 0-3 in the
// low half and 4-7 in the high half, laid out there as Pixel4.h lays out its four.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "swfplayer/render/CpuFeatures.h"

namespace swfplayer::render::pixel8 {

SWFPLAYER_AVX2 inline __m256i Load8(const uint32_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
SWFPLAYER_AVX2 inline void Store8(uint32_t* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
SWFPLAYER_AVX2 inline __m256i Splat8(uint32_t p) { return _mm256_set1_epi32(static_cast<int>(p)); }
SWFPLAYER_AVX2 inline bool Opaque8(__m256i px) {
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  return _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(px, alpha), alpha)) == -1;
}

struct Factors8 {
  __m256i lo, hi;
};
SWFPLAYER_AVX2 inline Factors8 Spread8(__m256i k) {
  const __m256i pairs = _mm256_or_si256(k, _mm256_slli_epi32(k, 16));
  return {_mm256_unpacklo_epi32(pairs, pairs), _mm256_unpackhi_epi32(pairs, pairs)};
}

SWFPLAYER_AVX2 inline __m256i Scale8(__m256i px, Factors8 k) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo =
      _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(px, zero), k.lo), 8);
  const __m256i hi =
      _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(px, zero), k.hi), 8);
  return _mm256_packus_epi16(lo, hi);
}

SWFPLAYER_AVX2 inline __m256i OverKeeping8(__m256i src, __m256i dst, Factors8 keep) {
  return _mm256_add_epi8(src, Scale8(dst, keep));
}

SWFPLAYER_AVX2 inline __m256i Over8(__m256i src, __m256i dst) {
  const __m256i keep = _mm256_sub_epi32(_mm256_set1_epi32(256), _mm256_srli_epi32(src, 24));
  return OverKeeping8(src, dst, Spread8(keep));
}

SWFPLAYER_AVX2 inline __m256i CoverFactors8(const uint8_t* covers) {
  uint64_t eight;
  std::memcpy(&eight, covers, 8);
  const __m256i c = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(eight)));
  return _mm256_add_epi32(c, _mm256_srli_epi32(c, 7));
}

}  // namespace swfplayer::render::pixel8
