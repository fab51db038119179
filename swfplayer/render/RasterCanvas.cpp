#include "swfplayer/render/RasterCanvas.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "swfplayer/render/Flattener.h"
#include "swfplayer/render/PixelBlend.h"
#include "swfplayer/render/StrokePen.h"
#include "swfplayer/render/Stroker.h"

namespace swfplayer::render {
namespace {

DeviceRect Around(const PixelBox& box, double margin) {
  return {box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
}

}  // namespace

RasterCanvas::RasterCanvas(uint32_t* pixels, int width, int height, int strideInPixels,
                           Quality quality)
    : quality_(quality) {
  if (pixels && width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
      strideInPixels >= width) {
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    stride_ = strideInPixels;
  }
  masks_.Resize(width_, height_);
  compositor_.Resize(pixels_, width_, stride_);
}

void RasterCanvas::Clear(Rgba color) {
  const uint32_t value = Premultiply(color);
  for (int y = 0; y < height_; ++y) {
    uint32_t* row = pixels_ + static_cast<ptrdiff_t>(y) * stride_;
    std::fill(row, row + width_, value);
  }
}

void RasterCanvas::FillPath(const Path& path, const Matrix& toDevice, FillRule rule,
                            const Paint& paint, const ColorTransform& colorTransform) {
  const PixelBox box = masks_.DrawBox();
  if (box.Empty() || path.Empty()) return;
  centre_.Clear();
  FlattenPath(path, toDevice, Around(box, 1), centre_);
  raster_.Reset(box, quality_);
  raster_.AddContours(centre_);
  Composite(rule, paint, toDevice, colorTransform);
}

void RasterCanvas::StrokePath(const Path& path, const Matrix& toDevice, const StrokeStyle& stroke,
                              const Paint& paint, const ColorTransform& colorTransform) {
  // The Flash Player masks with fills only: a clip layer's outlines do not widen its mask.
  if (masks_.Target()) return;
  const PixelBox box = masks_.DrawBox();
  if (box.Empty() || path.Empty()) return;
  const StrokePen pen = MakeStrokePen(stroke, toDevice);
  // A curve farther than this from the box cannot reach it with its stroke, joins or caps.
  const double reach = stroke.join == Join::kMiter && std::isfinite(stroke.miterLimit)
                           ? std::max(stroke.miterLimit, 1.5)
                           : 1.5;
  centre_.Clear();
  FlattenPath(path, toDevice, Around(box, pen.DeviceReach() * reach + 2), centre_);
  if (stroke.pixelHinting) HintCentreLine(pen.deviceWidthX, pen.deviceWidthY, centre_);
  // An elliptical pen is round where its short axis is stretched to the long one: stroke
  // there, then map the outline back.
  if (!pen.round) MapContours(pen.fromDevice, centre_);
  outline_.Clear();
  StrokeContours(centre_, pen.width, stroke, outline_);
  if (!pen.round) MapContours(pen.toDevice, outline_);
  raster_.Reset(box, quality_);
  raster_.AddContours(outline_);
  Composite(FillRule::kNonZero, paint, toDevice, colorTransform);
}

void RasterCanvas::Composite(FillRule rule, const Paint& paint, const Matrix& toDevice,
                             const ColorTransform& colorTransform) {
  if (MaskLayer* target = masks_.Target()) {  // a mask's colours do not matter
    compositor_.Begin(target, masks_.Clip(), nullptr, 0);
    raster_.Sweep(rule, compositor_);
    return;
  }
  const SpanPainter* painter = nullptr;
  uint32_t solid = 0;
  if (const auto* color = std::get_if<Rgba>(&paint)) {
    solid = Premultiply(colorTransform.Apply(*color));
    if (solid == 0) return;
  } else if (const auto* gradient = std::get_if<Gradient>(&paint)) {
    gradient_.Setup(*gradient, toDevice * gradient->matrix, colorTransform);
    painter = &gradient_;
  } else if (const auto* fill = std::get_if<BitmapFill>(&paint)) {
    if (!bitmap_.Setup(*fill, toDevice * fill->matrix, colorTransform, quality_)) return;
    painter = &bitmap_;
  }
  compositor_.Begin(nullptr, masks_.Clip(), painter, solid);
  raster_.Sweep(rule, compositor_);
}

}  // namespace swfplayer::render
