#include "swfplayer/render/StrokePen.h"

#include <algorithm>
#include <cmath>

namespace swfplayer::render {
namespace {

constexpr double kMinHalf = 0.5;        // one device pixel across
constexpr double kMaxHalf = 1 << 19;    // wider strokes cover any canvas anyway
constexpr double kRoundEnough = 1e-12;  // axis ratios this close to 1 are a round pen

double ClampHalf(double half, double hi) {
  if (!(half >= kMinHalf)) return kMinHalf;  // also NaN
  return std::min(half, hi);
}

double HintHalf(double half) { return std::max(std::round(2 * half), 1.0) / 2; }

// The symmetric matrix that keeps direction (c, s) and scales the one across it by k.
Matrix Squeeze(double c, double s, double k) {
  const double off = c * s * (1 - k);
  return {c * c + k * s * s, off, off, s * s + k * c * c, 0, 0};
}

StrokePen RoundPen(double half) {
  StrokePen pen;
  pen.width = pen.deviceWidthX = pen.deviceWidthY = 2 * half;
  return pen;
}

}  // namespace

StrokePen MakeStrokePen(const StrokeStyle& style, const Matrix& toDevice) {
  const double a = toDevice.a, b = toDevice.b, c = toDevice.c, d = toDevice.d;
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) || !std::isfinite(d)) {
    return RoundPen(kMinHalf);
  }
  const double half = style.width > 0 ? style.width / 2 : 0;  // also NaN
  if (!style.scaleX || !style.scaleY) {
    double scale = 1.0 / 20;
    if (style.scaleX) scale = std::hypot(a, b);
    if (style.scaleY) scale = std::hypot(c, d);
    const double h = ClampHalf(half * scale, kMaxHalf);
    return RoundPen(style.pixelHinting ? HintHalf(h) : h);
  }
  // The singular values of the linear part, from the eigenvalues of L L^T; the larger one's
  // direction is where the device pen is longest.
  const double p = a * a + c * c, q = b * b + d * d, r = a * b + c * d;
  const double major = std::sqrt((p + q) / 2 + std::hypot((p - q) / 2, r));
  const double minor = major > 0 ? std::abs(a * d - b * c) / major : 0;
  double h1 = ClampHalf(half * major, kMaxHalf);
  double h2 = ClampHalf(half * minor, h1);
  if (style.pixelHinting) {
    h1 = HintHalf(h1);
    h2 = HintHalf(h2);
  }
  const double ratio = h2 / h1;
  if (1 - ratio < kRoundEnough) return RoundPen(h1);
  const double angle = std::atan2(2 * r, p - q) / 2;
  const double cs = std::cos(angle), sn = std::sin(angle);
  StrokePen pen;
  pen.width = 2 * h1;
  pen.round = false;
  pen.toDevice = Squeeze(cs, sn, ratio);
  pen.fromDevice = Squeeze(cs, sn, 1 / ratio);
  pen.deviceWidthX = pen.width * std::hypot(pen.toDevice.a, pen.toDevice.c);
  pen.deviceWidthY = pen.width * std::hypot(pen.toDevice.b, pen.toDevice.d);
  return pen;
}

void MapContours(const Matrix& m, Contours& contours) {
  for (size_t i = 0; i < contours.PointCount(); ++i) {
    Point& p = contours.MutableAt(i);
    p = m.ApplyVector(p);
  }
}

void HintCentreLine(double widthX, double widthY, Contours& centre) {
  // An odd width centred on a pixel centre, an even one on a pixel boundary, fills whole pixels.
  auto snap = [](double v, double width) {
    return std::fmod(std::round(width), 2.0) == 1.0 ? std::floor(v) + 0.5 : std::round(v);
  };
  for (size_t i = 0; i < centre.PointCount(); ++i) {
    Point& p = centre.MutableAt(i);
    p = {snap(p.x, widthX), snap(p.y, widthY)};
  }
}

uint32_t StrokeStyleBits(const StrokeStyle& style) {
  return (1u << 31) | static_cast<uint32_t>(style.startCap) |
         static_cast<uint32_t>(style.endCap) << 2 | static_cast<uint32_t>(style.join) << 4 |
         uint32_t{style.scaleX} << 6 | uint32_t{style.scaleY} << 7 | uint32_t{style.noClose} << 8 |
         uint32_t{style.pixelHinting} << 9;
}

}  // namespace swfplayer::render
