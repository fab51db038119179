// The value types that the player hands to the renderer: points, affine matrices and colour
// transforms with the SWF meaning, and straight (not premultiplied) colours. Header-only and
// portable, so that both sides can use them without linking each other.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace swfplayer {

struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty. A SWF MATRIX maps as a = ScaleX, b = RotateSkew0,
// c = RotateSkew1, d = ScaleY, (tx, ty) = Translate.
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
  static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

  Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // A vector: the linear part only.
  Point ApplyVector(Point p) const { return {a * p.x + c * p.y, b * p.x + d * p.y}; }

  // (this * inner)(p) = this(inner(p)): inner is applied first, as a child's matrix is applied
  // before its parent's.
  Matrix operator*(const Matrix& inner) const {
    return {a * inner.a + c * inner.b,       b * inner.a + d * inner.b,
            a * inner.c + c * inner.d,       b * inner.c + d * inner.d,
            a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
  }

  double Determinant() const { return a * d - b * c; }

  // None for a singular matrix (a shape squashed to a line or a point draws nothing).
  std::optional<Matrix> Inverse() const {
    const double det = Determinant();
    if (!std::isfinite(det) || std::abs(det) < 1e-12) return std::nullopt;
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return Matrix{ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
  }

  bool operator==(const Matrix&) const = default;
};

// A rectangle in twips (1/20 pixel), as SWF RECT records give it.
struct TwipsRect {
  int32_t xMin = 0;
  int32_t xMax = 0;
  int32_t yMin = 0;
  int32_t yMax = 0;
  bool operator==(const TwipsRect&) const = default;
};

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

// SWF colour transform: channel' = clamp(channel * mul + add, 0, 255), with mul as a factor
// (SWF stores it in 8.8, 256 = 1.0) and add in channel units. Transforms down a display tree
// are concatenated without clamping in between, as the Flash Player does.
struct ColorTransform {
  float mulR = 1, mulG = 1, mulB = 1, mulA = 1;
  float addR = 0, addG = 0, addB = 0, addA = 0;

  bool IsIdentity() const {
    return mulR == 1 && mulG == 1 && mulB == 1 && mulA == 1 && addR == 0 && addG == 0 &&
           addB == 0 && addA == 0;
  }

  // (this * inner)(c) = this(inner(c)): inner (the child's) is applied first.
  ColorTransform operator*(const ColorTransform& inner) const {
    return {mulR * inner.mulR, mulG * inner.mulG, mulB * inner.mulB, mulA * inner.mulA,
            mulR * inner.addR + addR, mulG * inner.addG + addG,
            mulB * inner.addB + addB, mulA * inner.addA + addA};
  }

  Rgba Apply(Rgba c) const {
    return {Channel(c.r, mulR, addR), Channel(c.g, mulG, addG), Channel(c.b, mulB, addB),
            Channel(c.a, mulA, addA)};
  }

  bool operator==(const ColorTransform&) const = default;

 private:
  static uint8_t Channel(uint8_t value, float mul, float add) {
    const float v = static_cast<float>(value) * mul + add;
    if (!(v > 0)) return 0;  // also NaN, which std::clamp would pass through to the cast
    return static_cast<uint8_t>(std::min(v, 255.0f));
  }
};

}  // namespace swfplayer
