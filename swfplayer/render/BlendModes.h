// Compositing a layer onto what lies beneath it with a blend mode, on premultiplied pixels.
// The separable modes follow the usual rule for premultiplied colour: with s and d the source
// and backdrop channels and sa, da their alphas (all 0..1),
//   result = s (1 - da) + d (1 - sa) + sa da B(d / da, s / sa),   alpha = sa + da - sa da,
// where B is the mode's formula on straight colours (multiply: s d; screen: s + d - s d;
// lighten and darken: the larger and smaller; difference: |s - d|; hard light: multiply or
// screen by the source, overlay: by the backdrop). Add and subtract work on the channels as
// they are, clamped (add: s + d, alpha too; subtract: d - s, alpha as over); invert turns the
// backdrop's colour inside out under the source's alpha; alpha and erase keep the backdrop,
// its alpha times the source's (alpha) or its complement (erase). Normal and layer are over.
#pragma once

#include <cstdint>

#include "swfplayer/types/Effects.h"

namespace swfplayer::render {

// One pixel: src composited onto dst.
uint32_t BlendPixel(BlendMode mode, uint32_t src, uint32_t dst);

// src[0..len) composited onto dst, each source pixel first scaled by its coverage (covers,
// or `cover` for all when covers is null).
void BlendRow(BlendMode mode, uint32_t* dst, const uint32_t* src, int len, const uint8_t* covers,
              uint8_t cover);

}  // namespace swfplayer::render
