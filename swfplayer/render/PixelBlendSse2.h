// Four premultiplied pixels at a time with SSE2, the same arithmetic as the scalar helpers in
// PixelBlend.h, so that results match them bit for bit. Only where the compiler targets SSE2
// (every x86-64 build); the scalar code stays the reference elsewhere.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace swfplayer::render::sse2 {

inline __m128i Load4(const uint32_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Four 32-bit factors (0..256), each spread over its pixel's four 16-bit channels: pixels 0-1
// in lo, 2-3 in hi, the layout of _mm_unpacklo/hi_epi8 against zero.
struct Factors {
  __m128i lo, hi;
};
inline Factors Spread(__m128i k) {
  const __m128i pairs = _mm_or_si128(k, _mm_slli_epi32(k, 16));
  return {_mm_unpacklo_epi32(pairs, pairs), _mm_unpackhi_epi32(pairs, pairs)};
}

// ScalePixel.
inline __m128i Scale4(__m128i px, Factors k) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), k.lo), 8);
  const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), k.hi), 8);
  return _mm_packus_epi16(lo, hi);
}

// Over.
inline __m128i Over4(__m128i src, __m128i dst) {
  const __m128i keep = _mm_sub_epi32(_mm_set1_epi32(256), _mm_srli_epi32(src, 24));
  return _mm_add_epi8(src, Scale4(dst, Spread(keep)));
}

// Coverages 0..255 of four pixels as ScalePixel factors.
inline __m128i CoverFactors(const uint8_t* covers) {
  uint32_t four;
  std::memcpy(&four, covers, 4);
  const __m128i zero = _mm_setzero_si128();
  const __m128i c =
      _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero), zero);
  return _mm_add_epi32(c, _mm_srli_epi32(c, 7));
}

// ClampPremultiplied: no colour channel above its pixel's alpha.
inline __m128i ClampToAlpha4(__m128i px) {
  __m128i alpha = _mm_srli_epi32(px, 24);
  alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 8));
  alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
  return _mm_min_epu8(px, alpha);
}

}  // namespace swfplayer::render::sse2

#endif
