#include "swfplayer/render/FrameDamage.h"

#include <algorithm>
#include <bit>
#include <variant>

#include "swfplayer/types/HashMix.h"

namespace swfplayer::render {
namespace {

class Hasher {
 public:
  void Add(uint64_t v) { h_ = HashMix(h_, v); }
  void Add(double v) { Add(std::bit_cast<uint64_t>(v)); }
  void Add(float v) { Add(uint64_t{std::bit_cast<uint32_t>(v)}); }
  void Add(Rgba c) { Add(uint64_t{c.r} | uint64_t{c.g} << 8 | uint64_t{c.b} << 16 | uint64_t{c.a} << 24); }
  void Add(const Matrix& m) {
    for (const double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) Add(v);
  }
  void Add(const ColorTransform& t) {
    for (const float v : {t.mulR, t.mulG, t.mulB, t.mulA, t.addR, t.addG, t.addB, t.addA}) Add(v);
  }
  void Add(const Paint& paint) {
    Add(uint64_t{paint.index()});
    if (const auto* color = std::get_if<Rgba>(&paint)) {
      Add(*color);
    } else if (const auto* g = std::get_if<Gradient>(&paint)) {
      Add(uint64_t{static_cast<uint8_t>(g->kind)} | uint64_t{static_cast<uint8_t>(g->spread)} << 8 |
          uint64_t{static_cast<uint8_t>(g->interpolation)} << 16);
      Add(g->focalPoint);
      Add(g->matrix);
      for (const GradientStop& stop : g->stops) {
        Add(uint64_t{stop.ratio});
        Add(stop.color);
      }
    } else if (const auto* fill = std::get_if<BitmapFill>(&paint)) {
      // A bitmap is named by where it lives and by its generation, which a change of its
      // pixels in place renews.
      Add(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(fill->bitmap.get())));
      Add(fill->bitmap ? fill->bitmap->generation : 0);
      Add(fill->matrix);
      Add(uint64_t{fill->repeat} | uint64_t{fill->smooth} << 1);
    }
  }
  uint64_t Value() const { return h_; }

 private:
  uint64_t h_ = 0x243F6A8885A308D3ull;
};

// A small path (a rectangle the caller makes for each frame, say) is named by its points, so
// that drawing it again from a new object is no change; a large one by its id.
constexpr size_t kSmallPath = 16;
void AddPath(Hasher& h, const Path& path) {
  if (path.Points().size() > kSmallPath) {
    h.Add(path.Id());
    return;
  }
  h.Add(path.ContentHash());
}

// What draws within its bounds alone: fills, strokes and layers' composites.
bool IsShape(DrawOp op) {
  return op == DrawOp::kFill || op == DrawOp::kStroke || op == DrawOp::kLayer;
}

}  // namespace

uint64_t FillHash(const Path& path, const Matrix& toDevice, FillRule rule, const Paint& paint,
                  const ColorTransform& colorTransform) {
  Hasher h;
  AddPath(h, path);
  h.Add(uint64_t{static_cast<uint8_t>(rule)});
  h.Add(toDevice);
  h.Add(paint);
  h.Add(colorTransform);
  return h.Value();
}

uint64_t StrokeHash(const Path& path, const Matrix& toDevice, const StrokeStyle& style,
                    const Paint& paint, const ColorTransform& colorTransform) {
  Hasher h;
  AddPath(h, path);
  h.Add(toDevice);
  h.Add(paint);
  h.Add(colorTransform);
  h.Add(style.width);
  h.Add(style.miterLimit);
  h.Add(uint64_t{static_cast<uint8_t>(style.startCap)} |
        uint64_t{static_cast<uint8_t>(style.endCap)} << 8 |
        uint64_t{static_cast<uint8_t>(style.join)} << 16 | uint64_t{style.scaleX} << 24 |
        uint64_t{style.scaleY} << 25 | uint64_t{style.pixelHinting} << 26 |
        uint64_t{style.noClose} << 27);
  return h.Value();
}

void DamageBetween(const std::vector<DrawSignature>& before,
                   const std::vector<DrawSignature>& after, const PixelBox& canvas,
                   Damage& damage) {
  damage.boxes.clear();
  damage.bounds = {};
  if (canvas.Empty()) return;
  const int strips = (canvas.bottom - canvas.top + kDamageStripRows - 1) / kDamageStripRows;
  damage.strips.assign(static_cast<size_t>(strips), PixelBox{});
  auto add = [&](const PixelBox& bounds) {
    const PixelBox box = bounds.Intersect(canvas);
    if (box.Empty()) return;
    damage.bounds = damage.bounds.Union(box);
    const int first = (box.top - canvas.top) / kDamageStripRows;
    const int last = (box.bottom - 1 - canvas.top) / kDamageStripRows;
    for (int s = first; s <= last; ++s) {
      PixelBox& strip = damage.strips[static_cast<size_t>(s)];
      const int top = canvas.top + s * kDamageStripRows;
      strip = strip.Union(box.Intersect({canvas.left, top, canvas.right, top + kDamageStripRows}));
    }
  };
  const size_t n = std::max(before.size(), after.size());
  for (size_t i = 0; i < n; ++i) {
    const DrawSignature* old = i < before.size() ? &before[i] : nullptr;
    const DrawSignature* now = i < after.size() ? &after[i] : nullptr;
    if (old && now && *old == *now) continue;
    if ((old && !IsShape(old->op)) || (now && !IsShape(now->op))) {
      damage.boxes.assign(1, canvas);
      damage.bounds = canvas;
      return;
    }
    if (old) add(old->bounds);
    if (now) add(now->bounds);
  }
  for (const PixelBox& strip : damage.strips) {
    if (strip.Empty()) continue;
    PixelBox* last = damage.boxes.empty() ? nullptr : &damage.boxes.back();
    if (last && last->bottom == strip.top && last->left == strip.left &&
        last->right == strip.right) {
      last->bottom = strip.bottom;
    } else {
      damage.boxes.push_back(strip);
    }
  }
}

}  // namespace swfplayer::render
