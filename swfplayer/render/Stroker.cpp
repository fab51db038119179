#include "swfplayer/render/Stroker.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "swfplayer/render/Flattener.h"

namespace swfplayer::render {
namespace {

constexpr double kMinSegment = 1e-6;   // shorter segments have no usable direction
constexpr int kMaxArcSteps = 128;

Point Add(Point p, Point v, double s) { return {p.x + v.x * s, p.y + v.y * s}; }
// Coordinates stay within +-1e12, so the squares cannot overflow and hypot's care is not needed.
double Distance(Point a, Point b) {
  return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
}
// The side of a direction that the outline walks on: (-y, x).
Point Normal(Point d) { return {-d.y, d.x}; }

// Builds one closed polygon per call sequence; every polygon winds the same way (clockwise with
// y up), so that the pieces of a stroke add up under non-zero instead of cancelling.
class Stroker {
 public:
  Stroker(double width, const StrokeStyle& style, Contours& out)
      : hw_(width / 2), style_(style), out_(out) {
    const double ratio = hw_ > kFlatnessTolerance ? 1 - kFlatnessTolerance / hw_ : -1;
    arcStep_ = 2 * std::acos(ratio);
    cosArcStep_ = std::cos(arcStep_);
  }

  void Contour(const Contours& centre, size_t begin, size_t end) {
    pts_.clear();
    smooth_.clear();
    for (size_t i = begin; i < end; ++i) {
      const Point p = centre.At(i);
      if (!pts_.empty() && Distance(p, pts_.back()) < kMinSegment) {
        continue;
      }
      pts_.push_back(p);
      smooth_.push_back(centre.Smooth(i));
    }
    const bool closed =
        !style_.noClose && end - begin >= 3 && centre.At(begin) == centre.At(end - 1);
    if (closed && pts_.size() >= 2 && Distance(pts_.back(), pts_[0]) < kMinSegment) {
      pts_.pop_back();
      smooth_.pop_back();
    }
    if (pts_.size() < 2) {
      if (!pts_.empty()) Dot(pts_[0]);
      return;
    }
    out_.BeginContour();
    if (closed) {
      Side(true);
      out_.BeginContour();
      Reverse();
      Side(true);
    } else {
      Side(false);
      CapAt(pts_.back(), dirs_.back(), style_.endCap);
      Reverse();
      Side(false);
      CapAt(pts_.back(), dirs_.back(), style_.startCap);
    }
    out_.EndContour();
  }

 private:
  void Reverse() {
    std::reverse(pts_.begin(), pts_.end());
    std::reverse(smooth_.begin(), smooth_.end());
  }

  // The offset line on the Normal side of pts_, with a join at each inner vertex (each vertex
  // when closed).
  void Side(bool closed) {
    const size_t n = pts_.size();
    const size_t segments = closed ? n : n - 1;
    dirs_.resize(segments);
    lens_.resize(segments);
    for (size_t i = 0; i < segments; ++i) {
      const Point a = pts_[i], b = pts_[(i + 1) % n];
      lens_[i] = Distance(a, b);
      dirs_[i] = {(b.x - a.x) / lens_[i], (b.y - a.y) / lens_[i]};
    }
    if (!closed) out_.Add(Add(pts_[0], Normal(dirs_[0]), hw_));
    for (size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
      const size_t in = (i + segments - 1) % segments;
      Join(pts_[i], dirs_[in], dirs_[i], std::min(lens_[in], lens_[i]), smooth_[i] != 0);
    }
    if (!closed) out_.Add(Add(pts_[n - 1], Normal(dirs_[n - 2]), hw_));
  }

  void Join(Point p, Point d1, Point d2, double shorter, bool smooth) {
    const Point n1 = Normal(d1), n2 = Normal(d2);
    const double cross = d1.x * d2.y - d1.y * d2.x;
    const double dot = d1.x * d2.x + d1.y * d2.y;
    const Point a = Add(p, n1, hw_), b = Add(p, n2, hw_);
    if (std::abs(cross) < 1e-12 && dot > 0) {
      out_.Add(a);
      return;
    }
    const Point bisector{n1.x + n2.x, n1.y + n2.y};
    if (cross > 0) {
      // Inner side. Where the two offset lines meet within half of each segment, their crossing
      // is the outline; otherwise the outline doubles back through the vertex, which keeps
      // every piece covered however short the segments are.
      if (hw_ * cross <= (1 + dot) * 0.5 * shorter) {
        out_.Add(Add(p, bisector, hw_ / (1 + dot)));
      } else {
        out_.Add(a);
        out_.Add(p);
        out_.Add(b);
      }
      return;
    }
    if (smooth && dot >= cosArcStep_) {
      // Most joins inside a flattened curve turn by less than one arc step; their miter point
      // lies within the tolerance of the true outline and saves an edge.
      out_.Add(Add(p, bisector, hw_ / (1 + dot)));
      return;
    }
    out_.Add(a);
    if (smooth || style_.join == Join::kRound) {
      Arc(p, n1, -std::acos(std::clamp(dot, -1.0, 1.0)));
    } else if (style_.join == Join::kMiter) {
      Miter(p, d1, d2, a, b, dot);
    }
    out_.Add(b);
  }

