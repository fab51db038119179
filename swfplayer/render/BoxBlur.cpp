#include "swfplayer/render/BoxBlur.h"

#include <algorithm>
#include <cmath>

namespace swfplayer::render {
namespace {

// One pass over count values step bytes apart.
void BlurLine(uint8_t* data, int count, ptrdiff_t step, const BlurKernel& k, BlurScratch& s) {
  const int reach = k.Reach();
  // The line with `reach` zeros either side, and its prefix sums.
  const size_t padded = static_cast<size_t>(count) + 2 * reach;
  if (s.line.size() < padded) s.line.resize(padded);
  if (s.prefix.size() < padded + 1) s.prefix.resize(padded + 1);
  uint8_t* line = s.line.data();
  std::fill(line, line + reach, 0);
  std::fill(line + reach + count, line + padded, 0);
  bool any = false;
  for (int i = 0; i < count; ++i) {
    line[reach + i] = data[i * step];
    any = any || line[reach + i] != 0;
  }
  if (!any) return;
  uint32_t* prefix = s.prefix.data();
  prefix[0] = 0;
  for (size_t i = 0; i < padded; ++i) prefix[i + 1] = prefix[i] + line[i];
  const int n = k.inner;
  for (int i = 0; i < count; ++i) {
    const int centre = reach + i;
    uint64_t sum = uint64_t{256} * (prefix[centre + n + 1] - prefix[centre - n]);
    if (k.edge) sum += uint64_t{k.edge} * (line[centre - n - 1] + line[centre + n + 1]);
    data[i * step] = static_cast<uint8_t>(((sum + k.total / 2) * k.reciprocal) >> 40);
  }
}

void BlurChannels(uint8_t* base, int channels, int width, int height, ptrdiff_t stride,
                  double sizeX, double sizeY, int passes, BlurScratch& scratch) {
  const BlurKernel kx = MakeBlurKernel(sizeX), ky = MakeBlurKernel(sizeY);
  for (int pass = 0; pass < passes; ++pass) {
    if (!kx.Identity()) {
      for (int y = 0; y < height; ++y) {
        for (int c = 0; c < channels; ++c) {
          BlurLine(base + y * stride + c, width, channels, kx, scratch);
        }
      }
    }
    if (!ky.Identity()) {
      for (int x = 0; x < width; ++x) {
        for (int c = 0; c < channels; ++c) {
          BlurLine(base + static_cast<ptrdiff_t>(x) * channels + c, height, stride, ky, scratch);
        }
      }
    }
  }
}

}  // namespace

BlurKernel MakeBlurKernel(double size) {
  BlurKernel k;
  size = std::min(size, kMaxBlur);
  if (!(size > 1)) {
    k.reciprocal = (uint64_t{1} << 40) / k.total + 1;
    return k;
  }
  const double half = (size - 1) / 2;
  k.inner = static_cast<int>(std::floor(half));
  k.edge = static_cast<uint32_t>(std::lround((half - k.inner) * 256));
  if (k.edge == 256) {
    ++k.inner;
    k.edge = 0;
  }
  k.total = 256 * (2 * k.inner + 1) + 2 * k.edge;
  k.reciprocal = (uint64_t{1} << 40) / k.total + 1;
  return k;
}

int BlurReach(double size, int passes) { return MakeBlurKernel(size).Reach() * passes; }

void BlurPlane(uint8_t* plane, int width, int height, ptrdiff_t stride, double sizeX,
               double sizeY, int passes, BlurScratch& scratch) {
  BlurChannels(plane, 1, width, height, stride, sizeX, sizeY, passes, scratch);
}

void BlurPixels(uint32_t* pixels, int width, int height, ptrdiff_t stride, double sizeX,
                double sizeY, int passes, BlurScratch& scratch) {
  BlurChannels(reinterpret_cast<uint8_t*>(pixels), 4, width, height, stride * 4, sizeX, sizeY,
               passes, scratch);
}

}  // namespace swfplayer::render
