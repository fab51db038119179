// An outline as a list of contours of straight and quadratic segments, in the coordinates of
// the shape that owns it (twips for SWF shapes); the canvas maps it to the device.
#pragma once

#include <cstdint>
#include <vector>

#include "swfplayer/types/Geometry.h"

namespace swfplayer {

class Path {
 public:
  enum class Verb : uint8_t { kMove, kLine, kQuad };

  // Starts a new contour. A fill closes every contour implicitly; a stroke closes only those
  // that end where they began.
  void MoveTo(Point p) { verbs_.push_back(Verb::kMove); points_.push_back(p); }
  void LineTo(Point p) { verbs_.push_back(Verb::kLine); points_.push_back(p); }
  void QuadTo(Point control, Point to) {
    verbs_.push_back(Verb::kQuad);
    points_.push_back(control);
    points_.push_back(to);
  }

  bool Empty() const { return verbs_.empty(); }
  void Clear() { verbs_.clear(); points_.clear(); }

  // kMove and kLine take one point, kQuad two (control, end), in order.
  const std::vector<Verb>& Verbs() const { return verbs_; }
  const std::vector<Point>& Points() const { return points_; }

  bool operator==(const Path&) const = default;

 private:
  std::vector<Verb> verbs_;
  std::vector<Point> points_;
};

}  // namespace swfplayer
