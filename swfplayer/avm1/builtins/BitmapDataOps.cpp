// BitmapData's pixel operations that need no renderer: colorTransform, scroll, floodFill and
// threshold. Each works within the bitmap whatever rectangle or offset a script gives (64-bit
// arithmetic, so any int32 is safe), touches each pixel at most a bounded number of times, and
// marks the bitmap changed so that the display draws it again.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/BitmapDataObject.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

BitmapDataObject* ThisBitmap(NativeCall& call) {
  auto* self = call.This<BitmapDataObject>(ObjectClass::kBitmapData);
  return self != nullptr && self->Valid() ? self : nullptr;
}

int32_t IntField(VmImpl& vm, Object* object, const char* name) { return vm.ToInt32(object->Get(vm, vm.Str(name))); }

// A script's rectangle cut to the bitmap: [left, right) x [top, bottom), empty when off it.
struct PixelRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
};

bool ClippedRect(VmImpl& vm, Object* rect, const BitmapDataObject& bitmap, PixelRect* out) {
  if (rect == nullptr) return false;
  const int64_t x = IntField(vm, rect, "x"), y = IntField(vm, rect, "y");
  const int64_t w = std::max(0, IntField(vm, rect, "width")), h = std::max(0, IntField(vm, rect, "height"));
  out->left = static_cast<int32_t>(std::clamp<int64_t>(x, 0, bitmap.Width()));
  out->top = static_cast<int32_t>(std::clamp<int64_t>(y, 0, bitmap.Height()));
  out->right = static_cast<int32_t>(std::clamp<int64_t>(x + w, 0, bitmap.Width()));
  out->bottom = static_cast<int32_t>(std::clamp<int64_t>(y + h, 0, bitmap.Height()));
  return !out->Empty();
}

// colorTransform(rect, colorTransform): on the unpremultiplied channels, each truncated and
// held within 0..255; an opaque bitmap stays opaque.
Value ColorTransformPixels(NativeCall& call) {
  VmImpl& vm = call.vm;
  BitmapDataObject* self = ThisBitmap(call);
  PixelRect r;
  Object* transformObject = call.ObjectArg(1);
  if (self == nullptr || transformObject == nullptr || !ClippedRect(vm, call.ObjectArg(0), *self, &r)) return Value();
  const ColorTransform t = ReadColorTransform(vm, transformObject);
  const auto channel = [](uint32_t value, float multiplier, float offset) {
    const float result = static_cast<float>(value) * multiplier + offset;
    return static_cast<uint32_t>(std::clamp(result, 0.0f, 255.0f));
  };
  for (int32_t y = r.top; y < r.bottom; ++y) {
    for (int32_t x = r.left; x < r.right; ++x) {
      uint32_t& pixel = self->At(x, y);
      const uint32_t argb = UnpremultiplyArgb(pixel);
      const uint32_t changed = channel(argb >> 24, t.mulA, t.addA) << 24 | channel((argb >> 16) & 0xFF, t.mulR, t.addR) << 16 |
                               channel((argb >> 8) & 0xFF, t.mulG, t.addG) << 8 | channel(argb & 0xFF, t.mulB, t.addB);
      pixel = PremultiplyArgb(changed, self->transparent);
    }
  }
  self->Changed();
  return Value();
}

// scroll(x, y): the picture moves by (x, y); where nothing moves in, the old pixels stay.
Value Scroll(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr) return Value();
  const int64_t dx = call.IntArg(0), dy = call.IntArg(1);
  const int64_t width = self->Width(), height = self->Height();
  if (dx == 0 && dy == 0) return Value();
  if (std::abs(dx) >= width || std::abs(dy) >= height) return Value();  // everything moves off
  const int32_t count = static_cast<int32_t>(width - std::abs(dx));
  const int32_t fromX = static_cast<int32_t>(std::max<int64_t>(0, -dx)), toX = static_cast<int32_t>(std::max<int64_t>(0, dx));
  // Rows are taken in the order that reads each source row before it is written over.
  const int32_t rows = static_cast<int32_t>(height - std::abs(dy));
  for (int32_t i = 0; i < rows; ++i) {
    const int32_t toY = dy > 0 ? static_cast<int32_t>(height - 1 - i) : i;
    const int32_t fromY = static_cast<int32_t>(toY - dy);
    std::memmove(&self->At(toX, toY), &self->At(fromX, fromY), static_cast<size_t>(count) * sizeof(uint32_t));
  }
  self->Changed();
  return Value();
}

// floodFill(x, y, color): the 4-connected area of exactly the pixel's colour takes the new one.
// Filled a row span at a time from a stack of seeds; each span pushes at most one seed per run
// of matching pixels beside it, so the stack stays within a few times the pixel count.
Value FloodFill(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr) return Value();
  const int32_t startX = call.IntArg(0), startY = call.IntArg(1);
  if (!self->Inside(startX, startY)) return Value();
  const uint32_t target = self->At(startX, startY);
  const uint32_t replacement = PremultiplyArgb(static_cast<uint32_t>(call.IntArg(2)), self->transparent);
  if (target == replacement) return Value();
  std::vector<std::pair<int32_t, int32_t>> seeds{{startX, startY}};
  const auto seedRuns = [&](int32_t left, int32_t right, int32_t y) {
    if (y < 0 || y >= self->Height()) return;
    bool inRun = false;
    for (int32_t x = left; x <= right; ++x) {
      const bool matches = self->At(x, y) == target;
      if (matches && !inRun) seeds.emplace_back(x, y);
      inRun = matches;
    }
  };
  while (!seeds.empty()) {
    const auto [x, y] = seeds.back();
    seeds.pop_back();
    if (self->At(x, y) != target) continue;  // filled since it was pushed
    int32_t left = x, right = x;
    while (left > 0 && self->At(left - 1, y) == target) --left;
    while (right + 1 < self->Width() && self->At(right + 1, y) == target) ++right;
    std::fill(&self->At(left, y), &self->At(right, y) + 1, replacement);
    seedRuns(left, right, y - 1);
    seedRuns(left, right, y + 1);
  }
  self->Changed();
  return Value();
}

