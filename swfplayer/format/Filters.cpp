#include "swfplayer/format/Filters.h"

#include <bit>
#include <cmath>

#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

float Fixed16(Reader& in) { return static_cast<float>(static_cast<int32_t>(in.U32()) / 65536.0); }

float Float(Reader& in) {
  const float value = std::bit_cast<float>(in.U32());
  return std::isfinite(value) ? value : 0.0f;
}

using Kind = ShadowFilter::Kind;

// The common tail of the shadow, glow and bevel filters after their colours: blur x and y,
// angle and distance (not in a glow), strength and the flags byte (inner, knockout, composite
// source, then the passes: five bits, four in a bevel whose fifth is "on top").
ShadowFilter ReadShadowTail(Reader& in, ShadowFilter filter) {
  filter.blurX = Fixed16(in);
  filter.blurY = Fixed16(in);
  const bool moves = filter.kind != Kind::kGlow;
  filter.angle = moves ? Fixed16(in) : 0.0f;
  filter.distance = moves ? Fixed16(in) : 0.0f;
  filter.strength = in.Fixed8();
  const uint8_t flags = in.U8();
  filter.inner = flags & 0x80;
  filter.knockout = flags & 0x40;
  filter.hideObject = !(flags & 0x20);
  // The gradient glow shares the bevel's flags.
  const bool bevel = filter.kind == Kind::kBevel || filter.kind == Kind::kGradientBevel ||
                     filter.kind == Kind::kGradientGlow;
  filter.onTop = bevel && (flags & 0x10);
  filter.passes = bevel ? flags & 0x0F : flags & 0x1F;
  return filter;
}

std::optional<Filter> ReadFilter(Reader& in) {
  ShadowFilter shadow;
  const uint8_t id = in.U8();
  switch (id) {
    case 0:
      shadow.kind = Kind::kDropShadow;
      shadow.color = in.Rgba();
      return ReadShadowTail(in, shadow);
    case 1: {
      BlurFilter blur;
      blur.blurX = Fixed16(in);
      blur.blurY = Fixed16(in);
      blur.passes = in.U8() >> 3;
      return blur;
    }
    case 2:
      shadow.kind = Kind::kGlow;
      shadow.color = in.Rgba();
      return ReadShadowTail(in, shadow);
    case 3:
      // The highlight is stored first (the authoring tool writes it so).
      shadow.kind = Kind::kBevel;
      shadow.highlight = in.Rgba();
      shadow.color = in.Rgba();
      return ReadShadowTail(in, shadow);
    case 4:
    case 7: {
      // Gradient glow (4) and gradient bevel (7): the colours, then their ratios.
      shadow.kind = id == 4 ? Kind::kGradientGlow : Kind::kGradientBevel;
      const uint8_t colors = in.U8();
      shadow.gradient.resize(colors);
      for (GradientStop& stop : shadow.gradient) stop.color = in.Rgba();
      for (GradientStop& stop : shadow.gradient) stop.ratio = in.U8();
      return ReadShadowTail(in, shadow);
    }
    case 5: {
      ConvolutionFilter convolution;
      convolution.columns = in.U8();
      convolution.rows = in.U8();
      convolution.divisor = Float(in);
      convolution.bias = Float(in);
      convolution.matrix.resize(size_t{convolution.columns} * convolution.rows);
      for (float& value : convolution.matrix) value = Float(in);
      convolution.defaultColor = in.Rgba();
      const uint8_t flags = in.U8();
      convolution.clamp = flags & 0x02;
      convolution.preserveAlpha = flags & 0x01;
      return convolution;
    }
    case 6: {
      ColorMatrixFilter matrix;
      for (float& value : matrix.matrix) value = Float(in);
      return matrix;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<std::vector<Filter>> ReadFilterList(Reader& in) {
  const uint8_t count = in.U8();
  std::vector<Filter> filters;
  for (unsigned i = 0; i < count && in.Ok(); ++i) {
    std::optional<Filter> filter = ReadFilter(in);
    if (!filter) return std::nullopt;
    filters.push_back(std::move(*filter));
  }
  if (!in.Ok()) return std::nullopt;
  return filters;
}

}  // namespace swfplayer::format
