// flash.display.BitmapData: a script's own bitmap of 32-bit pixels, kept premultiplied as the
// Flash Player keeps them, so that what a script reads back of a translucent pixel is what the
// Flash Player gives (a colour loses precision under a low alpha). Sizes run from 1 to 2880 a
// side (`new` with another size gives undefined); a disposed bitmap answers -1 to everything.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/BitmapDataObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

ColorTransform ReadColorTransform(VmImpl& vm, Object* given) {
  if (given == nullptr) return {};
  const auto number = [&](const char* name, double otherwise) {
    const double value = vm.ToNumber(given->Get(vm, vm.Str(name)));
    return static_cast<float>(std::isfinite(value) ? std::clamp(value, -1e6, 1e6) : otherwise);
  };
  return {number("redMultiplier", 1),  number("greenMultiplier", 1), number("blueMultiplier", 1),
          number("alphaMultiplier", 1), number("redOffset", 0),       number("greenOffset", 0),
          number("blueOffset", 0),      number("alphaOffset", 0)};
}

uint32_t PremultiplyArgb(uint32_t argb, bool transparent) {
  if (!transparent) return argb | 0xFF000000u;
  const uint32_t a = argb >> 24;
  if (a == 255) return argb;
  const auto channel = [a](uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) | channel(argb & 0xFF);
}

uint32_t UnpremultiplyArgb(uint32_t stored) {
  const uint32_t a = stored >> 24;
  if (a == 255) return stored;
  if (a == 0) return 0;
  const auto channel = [a](uint32_t c) { return std::min<uint32_t>(255, c * 255 / a); };
  return (a << 24) | (channel((stored >> 16) & 0xFF) << 16) | (channel((stored >> 8) & 0xFF) << 8) | channel(stored & 0xFF);
}

BitmapDataObject* LiveBitmapData(const Value& value) {
  if (!value.IsObject() || value.AsObject()->Class() != ObjectClass::kBitmapData) return nullptr;
  auto* bitmap = static_cast<BitmapDataObject*>(value.AsObject());
  return bitmap->Valid() ? bitmap : nullptr;
}

namespace {

// The bitmaps handed to the display: each collection keeps those whose pixels are still held
// outside the interpreter and forgets the rest (which then live only while scripts reach them).
struct ShownBitmaps final : VmImpl::ExtensionState {
  std::vector<BitmapDataObject*> kept;
  void Trace(Tracer& tracer) override {
    std::erase_if(kept, [&](BitmapDataObject* bitmap) {
      const bool shown = bitmap->bitmap && bitmap->bitmap.use_count() > 1;
      if (shown) {
        tracer.Mark(bitmap);
      } else {
        bitmap->kept = false;
      }
      return !shown;
    });
  }
};

}  // namespace

void KeepWhileShown(VmImpl& vm, BitmapDataObject& bitmap) {
  if (bitmap.kept) return;
  bitmap.kept = true;
  vm.State<ShownBitmaps>("flash.display.BitmapData").kept.push_back(&bitmap);
}

namespace {

using namespace property_flags;

constexpr int32_t kMaxSide = 2880;

Object* NewBitmapData(VmImpl& vm, const Value& proto) { return vm.heap.New<BitmapDataObject>(proto); }

BitmapDataObject* ThisBitmap(NativeCall& call) {
  auto* self = call.This<BitmapDataObject>(ObjectClass::kBitmapData);
  return self != nullptr && self->Valid() ? self : nullptr;
}

Value Signed(uint32_t argb) { return Value(static_cast<double>(static_cast<int32_t>(argb))); }

void Fill(BitmapDataObject& bitmap, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t argb) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, bitmap.Width());
  bottom = std::min(bottom, bitmap.Height());
  const uint32_t stored = PremultiplyArgb(argb, bitmap.transparent);
  for (int32_t y = top; y < bottom; ++y) {
    std::fill_n(&bitmap.At(left, y), std::max(0, right - left), stored);
  }
  bitmap.Changed();
}

Value BitmapDataCall(NativeCall&) { return Value(); }

