// Linear, radial and focal gradients through a 256-entry colour table.
#pragma once

#include <array>
#include <cstdint>

#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"
#include "swfplayer/render/SpanPainter.h"

namespace swfplayer::render {

using GradientTable = std::array<uint32_t, 256>;

// Entry i is the colour at ratio i: straight colours interpolated between the stops (in sRGB or
// in linear light), then the colour transform, then premultiplied. A ratio before the first
// stop takes its colour, after the last likewise. Stops sharing a ratio step: all but the last
// show for one entry each, in order, from the entry after that ratio on, then the segment from
// the last to the next stop takes over (see the walk in the source). No stops: transparent.
void BuildGradientTable(const Gradient& gradient, const ColorTransform& transform,
                        GradientTable& table);

class GradientPainter final : public SpanPainter {
 public:
  // gradientToDevice maps the gradient square (-16384..16384) to device pixels.
  void Setup(const Gradient& gradient, const Matrix& gradientToDevice,
             const ColorTransform& transform);
  void GeneratePart(int x, int skip, int y, int len, uint32_t* out) const override;

 private:
  GradientTable table_{};
  GradientKind kind_ = GradientKind::kLinear;
  Spread spread_ = Spread::kPad;
  bool singular_ = false;
  float focal_ = 0;
  // Device (x, y) to the gradient square scaled to the unit circle: u = ux*x + uy*y + u0.
  double ux_ = 0, uy_ = 0, u0_ = 0, vx_ = 0, vy_ = 0, v0_ = 0;
};

}  // namespace swfplayer::render
