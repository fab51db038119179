#include "standin/flash/render/BitmapPainter.h"

#include <algorithm>
#include <cmath>

#include "standin/flash/render/PixelBlend.h"

namespace swfsaver::flash::render {
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

uint32_t TransformPremultiplied(uint32_t pixel, const ColorTransform& transform) {
  const uint32_t a = pixel >> 24;
  Rgba straight{0, 0, 0, static_cast<uint8_t>(a)};
  if (a != 0) {
    auto unpremultiply = [a](uint32_t c) {
      return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
    };
    straight.r = unpremultiply((pixel >> 16) & 0xFF);
    straight.g = unpremultiply((pixel >> 8) & 0xFF);
    straight.b = unpremultiply(pixel & 0xFF);
  }
  return Premultiply(transform.Apply(straight));
}

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
  pixels_ = bitmap->pixels.data();
  width_ = bitmap->width;
  height_ = bitmap->height;
  repeat_ = fill.repeat;
  smooth_ = fill.smooth && quality == Quality::kHigh;
  transform_ = transform;
  const ColorTransform& t = transform;
  if (t.IsIdentity()) {
    tint_ = Tint::kNone;
  } else if (t.mulR == 1 && t.mulG == 1 && t.mulB == 1 && t.addR == 0 && t.addG == 0 &&
             t.addB == 0 && t.addA == 0 && t.mulA >= 0 && t.mulA <= 1) {
    // Only the alpha shrinks: the premultiplied pixel shrinks as a whole.
    tint_ = Tint::kAlphaScale;
    alphaScale_ = static_cast<uint32_t>(std::lround(t.mulA * 256));
  } else {
    tint_ = Tint::kFull;
  }
  ux_ = inverse->a;
  uy_ = inverse->c;
  u0_ = inverse->tx;
  vx_ = inverse->b;
  vy_ = inverse->d;
  v0_ = inverse->ty;
  return true;
}

uint32_t BitmapPainter::Nearest(double u, double v) const {
  return At(Wrap(std::floor(u), width_, repeat_), Wrap(std::floor(v), height_, repeat_));
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
  const int c0 = Wrap(fu, width_, repeat_), c1 = Wrap(fu + 1, width_, repeat_);
  const int l0 = Wrap(fv, height_, repeat_), l1 = Wrap(fv + 1, height_, repeat_);
  const uint32_t top = LerpPixel(At(c0, l0), At(c1, l0), wx);
  const uint32_t bottom = LerpPixel(At(c0, l1), At(c1, l1), wx);
  return LerpPixel(top, bottom, wy);
}

void BitmapPainter::Generate(int x, int y, int len, uint32_t* out) const {
  const double cx = x + 0.5, cy = y + 0.5;
  const double u0 = ux_ * cx + uy_ * cy + u0_, v0 = vx_ * cx + vy_ * cy + v0_;
  for (int i = 0; i < len; ++i) {
    const double u = u0 + ux_ * i, v = v0 + vx_ * i;
    out[i] = ClampPremultiplied(smooth_ ? Bilinear(u, v) : Nearest(u, v));
  }
  if (tint_ == Tint::kAlphaScale) {
    for (int i = 0; i < len; ++i) out[i] = ScalePixel(out[i], alphaScale_);
  } else if (tint_ == Tint::kFull) {
    for (int i = 0; i < len; ++i) out[i] = TransformPremultiplied(out[i], transform_);
  }
}

}  // namespace swfsaver::flash::render