// new BitmapData(width, height, transparent = true, fillColor = 0xFFFFFFFF)
Value BitmapDataConstruct(NativeCall& call) {
  VmImpl& vm = call.vm;
  auto* self = call.This<BitmapDataObject>(ObjectClass::kBitmapData);
  if (self == nullptr) return Value();
  const int32_t width = call.IntArg(0);
  const int32_t height = call.IntArg(1);
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    call.refused = true;  // `new` gives undefined, as the Flash Player's does
    return Value();
  }
  self->transparent = call.Has(2) ? call.BoolArg(2) : true;
  const uint32_t fill = call.Has(3) ? static_cast<uint32_t>(call.IntArg(3)) : 0xFFFFFFFFu;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  vm.heap.Resize(self, static_cast<ptrdiff_t>(count * sizeof(uint32_t)));  // counted before it is taken
  self->bitmap = std::make_shared<Bitmap>();
  self->bitmap->width = width;
  self->bitmap->height = height;
  self->bitmap->pixels.assign(count, PremultiplyArgb(fill, self->transparent));
  self->Changed();
  return Value();
}

Value Width(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  return Value(self != nullptr ? static_cast<double>(self->Width()) : -1.0);
}
Value Height(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  return Value(self != nullptr ? static_cast<double>(self->Height()) : -1.0);
}
Value Transparent(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  return self != nullptr ? Value(self->transparent) : Value(-1);
}

// A Rectangle of the bitmap's size, made by flash.geom.Rectangle where there is one.
Value RectangleOf(NativeCall& call) {
  VmImpl& vm = call.vm;
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr) return Value(-1);
  const Value args[] = {Value(0), Value(0), Value(static_cast<double>(self->Width())), Value(static_cast<double>(self->Height()))};
  Value flash = vm.Global()->Get(vm, vm.Str("flash"));
  Value geom = flash.IsObject() ? flash.AsObject()->Get(vm, vm.Str("geom")) : Value();
  Value rectangle = geom.IsObject() ? geom.AsObject()->Get(vm, vm.Str("Rectangle")) : Value();
  if (vm.IsCallable(rectangle)) return vm.Construct(rectangle, args);
  Object* plain = vm.NewObject();
  const char* names[] = {"x", "y", "width", "height"};
  for (int i = 0; i < 4; ++i) plain->Set(vm, vm.Str(names[i]), args[i]);
  return Value(plain);
}

// getPixel and getPixel32 want both coordinates; outside the bitmap a pixel reads 0.
template <bool kWithAlpha>
Value GetPixel(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr || call.Count() < 2) return Value(-1);
  const int32_t x = call.IntArg(0);
  const int32_t y = call.IntArg(1);
  if (!self->Inside(x, y)) return Value(0);
  const uint32_t argb = UnpremultiplyArgb(self->At(x, y));
  return kWithAlpha ? Signed(argb) : Value(static_cast<double>(argb & 0xFFFFFF));
}

// setPixel keeps the pixel's alpha; setPixel32 sets it too (an opaque bitmap stays opaque).
template <bool kWithAlpha>
Value SetPixel(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr || call.Count() < 3) return Value();
  const int32_t x = call.IntArg(0);
  const int32_t y = call.IntArg(1);
  uint32_t color = static_cast<uint32_t>(call.IntArg(2));
  if (!self->Inside(x, y)) return Value();
  if (!kWithAlpha) color = (UnpremultiplyArgb(self->At(x, y)) & 0xFF000000u) | (color & 0xFFFFFF);
  self->At(x, y) = PremultiplyArgb(color, self->transparent);
  self->Changed();
  return Value();
}

// The four numbers of a rectangle-like object, rounded as the Flash Player rounds them.
bool ReadRect(VmImpl& vm, Object* rect, int32_t out[4]) {
  if (rect == nullptr) return false;
  const char* names[] = {"x", "y", "width", "height"};
  for (int i = 0; i < 4; ++i) out[i] = vm.ToInt32(rect->Get(vm, vm.Str(names[i])));
  return true;
}

Value FillRect(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  int32_t r[4];
  if (self == nullptr || !ReadRect(call.vm, call.ObjectArg(0), r)) return Value();
  const auto end = [](int32_t from, int32_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{from} + std::max(size, 0), INT32_MIN, INT32_MAX));
  };
  Fill(*self, r[0], r[1], end(r[0], r[2]), end(r[1], r[3]), static_cast<uint32_t>(call.IntArg(1)));
  return Value();
}

