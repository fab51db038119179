// What a fill or a stroke is painted with: a solid colour, a gradient or a bitmap, with the
// SWF meaning of each. The colour transform of the object is applied by the canvas.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "swfplayer/types/Geometry.h"

namespace swfplayer {

// Pixels in premultiplied 0xAARRGGBB words (in memory B, G, R, A: a 32-bit DIB's layout),
// rows top to bottom without padding.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  // A movie's bitmaps never change; a script's (BitmapData) change in place and are shown
  // where they are, so each change gives a new number here (unique in the process) and what a
  // renderer kept from the old pixels is known to be stale.
  uint64_t generation = 0;
};

inline uint64_t NewBitmapGeneration() {
  static std::atomic<uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

enum class FillRule : uint8_t { kEvenOdd, kNonZero };

enum class Spread : uint8_t { kPad, kReflect, kRepeat };
enum class Interpolation : uint8_t { kRgb, kLinearRgb };
enum class GradientKind : uint8_t { kLinear, kRadial, kFocal };

struct GradientStop {
  uint8_t ratio = 0;  // 0..255 along the gradient
  Rgba color;
  bool operator==(const GradientStop&) const = default;
};

// The gradient square: x from -16384 to 16384 (and y likewise for radial gradients), mapped
// into the path's coordinates by matrix. Linear: ratio 0 at x = -16384, 255 at x = 16384.
// Radial: ratio 0 at the centre, 255 on the circle of radius 16384. Focal: as radial, with
// ratio 0 at (focalPoint * 16384, 0) instead of the centre (focalPoint from -1 to 1).
struct Gradient {
  GradientKind kind = GradientKind::kLinear;
  std::vector<GradientStop> stops;  // 1 to 15, ratios not decreasing
  Spread spread = Spread::kPad;
  Interpolation interpolation = Interpolation::kRgb;
  float focalPoint = 0;
  Matrix matrix;
};

// Bitmap pixel (x, y) covers [x, x+1) x [y, y+1) in bitmap space; matrix maps that space into
// the path's coordinates. Outside the bitmap a clipped fill repeats its edge pixels, a
// repeating one tiles.
struct BitmapFill {
  std::shared_ptr<const Bitmap> bitmap;
  Matrix matrix;
  bool repeat = true;
  bool smooth = true;  // bilinear; nearest when false (and always in low quality)
};

using Paint = std::variant<Rgba, Gradient, BitmapFill>;

enum class Cap : uint8_t { kRound, kNone, kSquare };
enum class Join : uint8_t { kRound, kBevel, kMiter };

struct StrokeStyle {
  double width = 20;        // in path units (twips); never drawn thinner than one device pixel
  Cap startCap = Cap::kRound;
  Cap endCap = Cap::kRound;
  Join join = Join::kRound;
  double miterLimit = 3;    // as a multiple of half the width
  bool scaleX = true;       // false: the width ignores horizontal scaling (NoHScaleFlag)
  bool scaleY = true;       // false: the width ignores vertical scaling (NoVScaleFlag)
  bool pixelHinting = false;
  bool noClose = false;     // a contour that ends where it began gets caps, not a join
};

}  // namespace swfplayer
