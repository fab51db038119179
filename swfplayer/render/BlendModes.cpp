#include "swfplayer/render/BlendModes.h"

#include <algorithm>

#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {
namespace {

uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

// sa * da * B(d / da, s / sa) in 255 * 255 units, for one channel.
using Mix = int (*)(int s, int d, int sa, int da);

int Multiply(int s, int d, int, int) { return s * d; }
int Screen(int s, int d, int sa, int da) { return s * da + d * sa - s * d; }
int Lighten(int s, int d, int sa, int da) { return std::max(s * da, d * sa); }
int Darken(int s, int d, int sa, int da) { return std::min(s * da, d * sa); }
int Difference(int s, int d, int sa, int da) {
  return std::max(s * da, d * sa) - std::min(s * da, d * sa);
}
// Hard light decides by the source: below half it multiplies, above it screens.
int HardLight(int s, int d, int sa, int da) {
  return 2 * s <= sa ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
}
int Overlay(int s, int d, int sa, int da) {
  return 2 * d <= da ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
}

uint32_t Separable(Mix mix, uint32_t src, uint32_t dst) {
  const int sa = static_cast<int>(src >> 24), da = static_cast<int>(dst >> 24);
  if (sa == 0) return dst;
  if (da == 0) return src;
  uint32_t out[3];
  for (int c = 0; c < 3; ++c) {
    const int shift = 16 - 8 * c;
    const int s = static_cast<int>(Channel(src, shift)), d = static_cast<int>(Channel(dst, shift));
    const int v = s * (255 - da) + d * (255 - sa) + mix(s, d, sa, da);
    out[c] = Div255(static_cast<uint32_t>(std::clamp(v, 0, 255 * 255)));
  }
  const uint32_t a = sa + da - Div255(static_cast<uint32_t>(sa * da));
  return Pack(a, std::min(out[0], a), std::min(out[1], a), std::min(out[2], a));
}

uint32_t Add(uint32_t src, uint32_t dst) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    out |= std::min<uint32_t>(Channel(src, shift) + Channel(dst, shift), 255) << shift;
  }
  return out;
}

uint32_t Subtract(uint32_t src, uint32_t dst) {
  const uint32_t sa = src >> 24, da = dst >> 24;
  const uint32_t a = sa + da - Div255(sa * da);
  uint32_t out = a << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t d = Channel(dst, shift), s = Channel(src, shift);
    out |= (d > s ? d - s : 0) << shift;
  }
  return out;
}

// The backdrop's colour inverted where the source covers it: d' = sa (da - d) + (1 - sa) d.
uint32_t Invert(uint32_t src, uint32_t dst) {
  const uint32_t sa = src >> 24, da = dst >> 24;
  uint32_t out = da << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t d = Channel(dst, shift);
    out |= Div255(sa * (da - d) + (255 - sa) * d) << shift;
  }
  return out;
}

}  // namespace

uint32_t BlendPixel(BlendMode mode, uint32_t src, uint32_t dst) {
  switch (mode) {
    case BlendMode::kMultiply: return Separable(Multiply, src, dst);
    case BlendMode::kScreen: return Separable(Screen, src, dst);
    case BlendMode::kLighten: return Separable(Lighten, src, dst);
    case BlendMode::kDarken: return Separable(Darken, src, dst);
    case BlendMode::kDifference: return Separable(Difference, src, dst);
    case BlendMode::kOverlay: return Separable(Overlay, src, dst);
    case BlendMode::kHardLight: return Separable(HardLight, src, dst);
    case BlendMode::kAdd: return Add(src, dst);
    case BlendMode::kSubtract: return Subtract(src, dst);
    case BlendMode::kInvert: return Invert(src, dst);
    case BlendMode::kAlpha: return ScalePixel(dst, ToScale(src >> 24));
    case BlendMode::kErase: return ScalePixel(dst, ToScale(255 - (src >> 24)));
    case BlendMode::kNormal:
    case BlendMode::kLayer:
      break;
  }
  return Over(src, dst);
}

void BlendRow(BlendMode mode, uint32_t* dst, const uint32_t* src, int len, const uint8_t* covers,
              uint8_t cover) {
  if (mode == BlendMode::kNormal || mode == BlendMode::kLayer) {
    BlendColors(dst, len, src, covers, cover);
    return;
  }
  for (int i = 0; i < len; ++i) {
    const uint32_t c = covers ? covers[i] : cover;
    if (c == 0) continue;
    const uint32_t s = c == 255 ? src[i] : ScalePixel(src[i], ToScale(c));
    dst[i] = BlendPixel(mode, s, dst[i]);
  }
}

}  // namespace swfplayer::render