// copyPixels(source, sourceRect, destPoint): the source's pixels replace these.
Value CopyPixels(NativeCall& call) {
  VmImpl& vm = call.vm;
  BitmapDataObject* self = ThisBitmap(call);
  Object* sourceObject = call.ObjectArg(0);
  int32_t r[4];
  Object* point = call.ObjectArg(2);
  if (self == nullptr || sourceObject == nullptr || sourceObject->Class() != ObjectClass::kBitmapData ||
      !ReadRect(vm, call.ObjectArg(1), r) || point == nullptr) {
    return Value();
  }
  auto* source = static_cast<BitmapDataObject*>(sourceObject);
  if (!source->Valid()) return Value();
  const int32_t dx = vm.ToInt32(point->Get(vm, vm.Str("x")));
  const int32_t dy = vm.ToInt32(point->Get(vm, vm.Str("y")));
  // Offsets within the rectangle that land inside both bitmaps (64-bit: the script's numbers
  // may be anything an int32 holds).
  const auto span = [](int64_t from, int64_t size, int64_t to, int64_t sourceSide, int64_t destSide) {
    const int64_t first = std::max({int64_t{0}, -from, -to});
    const int64_t last = std::min({size, sourceSide - from, destSide - to});
    return std::pair<int64_t, int64_t>{first, last};
  };
  const auto [x0, x1] = span(r[0], r[2], dx, source->Width(), self->Width());
  const auto [y0, y1] = span(r[1], r[3], dy, source->Height(), self->Height());
  if (x0 >= x1 || y0 >= y1) return Value();
  std::vector<uint32_t> copied;  // the source may be this bitmap
  copied.reserve(static_cast<size_t>((x1 - x0) * (y1 - y0)));
  for (int64_t y = y0; y < y1; ++y) {
    for (int64_t x = x0; x < x1; ++x) {
      const uint32_t pixel = source->At(static_cast<int32_t>(r[0] + x), static_cast<int32_t>(r[1] + y));
      copied.push_back(self->transparent ? pixel : PremultiplyArgb(UnpremultiplyArgb(pixel), false));
    }
  }
  size_t next = 0;
  for (int64_t y = y0; y < y1; ++y) {
    for (int64_t x = x0; x < x1; ++x) self->At(static_cast<int32_t>(dx + x), static_cast<int32_t>(dy + y)) = copied[next++];
  }
  self->Changed();
  return Value();
}

Value Clone(NativeCall& call) {
  VmImpl& vm = call.vm;
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr) return Value();
  auto* copy = static_cast<BitmapDataObject*>(NewBitmapData(vm, self->Proto()));
  copy->transparent = self->transparent;
  vm.heap.Resize(copy, static_cast<ptrdiff_t>(self->bitmap->pixels.size() * sizeof(uint32_t)));
  copy->bitmap = std::make_shared<Bitmap>(*self->bitmap);
  copy->Changed();
  return Value(copy);
}

Value Dispose(NativeCall& call) {
  if (BitmapDataObject* self = ThisBitmap(call)) {
    call.vm.heap.Resize(self, -static_cast<ptrdiff_t>(self->bitmap->pixels.size() * sizeof(uint32_t)));
    self->bitmap->width = self->bitmap->height = 0;
    std::vector<uint32_t>().swap(self->bitmap->pixels);
    self->Changed();
  }
  return Value();
}

}  // namespace

void InstallBitmapDataClass(VmImpl& vm, Object* global) {
  Object* flash = DefinePackage(vm, global, "flash", kDontEnum | kSwf8Up);
  Object* display = DefinePackage(vm, flash, "display", kDontEnum);
  Object* prototype = NewBitmapData(vm, Value(vm.protos.object));
  vm.Pin(prototype);
  vm.RegisterInstanceFactory(ObjectClass::kBitmapData, NewBitmapData);
  FunctionObject* constructor = DefineClass(vm, display, "BitmapData", BitmapDataCall, BitmapDataConstruct, prototype);
  InstallBitmapDataDraw(vm, prototype, constructor);
  InstallBitmapDataOps(vm, prototype);
  InstallBitmapDataNoise(vm, prototype);
  static constexpr std::pair<const char*, NativeFunction> kMethods[] = {
      {"getPixel", GetPixel<false>}, {"getPixel32", GetPixel<true>}, {"setPixel", SetPixel<false>},
      {"setPixel32", SetPixel<true>}, {"fillRect", FillRect},        {"copyPixels", CopyPixels},
      {"clone", Clone},              {"dispose", Dispose},
  };
  for (const auto& [name, function] : kMethods) DefineMethod(vm, prototype, name, function);
  DefineNativeProperty(vm, prototype, "width", Width, nullptr);
  DefineNativeProperty(vm, prototype, "height", Height, nullptr);
  DefineNativeProperty(vm, prototype, "transparent", Transparent, nullptr);
  DefineNativeProperty(vm, prototype, "rectangle", RectangleOf, nullptr);
}

}  // namespace swfplayer::avm1
