#include "swfplayer/render/PixelBlend.h"

#include "swfplayer/render/PixelBlendSse2.h"

namespace swfplayer::render {

#if defined(__SSE2__)
using namespace sse2;
#endif

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

}  // namespace swfplayer::render
