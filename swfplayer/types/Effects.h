// What a display object is drawn with besides its shapes: the filters of its filter list, the
// blend mode it is composited with, and whether it is kept as a bitmap. Plain data with the
// SWF meaning, decoded from PlaceObject3 and DefineButton2 (and set by scripts); the canvas
// draws them (render/Layers.h).
#pragma once

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer {

// The SWF numbering; 0 and 1 are both normal.
enum class BlendMode : uint8_t {
  kNormal = 1,
  kLayer = 2,
  kMultiply = 3,
  kScreen = 4,
  kLighten = 5,
  kDarken = 6,
  kDifference = 7,
  kAdd = 8,
  kSubtract = 9,
  kInvert = 10,
  kAlpha = 11,
  kErase = 12,
  kOverlay = 13,
  kHardLight = 14,
};

// An unknown number draws as normal, as the Flash Player does.
inline BlendMode BlendModeFromSwf(uint8_t value) {
  return value >= 2 && value <= 14 ? static_cast<BlendMode>(value) : BlendMode::kNormal;
}

// Blur sizes are in stage pixels (the canvas scales them with the stage); quality is the
// number of box-blur passes.
struct BlurFilter {
  float blurX = 4, blurY = 4;
  uint8_t passes = 1;
  bool operator==(const BlurFilter&) const = default;
};

// DropShadow, Glow, Bevel, GradientGlow and GradientBevel: a blurred copy of the object's
// alpha, moved by distance along angle, coloured and composited with the object. A glow is a
// shadow that does not move; a bevel is a highlight on one side and a shadow on the other; the
// gradient kinds colour the blurred alpha through a gradient instead of one colour.
struct ShadowFilter {
  enum class Kind : uint8_t { kDropShadow, kGlow, kBevel, kGradientGlow, kGradientBevel };
  Kind kind = Kind::kDropShadow;
  Rgba color{0, 0, 0, 255};          // shadow and glow; a bevel's shadow
  Rgba highlight{255, 255, 255, 255};  // a bevel's highlight
  std::vector<GradientStop> gradient;  // the gradient kinds, 1 to 255 stops
  float blurX = 4, blurY = 4;
  float angle = 0.785398f;  // radians, 0 along +x, turning towards +y (down)
  float distance = 4;
  float strength = 1;
  bool inner = false;
  bool knockout = false;
  bool hideObject = false;  // the object itself is not drawn, only its shadow
  bool onTop = false;       // bevels: the bevel over the object instead of under it
  uint8_t passes = 1;
  bool operator==(const ShadowFilter&) const = default;
};

// result = m * (r, g, b, a, 1) on straight colours in 0..255, row by row.
struct ColorMatrixFilter {
  std::array<float, 20> matrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
  bool operator==(const ColorMatrixFilter&) const = default;
};

struct ConvolutionFilter {
  uint8_t columns = 0, rows = 0;
  std::vector<float> matrix;  // columns * rows, row by row
  float divisor = 1;
  float bias = 0;
  Rgba defaultColor{0, 0, 0, 0};  // outside the object when clamp is off
  bool clamp = true;              // outside pixels repeat the edge
  bool preserveAlpha = true;
  bool operator==(const ConvolutionFilter&) const = default;
};

using Filter = std::variant<BlurFilter, ShadowFilter, ColorMatrixFilter, ConvolutionFilter>;

// Everything a display object adds to its drawing. Any filter or a blend mode other than
// normal makes it a layer, and so a cached bitmap, as in the Flash Player.
struct DisplayEffects {
  std::vector<Filter> filters;
  BlendMode blendMode = BlendMode::kNormal;
  bool cacheAsBitmap = false;

  bool NeedsLayer() const {
    return cacheAsBitmap || !filters.empty() || blendMode != BlendMode::kNormal;
  }
  bool operator==(const DisplayEffects&) const = default;
};

}  // namespace swfplayer
