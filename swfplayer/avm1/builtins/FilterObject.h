// The objects of flash.filters (SWF 8): each filter's settings as scripts read and write them,
// kept as the Flash Player keeps them (angles in radians, strengths in 1/256, alphas as bytes,
// so that what a script reads back has the Flash Player's rounding), and their conversion to
// and from what the display draws (types/Effects.h). A clip's `filters` hands out new objects
// made from its drawn filters each time and takes copies of what a script gives it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "swfplayer/avm1/Object.h"
#include "swfplayer/types/Effects.h"

namespace swfplayer::avm1 {

class VmImpl;

enum class FilterKind : uint8_t {
  kNone,  // a prototype, or an object no filter constructor has filled in
  kBlur,
  kDropShadow,
  kGlow,
  kBevel,
  kGradientGlow,
  kGradientBevel,
  kColorMatrix,
  kConvolution,
  kDisplacementMap,  // a value only: the display does not draw it
};

// The `type` of bevels and gradient filters: where the effect shows.
enum class BevelType : uint8_t { kInner, kOuter, kFull };

struct ScriptGradientStop {
  uint32_t rgb = 0;
  uint8_t alpha = 0;
  uint8_t ratio = 0;
};

inline constexpr size_t kMaxGradientStops = 16;
inline constexpr size_t kMaxConvolutionValues = 15 * 15;

struct ScriptFilter {
  FilterKind kind = FilterKind::kNone;
  double blurX = 4, blurY = 4;    // 0..255
  int32_t quality = 1;            // 0..15 box-blur passes
  double distance = 4;
  double angle = 0.785398163;     // radians
  uint32_t color = 0;             // 0xRRGGBB; a bevel's shadow colour
  uint8_t alpha = 255;
  uint32_t highlight = 0xFFFFFF;  // bevels
  uint8_t highlightAlpha = 255;
  uint16_t strength = 256;        // 8.8 fixed point, at most 255
  bool inner = false, knockout = false, hideObject = false;
  BevelType type = BevelType::kInner;
  std::array<ScriptGradientStop, kMaxGradientStops> stops{};
  uint8_t stopCount = 0;
  std::array<float, 20> colorMatrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
  uint8_t matrixX = 0, matrixY = 0;  // 0..15
  std::vector<float> matrix;          // at least matrixX * matrixY values
  float divisor = 1, bias = 0;
  bool preserveAlpha = true, clamp = true;
  // DisplacementMapFilter: the map (a BitmapData, or undefined), where it lies, the channels
  // (1 red, 2 green, 4 blue, 8 alpha) and scales, and what lies beyond it.
  Value mapBitmap;
  int32_t mapX = 0, mapY = 0;
  int32_t componentX = 0, componentY = 0;
  float scaleX = 0, scaleY = 0;
  uint8_t mode = 0;  // wrap, clamp, ignore, color
};

// The settings `new` starts a filter of this kind with.
ScriptFilter DefaultFilter(FilterKind kind);
// What the display draws for a script's filter (nothing for a displacement map); numbers no
// filter can draw (NaN, infinities) become 0.
std::optional<Filter> ToDrawn(const ScriptFilter& filter);
// A drawn filter (from PlaceObject3 or a script) as scripts see it.
ScriptFilter FromDrawn(const Filter& filter);

class FilterObject final : public Object {
 public:
  explicit FilterObject(Value proto) : Object(proto, ObjectClass::kBitmapFilter) {}
  void Trace(Tracer& tracer) override;
  ScriptFilter filter;
};

// A new object of filter's class (its prototype as the class installed it).
Value NewFilterObject(VmImpl& vm, const ScriptFilter& filter);

}  // namespace swfplayer::avm1
