// Bitmap pixels along a span of device pixels, the bulk of a bitmap fill's cost. The results
// are those of sampling each pixel on its own as BitmapPainter's reference path does (the same
// double arithmetic for positions, floors and weights), two or four pixels at a time with
// SSE2. Integer parts are kept in 32 bits, so a span qualifies only while every position in it
// lies within ±kSafeCoordinate.
#pragma once

#include <cstdint>

namespace swfplayer::render {

constexpr double kSafeCoordinate = 1 << 30;

struct BitmapGrid {
  const uint32_t* pixels = nullptr;
  int width = 0, height = 0;  // width * height below 2^31
  bool repeat = false;        // else clipped: the edge pixels extend
};

// Where a span's pixels sample bitmap space: pixel k of it at (u0 + du * k, v0 + dv * k).
struct SpanSteps {
  double u0 = 0, v0 = 0, du = 0, dv = 0;
};

// out[i] for i < len is the span's pixel first + i: the bitmap pixel holding its point
// (nearest) or between the four pixel centres around it (bilinear), clamped premultiplied.
void SampleNearest(const BitmapGrid& grid, const SpanSteps& steps, int first, int len,
                   uint32_t* out);
void SampleBilinear(const BitmapGrid& grid, const SpanSteps& steps, int first, int len,
                    uint32_t* out);

}  // namespace swfplayer::render
