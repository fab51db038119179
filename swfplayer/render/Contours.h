// Polylines in device pixels: what the flattener and the stroker produce and the rasteriser
// consumes. Buffers are kept between calls so that a frame of many shapes does not allocate.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
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
    blocks_.clear();
  }

  void BeginContour() {
    EndContour();
    start_ = points_.size();
  }
  // smooth: the point lies inside a flattened curve, where the outline has no corner.
  void Add(Point p, bool smooth = false) {
    points_.push_back(p);
    smooth_.push_back(smooth ? 1 : 0);
    blocks_.clear();
  }
  // Drops the points added since BeginContour (a contour with an unusable coordinate).
  void DiscardContour() {
    points_.resize(start_);
    smooth_.resize(start_);
    blocks_.clear();
  }
  void EndContour() {
    if (points_.size() > start_) ends_.push_back(points_.size());
    start_ = points_.size();
  }

  size_t ContourCount() const { return ends_.size(); }
  size_t ContourBegin(size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }
  size_t ContourEnd(size_t i) const { return ends_[i]; }
  const Point& At(size_t i) const { return points_[i]; }
  Point& MutableAt(size_t i) {
    blocks_.clear();
    return points_[i];
  }
  bool Smooth(size_t i) const { return smooth_[i] != 0; }
  size_t PointCount() const { return points_.size(); }
  // Asks the processor to fetch the start of the points and contour ends, for an outline about
  // to be drawn: a frame of many small outlines otherwise waits on memory for each one.
  void Prefetch() const {
    __builtin_prefetch(points_.data());
    __builtin_prefetch(ends_.data());
    __builtin_prefetch(blocks_.data());
  }

  // The bounds of every point (inverted, left > right, when there are none; NaN left out), and
  // the least and greatest y of each block of points kept until the points change: a band of
  // rows then passes over the parts of a large outline that lie above or below it.
  DeviceRect Measure();
  static constexpr size_t kBlock = 16;
  bool Measured() const { return !blocks_.empty() || points_.empty(); }
  // The least and greatest y of points [block * kBlock, block * kBlock + kBlock], the point
  // after the block included: every segment that starts in the block lies within them.
  double BlockTop(size_t block) const { return blocks_[2 * block]; }
  double BlockBottom(size_t block) const { return blocks_[2 * block + 1]; }
  // What the last Measure returned; valid while Measured().
  const DeviceRect& Bounds() const { return bounds_; }

 private:
  std::vector<Point> points_;
  std::vector<uint8_t> smooth_;
  std::vector<size_t> ends_;
  size_t start_ = 0;
  std::vector<double> blocks_;  // per block: top, bottom; empty until measured
  DeviceRect bounds_;
};

inline DeviceRect Contours::Measure() {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  DeviceRect all{kInfinity, kInfinity, -kInfinity, -kInfinity};
  const size_t n = points_.size();
  blocks_.resize(2 * ((n + kBlock - 1) / kBlock));
  for (size_t b = 0; b * kBlock < n; ++b) {
    double top = kInfinity, bottom = -kInfinity;
    const size_t end = std::min(b * kBlock + kBlock, n);
    for (size_t i = b * kBlock; i < end; ++i) {
      const Point& p = points_[i];
      all.left = std::min(all.left, p.x);
      all.right = std::max(all.right, p.x);
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
    all.top = std::min(all.top, top);
    all.bottom = std::max(all.bottom, bottom);
    if (end < n) {
      top = std::min(top, points_[end].y);
      bottom = std::max(bottom, points_[end].y);
    }
    blocks_[2 * b] = top;
    blocks_[2 * b + 1] = bottom;
  }
  bounds_ = all;
  return all;
}

}  // namespace swfplayer::render
