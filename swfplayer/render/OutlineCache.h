// The device outlines of fills and strokes, worked out once and kept: a path's flattened
// contours (and a stroke's outline) depend on the path and on the matrix up to its translation,
// so a shape that stays, moves or comes back at the same scale and angle is flattened once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/Contours.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::render {

// What to rasterise for one fill or stroke: contours plus an offset added to every point.
struct Outline {
  const Contours* contours = nullptr;
  Point offset;
  PixelBox bounds;  // the canvas pixels it can touch; empty when it touches none
};

// An outline is worked out at the matrix without its translation, which is added when the
// outline is rasterised, whenever its control points all lie within reach of the canvas: then
// nothing is left out for lying outside, and the result is the same whether it was kept or
// not. Paths reaching farther (a shape zoomed far beyond the canvas) are worked out at their
// full matrix each time, their curves outside the canvas cut to chords, and never kept.
// Pixel-hinted strokes, which snap to the device grid, are never kept either.
//
// Memory: at most kMaxPoints points (about 17 bytes each, 17 MiB) and kMaxEntries outlines
// are kept. After a frame that kept new outlines, or once half of either bound is reached,
// the outlines the frame did not use are dropped, so a movie that scales its shapes every
// frame keeps one frame's outlines, and never more than the bounds.
class OutlineCache {
 public:
  static constexpr size_t kMaxPoints = size_t{1} << 20;
  static constexpr size_t kMaxEntries = size_t{1} << 16;
  static constexpr size_t kSmallPath = 16;

  // The canvas the outlines are for; a new size forgets everything.
  void SetCanvas(int width, int height);
  // The device pixels outlines are worked out for: the canvas, or more while drawing into a
  // layer whose filters bring what lies beyond the canvas onto it. Kept outlines stay valid.
  void SetArea(const PixelBox& area) { area_ = area; }
  // keep: whether the outline may be kept (false outside frames). spare receives the outline
  // when it is not kept and must live as long as the result is used.
  Outline Fill(const Path& path, const Matrix& toDevice, bool keep, Contours& spare);
  Outline Stroke(const Path& path, const Matrix& toDevice, const StrokeStyle& style, bool keep,
                 Contours& spare);
  // Paths this small are never kept: flattening one anew costs less than finding it.
  static bool Small(const Path& path) { return path.Points().size() <= kSmallPath; }
  // The outline of a small path's fill, into out, for area: what Fill gives. It reads nothing
  // but its arguments, so threads may work out many at once.
  static Outline FillSmall(const Path& path, const Matrix& toDevice, const PixelBox& area,
                           Contours& out);
  // Ends a frame: after one that kept new outlines, or past half the bounds, drops the
  // outlines the frame did not use.
  void EndFrame();
  void Clear();

  size_t KeptPoints() const { return points_; }
  size_t KeptOutlines() const { return entries_.size(); }

 private:
  struct Key {
    uint64_t path;
    double a, b, c, d;
    double width, miterLimit;  // strokes only
    uint32_t kind;             // 0 for a fill; a stroke's caps, join and flags, with bit 31 set
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };
  struct Entry {
    Contours contours;
    DeviceRect hull;    // the control points' bounds (a stroke's widened by its reach)
    DeviceRect bounds;  // the contours' bounds
    uint64_t frame = 0;
  };

  // The kept or freshly made entry for key; make fills contours at the linear matrix.
  template <typename Make>
  Outline Lookup(const Key& key, const Path& path, const Matrix& toDevice, double reach,
                 bool keep, Contours& spare, Make make);
  PixelBox ToPixels(const DeviceRect& bounds, Point offset) const {
    return ToPixels(area_, bounds, offset);
  }
  static PixelBox ToPixels(const PixelBox& area, const DeviceRect& bounds, Point offset);
  // The area grown by reach on every side.
  static DeviceRect Around(const PixelBox& area, double reach);
  static bool WithinReach(const PixelBox& area, const DeviceRect& hull, Point offset,
                          double reach);

  int width_ = 0, height_ = 0;
  PixelBox area_;
  uint64_t frame_ = 1;
  size_t points_ = 0;
  bool added_ = false;  // an outline was kept during this frame
  std::unordered_map<Key, std::unique_ptr<Entry>, KeyHash> entries_;
  Contours centre_;
};

}  // namespace swfplayer::render
