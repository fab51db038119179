// Premultiplied 0xAARRGGBB arithmetic, two channels per multiply.
#pragma once

#include <cstdint>

#include "swfplayer/types/Geometry.h"

namespace swfplayer::render {

// v / 255 rounded, for v up to 255 * 255.
inline uint32_t Div255(uint32_t v) {
  v += 128;
  return (v + (v >> 8)) >> 8;
}

inline uint32_t Premultiply(Rgba c) {
  return (uint32_t{c.a} << 24) | (Div255(uint32_t{c.r} * c.a) << 16) |
         (Div255(uint32_t{c.g} * c.a) << 8) | Div255(uint32_t{c.b} * c.a);
}

// Every channel times scale / 256, scale from 0 to 256.
inline uint32_t ScalePixel(uint32_t p, uint32_t scale) {
  const uint32_t rb = ((p & 0x00FF00FFu) * scale >> 8) & 0x00FF00FFu;
  const uint32_t ag = ((p >> 8) & 0x00FF00FFu) * scale & 0xFF00FF00u;
  return rb | ag;
}

// A coverage or alpha of 0..255 as a ScalePixel factor (255 becomes exactly 256).
inline uint32_t ToScale(uint32_t alpha255) { return alpha255 + (alpha255 >> 7); }

// Source over destination; src must be valid premultiplied (no channel above its alpha), which
// keeps every channel of the sum within its byte.
inline uint32_t Over(uint32_t src, uint32_t dst) {
  return src + ScalePixel(dst, 256 - (src >> 24));
}

// a + (b - a) * weight / 256 per channel, weight from 0 to 256.
inline uint32_t LerpPixel(uint32_t a, uint32_t b, uint32_t weight) {
  const uint32_t inv = 256 - weight;
  const uint32_t rb = (((a & 0x00FF00FFu) * inv + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
  const uint32_t ag =
      (((a >> 8) & 0x00FF00FFu) * inv + ((b >> 8) & 0x00FF00FFu) * weight) & 0xFF00FF00u;
  return rb | ag;
}

// Colours from outside (bitmaps) may claim more colour than alpha; cap each channel at alpha.
inline uint32_t ClampPremultiplied(uint32_t p) {
  const uint32_t a = p >> 24;
  uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  r = r < a ? r : a;
  g = g < a ? g : a;
  b = b < a ? b : a;
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// Blends one colour into dst: coverage per pixel from covers, or `cover` for all when null.
void BlendSolid(uint32_t* dst, int len, uint32_t color, const uint8_t* covers, uint8_t cover);
// Blends colors[0..len) into dst likewise.
void BlendColors(uint32_t* dst, int len, const uint32_t* colors, const uint8_t* covers,
                 uint8_t cover);

}  // namespace swfplayer::render
