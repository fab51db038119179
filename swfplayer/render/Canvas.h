// What the player draws on: fills and strokes of paths with paints under a matrix and a
// colour transform, and nested masks. The raster canvas implements it in software; tests may
// record the calls instead.
#pragma once

#include <cmath>

#include "swfplayer/types/Effects.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::render {

// High: exact-area anti-aliasing, smoothed bitmaps where asked. Low: no anti-aliasing, a pixel
// is covered when its centre is, bitmaps nearest-neighbour (the Flash control's "Low").
enum class Quality : uint8_t { kLow, kHigh };

// How many device pixels one stage pixel is along x and y: filters' blurs and distances are
// in stage pixels.
struct FilterScale {
  double x = 1, y = 1;
};

// The matrix a cached bitmap's content is drawn with: the object's, moved by less than half a
// pixel so that the top left of its bounds (device pixels, strokes included) falls on a whole
// pixel, halves going right and down. The bitmap is snapped to the pixel grid at the corner of
// the bounds, not at the object's origin, so the fractional part of where the object stands
// is dropped there.
inline Matrix SnapLayerContent(const Matrix& objectToDevice, Point boundsTopLeft) {
  Matrix snapped = objectToDevice;
  if (!std::isfinite(boundsTopLeft.x) || !std::isfinite(boundsTopLeft.y)) return snapped;
  snapped.tx += std::floor(boundsTopLeft.x + 0.5) - boundsTopLeft.x;
  snapped.ty += std::floor(boundsTopLeft.y + 0.5) - boundsTopLeft.y;
  return snapped;
}

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // Every pixel to this colour, masks ignored.
  virtual void Clear(Rgba color) = 0;

  // toDevice maps the path's (and the paint's) coordinates to device pixels, y down.
  virtual void FillPath(const Path& path, const Matrix& toDevice, FillRule rule,
                        const Paint& paint, const ColorTransform& colorTransform) = 0;
  virtual void StrokePath(const Path& path, const Matrix& toDevice, const StrokeStyle& stroke,
                          const Paint& paint, const ColorTransform& colorTransform) = 0;

  // Between BeginMask and EndMask every fill adds its coverage to a new mask instead of drawing
  // (the mask's own colours do not matter) and strokes add nothing, as the Flash Player masks
  // with a clip layer's fills only; after EndMask everything drawn is
  // clipped to that mask and to every mask still pushed beneath it, until PopMask removes it.
  virtual void BeginMask() = 0;
  virtual void EndMask() = 0;
  virtual void PopMask() = 0;

  // An object with effects (filters, a blend mode, or cached as a bitmap): when this returns
  // true, what is drawn until EndLayer is the object's content, drawn with its matrices as
  // usual but without its colour transform (nor its parents'), which colorTransform gives and
  // the canvas applies to the layer as a whole, after the filters. False: the canvas takes no
  // layer here (it draws none, a mask is being built, or a bound is reached); draw the object
  // as usual, colour transform included, and do not call EndLayer.
  virtual bool BeginLayer(const Matrix& /*objectToDevice*/, const ColorTransform& /*colorTransform*/,
                          const DisplayEffects& /*effects*/, FilterScale /*scale*/) {
    return false;
  }
  virtual void EndLayer() {}
};

}  // namespace swfplayer::render
