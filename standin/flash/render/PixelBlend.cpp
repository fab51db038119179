#include "standin/flash/render/PixelBlend.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace swfsaver::flash::render {
namespace {

#if defined(__SSE2__)
// Four pixels at a time with the same arithmetic as ScalePixel and Over, so the results match
// the scalar code bit for bit.
inline __m128i Load4(const uint32_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Four 32-bit factors (0..256), each spread over its pixel's four 16-bit channels.
struct Factors {
  __m128i lo, hi;
};
inline Factors Spread(__m128i k) {
  const __m128i pairs = _mm_or_si128(k, _mm_slli_epi32(k, 16));
  return {_mm_unpacklo_epi32(pairs, pairs), _mm_unpackhi_epi32(pairs, pairs)};
}

inline __m128i Scale4(__m128i px, Factors k) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), k.lo), 8);
  const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), k.hi), 8);
  return _mm_packus_epi16(lo, hi);
}

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
#endif

}  // namespace

void BlendSolid(uint32_t* dst, int len, uint32_t color, const uint8_t* covers, uint8_t cover) {
  int i = 0;
  if (!covers) {
    const uint32_t src = ScalePixel(color, ToScale(cover));
    if ((src >> 24) == 255) {
      for (; i < len; ++i) dst[i] = src;
      return;
    }
    const uint32_t keep = 256 - (src >> 24);
#if defined(__SSE2__)
    const __m128i src4 = _mm_set1_epi32(static_cast<int>(src));
    const Factors keep4 = Spread(_mm_set1_epi32(static_cast<int>(keep)));
    for (; i + 4 <= len; i += 4) Store4(dst + i, _mm_add_epi8(src4, Scale4(Load4(dst + i), keep4)));
#endif
    for (; i < len; ++i) dst[i] = src + ScalePixel(dst[i], keep);
    return;
  }
#if defined(__SSE2__)
  const __m128i color4 = _mm_set1_epi32(static_cast<int>(color));
  for (; i + 4 <= len; i += 4) {
    const __m128i src = Scale4(color4, Spread(CoverFactors(covers + i)));
    Store4(dst + i, Over4(src, Load4(dst + i)));
  }
#endif
  for (; i < len; ++i) dst[i] = Over(ScalePixel(color, ToScale(covers[i])), dst[i]);
}

void BlendColors(uint32_t* dst, int len, const uint32_t* colors, const uint8_t* covers,
                 uint8_t cover) {
  int i = 0;
#if defined(__SSE2__)
  if (covers) {
    for (; i + 4 <= len; i += 4) {
      const __m128i src = Scale4(Load4(colors + i), Spread(CoverFactors(covers + i)));
      Store4(dst + i, Over4(src, Load4(dst + i)));
    }
  } else if (cover == 255) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= len; i += 4) {
      const __m128i src = Load4(colors + i);
      // Opaque colours (a gradient background, say) replace what is there.
      const bool opaque =
          _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(src, alpha), alpha)) == 0xFFFF;
      Store4(dst + i, opaque ? src : Over4(src, Load4(dst + i)));
    }
  } else {
    const Factors k = Spread(_mm_set1_epi32(static_cast<int>(ToScale(cover))));
    for (; i + 4 <= len; i += 4) {
      Store4(dst + i, Over4(Scale4(Load4(colors + i), k), Load4(dst + i)));
    }
  }
#endif
  for (; i < len; ++i) {
    const uint32_t c = covers ? covers[i] : cover;
    dst[i] = Over(ScalePixel(colors[i], ToScale(c)), dst[i]);
  }
}

}  // namespace swfsaver::flash::render
