#include "swfplayer/render/OutlineCache.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "swfplayer/render/Flattener.h"
#include "swfplayer/render/StrokePen.h"
#include "swfplayer/render/Stroker.h"
#include "swfplayer/types/HashMix.h"

namespace swfplayer::render {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
const DeviceRect kEverywhere{-kInfinity, -kInfinity, kInfinity, kInfinity};

uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

// The bounds of the path's points under the matrix's linear part: every curve lies within
// its control points.
DeviceRect HullOf(const Path& path, const Matrix& m) {
  DeviceRect r{kInfinity, kInfinity, -kInfinity, -kInfinity};
  for (const Point& p : path.Points()) {
    const Point q = m.ApplyVector(p);
    r.left = std::min(r.left, q.x);
    r.right = std::max(r.right, q.x);
    r.top = std::min(r.top, q.y);
    r.bottom = std::max(r.bottom, q.y);
  }
  return r;
}

// How far beyond the canvas a stroke's centre line can lie and still reach it with its width,
// joins or caps (a miter reaches its limit in half-widths).
double StrokeReach(const StrokeStyle& style, const StrokePen& pen) {
  const double joins = style.join == Join::kMiter && std::isfinite(style.miterLimit)
                           ? std::max(style.miterLimit, 1.5)
                           : 1.5;
  return pen.DeviceReach() * joins + 2;
}

}  // namespace

size_t OutlineCache::KeyHash::operator()(const Key& key) const {
  uint64_t h = HashMix(key.path, key.kind);
  for (const double v : {key.a, key.b, key.c, key.d, key.width, key.miterLimit}) {
    h = HashMix(h, Bits(v));
  }
  return static_cast<size_t>(h);
}

void OutlineCache::SetCanvas(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  area_ = {0, 0, width, height};
  Clear();
}

void OutlineCache::Clear() {
  entries_.clear();
  points_ = 0;
}

