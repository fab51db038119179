#include "swfplayer/render/BitmapPainter.h"

#include <algorithm>
#include <cmath>

#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {
namespace {

// Position to index along an axis of n pixels: wrapped or clamped, NaN and huge values safe.
int Wrap(double p, int n, bool repeat) {
  if (repeat) {
    if (!(std::abs(p) < 1e15)) return 0;
    p -= std::floor(p / n) * n;
  }
  if (!(p >= 0)) return 0;
  return p >= n ? n - 1 : static_cast<int>(p);
}

}  // namespace

bool BitmapPainter::Setup(const BitmapFill& fill, const Matrix& bitmapToDevice,
                          const ColorTransform& transform, Quality quality) {
  const Bitmap* bitmap = fill.bitmap.get();
  if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0 ||
      bitmap->pixels.size() / static_cast<size_t>(bitmap->width) <
          static_cast<size_t>(bitmap->height)) {
    return false;
  }
  const auto inverse = bitmapToDevice.Inverse();
  if (!inverse) return false;
  bitmap_ = fill.bitmap;
  grid_ = {bitmap->pixels.data(), bitmap->width, bitmap->height, fill.repeat};
  fast_ = static_cast<uint64_t>(bitmap->width) * static_cast<uint64_t>(bitmap->height) <
          (uint64_t{1} << 31);
  smooth_ = fill.smooth && quality == Quality::kHigh;
  transform_.Setup(transform);
  ux_ = inverse->a;
  uy_ = inverse->c;
  u0_ = inverse->tx;
  vx_ = inverse->b;
  vy_ = inverse->d;
  v0_ = inverse->ty;
  return true;
}

uint32_t BitmapPainter::Nearest(double u, double v) const {
  return At(Wrap(std::floor(u), grid_.width, grid_.repeat),
            Wrap(std::floor(v), grid_.height, grid_.repeat));
}

// Between the four pixel centres around (u, v); outside a clipped bitmap the edge pixels
// extend, a repeating one wraps to the opposite edge.
uint32_t BitmapPainter::Bilinear(double u, double v) const {
  u -= 0.5;
  v -= 0.5;
  const double fu = std::floor(u), fv = std::floor(v);
  const double wu = u - fu, wv = v - fv;  // NaN for NaN input, handled by the casts below
  const uint32_t wx = wu >= 0 && wu <= 1 ? static_cast<uint32_t>(wu * 256 + 0.5) : 0;
  const uint32_t wy = wv >= 0 && wv <= 1 ? static_cast<uint32_t>(wv * 256 + 0.5) : 0;
  const int c0 = Wrap(fu, grid_.width, grid_.repeat), c1 = Wrap(fu + 1, grid_.width, grid_.repeat);
  const int l0 = Wrap(fv, grid_.height, grid_.repeat),
            l1 = Wrap(fv + 1, grid_.height, grid_.repeat);
  const uint32_t top = LerpPixel(At(c0, l0), At(c1, l0), wx);
  const uint32_t bottom = LerpPixel(At(c0, l1), At(c1, l1), wx);
  return LerpPixel(top, bottom, wy);
}

bool BitmapPainter::Fits(const SpanSteps& s, int first, int last) const {
  if (!fast_ || referenceOnly_) return false;
  // Positions along a span are monotonic (rounding keeps the order), so its ends bound them.
  auto within = [](double p) { return std::abs(p) < kSafeCoordinate; };  // false for NaN
  const double a = first, b = last;
  return within(s.u0 + s.du * a) && within(s.v0 + s.dv * a) && within(s.u0 + s.du * b) &&
         within(s.v0 + s.dv * b);
}

void BitmapPainter::GeneratePart(int x, int skip, int y, int len, uint32_t* out) const {
  const double cx = x + 0.5, cy = y + 0.5;
  const SpanSteps steps{ux_ * cx + uy_ * cy + u0_, vx_ * cx + vy_ * cy + v0_, ux_, vx_};
  if (Fits(steps, skip, skip + len - 1)) {
    (smooth_ ? SampleBilinear : SampleNearest)(grid_, steps, skip, len, out);
  } else {
    for (int i = 0; i < len; ++i) {
      const int k = skip + i;
      const double u = steps.u0 + ux_ * k, v = steps.v0 + vx_ * k;
      out[i] = ClampPremultiplied(smooth_ ? Bilinear(u, v) : Nearest(u, v));
    }
  }
  transform_.Apply(out, len);
}

}  // namespace swfplayer::render
