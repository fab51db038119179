// Display objects drawn into layers of their own: between Begin and End the canvas records
// what is drawn into the innermost open layer instead of the frame, and End leaves one
// composite command in its place that draws the layer's pixels (with the object's colour
// transform and blend mode). Every layer is a cached bitmap (LayerCache.h): its content is
// drawn with the object's origin moved onto a whole device pixel, as the Flash Player aligns
// cached bitmaps, so content that stays the same relative to that origin is drawn once and
// reused wherever the object moves; filters are applied to the layer once it is drawn.
//
// Bounds: a layer holds what lies on the canvas (the visible area) and what its filters add
// around it, at most kMaxLayerSide pixels a side and kMaxLayerPixels in all, else it is cut
// to the canvas. A canvas beyond those bounds, layers nested deeper than kMaxNesting, and
// layers that would take the cache past its memory bound are refused: the object is drawn
// without its effects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "swfplayer/render/BandRenderer.h"
#include "swfplayer/render/DrawCommand.h"
#include "swfplayer/render/LayerCache.h"
#include "swfplayer/render/LayerFilters.h"
#include "swfplayer/render/PremultipliedTransform.h"
#include "swfplayer/types/Effects.h"

namespace swfplayer::render {

inline constexpr int kMaxLayerSide = 8191;
inline constexpr int64_t kMaxLayerPixels = 16777215;
inline constexpr size_t kMaxLayerNesting = 16;

class LayerRecorder {
 public:
  // A new frame (or, drawing outside frames, a new picture after a Clear).
  void BeginFrame();
  // Drawing outside frames: the layers drawn so far are on the canvas and not needed again
  // in this picture (unless found in the cache).
  void Recycle();

  // Opens a layer for an object whose origin objectToDevice gives; false when it cannot be
  // had (see the bounds above): then the object is drawn as if it had no effects.
  bool Begin(const Matrix& objectToDevice, const ColorTransform& colorTransform,
             const DisplayEffects& effects, FilterScale scale, const PixelBox& canvas,
             Quality quality);
  bool Open() const { return !open_.empty(); }
  // How a matrix is drawn inside the open layers (their origins on whole pixels), and the same
  // relative to the innermost layer's origin (what its content is recognised by).
  Matrix Inside(const Matrix& toDevice) const;
  Matrix Relative(const Matrix& inside) const;

  // A command drawn in the innermost open layer; hash sums up what decides its pixels, with
  // its matrix relative to the layer's origin (Relative).
  void Add(const DrawCommand& command, uint64_t hash);
  // Closes the innermost layer. When anything was drawn in it, sets composite to the command
  // that draws it into what encloses it, and hash to that command's signature (relative to
  // the enclosing layer's origin, if any), and returns true.
  bool End(DrawCommand& composite, uint64_t& hash);

  // Draws commands into pixels; Resolve uses it for the content of layers.
  using Drawer = std::function<void(const CanvasPixels&, const DrawCommand*, size_t)>;
  // Finds or draws every layer the commands composite (and, for those drawn, the layers in
  // them), filters included, so that the composites can be drawn.
  void Resolve(const DrawCommand* commands, size_t count, const Drawer& draw);

  const LayerCache& Cache() const { return cache_; }
  // Forgets every cached layer (a new canvas size or quality).
  void ClearCache() { cache_.Clear(); }

 private:
  struct Record {
    std::vector<DrawCommand> commands;
    uint64_t contentHash = 0;
    PixelBox content;  // device pixels the content touches
    int originX = 0, originY = 0;
    Point shift;       // added to every matrix drawn inside
    DisplayEffects effects;
    FilterScale scale;
    PixelBox canvas;
    Quality quality = Quality::kHigh;
    size_t reserved = 0;
    uint64_t key = 0;
    bool resolved = false;
    ColorTransform colorTransform;
    PremultipliedTransform transform;
    LayerComposite composite;
  };

  void ResolveRecord(Record& record, const Drawer& draw);

  std::deque<Record> records_;  // a deque: composites point into it
  size_t used_ = 0;
  std::vector<size_t> open_;
  LayerCache cache_;
  FilterScratch scratch_;
};

}  // namespace swfplayer::render
