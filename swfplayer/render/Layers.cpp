#include "swfplayer/render/Layers.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "swfplayer/types/HashMix.h"

namespace swfplayer::render {
namespace {

uint64_t Mix(uint64_t h, uint64_t v) { return HashMix(h, v); }
uint64_t Mix(uint64_t h, double v) { return Mix(h, std::bit_cast<uint64_t>(v)); }
uint64_t Mix(uint64_t h, float v) { return Mix(h, uint64_t{std::bit_cast<uint32_t>(v)}); }
uint64_t Mix(uint64_t h, int v) { return Mix(h, static_cast<uint64_t>(static_cast<uint32_t>(v))); }
uint64_t Mix(uint64_t h, Rgba c) {
  return Mix(h, uint64_t{c.r} | uint64_t{c.g} << 8 | uint64_t{c.b} << 16 | uint64_t{c.a} << 24);
}
uint64_t Mix(uint64_t h, const PixelBox& b) {
  return Mix(Mix(Mix(Mix(h, b.left), b.top), b.right), b.bottom);
}
uint64_t Mix(uint64_t h, const ColorTransform& t) {
  for (const float v : {t.mulR, t.mulG, t.mulB, t.mulA, t.addR, t.addG, t.addB, t.addA}) h = Mix(h, v);
  return h;
}

uint64_t HashFilter(uint64_t h, const Filter& filter) {
  h = Mix(h, uint64_t{filter.index()});
  if (const auto* blur = std::get_if<BlurFilter>(&filter)) {
    return Mix(Mix(Mix(h, blur->blurX), blur->blurY), uint64_t{blur->passes});
  }
  if (const auto* s = std::get_if<ShadowFilter>(&filter)) {
    h = Mix(Mix(Mix(h, uint64_t{static_cast<uint8_t>(s->kind)}), s->color), s->highlight);
    for (const GradientStop& stop : s->gradient) h = Mix(Mix(h, uint64_t{stop.ratio}), stop.color);
    for (const float v : {s->blurX, s->blurY, s->angle, s->distance, s->strength}) h = Mix(h, v);
    return Mix(h, uint64_t{s->inner} | uint64_t{s->knockout} << 1 | uint64_t{s->hideObject} << 2 |
                      uint64_t{s->onTop} << 3 | uint64_t{s->passes} << 8);
  }
  if (const auto* m = std::get_if<ColorMatrixFilter>(&filter)) {
    for (const float v : m->matrix) h = Mix(h, v);
    return h;
  }
  const auto& c = std::get<ConvolutionFilter>(filter);
  h = Mix(Mix(h, uint64_t{c.columns} | uint64_t{c.rows} << 8), c.defaultColor);
  for (const float v : c.matrix) h = Mix(h, v);
  return Mix(Mix(Mix(h, c.divisor), c.bias), uint64_t{c.clamp} | uint64_t{c.preserveAlpha} << 1);
}

PixelBox Grow(const PixelBox& box, const Margins& m) {
  return {box.left - m.left, box.top - m.top, box.right + m.right, box.bottom + m.bottom};
}

bool Fits(const PixelBox& box) {
  const int64_t w = box.right - box.left, h = box.bottom - box.top;
  return w <= kMaxLayerSide && h <= kMaxLayerSide && w * h <= kMaxLayerPixels;
}

// The layer's box: the content and what the filters add, cut to the canvas (and what the
// filters add around it) when larger than a layer may be, and to the canvas alone if need be.
PixelBox LayerBox(const PixelBox& content, const PixelBox& canvas, const Margins& margins) {
  PixelBox box = Grow(content, margins);
  if (!Fits(box)) box = box.Intersect(Grow(canvas, margins));
  if (!Fits(box)) box = box.Intersect(canvas);
  return box;
}

size_t BytesOf(const PixelBox& box) {
  return box.Empty() ? 0
                     : static_cast<size_t>(box.right - box.left) *
                           static_cast<size_t>(box.bottom - box.top) * sizeof(uint32_t);
}

Margins MarginsOf(const DisplayEffects& effects, FilterScale scale) {
  Margins margins;
  for (const Filter& filter : effects.filters) margins = margins + FilterMargins(filter, scale);
  return margins;
}

}  // namespace

void LayerRecorder::BeginFrame() {
  used_ = 0;
  open_.clear();
  cache_.BeginFrame();
}

void LayerRecorder::Recycle() {
  if (!open_.empty()) return;
  used_ = 0;
  cache_.Release(LayerCache::kMaxBytes);
}

Matrix LayerRecorder::Relative(const Matrix& toDevice) const {
  if (open_.empty()) return toDevice;
  const Point origin = records_[open_.back()].exact;
  // Rounded so that the sums that place an object's children come out the same wherever
  // it stands.
  auto near = [](double v) { return std::round(v * 64) / 64; };
  Matrix relative = toDevice;
  relative.tx = near(toDevice.tx - origin.x);
  relative.ty = near(toDevice.ty - origin.y);
  return relative;
}

bool LayerRecorder::Begin(const Matrix& objectToDevice, const ColorTransform& colorTransform,
                          const DisplayEffects& effects, FilterScale scale,
                          const PixelBox& canvas, Quality quality) {
  if (open_.size() >= kMaxLayerNesting || canvas.Empty() || !Fits(canvas)) return false;
  const Matrix& inside = objectToDevice;
  if (!(std::abs(inside.tx) < 1e9 && std::abs(inside.ty) < 1e9)) return false;
  const Margins margins = MarginsOf(effects, scale);
  // The most this layer can take, held until its size is known.
  const size_t reserved = BytesOf(LayerBox(canvas, canvas, margins));
  if (!cache_.Reserve(reserved)) return false;
  if (used_ == records_.size()) records_.emplace_back();
  Record& record = records_[used_];
  record.commands.clear();
  record.contentHash = 0x243F6A8885A308D3ull;
  record.content = {};
  record.exact = {inside.tx, inside.ty};
  record.originX = static_cast<int>(std::lround(inside.tx));
  record.originY = static_cast<int>(std::lround(inside.ty));
  record.effects = effects;
  record.scale = scale;
  record.canvas = canvas;
  // A shadow brings what lies beyond the canvas onto it, up to the margins away. The
  // rasteriser takes no negative coordinates: what lies left of or above the canvas is left
  // out.
  const int wide = std::max(margins.left, margins.right);
  const int high = std::max(margins.top, margins.bottom);
  record.area = Grow(Area(canvas), {0, 0, wide, high});
  record.quality = quality;
  record.reserved = reserved;
  record.resolved = false;
  record.transform.Setup(colorTransform);
  record.colorTransform = colorTransform;
  record.composite = {};
  record.composite.record = used_;
  record.composite.blend = effects.blendMode;
  record.composite.transform = colorTransform.IsIdentity() ? nullptr : &record.transform;
  open_.push_back(used_++);
  return true;
}

void LayerRecorder::Add(const DrawCommand& command, uint64_t hash) {
  Record& record = records_[open_.back()];
  record.commands.push_back(command);
  const bool drawn = command.op == DrawOp::kFill || command.op == DrawOp::kStroke ||
                     command.op == DrawOp::kLayer;
  const bool clear = command.op == DrawOp::kClear;
  uint64_t h = Mix(Mix(record.contentHash, hash), uint64_t{static_cast<uint8_t>(command.op)});
  if (drawn) {
    record.content = record.content.Union(command.bounds);
    // What the canvas's edges cut off is not in the layer: the layer is only the same where
    // they cut the same.
    const PixelBox& b = command.bounds;
    const PixelBox& c = record.area;
    if (b.left <= c.left || b.top <= c.top || b.right >= c.right || b.bottom >= c.bottom) {
      h = Mix(h, PixelBox{b.left - record.originX, b.top - record.originY,
                          b.right - record.originX, b.bottom - record.originY});
    }
  } else if (clear) {
    record.content = record.canvas;
  }
  record.contentHash = h;
}

bool LayerRecorder::End(DrawCommand& composite, uint64_t& hash) {
  if (open_.empty()) return false;
  Record& record = records_[open_.back()];
  open_.pop_back();
  cache_.Release(record.reserved);
  record.reserved = 0;
  if (record.content.Empty()) return false;
  const Margins margins = MarginsOf(record.effects, record.scale);
  const PixelBox box = LayerBox(record.content, record.canvas, margins);
  if (box.Empty()) return false;
  record.reserved = BytesOf(box);
  cache_.Reserve(record.reserved);  // within what Begin held
  const PixelBox relative{box.left - record.originX, box.top - record.originY,
                          box.right - record.originX, box.bottom - record.originY};
  // A layer cut to the canvas holds only that part of its content.
  const PixelBox whole = Grow(record.content, margins);
  const bool cut = box.left != whole.left || box.top != whole.top || box.right != whole.right ||
                   box.bottom != whole.bottom;
  uint64_t key = cut ? Mix(record.contentHash, relative) : record.contentHash;
  key = Mix(Mix(key, record.scale.x), record.scale.y);
  key = Mix(key, uint64_t{static_cast<uint8_t>(record.quality)});
  for (const Filter& filter : record.effects.filters) key = HashFilter(key, filter);
  record.key = key;
  record.composite.width = box.right - box.left;
  record.composite.height = box.bottom - box.top;
  record.composite.left = box.left;
  record.composite.top = box.top;
  composite = DrawCommand::Of(DrawOp::kLayer);
  composite.layer = &record.composite;
  // A layer found in the cache was drawn where the object stood then, a fraction of a pixel
  // away: its box may be a pixel off this one's.
  composite.bounds = Grow(box, {1, 1, 1, 1}).Intersect(Area(record.canvas));
  // Where it stands, relative to what encloses it; how it is composited.
  int x = record.originX, y = record.originY;
  if (!open_.empty()) {
    x -= records_[open_.back()].originX;
    y -= records_[open_.back()].originY;
  }
  hash = Mix(Mix(Mix(key, x), y), uint64_t{static_cast<uint8_t>(record.effects.blendMode)});
  if (record.composite.transform) hash = Mix(hash, record.colorTransform);
  return !composite.bounds.Empty();
}

void LayerRecorder::Resolve(const DrawCommand* commands, size_t count, const Drawer& draw) {
  for (size_t i = 0; i < count; ++i) {
    if (commands[i].op != DrawOp::kLayer) continue;
    const size_t index = commands[i].layer->record;
    if (index < used_) ResolveRecord(records_[index], draw);
  }
}

void LayerRecorder::ResolveRecord(Record& record, const Drawer& draw) {
  if (record.resolved) return;
  record.resolved = true;
  LayerComposite& composite = record.composite;
  CachedLayer* image = cache_.Find(record.key);
  if (!image) {
    Resolve(record.commands.data(), record.commands.size(), draw);
    image = cache_.Add(record.key, composite.width, composite.height,
                       composite.left - record.originX, composite.top - record.originY);
    if (!image) return;  // no room: nothing is drawn
    const CanvasPixels pixels{image->pixels.data(), image->width, image->height, image->width,
                              record.quality, composite.left, composite.top};
    draw(pixels, record.commands.data(), record.commands.size());
    for (const Filter& filter : record.effects.filters) {
      ApplyFilter(filter, record.scale, image->pixels.data(), image->width, image->height,
                  scratch_);
    }
  }
  composite.pixels = image->pixels.data();
  composite.width = image->width;
  composite.height = image->height;
  composite.left = record.originX + image->left;
  composite.top = record.originY + image->top;
}

}  // namespace swfplayer::render
