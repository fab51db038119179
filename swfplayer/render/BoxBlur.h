// Box blurs of a layer's pixels, as the Flash Player's filters blur: each pass averages a box
// as wide as the blur size (in device pixels, at most kMaxBlur) along x, then along y; more
// passes (the filter's quality) come closer to a Gaussian and reach farther. A box of a size
// that is not an odd whole number takes its outermost pixels at the fraction that is left,
// so the blur grows smoothly with its size. Pixels outside the image count as transparent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swfplayer::render {

inline constexpr double kMaxBlur = 255;

struct BlurKernel {
  int inner = 0;      // pixels either side at full weight
  uint32_t edge = 0;  // the weight of the next pixel either side, out of 256
  uint32_t total = 256;
  uint64_t reciprocal = 0;  // 2^40 / total, rounded up

  bool Identity() const { return inner == 0 && edge == 0; }
  // Pixels either side that one pass reaches.
  int Reach() const { return inner + (edge ? 1 : 0); }
};

// The box for a blur size (clamped to 0..kMaxBlur; 1 or less does nothing).
BlurKernel MakeBlurKernel(double size);

// How far `passes` passes of a blur of this size reach either side.
int BlurReach(double size, int passes);

// Scratch space one blur needs, kept by the caller between blurs.
struct BlurScratch {
  std::vector<uint32_t> prefix;
  std::vector<uint8_t> line;
};

// Blurs one 8-bit plane (alpha) in place: width x height values, rows stride bytes apart.
void BlurPlane(uint8_t* plane, int width, int height, ptrdiff_t stride, double sizeX,
               double sizeY, int passes, BlurScratch& scratch);

// Blurs premultiplied 0xAARRGGBB pixels in place, every channel alike.
void BlurPixels(uint32_t* pixels, int width, int height, ptrdiff_t stride, double sizeX,
                double sizeY, int passes, BlurScratch& scratch);

}  // namespace swfplayer::render
