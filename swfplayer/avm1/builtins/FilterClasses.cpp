// flash.filters (SWF 8): BitmapFilter and its nine classes. Every setting is a getter and setter
// pair on the class's prototype that converts and clamps what a script gives as the Flash
// Player 8 does (blurs 0 to 255, quality 0 to 15, strength 0 to 255 in 1/256, alphas 0 to 1 as
// a byte, angles in degrees modulo 360); a constructor sets, in order, the settings it is
// given, over the class's defaults. clone() copies a filter, keeping its prototype.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string_view>
#include <vector>

#include "swfplayer/avm1/builtins/ArrayAccess.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/FilterObject.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

enum class Field : uint8_t {
  kBlurX, kBlurY, kQuality, kDistance, kAngle, kColor, kAlpha, kStrength, kInner, kKnockout,
  kHideObject, kHighlightColor, kHighlightAlpha, kShadowColor, kShadowAlpha, kType, kColors,
  kAlphas, kRatios, kColorMatrix, kMatrixX, kMatrixY, kMatrix, kDivisor, kBias, kPreserveAlpha,
  kClamp, kMapBitmap, kMapPoint, kComponentX, kComponentY, kScaleX, kScaleY, kMode,
};

using F = Field;

struct ClassInfo {
  const char* name;
  FilterKind kind;
  std::vector<Field> fields;  // the constructor's arguments, in order
};

const ClassInfo kClasses[] = {
    {"BlurFilter", FilterKind::kBlur, {F::kBlurX, F::kBlurY, F::kQuality}},
    {"DropShadowFilter", FilterKind::kDropShadow,
     {F::kDistance, F::kAngle, F::kColor, F::kAlpha, F::kBlurX, F::kBlurY, F::kStrength, F::kQuality, F::kInner,
      F::kKnockout, F::kHideObject}},
    {"GlowFilter", FilterKind::kGlow,
     {F::kColor, F::kAlpha, F::kBlurX, F::kBlurY, F::kStrength, F::kQuality, F::kInner, F::kKnockout}},
    {"BevelFilter", FilterKind::kBevel,
     {F::kDistance, F::kAngle, F::kHighlightColor, F::kHighlightAlpha, F::kShadowColor, F::kShadowAlpha, F::kBlurX,
      F::kBlurY, F::kStrength, F::kQuality, F::kType, F::kKnockout}},
    {"GradientGlowFilter", FilterKind::kGradientGlow,
     {F::kDistance, F::kAngle, F::kColors, F::kAlphas, F::kRatios, F::kBlurX, F::kBlurY, F::kStrength, F::kQuality,
      F::kType, F::kKnockout}},
    {"GradientBevelFilter", FilterKind::kGradientBevel,
     {F::kDistance, F::kAngle, F::kColors, F::kAlphas, F::kRatios, F::kBlurX, F::kBlurY, F::kStrength, F::kQuality,
      F::kType, F::kKnockout}},
    {"ColorMatrixFilter", FilterKind::kColorMatrix, {F::kColorMatrix}},
    {"ConvolutionFilter", FilterKind::kConvolution,
     {F::kMatrixX, F::kMatrixY, F::kMatrix, F::kDivisor, F::kBias, F::kPreserveAlpha, F::kClamp, F::kColor,
      F::kAlpha}},
    {"DisplacementMapFilter", FilterKind::kDisplacementMap,
     {F::kMapBitmap, F::kMapPoint, F::kComponentX, F::kComponentY, F::kScaleX, F::kScaleY, F::kMode, F::kColor,
      F::kAlpha}},
};

