// BitmapData.draw, applyFilter and loadBitmap: what the movie's renderer and its exported
// bitmaps give a script's bitmap, through the host (an interpreter without a player draws nothing).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "swfplayer/avm1/BitmapDraw.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/Host.h"
#include "swfplayer/avm1/builtins/BitmapDataObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/FilterObject.h"

namespace swfplayer::avm1 {

namespace {

double Field(VmImpl& vm, Object* object, const char* name) { return vm.ToNumber(object->Get(vm, vm.Str(name))); }

// A flash.geom.Matrix (or any object with its six fields); identity when absent or not finite.
Matrix ReadMatrix(VmImpl& vm, Object* given) {
  if (given == nullptr) return {};
  const Matrix m{Field(vm, given, "a"), Field(vm, given, "b"), Field(vm, given, "c"),
                 Field(vm, given, "d"), Field(vm, given, "tx"), Field(vm, given, "ty")};
  for (double value : {m.a, m.b, m.c, m.d, m.tx, m.ty}) {
    if (!std::isfinite(value)) return {};
  }
  return m;
}

// A blend mode by its number (as DisplayObject.blendMode takes them) or its name.
BlendMode ReadBlendMode(VmImpl& vm, const Value& given) {
  if (given.IsNullish()) return BlendMode::kNormal;
  if (given.IsNumber()) return BlendModeFromSwf(static_cast<uint8_t>(std::clamp(vm.ToInt32(given), 0, 255)));
  std::string name = vm.ToString(given)->ToUtf8();
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static constexpr const char* kNames[] = {"normal",     "layer", "multiply", "screen",  "lighten",
                                           "darken",     "difference", "add", "subtract", "invert",
                                           "alpha",      "erase", "overlay",  "hardlight"};
  for (uint8_t i = 0; i < std::size(kNames); ++i) {
    if (name == kNames[i]) return static_cast<BlendMode>(i + 1);
  }
  return BlendMode::kNormal;
}

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing): source is a movie clip
// or a BitmapData; the clip rectangle is in this bitmap's pixels. The arguments are read (which
// may run a script's valueOf) before the source and this bitmap are looked at.
Value Draw(NativeCall& call) {
  VmImpl& vm = call.vm;
  auto* self = call.This<BitmapDataObject>(ObjectClass::kBitmapData);
  if (self == nullptr || !self->Valid() || !call.Has(0)) return Value();
  BitmapDraw draw;
  draw.matrix = ReadMatrix(vm, call.ObjectArg(1));
  draw.colorTransform = ReadColorTransform(vm, call.ObjectArg(2));
  draw.blendMode = ReadBlendMode(vm, call.Arg(3));
  double rect[4] = {0, 0, 1e9, 1e9};  // x, y, width, height
  if (Object* given = call.ObjectArg(4)) {
    const char* names[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
      const double value = Field(vm, given, names[i]);
      rect[i] = std::isfinite(value) ? std::clamp(value, -1e9, 1e9) : 0.0;
    }
  }
  draw.smooth = call.Has(5) && call.BoolArg(5);

  const Value source = call.Arg(0);
  if (BitmapDataObject* bitmap = LiveBitmapData(source)) {
    draw.bitmap = bitmap->bitmap;
  } else if (source.IsObject() && source.AsObject()->Class() == ObjectClass::kMovieClip) {
    draw.clip = static_cast<ClipObject*>(source.AsObject())->GetClip(vm);
  }
  if ((draw.clip == nullptr && draw.bitmap == nullptr) || !self->Valid()) return Value();
  const double width = self->Width(), height = self->Height();
  const double left = std::clamp(std::round(rect[0]), 0.0, width);
  const double top = std::clamp(std::round(rect[1]), 0.0, height);
  draw.left = static_cast<int32_t>(left);
  draw.top = static_cast<int32_t>(top);
  draw.right = static_cast<int32_t>(std::clamp(std::round(rect[0] + rect[2]), left, width));
  draw.bottom = static_cast<int32_t>(std::clamp(std::round(rect[1] + rect[3]), top, height));
  if (draw.left >= draw.right || draw.top >= draw.bottom) return Value();
  if (vm.host.DrawIntoBitmap(*self->bitmap, self->transparent, draw)) {
    self->Changed();
  } else {
    vm.Unsupported("BitmapData.draw");
  }
  return Value();
}

// BitmapData.loadBitmap(exportName): a new bitmap holding a copy of the exported one's pixels,
// transparent when any of them is; undefined when the movie exports no bitmap by that name.
Value LoadBitmap(NativeCall& call) {
  VmImpl& vm = call.vm;
  if (!call.Has(0)) return Value();
  const std::shared_ptr<const Bitmap> exported = vm.host.ExportedBitmap(call.StringArg(0)->View());
  if (!exported || exported->width <= 0 || exported->height <= 0 ||
      exported->pixels.size() < static_cast<size_t>(exported->width) * static_cast<size_t>(exported->height)) {
    return Value();
  }
  Value constructor = call.thisValue;
  Value prototype = constructor.IsObject() ? constructor.AsObject()->Get(vm, vm.names.prototype) : Value();
  if (!prototype.IsObject()) return Value();
  auto* made = vm.heap.New<BitmapDataObject>(prototype);
  vm.heap.Resize(made, static_cast<ptrdiff_t>(exported->pixels.size() * sizeof(uint32_t)));
  made->bitmap = std::make_shared<Bitmap>(*exported);
  made->transparent = std::any_of(exported->pixels.begin(), exported->pixels.end(),
                                  [](uint32_t pixel) { return (pixel >> 24) != 0xFF; });
  made->Changed();
  return Value(made);
}

// applyFilter(source, sourceRect, destPoint, filter): the source's rectangle (as much of it as
// lies on the source) filtered by the display's filters, then put at destPoint, as much as
// lands on this bitmap. Only the rectangle's own pixels go into the filter. A displacement map
// (which the display does not draw) leaves the pixels alone.
Value ApplyFilter(NativeCall& call) {
  VmImpl& vm = call.vm;
  auto* self = call.This<BitmapDataObject>(ObjectClass::kBitmapData);
  BitmapDataObject* source = LiveBitmapData(call.Arg(0));
  Object* rect = call.ObjectArg(1);
  Object* point = call.ObjectArg(2);
  Object* filterObject = call.ObjectArg(3);
  if (self == nullptr || !self->Valid() || source == nullptr || rect == nullptr || point == nullptr ||
      filterObject == nullptr || filterObject->Class() != ObjectClass::kBitmapFilter) {
    return Value();
  }
  const std::optional<Filter> filter = ToDrawn(static_cast<FilterObject*>(filterObject)->filter);
  const auto whole = [&](Object* object, const char* name) { return int64_t{vm.ToInt32(object->Get(vm, vm.Str(name)))}; };
  const int64_t x = whole(rect, "x"), y = whole(rect, "y");
  const int64_t left = std::clamp<int64_t>(x, 0, source->Width()), top = std::clamp<int64_t>(y, 0, source->Height());
  const int64_t right = std::clamp<int64_t>(x + std::max<int64_t>(0, whole(rect, "width")), left, source->Width());
  const int64_t bottom = std::clamp<int64_t>(y + std::max<int64_t>(0, whole(rect, "height")), top, source->Height());
  if (!filter || left >= right || top >= bottom) return Value();
  const int width = static_cast<int>(right - left), height = static_cast<int>(bottom - top);
  std::vector<uint32_t> pixels;  // the source may be this bitmap
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int64_t row = top; row < bottom; ++row) {
    const uint32_t* from = &source->At(static_cast<int32_t>(left), static_cast<int32_t>(row));
    pixels.insert(pixels.end(), from, from + width);
  }
  if (!vm.host.ApplyBitmapFilter(*filter, pixels.data(), width, height)) {
    vm.Unsupported("BitmapData.applyFilter");
    return Value();
  }
  // Where the filtered rectangle's corner lands: destPoint moved as far as the rectangle was cut.
  const int64_t toX = whole(point, "x") + (left - x), toY = whole(point, "y") + (top - y);
  for (int64_t row = std::max<int64_t>(0, -toY); row < height && toY + row < self->Height(); ++row) {
    for (int64_t column = std::max<int64_t>(0, -toX); column < width && toX + column < self->Width(); ++column) {
      const uint32_t pixel = pixels[static_cast<size_t>(row * width + column)];
      self->At(static_cast<int32_t>(toX + column), static_cast<int32_t>(toY + row)) =
          self->transparent ? pixel : PremultiplyArgb(UnpremultiplyArgb(pixel), false);
    }
  }
  self->Changed();
  return Value();
}

}  // namespace

void InstallBitmapDataDraw(VmImpl& vm, Object* prototype, Object* constructor) {
  DefineMethod(vm, prototype, "draw", Draw);
  DefineMethod(vm, prototype, "applyFilter", ApplyFilter);
  DefineMethod(vm, constructor, "loadBitmap", LoadBitmap);
}

}  // namespace swfplayer::avm1
