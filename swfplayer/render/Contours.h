// Polylines in device pixels: what the flattener and the stroker produce and the rasteriser
// consumes. Buffers are kept between calls so that a frame of many shapes does not allocate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swfplayer/types/Geometry.h"

namespace swfplayer::render {

struct DeviceRect {
  double left = 0, top = 0, right = 0, bottom = 0;

  bool Contains(double x, double y) const {
    return x >= left && x <= right && y >= top && y <= bottom;
  }
  DeviceRect Inflated(double by) const { return {left - by, top - by, right + by, bottom + by}; }
};

class Contours {
 public:
  void Clear() {
    points_.clear();
    smooth_.clear();
    ends_.clear();
    start_ = 0;
  }

  void BeginContour() {
    EndContour();
    start_ = points_.size();
  }
  // smooth: the point lies inside a flattened curve, where the outline has no corner.
  void Add(Point p, bool smooth = false) {
    points_.push_back(p);
    smooth_.push_back(smooth ? 1 : 0);
  }
  // Drops the points added since BeginContour (a contour with an unusable coordinate).
  void DiscardContour() {
    points_.resize(start_);
    smooth_.resize(start_);
  }
  void EndContour() {
    if (points_.size() > start_) ends_.push_back(points_.size());
    start_ = points_.size();
  }

  size_t ContourCount() const { return ends_.size(); }
  size_t ContourBegin(size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }
  size_t ContourEnd(size_t i) const { return ends_[i]; }
  const Point& At(size_t i) const { return points_[i]; }
  Point& MutableAt(size_t i) { return points_[i]; }
  bool Smooth(size_t i) const { return smooth_[i] != 0; }
  size_t PointCount() const { return points_.size(); }

 private:
  std::vector<Point> points_;
  std::vector<uint8_t> smooth_;
  std::vector<size_t> ends_;
  size_t start_ = 0;
};

}  // namespace swfplayer::render