const ClassInfo* InfoOf(FilterKind kind) {
  for (const ClassInfo& info : kClasses) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

bool HasField(FilterKind kind, Field field) {
  const ClassInfo* info = InfoOf(kind);
  return info != nullptr && std::ranges::find(info->fields, field) != info->fields.end();
}

// The prototypes, for the objects a clip's `filters` makes.
struct FilterState final : VmImpl::ExtensionState {
  Object* prototypes[std::size(kClasses)] = {};
  Object* point = nullptr;  // flash.geom.Point, for mapPoint
  void Trace(Tracer& tracer) override {
    for (Object* prototype : prototypes) tracer.Mark(prototype);
    tracer.Mark(point);
  }
};

FilterState& State(VmImpl& vm) { return vm.State<FilterState>("filters"); }

// --- conversions as the Flash Player makes them ---

// A double to a byte or a 16-bit value the way a saturating cast does: NaN gives 0.
template <class T>
T Saturate(double value) {
  if (!(value > 0)) return 0;
  return value >= static_cast<double>(std::numeric_limits<T>::max()) ? std::numeric_limits<T>::max()
                                                                       : static_cast<T>(value);
}

double Clamped(double value, double low, double high) { return std::isnan(value) ? low : std::clamp(value, low, high); }

BevelType TypeNamed(std::u16string_view name) {
  if (name == u"inner") return BevelType::kInner;
  if (name == u"outer") return BevelType::kOuter;
  return BevelType::kFull;
}

const char* TypeName(BevelType type) {
  return type == BevelType::kInner ? "inner" : type == BevelType::kOuter ? "outer" : "full";
}

constexpr const char* kModes[] = {"wrap", "clamp", "ignore", "color"};

Value NumberArray(VmImpl& vm, size_t count, auto&& at) {
  std::vector<Value> values;
  for (size_t i = 0; i < count; ++i) values.push_back(Value(static_cast<double>(at(i))));
  return Value(vm.NewArray(values));
}

// colors: as many stops as the array has (at most 16), each keeping its alpha.
void SetColors(VmImpl& vm, ScriptFilter& s, const Value& value) {
  if (!value.IsObject()) {
    s.stopCount = 0;
    return;
  }
  ElementAccess elements(vm, value.AsObject());
  const size_t count = std::min<size_t>(elements.Length(), kMaxGradientStops);
  for (size_t i = 0; i < count; ++i) {
    s.stops[i].rgb = vm.ToUint32(elements.Get(static_cast<uint32_t>(i))) & 0xFFFFFF;
  }
  s.stopCount = static_cast<uint8_t>(count);
}

// alphas: one for each stop; missing or non-finite ones are opaque.
void SetAlphas(VmImpl& vm, ScriptFilter& s, const Value& value) {
  if (!value.IsObject()) return;
  ElementAccess elements(vm, value.AsObject());
  const uint32_t length = elements.Length();
  for (uint32_t i = 0; i < s.stopCount; ++i) {
    const double alpha = i < length ? vm.ToNumber(elements.Get(i)) : std::nan("");
    s.stops[i].alpha = std::isfinite(alpha) ? Saturate<uint8_t>(255 * alpha + 0.5) : 255;
  }
}

// ratios: may cut the stops short, never add to them.
void SetRatios(VmImpl& vm, ScriptFilter& s, const Value& value) {
  if (!value.IsObject()) return;
  ElementAccess elements(vm, value.AsObject());
  s.stopCount = static_cast<uint8_t>(std::min<uint32_t>(elements.Length(), s.stopCount));
  for (uint32_t i = 0; i < s.stopCount; ++i) {
    s.stops[i].ratio = static_cast<uint8_t>(std::clamp(vm.ToInt32(elements.Get(i)), 0, 255));
  }
}

void GrowMatrix(ScriptFilter& s) {
  const size_t needed = size_t{s.matrixX} * s.matrixY;
  if (s.matrix.size() < needed) s.matrix.resize(needed, 0.0f);
}

void SetMatrix(VmImpl& vm, ScriptFilter& s, const Value& value) {
  s.matrix.clear();
  if (value.IsObject()) {
    ElementAccess elements(vm, value.AsObject());
    const uint32_t length = std::min<uint32_t>(elements.Length(), kMaxConvolutionValues);
    for (uint32_t i = 0; i < length; ++i) s.matrix.push_back(static_cast<float>(vm.ToNumber(elements.Get(i))));
  }
  GrowMatrix(s);
}

// A colour matrix takes 20 numbers from an array (0 for those it lacks); anything else leaves
// it as it was.
void SetColorMatrix(VmImpl& vm, ScriptFilter& s, const Value& value) {
  if (!value.IsObject()) return;
  ElementAccess elements(vm, value.AsObject());
  const uint32_t length = elements.Length();
  for (uint32_t i = 0; i < s.colorMatrix.size(); ++i) {
    s.colorMatrix[i] = i < length ? static_cast<float>(vm.ToNumber(elements.Get(i))) : 0.0f;
  }
}

void SetMapPoint(VmImpl& vm, ScriptFilter& s, const Value& value) {
  s.mapX = s.mapY = 0;
  if (!value.IsObject()) return;
  Object* point = value.AsObject();
  const auto whole = [](double v) {
    return std::isnan(v) ? 0 : static_cast<int32_t>(std::clamp(v, double{INT32_MIN}, double{INT32_MAX}));
  };
  s.mapX = whole(vm.ToNumber(point->Get(vm, vm.Str("x"))));
  s.mapY = whole(vm.ToNumber(point->Get(vm, vm.Str("y"))));
}

void SetField(VmImpl& vm, ScriptFilter& s, Field field, const Value& value) {
  switch (field) {
    case F::kBlurX: s.blurX = Clamped(vm.ToNumber(value), 0, 255); break;
    case F::kBlurY: s.blurY = Clamped(vm.ToNumber(value), 0, 255); break;
    case F::kQuality: s.quality = std::clamp(vm.ToInt32(value), 0, 15); break;
    case F::kDistance: s.distance = vm.ToNumber(value); break;
    case F::kAngle: s.angle = std::fmod(vm.ToNumber(value), 360.0) * std::numbers::pi / 180; break;
    case F::kColor:
    case F::kShadowColor: s.color = vm.ToUint32(value) & 0xFFFFFF; break;
    case F::kAlpha:
    case F::kShadowAlpha: s.alpha = Saturate<uint8_t>(Clamped(vm.ToNumber(value), 0, 1) * 255); break;
    case F::kHighlightColor: s.highlight = vm.ToUint32(value) & 0xFFFFFF; break;
    case F::kHighlightAlpha: s.highlightAlpha = Saturate<uint8_t>(Clamped(vm.ToNumber(value), 0, 1) * 255); break;
    case F::kStrength: s.strength = std::min<uint16_t>(Saturate<uint16_t>(vm.ToNumber(value) * 256), 0xFF00); break;
    case F::kInner: s.inner = vm.ToBoolean(value); break;
    case F::kKnockout: s.knockout = vm.ToBoolean(value); break;
    case F::kHideObject: s.hideObject = vm.ToBoolean(value); break;
    case F::kType: s.type = TypeNamed(vm.ToString(value)->View()); break;
    case F::kColors: SetColors(vm, s, value); break;
    case F::kAlphas: SetAlphas(vm, s, value); break;
    case F::kRatios: SetRatios(vm, s, value); break;
    case F::kColorMatrix: SetColorMatrix(vm, s, value); break;
    case F::kMatrixX:
      s.matrixX = static_cast<uint8_t>(std::clamp(vm.ToInt32(value), 0, 15));
      GrowMatrix(s);
      break;
    case F::kMatrixY:
      s.matrixY = static_cast<uint8_t>(std::clamp(vm.ToInt32(value), 0, 15));
      GrowMatrix(s);
      break;
    case F::kMatrix: SetMatrix(vm, s, value); break;
    case F::kDivisor: s.divisor = static_cast<float>(vm.ToNumber(value)); break;
    case F::kBias: s.bias = static_cast<float>(vm.ToNumber(value)); break;
    case F::kPreserveAlpha: s.preserveAlpha = vm.ToBoolean(value); break;
    case F::kClamp: s.clamp = vm.ToBoolean(value); break;
    case F::kMapBitmap:
      if (value.IsObject() && value.AsObject()->Class() == ObjectClass::kBitmapData) s.mapBitmap = value;
      break;
    case F::kMapPoint: SetMapPoint(vm, s, value); break;
    case F::kComponentX: s.componentX = vm.ToInt32(value); break;
    case F::kComponentY: s.componentY = vm.ToInt32(value); break;
    case F::kScaleX: s.scaleX = static_cast<float>(Clamped(vm.ToNumber(value), -65535, 65535)); break;
    case F::kScaleY: s.scaleY = static_cast<float>(Clamped(vm.ToNumber(value), -65535, 65535)); break;
    case F::kMode: {
      const std::u16string_view mode = vm.ToString(value)->View();
      s.mode = 0;
      for (uint8_t i = 1; i < std::size(kModes); ++i) {
        if (std::ranges::equal(mode, std::string_view(kModes[i]))) s.mode = i;
      }
      break;
    }
  }
}

Value GetField(VmImpl& vm, const ScriptFilter& s, Field field) {
  switch (field) {
    case F::kBlurX: return Value(s.blurX);
    case F::kBlurY: return Value(s.blurY);
    case F::kQuality: return Value(s.quality);
    case F::kDistance: return Value(s.distance);
    case F::kAngle: return Value(s.angle * 180 / std::numbers::pi);
    case F::kColor:
    case F::kShadowColor: return Value(static_cast<double>(s.color));
    case F::kAlpha:
    case F::kShadowAlpha: return Value(s.alpha / 255.0);
    case F::kHighlightColor: return Value(static_cast<double>(s.highlight));
    case F::kHighlightAlpha: return Value(s.highlightAlpha / 255.0);
    case F::kStrength: return Value(s.strength / 256.0);
    case F::kInner: return Value(s.inner);
    case F::kKnockout: return Value(s.knockout);
    case F::kHideObject: return Value(s.hideObject);
    case F::kType: return Value(vm.Str(TypeName(s.type)));
    case F::kColors: return NumberArray(vm, s.stopCount, [&](size_t i) { return s.stops[i].rgb; });
    case F::kAlphas: return NumberArray(vm, s.stopCount, [&](size_t i) { return s.stops[i].alpha / 255.0; });
    case F::kRatios: return NumberArray(vm, s.stopCount, [&](size_t i) { return s.stops[i].ratio; });
    case F::kColorMatrix: return NumberArray(vm, s.colorMatrix.size(), [&](size_t i) { return s.colorMatrix[i]; });
    case F::kMatrixX: return Value(s.matrixX);
    case F::kMatrixY: return Value(s.matrixY);
    case F::kMatrix: return NumberArray(vm, s.matrix.size(), [&](size_t i) { return s.matrix[i]; });
    case F::kDivisor: return Value(static_cast<double>(s.divisor));
    case F::kBias: return Value(static_cast<double>(s.bias));
    case F::kPreserveAlpha: return Value(s.preserveAlpha);
    case F::kClamp: return Value(s.clamp);
    case F::kMapBitmap: return s.mapBitmap;
    case F::kMapPoint: {
      const Value args[] = {Value(s.mapX), Value(s.mapY)};
      Object* point = State(vm).point;
      if (point != nullptr) return vm.Construct(Value(point), args);
      Object* plain = vm.NewObject();
      plain->Set(vm, vm.Str("x"), args[0]);
      plain->Set(vm, vm.Str("y"), args[1]);
      return Value(plain);
    }
    case F::kComponentX: return Value(s.componentX);
    case F::kComponentY: return Value(s.componentY);
    case F::kScaleX: return Value(static_cast<double>(s.scaleX));
    case F::kScaleY: return Value(static_cast<double>(s.scaleY));
    case F::kMode: return Value(vm.Str(kModes[s.mode]));
  }
  return Value();
}

FilterObject* ThisFilter(NativeCall& call, Field field) {
  auto* self = call.This<FilterObject>(ObjectClass::kBitmapFilter);
  return self != nullptr && HasField(self->filter.kind, field) ? self : nullptr;
}

template <Field kField>
Value Get(NativeCall& call) {
  FilterObject* self = ThisFilter(call, kField);
  return self != nullptr ? GetField(call.vm, self->filter, kField) : Value();
}

template <Field kField>
Value Set(NativeCall& call) {
  if (FilterObject* self = ThisFilter(call, kField)) SetField(call.vm, self->filter, kField, call.Arg(0));
  return Value();
}

struct FieldInfo {
  Field field;
  const char* name;
  NativeFunction get, set;
};

template <Field kField>
constexpr FieldInfo Describe(const char* name) {
  return {kField, name, Get<kField>, Set<kField>};
}

const FieldInfo kFields[] = {
    Describe<F::kBlurX>("blurX"), Describe<F::kBlurY>("blurY"), Describe<F::kQuality>("quality"),
    Describe<F::kDistance>("distance"), Describe<F::kAngle>("angle"), Describe<F::kColor>("color"),
    Describe<F::kAlpha>("alpha"), Describe<F::kStrength>("strength"), Describe<F::kInner>("inner"),
    Describe<F::kKnockout>("knockout"), Describe<F::kHideObject>("hideObject"),
    Describe<F::kHighlightColor>("highlightColor"), Describe<F::kHighlightAlpha>("highlightAlpha"),
    Describe<F::kShadowColor>("shadowColor"), Describe<F::kShadowAlpha>("shadowAlpha"), Describe<F::kType>("type"),
    Describe<F::kColors>("colors"), Describe<F::kAlphas>("alphas"), Describe<F::kRatios>("ratios"),
    Describe<F::kColorMatrix>("matrix"), Describe<F::kMatrixX>("matrixX"), Describe<F::kMatrixY>("matrixY"),
    Describe<F::kMatrix>("matrix"), Describe<F::kDivisor>("divisor"), Describe<F::kBias>("bias"),
    Describe<F::kPreserveAlpha>("preserveAlpha"), Describe<F::kClamp>("clamp"),
    Describe<F::kMapBitmap>("mapBitmap"), Describe<F::kMapPoint>("mapPoint"),
    Describe<F::kComponentX>("componentX"), Describe<F::kComponentY>("componentY"),
    Describe<F::kScaleX>("scaleX"), Describe<F::kScaleY>("scaleY"), Describe<F::kMode>("mode"),
};

const FieldInfo& FieldOf(Field field) {
  return *std::ranges::find(kFields, field, &FieldInfo::field);
}

Object* NewFilter(VmImpl& vm, const Value& proto) { return vm.heap.New<FilterObject>(proto); }

template <FilterKind kKind>
Value Construct(NativeCall& call) {
  auto* self = call.This<FilterObject>(ObjectClass::kBitmapFilter);
  if (self == nullptr) return Value();
  ScriptFilter& s = self->filter;
  s = DefaultFilter(kKind);
  const ClassInfo& info = *InfoOf(kKind);
  size_t i = 0;
  for (Field field : info.fields) {
    if (call.Has(i)) SetField(call.vm, s, field, call.Arg(i));
    ++i;
  }
  // Without a divisor, a convolution divides by the sum of its matrix.
  if (kKind == FilterKind::kConvolution && !call.Has(3) && call.Count() > 0) {
    s.divisor = 0;
    for (float value : s.matrix) s.divisor += value;
  }
  return Value();
}

Value Nothing(NativeCall&) { return Value(); }

Value Clone(NativeCall& call) {
  auto* self = call.This<FilterObject>(ObjectClass::kBitmapFilter);
  if (self == nullptr || self->filter.kind == FilterKind::kNone) return Value();
  auto* copy = static_cast<FilterObject*>(NewFilter(call.vm, self->Proto()));
  copy->filter = self->filter;
  return Value(copy);
}

template <FilterKind kKind>
constexpr NativeFunction ConstructorOf() {
  return Construct<kKind>;
}

constexpr NativeFunction kConstructors[] = {
    ConstructorOf<FilterKind::kBlur>(),          ConstructorOf<FilterKind::kDropShadow>(),
    ConstructorOf<FilterKind::kGlow>(),          ConstructorOf<FilterKind::kBevel>(),
    ConstructorOf<FilterKind::kGradientGlow>(),  ConstructorOf<FilterKind::kGradientBevel>(),
    ConstructorOf<FilterKind::kColorMatrix>(),   ConstructorOf<FilterKind::kConvolution>(),
    ConstructorOf<FilterKind::kDisplacementMap>(),
};
static_assert(std::size(kConstructors) == std::size(kClasses));

}  // namespace

