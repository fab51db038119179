#include "swfplayer/render/PixelBlend.h"

#include "swfplayer/render/Pixel4.h"

namespace swfplayer::render {

using namespace pixel4;

void BlendSolid(uint32_t* dst, int len, uint32_t color, const uint8_t* covers, uint8_t cover) {
  int i = 0;
  if (!covers) {
    const uint32_t src = ScalePixel(color, ToScale(cover));
    if ((src >> 24) == 255) {
      for (; i < len; ++i) dst[i] = src;
      return;
    }
    const uint32_t keep = 256 - (src >> 24);
    const __m128i src4 = Splat4(src);
    const Factors keep4 = Spread(Splat4(keep));
    for (; i + 4 <= len; i += 4) Store4(dst + i, OverKeeping4(src4, Load4(dst + i), keep4));
    for (; i < len; ++i) dst[i] = src + ScalePixel(dst[i], keep);
    return;
  }
  const __m128i color4 = Splat4(color);
  for (; i + 4 <= len; i += 4) {
    const __m128i src = Scale4(color4, Spread(CoverFactors(covers + i)));
    Store4(dst + i, Over4(src, Load4(dst + i)));
  }
  for (; i < len; ++i) dst[i] = Over(ScalePixel(color, ToScale(covers[i])), dst[i]);
}

void BlendColors(uint32_t* dst, int len, const uint32_t* colors, const uint8_t* covers,
                 uint8_t cover) {
  int i = 0;
  if (covers) {
    for (; i + 4 <= len; i += 4) {
      const __m128i src = Scale4(Load4(colors + i), Spread(CoverFactors(covers + i)));
      Store4(dst + i, Over4(src, Load4(dst + i)));
    }
  } else if (cover == 255) {
    for (; i + 4 <= len; i += 4) {
      const __m128i src = Load4(colors + i);
      // Opaque colours (a gradient background, say) replace what is there.
      Store4(dst + i, Opaque4(src) ? src : Over4(src, Load4(dst + i)));
    }
  } else {
    const Factors k = Spread(Splat4(ToScale(cover)));
    for (; i + 4 <= len; i += 4) {
      Store4(dst + i, Over4(Scale4(Load4(colors + i), k), Load4(dst + i)));
    }
  }
  for (; i < len; ++i) {
    const uint32_t c = covers ? covers[i] : cover;
    dst[i] = Over(ScalePixel(colors[i], ToScale(c)), dst[i]);
  }
}

}  // namespace swfplayer::render