enum class Comparison { kLess, kLessEqual, kGreater, kGreaterEqual, kEqual, kNotEqual, kNone };

Comparison ReadComparison(VmImpl& vm, const Value& given) {
  const std::string text = vm.ToString(given)->ToUtf8();
  static constexpr std::pair<const char*, Comparison> kNames[] = {
      {"<", Comparison::kLess},     {"<=", Comparison::kLessEqual}, {">", Comparison::kGreater},
      {">=", Comparison::kGreaterEqual}, {"==", Comparison::kEqual},     {"!=", Comparison::kNotEqual}};
  for (const auto& [name, comparison] : kNames) {
    if (text == name) return comparison;
  }
  return Comparison::kNone;
}

bool Compare(Comparison comparison, uint32_t a, uint32_t b) {
  switch (comparison) {
    case Comparison::kLess: return a < b;
    case Comparison::kLessEqual: return a <= b;
    case Comparison::kGreater: return a > b;
    case Comparison::kGreaterEqual: return a >= b;
    case Comparison::kEqual: return a == b;
    case Comparison::kNotEqual: return a != b;
    case Comparison::kNone: break;
  }
  return false;
}

// threshold(source, sourceRect, destPoint, operation, threshold, color, mask = 0xFFFFFFFF,
// copySource = false): source pixels (unpremultiplied ARGB, masked) that pass the comparison
// with the masked threshold set the destination to color; the others copy the source when
// copySource is set. Gives how many passed; an unknown operation changes nothing.
Value Threshold(NativeCall& call) {
  VmImpl& vm = call.vm;
  BitmapDataObject* self = ThisBitmap(call);
  BitmapDataObject* source = LiveBitmapData(call.Arg(0));
  Object* rect = call.ObjectArg(1);
  Object* point = call.ObjectArg(2);
  if (self == nullptr || source == nullptr || rect == nullptr || point == nullptr) return Value(0);
  const Comparison comparison = ReadComparison(vm, call.Arg(3));
  if (comparison == Comparison::kNone) return Value(0);
  const uint32_t mask = call.Has(6) ? static_cast<uint32_t>(call.IntArg(6)) : 0xFFFFFFFFu;
  const uint32_t threshold = static_cast<uint32_t>(call.IntArg(4)) & mask;
  const uint32_t color = PremultiplyArgb(static_cast<uint32_t>(call.IntArg(5)), self->transparent);
  const bool copySource = call.BoolArg(7);
  const int64_t sx = IntField(vm, rect, "x"), sy = IntField(vm, rect, "y");
  const int64_t dx = IntField(vm, point, "x"), dy = IntField(vm, point, "y");
  // Offsets within the rectangle that land inside both bitmaps.
  const auto span = [](int64_t from, int64_t size, int64_t to, int64_t sourceSide, int64_t destSide) {
    return std::pair<int64_t, int64_t>{std::max({int64_t{0}, -from, -to}), std::min({size, sourceSide - from, destSide - to})};
  };
  const auto [x0, x1] = span(sx, IntField(vm, rect, "width"), dx, source->Width(), self->Width());
  const auto [y0, y1] = span(sy, IntField(vm, rect, "height"), dy, source->Height(), self->Height());
  if (x0 >= x1 || y0 >= y1) return Value(0);
  std::vector<uint32_t> taken;  // the source may be this bitmap
  taken.reserve(static_cast<size_t>((x1 - x0) * (y1 - y0)));
  for (int64_t y = y0; y < y1; ++y) {
    for (int64_t x = x0; x < x1; ++x) taken.push_back(source->At(static_cast<int32_t>(sx + x), static_cast<int32_t>(sy + y)));
  }
  double passed = 0;
  size_t next = 0;
  for (int64_t y = y0; y < y1; ++y) {
    for (int64_t x = x0; x < x1; ++x) {
      const uint32_t stored = taken[next++];
      uint32_t& target = self->At(static_cast<int32_t>(dx + x), static_cast<int32_t>(dy + y));
      if (Compare(comparison, UnpremultiplyArgb(stored) & mask, threshold)) {
        target = color;
        ++passed;
      } else if (copySource) {
        target = self->transparent ? stored : PremultiplyArgb(UnpremultiplyArgb(stored), false);
      }
    }
  }
  self->Changed();
  return Value(passed);
}

}  // namespace

void InstallBitmapDataOps(VmImpl& vm, Object* prototype) {
  static constexpr std::pair<const char*, NativeFunction> kMethods[] = {
      {"colorTransform", ColorTransformPixels},
      {"scroll", Scroll},
      {"floodFill", FloodFill},
      {"threshold", Threshold},
  };
  for (const auto& [name, function] : kMethods) DefineMethod(vm, prototype, name, function);
}

}  // namespace swfplayer::avm1