Value NewFilterObject(VmImpl& vm, const ScriptFilter& filter) {
  FilterState& state = State(vm);
  Object* prototype = nullptr;
  for (size_t i = 0; i < std::size(kClasses); ++i) {
    if (kClasses[i].kind == filter.kind) prototype = state.prototypes[i];
  }
  if (prototype == nullptr) return Value();
  auto* made = static_cast<FilterObject*>(NewFilter(vm, Value(prototype)));
  made->filter = filter;
  return Value(made);
}

void InstallFilterClasses(VmImpl& vm, Object* global) {
  Object* flash = DefinePackage(vm, global, "flash", kDontEnum | kSwf8Up);
  Object* filters = DefinePackage(vm, flash, "filters", kDontEnum);
  vm.RegisterInstanceFactory(ObjectClass::kBitmapFilter, NewFilter);
  Object* base = NewFilter(vm, Value(vm.protos.object));
  vm.Pin(base);
  DefineClass(vm, filters, "BitmapFilter", Nothing, Nothing, base);
  DefineMethod(vm, base, "clone", Clone);
  FilterState& state = State(vm);
  for (size_t i = 0; i < std::size(kClasses); ++i) {
    Object* prototype = NewFilter(vm, Value(base));
    vm.Pin(prototype);
    state.prototypes[i] = prototype;
    DefineClass(vm, filters, kClasses[i].name, Nothing, kConstructors[i], prototype);
    for (Field field : kClasses[i].fields) {
      const FieldInfo& info = FieldOf(field);
      DefineNativeProperty(vm, prototype, info.name, info.get, info.set);
    }
  }
  // mapPoint answers a flash.geom.Point where there is one.
  const Value geom = flash->Get(vm, vm.Str("geom"));
  const Value point = geom.IsObject() ? geom.AsObject()->Get(vm, vm.Str("Point")) : Value();
  if (point.IsObject()) state.point = point.AsObject();
}

}  // namespace swfplayer::avm1
