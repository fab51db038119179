// An outline as a list of contours of straight and quadratic segments, in the coordinates of
// the shape that owns it (twips for SWF shapes); the canvas maps it to the device.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <vector>

#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/HashMix.h"

namespace swfplayer {

class Path {
 public:
  enum class Verb : uint8_t { kMove, kLine, kQuad };

  // Starts a new contour. A fill closes every contour implicitly; a stroke closes only those
  // that end where they began.
  void MoveTo(Point p) { verbs_.push_back(Verb::kMove); points_.push_back(p); Changed(); }
  void LineTo(Point p) { verbs_.push_back(Verb::kLine); points_.push_back(p); Changed(); }
  void QuadTo(Point control, Point to) {
    verbs_.push_back(Verb::kQuad);
    points_.push_back(control);
    points_.push_back(to);
    Changed();
  }

  bool Empty() const { return verbs_.empty(); }
  void Clear() { verbs_.clear(); points_.clear(); Changed(); }

  // kMove and kLine take one point, kQuad two (control, end), in order.
  const std::vector<Verb>& Verbs() const { return verbs_; }
  const std::vector<Point>& Points() const { return points_; }

  // Names this outline among all paths of the process: two paths with the same id have the
  // same verbs and points (a copy keeps the id, any change makes a new one), so a renderer can
  // keep what it worked out from a path under its id and know when the content changed.
  // Given out on first use; not for use from two threads at once.
  uint64_t Id() const {
    if (id_ == 0) id_ = NextId();
    return id_;
  }

  // A hash of the verbs and points: the same ones, bit for bit, hash the same, whatever the
  // ids. Worked out on first use and kept until the path changes; not for use from two threads
  // at once.
  uint64_t ContentHash() const {
    if (hash_ == 0) {
      uint64_t h = HashMix(points_.size(), verbs_.size());
      for (const Verb verb : verbs_) h = HashMix(h, static_cast<uint64_t>(verb));
      for (const Point& p : points_) {
        h = HashMix(HashMix(h, std::bit_cast<uint64_t>(p.x)), std::bit_cast<uint64_t>(p.y));
      }
      hash_ = h | 1;  // never 0, which means not worked out
    }
    return hash_;
  }

  bool operator==(const Path& o) const { return verbs_ == o.verbs_ && points_ == o.points_; }

 private:
  void Changed() { id_ = hash_ = 0; }
  static uint64_t NextId() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
  }

  std::vector<Verb> verbs_;
  std::vector<Point> points_;
  mutable uint64_t id_ = 0;    // 0 until asked for, and after every change
  mutable uint64_t hash_ = 0;  // the same
};

}  // namespace swfplayer
