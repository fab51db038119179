#include "swfplayer/render/Flattener.h"

#include <algorithm>
#include <cmath>

namespace swfplayer::render {
namespace {

// A curve needing more segments than this is split in halves (so that the halves far outside
// the canvas collapse to chords) down to kMaxSplitDepth; deeper, it keeps kMaxSegments.
constexpr int kMaxSegments = 64;
constexpr int kMaxSplitDepth = 6;
constexpr double kCoordinateLimit = 1e12;

class Flattener {
 public:
  Flattener(const Matrix& toDevice, const DeviceRect& relevant, Contours& out)
      : matrix_(toDevice), relevant_(relevant), out_(out) {}

  // False for a point that cannot be drawn; the caller drops its contour.
  bool Map(Point in, Point& mapped) const {
    mapped = matrix_.Apply(in);
    if (!std::isfinite(mapped.x) || !std::isfinite(mapped.y)) return false;
    mapped.x = std::clamp(mapped.x, -kCoordinateLimit, kCoordinateLimit);
    mapped.y = std::clamp(mapped.y, -kCoordinateLimit, kCoordinateLimit);
    return true;
  }

  // Adds the points after p0; endSmooth marks p2 as the middle of a split curve.
  void Quad(Point p0, Point p1, Point p2, int depth, bool endSmooth) {
    if (OutsideRelevant(p0, p1, p2)) {
      out_.Add(p2, endSmooth);
      return;
    }
    // A parabola deviates from its chord over a parameter step h by |p0 - 2 p1 + p2| h^2 / 4.
    const double ddx = p0.x - 2 * p1.x + p2.x, ddy = p0.y - 2 * p1.y + p2.y;
    const double dd = std::sqrt(ddx * ddx + ddy * ddy);  // |coordinates| <= 1e12: no overflow
    const double needed = std::ceil(std::sqrt(dd / (4 * kFlatnessTolerance)));
    if (needed > kMaxSegments && depth < kMaxSplitDepth) {
      const Point a = Mid(p0, p1), b = Mid(p1, p2), m = Mid(a, b);
      Quad(p0, a, m, depth + 1, true);
      Quad(m, b, p2, depth + 1, endSmooth);
      return;
    }
    const int n = needed >= 1 ? static_cast<int>(std::min<double>(needed, kMaxSegments)) : 1;
    for (int i = 1; i < n; ++i) {
      const double t = static_cast<double>(i) / n, u = 1 - t;
      out_.Add({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y},
               true);
    }
    out_.Add(p2, endSmooth);
  }

 private:
  static Point Mid(Point a, Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

  bool OutsideRelevant(Point p0, Point p1, Point p2) const {
    return std::max({p0.x, p1.x, p2.x}) < relevant_.left ||
           std::min({p0.x, p1.x, p2.x}) > relevant_.right ||
           std::max({p0.y, p1.y, p2.y}) < relevant_.top ||
           std::min({p0.y, p1.y, p2.y}) > relevant_.bottom;
  }

  const Matrix& matrix_;
  const DeviceRect& relevant_;
  Contours& out_;
};

}  // namespace

void FlattenPath(const Path& path, const Matrix& toDevice, const DeviceRect& relevant,
                 Contours& out) {
  Flattener flattener(toDevice, relevant, out);
  const auto& verbs = path.Verbs();
  const auto& points = path.Points();
  size_t next = 0;
  bool open = false;
  bool broken = false;  // the open contour met a non-finite point
  Point last{};         // device position of the pen
  Point pen{};          // the pen in path units; SWF shapes start drawing at the origin

  auto finish = [&] {
    if (open && broken) out.DiscardContour();
    if (open) out.EndContour();
    open = false;
    broken = false;
  };
  auto start = [&](Point at) {
    finish();
    out.BeginContour();
    open = true;
    if (flattener.Map(at, last)) {
      out.Add(last);
    } else {
      broken = true;
    }
  };

  for (const Path::Verb verb : verbs) {
    const size_t count = verb == Path::Verb::kQuad ? 2 : 1;
    if (next + count > points.size()) break;
    const Point* p = &points[next];
    next += count;
    if (verb == Path::Verb::kMove) {
      start(p[0]);
      pen = p[0];
      continue;
    }
    if (!open) start(pen);
    pen = p[count - 1];
    if (broken) continue;
    Point mapped[2];
    if (!flattener.Map(p[0], mapped[0]) || (count == 2 && !flattener.Map(p[1], mapped[1]))) {
      broken = true;
      continue;
    }
    if (verb == Path::Verb::kLine) {
      out.Add(mapped[0]);
    } else {
      flattener.Quad(last, mapped[0], mapped[1], 0, false);
    }
    last = mapped[count - 1];
  }
  finish();
}

}  // namespace swfplayer::render
