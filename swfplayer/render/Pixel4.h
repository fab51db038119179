// The pixel operations the paints and blends share, four premultiplied 0xAARRGGBB pixels (one
// SSE2 register) at a time, with the same arithmetic as the one-pixel helpers in PixelBlend.h,
// so that results match them bit for bit. Every target of the build is x86-64, which always
// has SSE2; the one-pixel helpers finish the runs' last pixels.
#pragma once

#if !defined(__SSE2__)
#error "the renderer's pixel operations are written for SSE2, which every x86-64 target has"
#endif
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace swfplayer::render::pixel4 {

inline __m128i Load4(const uint32_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i Splat4(uint32_t p) { return _mm_set1_epi32(static_cast<int>(p)); }
// Whether all four pixels are opaque.
inline bool Opaque4(__m128i px) {
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(px, alpha), alpha)) == 0xFFFF;
}

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

// src + ScalePixel(dst, keep): Over with keep worked out once for a run of one colour.
inline __m128i OverKeeping4(__m128i src, __m128i dst, Factors keep) {
  return _mm_add_epi8(src, Scale4(dst, keep));
}

// Over.
inline __m128i Over4(__m128i src, __m128i dst) {
  const __m128i keep = _mm_sub_epi32(_mm_set1_epi32(256), _mm_srli_epi32(src, 24));
  return OverKeeping4(src, dst, Spread(keep));
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

// Div255(a * b) for sixteen coverages: a from covers, or `cover` for all when covers is null.
inline void ScaleCovers16(const uint8_t* covers, uint8_t cover, const uint8_t* mask,
                          uint8_t* out) {
  const __m128i z = _mm_setzero_si128(), round = _mm_set1_epi16(128);
  auto div255 = [&](__m128i v) {
    v = _mm_add_epi16(v, round);
    return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
  };
  const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask));
  __m128i lo = _mm_set1_epi16(cover), hi = lo;
  if (covers) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(covers));
    lo = _mm_unpacklo_epi8(c, z);
    hi = _mm_unpackhi_epi8(c, z);
  }
  lo = div255(_mm_mullo_epi16(lo, _mm_unpacklo_epi8(m, z)));
  hi = div255(_mm_mullo_epi16(hi, _mm_unpackhi_epi8(m, z)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(lo, hi));
}

// The pixels at four offsets from base.
inline __m128i Gather4(const uint32_t* base, const int32_t* offsets) {
  return _mm_set_epi32(static_cast<int>(base[offsets[3]]), static_cast<int>(base[offsets[2]]),
                       static_cast<int>(base[offsets[1]]), static_cast<int>(base[offsets[0]]));
}

// The pixels at four offsets and the ones after them in memory, each as four pixels.
inline void GatherPairs4(const uint32_t* base, const int32_t* o, __m128i& at, __m128i& next) {
  auto pair = [base](int32_t offset) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + offset));
  };
  const __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(o[0]), pair(o[1])));
  const __m128 b = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(o[2]), pair(o[3])));
  at = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
  next = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
}

// LerpPixel on channels unpacked to 16 bits: (a (256 - w) + b w) >> 8, at most 255 * 256.
inline __m128i Lerp16(__m128i a, __m128i b, __m128i w) {
  const __m128i inv = _mm_sub_epi16(_mm_set1_epi16(256), w);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, inv), _mm_mullo_epi16(b, w)), 8);
}

// Four bilinear samples from their corner pixels and weights (across wx, down wy), clamped
// premultiplied: LerpPixel across, twice, then down.
inline __m128i Bilinear4(__m128i tl, __m128i tr, __m128i bl, __m128i br, const Factors& wx,
                         const Factors& wy) {
  const __m128i z = _mm_setzero_si128();
  const __m128i lo =
      Lerp16(Lerp16(_mm_unpacklo_epi8(tl, z), _mm_unpacklo_epi8(tr, z), wx.lo),
             Lerp16(_mm_unpacklo_epi8(bl, z), _mm_unpacklo_epi8(br, z), wx.lo), wy.lo);
  const __m128i hi =
      Lerp16(Lerp16(_mm_unpackhi_epi8(tl, z), _mm_unpackhi_epi8(tr, z), wx.hi),
             Lerp16(_mm_unpackhi_epi8(bl, z), _mm_unpackhi_epi8(br, z), wx.hi), wy.hi);
  return ClampToAlpha4(_mm_packus_epi16(lo, hi));
}

}  // namespace swfplayer::render::pixel4