  // The tip lies hw / cos(turn / 2) from the vertex; past miterLimit half-widths it is cut off
  // square to the bisector at that distance.
  void Miter(Point p, Point d1, Point d2, Point a, Point b, double dot) {
    const double cosHalf = std::sqrt(std::max(0.0, (1 + dot) / 2));
    const double limit = std::isfinite(style_.miterLimit) ? std::max(style_.miterLimit, 0.0) : 1;
    if (cosHalf * limit >= 1) {
      const Point n1 = Normal(d1), n2 = Normal(d2);
      out_.Add(Add(p, {n1.x + n2.x, n1.y + n2.y}, hw_ / (1 + dot)));
      return;
    }
    const double sinHalf = std::sqrt(std::max(0.0, (1 - dot) / 2));
    const double along = hw_ * (limit - cosHalf) / sinHalf;
    if (along <= 0) return;  // cut at or inside the bevel
    out_.Add(Add(a, d1, along));
    out_.Add(Add(b, d2, -along));
  }

  // Points strictly between centre + from*hw and its rotation by sweep (negative: clockwise
  // with y up, the way every piece winds). They sit slightly outside the circle, by
  // sqrt(step / sin(step)), so that the polygon has the circle's area instead of falling short.
  void Arc(Point centre, Point from, double sweep) {
    const int steps = static_cast<int>(
        std::clamp(std::ceil(std::abs(sweep) / arcStep_), 1.0, double{kMaxArcSteps}));
    const double step = sweep / steps, c = std::cos(step), s = std::sin(step);
    const double radius = hw_ * std::sqrt(step / s);
    Point v = from;
    for (int i = 1; i < steps; ++i) {
      v = {v.x * c - v.y * s, v.x * s + v.y * c};
      out_.Add({centre.x + v.x * radius, centre.y + v.y * radius});
    }
  }

  // From p + Normal(d)*hw round to p - Normal(d)*hw, d pointing out of the stroke.
  void CapAt(Point p, Point d, Cap cap) {
    const Point n = Normal(d);
    if (cap == Cap::kRound) {
      Arc(p, n, -std::numbers::pi);
    } else if (cap == Cap::kSquare) {
      out_.Add(Add(Add(p, n, hw_), d, hw_));
      out_.Add(Add(Add(p, n, -hw_), d, hw_));
    }
  }

  // A contour of one point: what its caps would draw around it.
  void Dot(Point p) {
    const Cap cap = style_.startCap;
    if (cap == Cap::kNone) return;
    out_.BeginContour();
    if (cap == Cap::kRound) {
      out_.Add({p.x + hw_, p.y});
      Arc(p, {1, 0}, -2 * std::numbers::pi);
    } else {
      out_.Add({p.x + hw_, p.y + hw_});
      out_.Add({p.x + hw_, p.y - hw_});
      out_.Add({p.x - hw_, p.y - hw_});
      out_.Add({p.x - hw_, p.y + hw_});
    }
    out_.EndContour();
  }

  const double hw_;
  const StrokeStyle& style_;
  Contours& out_;
  double arcStep_ = 0;
  double cosArcStep_ = 1;
  std::vector<Point> pts_;
  std::vector<uint8_t> smooth_;
  std::vector<Point> dirs_;
  std::vector<double> lens_;
};

}  // namespace

void StrokeContours(const Contours& centre, double width, const StrokeStyle& style,
                    Contours& outline) {
  Stroker stroker(width, style, outline);
  for (size_t i = 0; i < centre.ContourCount(); ++i) {
    stroker.Contour(centre, centre.ContourBegin(i), centre.ContourEnd(i));
  }
}

}  // namespace swfplayer::render
