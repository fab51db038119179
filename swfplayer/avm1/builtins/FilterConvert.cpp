// Filters between scripts and the display: a script's settings become the plain data the
// renderer draws, and a clip's drawn filters (from its PlaceObject3 or an earlier script)
// become settings again, rounded as the SWF stores them (16.16 for blurs, angles and
// distances, 8.8 for strengths), as the Flash Player rounds a filter it hands back.
#include <algorithm>
#include <cmath>

#include "swfplayer/avm1/builtins/FilterObject.h"

namespace swfplayer::avm1 {

namespace {

using Kind = ShadowFilter::Kind;

float Finite(double value) {
  return std::isfinite(value) ? static_cast<float>(value) : 0.0f;
}

double Fixed16(float value) { return std::round(static_cast<double>(value) * 65536.0) / 65536.0; }

Rgba ColorOf(uint32_t rgb, uint8_t alpha) {
  return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), alpha};
}

uint32_t RgbOf(const Rgba& color) { return (uint32_t{color.r} << 16) | (uint32_t{color.g} << 8) | color.b; }

uint8_t Passes(int32_t quality) { return static_cast<uint8_t>(std::clamp(quality, 0, 15)); }

Filter DrawnShadow(const ScriptFilter& s) {
  ShadowFilter f;
  switch (s.kind) {
    case FilterKind::kDropShadow: f.kind = Kind::kDropShadow; break;
    case FilterKind::kGlow: f.kind = Kind::kGlow; break;
    case FilterKind::kBevel: f.kind = Kind::kBevel; break;
    case FilterKind::kGradientGlow: f.kind = Kind::kGradientGlow; break;
    default: f.kind = Kind::kGradientBevel; break;
  }
  f.color = ColorOf(s.color, s.alpha);
  f.highlight = ColorOf(s.highlight, s.highlightAlpha);
  for (size_t i = 0; i < s.stopCount; ++i) {
    f.gradient.push_back({s.stops[i].ratio, ColorOf(s.stops[i].rgb, s.stops[i].alpha)});
  }
  f.blurX = Finite(s.blurX);
  f.blurY = Finite(s.blurY);
  const bool moves = s.kind != FilterKind::kGlow;
  f.angle = moves ? Finite(s.angle) : 0.0f;
  f.distance = moves ? Finite(s.distance) : 0.0f;
  f.strength = static_cast<float>(s.strength) / 256.0f;
  f.passes = Passes(s.quality);
  f.knockout = s.knockout;
  if (s.kind == FilterKind::kDropShadow || s.kind == FilterKind::kGlow) {
    f.inner = s.inner;
    f.hideObject = s.kind == FilterKind::kDropShadow && s.hideObject;
  } else {
    f.inner = s.type == BevelType::kInner;
    f.onTop = s.type == BevelType::kFull;
  }
  return f;
}

ScriptFilter ScriptShadow(const ShadowFilter& f) {
  ScriptFilter s;
  switch (f.kind) {
    case Kind::kDropShadow: s = DefaultFilter(FilterKind::kDropShadow); break;
    case Kind::kGlow: s = DefaultFilter(FilterKind::kGlow); break;
    case Kind::kBevel: s = DefaultFilter(FilterKind::kBevel); break;
    case Kind::kGradientGlow: s = DefaultFilter(FilterKind::kGradientGlow); break;
    case Kind::kGradientBevel: s = DefaultFilter(FilterKind::kGradientBevel); break;
  }
  s.color = RgbOf(f.color);
  s.alpha = f.color.a;
  s.highlight = RgbOf(f.highlight);
  s.highlightAlpha = f.highlight.a;
  s.stopCount = static_cast<uint8_t>(std::min(f.gradient.size(), kMaxGradientStops));
  for (size_t i = 0; i < s.stopCount; ++i) {
    s.stops[i] = {RgbOf(f.gradient[i].color), f.gradient[i].color.a, f.gradient[i].ratio};
  }
  s.blurX = Fixed16(f.blurX);
  s.blurY = Fixed16(f.blurY);
  s.angle = Fixed16(f.angle);
  s.distance = Fixed16(f.distance);
  s.strength = static_cast<uint16_t>(std::clamp(std::lround(f.strength * 256.0f), 0L, 0xFF00L));
  s.quality = f.passes;
  s.inner = f.inner;
  s.knockout = f.knockout;
  s.hideObject = f.hideObject;
  s.type = f.onTop ? BevelType::kFull : f.inner ? BevelType::kInner : BevelType::kOuter;
  return s;
}

}  // namespace

