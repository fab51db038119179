// Display objects drawn into layers of their own: between Begin and End the canvas records
// what is drawn into the innermost open layer instead of the frame, and End leaves one
// composite command in its place that draws the layer's pixels (with the object's colour
// transform and blend mode). Every layer is a cached bitmap (LayerCache.h) whose pixels lie on
// the device's: its content is drawn where it stands when it is first drawn, recognised by
// what it is relative to the object's origin, and reused while that stays the same, moved by
// whole pixels as the object's rounded origin moves (the Flash Player's cached bitmaps snap
// to whole pixels so). Filters are applied to the layer once it is drawn.
//
// Bounds: a layer holds what lies on the canvas (the visible area), what its filters add
// around it and what they bring onto the canvas from beyond its right and bottom edges, at most kMaxLayerSide pixels a side and kMaxLayerPixels in all, else it is cut
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
  // The device pixels what is drawn now matters on: the canvas, grown around the open layers
  // by what their filters can bring onto it from beyond.
  PixelBox Area(const PixelBox& canvas) const {
    return open_.empty() ? canvas : records_[open_.back()].area;
  }
  // A matrix drawn in the innermost open layer relative to that layer's origin, its
  // translation rounded to 1/64 pixel: what the layer's content is recognised by, the same
  // wherever the object moves.
  Matrix Relative(const Matrix& toDevice) const;

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
    Point exact;                 // the object's origin in device pixels
    int originX = 0, originY = 0;  // the same, rounded
    DisplayEffects effects;
    FilterScale scale;
    PixelBox canvas;
    PixelBox area;  // Area() while it is the innermost open layer
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
