#include "swfplayer/player/ShapeHit.h"

#include <algorithm>
#include <cmath>

namespace swfplayer::player {
namespace {

// Pieces a quadratic curve is followed in: enough that the chord stays within about a twip
// of the curve (its deviation shrinks with the square of the count).
int CurvePieces(Point from, Point control, Point to) {
  const double dx = from.x - 2 * control.x + to.x;
  const double dy = from.y - 2 * control.y + to.y;
  const double deviation = std::hypot(dx, dy) / 4;
  return std::clamp(static_cast<int>(std::ceil(std::sqrt(deviation))), 1, 64);
}

Point QuadAt(Point from, Point control, Point to, double t) {
  const double u = 1 - t;
  return {u * u * from.x + 2 * u * t * control.x + t * t * to.x, u * u * from.y + 2 * u * t * control.y + t * t * to.y};
}

// Calls segment(a, b) for every straight piece of the path; closing pieces when closed.
template <class Segment>
void ForEachSegment(const Path& path, bool closed, Segment&& segment) {
  const auto& points = path.Points();
  size_t next = 0;
  Point start, pen;
  bool open = false;
  const auto close = [&] {
    if (open && closed && (pen.x != start.x || pen.y != start.y)) segment(pen, start);
  };
  for (const Path::Verb verb : path.Verbs()) {
    if (verb == Path::Verb::kMove) {
      close();
      start = pen = points[next++];
      open = true;
    } else if (verb == Path::Verb::kLine) {
      const Point to = points[next++];
      segment(pen, to);
      pen = to;
    } else {
      const Point control = points[next++];
      const Point to = points[next++];
      const int pieces = CurvePieces(pen, control, to);
      Point from = pen;
      for (int i = 1; i <= pieces; ++i) {
        const Point at = i == pieces ? to : QuadAt(pen, control, to, static_cast<double>(i) / pieces);
        segment(from, at);
        from = at;
      }
      pen = to;
    }
  }
  close();
}

}  // namespace

// The winding number of the ray from p towards +x: an upward crossing with p on its left
// counts +1, a downward one with p on its right -1 (each edge half-open in y, so a vertex
// on the ray counts once).
bool PathContains(const Path& path, FillRule rule, Point p) {
  int winding = 0;
  ForEachSegment(path, /*closed=*/true, [&](Point a, Point b) {
    const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
    if (a.y <= p.y) {
      if (b.y > p.y && side > 0) ++winding;
    } else if (b.y <= p.y && side < 0) {
      --winding;
    }
  });
  return rule == FillRule::kNonZero ? winding != 0 : (winding & 1) != 0;
}

bool PathNear(const Path& path, double halfWidth, Point p) {
  bool near = false;
  const double limit = halfWidth * halfWidth;
  ForEachSegment(path, /*closed=*/false, [&](Point a, Point b) {
    if (near) return;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    const double t = length > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0.0;
    const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    near = ex * ex + ey * ey <= limit;
  });
  return near;
}

}  // namespace swfplayer::player