ScriptFilter DefaultFilter(FilterKind kind) {
  ScriptFilter s;
  s.kind = kind;
  switch (kind) {
    case FilterKind::kGlow:
      s.color = 0xFF0000;
      s.blurX = s.blurY = 6;
      s.strength = 2 << 8;
      break;
    case FilterKind::kConvolution:
    case FilterKind::kDisplacementMap:
      s.alpha = 0;
      break;
    default:
      break;
  }
  return s;
}

std::optional<Filter> ToDrawn(const ScriptFilter& s) {
  switch (s.kind) {
    case FilterKind::kBlur:
      return BlurFilter{Finite(s.blurX), Finite(s.blurY), Passes(s.quality)};
    case FilterKind::kDropShadow:
    case FilterKind::kGlow:
    case FilterKind::kBevel:
    case FilterKind::kGradientGlow:
    case FilterKind::kGradientBevel:
      return DrawnShadow(s);
    case FilterKind::kColorMatrix: {
      ColorMatrixFilter f;
      for (size_t i = 0; i < f.matrix.size(); ++i) f.matrix[i] = Finite(s.colorMatrix[i]);
      return f;
    }
    case FilterKind::kConvolution: {
      ConvolutionFilter f;
      f.columns = s.matrixX;
      f.rows = s.matrixY;
      const size_t count = size_t{f.columns} * f.rows;
      for (size_t i = 0; i < count; ++i) f.matrix.push_back(i < s.matrix.size() ? Finite(s.matrix[i]) : 0.0f);
      f.divisor = Finite(s.divisor);
      f.bias = Finite(s.bias);
      f.defaultColor = ColorOf(s.color, s.alpha);
      f.clamp = s.clamp;
      f.preserveAlpha = s.preserveAlpha;
      return f;
    }
    default:
      return std::nullopt;
  }
}

ScriptFilter FromDrawn(const Filter& filter) {
  if (const auto* blur = std::get_if<BlurFilter>(&filter)) {
    ScriptFilter s = DefaultFilter(FilterKind::kBlur);
    s.blurX = Fixed16(blur->blurX);
    s.blurY = Fixed16(blur->blurY);
    s.quality = blur->passes;
    return s;
  }
  if (const auto* shadow = std::get_if<ShadowFilter>(&filter)) return ScriptShadow(*shadow);
  if (const auto* matrix = std::get_if<ColorMatrixFilter>(&filter)) {
    ScriptFilter s = DefaultFilter(FilterKind::kColorMatrix);
    s.colorMatrix = matrix->matrix;
    return s;
  }
  const auto& convolution = std::get<ConvolutionFilter>(filter);
  ScriptFilter s = DefaultFilter(FilterKind::kConvolution);
  s.matrixX = convolution.columns;
  s.matrixY = convolution.rows;
  s.matrix = convolution.matrix;
  s.matrix.resize(std::min(std::max(s.matrix.size(), size_t{s.matrixX} * s.matrixY), kMaxConvolutionValues));
  s.divisor = convolution.divisor;
  s.bias = convolution.bias;
  s.color = RgbOf(convolution.defaultColor);
  s.alpha = convolution.defaultColor.a;
  s.clamp = convolution.clamp;
  s.preserveAlpha = convolution.preserveAlpha;
  return s;
}

void FilterObject::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  tracer.Mark(filter.mapBitmap);
}

}  // namespace swfplayer::avm1
