#include "swfplayer/render/PixelBlend.h"

#include "swfplayer/render/CpuFeatures.h"
#include "swfplayer/render/Pixel4.h"
#include "swfplayer/render/Pixel8.h"

namespace swfplayer::render {
namespace {

using namespace pixel8;

// BlendSolid and BlendColors eight pixels at a time: they return how many pixels they did (a
// multiple of eight), and the four-pixel loops finish the run.
SWFPLAYER_AVX2 int BlendSolid8(uint32_t* dst, int len, uint32_t color, const uint8_t* covers,
                               uint8_t cover) {
  int i = 0;
  if (!covers) {
    const uint32_t src = ScalePixel(color, ToScale(cover));
    const __m256i src8 = Splat8(src);
    if ((src >> 24) == 255) {
      for (; i + 8 <= len; i += 8) Store8(dst + i, src8);
      return i;
    }
    const Factors8 keep8 = Spread8(Splat8(256 - (src >> 24)));
    for (; i + 8 <= len; i += 8) Store8(dst + i, OverKeeping8(src8, Load8(dst + i), keep8));
    return i;
  }
  const __m256i color8 = Splat8(color);
  for (; i + 8 <= len; i += 8) {
    const __m256i src = Scale8(color8, Spread8(CoverFactors8(covers + i)));
    Store8(dst + i, Over8(src, Load8(dst + i)));
  }
  return i;
}

SWFPLAYER_AVX2 int BlendColors8(uint32_t* dst, int len, const uint32_t* colors,
                                const uint8_t* covers, uint8_t cover) {
  int i = 0;
  if (covers) {
    for (; i + 8 <= len; i += 8) {
      const __m256i src = Scale8(Load8(colors + i), Spread8(CoverFactors8(covers + i)));
      Store8(dst + i, Over8(src, Load8(dst + i)));
    }
  } else if (cover == 255) {
    for (; i + 8 <= len; i += 8) {
      const __m256i src = Load8(colors + i);
      Store8(dst + i, Opaque8(src) ? src : Over8(src, Load8(dst + i)));
    }
  } else {
    const Factors8 k = Spread8(Splat8(ToScale(cover)));
    for (; i + 8 <= len; i += 8) {
      Store8(dst + i, Over8(Scale8(Load8(colors + i), k), Load8(dst + i)));
    }
  }
  return i;
}

}  // namespace

using namespace pixel4;

void BlendSolid(uint32_t* dst, int len, uint32_t color, const uint8_t* covers, uint8_t cover) {
  if (len >= 8 && Avx2Enabled()) {
    const int done = BlendSolid8(dst, len, color, covers, cover);
    dst += done;
    len -= done;
    if (covers) covers += done;
  }
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
  if (len >= 8 && Avx2Enabled()) {
    const int done = BlendColors8(dst, len, colors, covers, cover);
    dst += done;
    colors += done;
    len -= done;
    if (covers) covers += done;
  }
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