void OutlineCache::EndFrame() {
  ++frame_;
  // Sweeping costs a walk over every entry: only after a frame that added outlines (one that
  // scaled or turned something: its old outlines are likely dead), or past half the bounds.
  const bool added = added_;
  added_ = false;
  if (!added && points_ < kMaxPoints / 2 && entries_.size() < kMaxEntries / 2) return;
  const uint64_t last = frame_ - 1;
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->second->frame != last) {
      points_ -= it->second->contours.PointCount();
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

DeviceRect OutlineCache::Around(const PixelBox& area, double reach) {
  return {area.left - reach, area.top - reach, area.right + reach, area.bottom + reach};
}

PixelBox OutlineCache::ToPixels(const PixelBox& area, const DeviceRect& b, Point offset) {
  const double left = std::floor(b.left + offset.x), top = std::floor(b.top + offset.y);
  const double right = std::ceil(b.right + offset.x) + 1, bottom = std::ceil(b.bottom + offset.y) + 1;
  // Also false for NaN and for an empty rectangle.
  if (!(left < area.right && top < area.bottom && right > area.left &&
        bottom > area.top && left < right && top < bottom)) {
    return {};
  }
  return {static_cast<int>(std::max<double>(left, area.left)),
          static_cast<int>(std::max<double>(top, area.top)),
          static_cast<int>(std::min<double>(right, area.right)),
          static_cast<int>(std::min<double>(bottom, area.bottom))};
}

bool OutlineCache::WithinReach(const PixelBox& area, const DeviceRect& hull, Point offset,
                               double reach) {
  return hull.left + offset.x >= area.left - reach && hull.top + offset.y >= area.top - reach &&
         hull.right + offset.x <= area.right + reach &&
         hull.bottom + offset.y <= area.bottom + reach;
}

template <typename Make>
Outline OutlineCache::Lookup(const Key& key, const Path& path, const Matrix& toDevice,
                             double reach, bool keep, Contours& spare, Make make) {
  const Point offset{toDevice.tx, toDevice.ty};
  const Matrix linear{toDevice.a, toDevice.b, toDevice.c, toDevice.d, 0, 0};
  // A small path is never kept (below), so it is not looked for either.
  const bool small = Small(path);
  if (const auto found = small ? entries_.end() : entries_.find(key); found != entries_.end()) {
    Entry& entry = *found->second;
    if (WithinReach(area_, entry.hull, offset, reach)) {
      entry.frame = frame_;
      return {&entry.contours, offset, ToPixels(entry.bounds, offset)};
    }
  } else if (const DeviceRect hull = HullOf(path, linear);
             WithinReach(area_, hull, offset, reach)) {
    std::unique_ptr<Entry> entry;
    if (keep && !small && entries_.size() < kMaxEntries &&
        points_ < kMaxPoints) {
      entry = std::make_unique<Entry>();
    }
    Contours& out = entry ? entry->contours : spare;
    out.Clear();
    make(linear, kEverywhere, out);
    const DeviceRect bounds = out.Measure();
    if (!entry) return {&spare, offset, ToPixels(bounds, offset)};
    entry->hull = hull;
    entry->bounds = bounds;
    entry->frame = frame_;
    points_ += out.PointCount();
    added_ = true;
    const Contours* kept = &entry->contours;
    entries_.emplace(key, std::move(entry));
    return {kept, offset, ToPixels(bounds, offset)};
  }
  // Reaching far beyond the canvas: at the full matrix, what cannot show cut short.
  spare.Clear();
  make(toDevice, Around(area_, reach), spare);
  return {&spare, {}, ToPixels(spare.Measure(), {})};
}

Outline OutlineCache::FillSmall(const Path& path, const Matrix& toDevice, const PixelBox& area,
                                Contours& out) {
  // Lookup's steps for a path it does not keep.
  const Point offset{toDevice.tx, toDevice.ty};
  const Matrix linear{toDevice.a, toDevice.b, toDevice.c, toDevice.d, 0, 0};
  out.Clear();
  if (WithinReach(area, HullOf(path, linear), offset, 1)) {
    FlattenPath(path, linear, kEverywhere, out);
    return {&out, offset, ToPixels(area, out.Measure(), offset)};
  }
  FlattenPath(path, toDevice, Around(area, 1), out);
  return {&out, {}, ToPixels(area, out.Measure(), {})};
}

Outline OutlineCache::Fill(const Path& path, const Matrix& toDevice, bool keep, Contours& spare) {
  if (Small(path)) return FillSmall(path, toDevice, area_, spare);
  const Key key{path.Id(), toDevice.a, toDevice.b, toDevice.c, toDevice.d, 0, 0, 0};
  return Lookup(key, path, toDevice, 1, keep, spare,
                [&](const Matrix& m, const DeviceRect& relevant, Contours& out) {
                  FlattenPath(path, m, relevant, out);
                });
}

Outline OutlineCache::Stroke(const Path& path, const Matrix& toDevice, const StrokeStyle& style,
                             bool keep, Contours& spare) {
  const StrokePen pen = MakeStrokePen(style, toDevice);
  const Key key{path.Id(), toDevice.a,  toDevice.b,       toDevice.c,
                toDevice.d, style.width, style.miterLimit, StrokeStyleBits(style)};
  auto make = [&](const Matrix& m, const DeviceRect& relevant, Contours& out) {
    centre_.Clear();
    FlattenPath(path, m, relevant, centre_);
    if (style.pixelHinting) HintCentreLine(pen.deviceWidthX, pen.deviceWidthY, centre_);
    // An elliptical pen is round where its short axis is stretched to the long one: stroke
    // there, then map the outline back.
    if (!pen.round) MapContours(pen.fromDevice, centre_);
    StrokeContours(centre_, pen.width, style, out);
    if (!pen.round) MapContours(pen.toDevice, out);
  };
  const double reach = StrokeReach(style, pen);
  if (style.pixelHinting) {  // snapped to the device grid: depends on the translation too
    spare.Clear();
    make(toDevice, Around(area_, reach), spare);
    return {&spare, {}, ToPixels(spare.Measure(), {})};
  }
  return Lookup(key, path, toDevice, reach, keep, spare, make);
}

}  // namespace swfplayer::render
