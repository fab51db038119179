// Color: new Color(target) steers the colour transform of a clip (or of the clip a target path
// names, found again at each call). The Flash Player keeps a clip's multipliers in 8.8 fixed
// point and its offsets as whole numbers, so what a script sets comes back on that grid.
#include <cmath>
#include <cstdint>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// The target as given; the Flash Player keeps it as a hidden member named target.
String* TargetName(VmImpl& vm) { return vm.Str("target"); }

Clip* TargetClip(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return nullptr;
  const Value target = self->Get(vm, TargetName(vm));
  if (target.IsObject() && target.AsObject()->Class() == ObjectClass::kMovieClip) {
    return static_cast<ClipObject*>(target.AsObject())->GetClip(vm);
  }
  if (target.IsNullish() || vm.activations == nullptr) return nullptr;
  return ResolveClip(*vm.activations, target, vm.Root(), false);
}

Value ColorConstruct(NativeCall& call) {
  if (Object* self = call.ThisObject()) self->DefineValue(call.vm, TargetName(call.vm), call.Arg(0), kHidden);
  return Value();
}

// 8.8 fixed point, cut toward zero, as the Flash Player stores a multiplier.
float Multiplier(double percent) {
  const double fixed = std::trunc(std::fmod(percent * 2.56, 65536.0));
  return static_cast<float>(static_cast<int16_t>(static_cast<int32_t>(fixed)) / 256.0);
}

float Offset(double value) {
  return static_cast<float>(static_cast<int16_t>(static_cast<int32_t>(std::trunc(std::fmod(value, 65536.0)))));
}

Value SetRgb(NativeCall& call) {
  Clip* clip = TargetClip(call);
  if (clip == nullptr || !call.Has(0)) return Value();
  const uint32_t rgb = static_cast<uint32_t>(call.IntArg(0));
  ColorTransform transform = clip->GetColorTransform();
  transform.mulR = transform.mulG = transform.mulB = 0;
  transform.addR = static_cast<float>((rgb >> 16) & 0xFF);
  transform.addG = static_cast<float>((rgb >> 8) & 0xFF);
  transform.addB = static_cast<float>(rgb & 0xFF);
  clip->SetColorTransform(transform);
  return Value();
}

Value GetRgb(NativeCall& call) {
  Clip* clip = TargetClip(call);
  if (clip == nullptr) return Value();
  const ColorTransform transform = clip->GetColorTransform();
  auto channel = [](float offset) { return static_cast<int32_t>(offset) & 0xFF; };
  return Value((channel(transform.addR) << 16) | (channel(transform.addG) << 8) | channel(transform.addB));
}

struct Field {
  const char* name;
  float ColorTransform::*member;
  bool multiplier;
};

constexpr Field kFields[] = {
    {"ra", &ColorTransform::mulR, true},  {"rb", &ColorTransform::addR, false},
    {"ga", &ColorTransform::mulG, true},  {"gb", &ColorTransform::addG, false},
    {"ba", &ColorTransform::mulB, true},  {"bb", &ColorTransform::addB, false},
    {"aa", &ColorTransform::mulA, true},  {"ab", &ColorTransform::addA, false},
};

// Only the fields the object has are changed.
Value SetTransform(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = TargetClip(call);
  Object* given = call.ObjectArg(0);
  if (clip == nullptr || given == nullptr) return Value();
  ColorTransform transform = clip->GetColorTransform();
  for (const Field& field : kFields) {
    Value value;
    if (!given->TryGet(vm, vm.Str(field.name), value)) continue;
    const double number = vm.ToNumber(value);
    const double finite = std::isfinite(number) ? number : 0;
    transform.*field.member = field.multiplier ? Multiplier(finite) : Offset(finite);
  }
  clip->SetColorTransform(transform);
  return Value();
}

Value GetTransform(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = TargetClip(call);
  if (clip == nullptr) return Value();
  const ColorTransform transform = clip->GetColorTransform();
  Object* result = vm.NewObject();
  for (const Field& field : kFields) {
    const double value = transform.*field.member;
    result->Set(vm, vm.Str(field.name), Value(field.multiplier ? value * 100 : value));
  }
  return Value(result);
}

Value ColorCall(NativeCall&) { return Value(); }

}  // namespace

void InstallColorClass(VmImpl& vm, Object* global) {
  FunctionObject* color = DefineClass(vm, global, "Color", ColorCall, ColorConstruct);
  Object* prototype = color->Get(vm, vm.names.prototype).AsObject();
  DefineMethod(vm, prototype, "setRGB", SetRgb);
  DefineMethod(vm, prototype, "getRGB", GetRgb);
  DefineMethod(vm, prototype, "setTransform", SetTransform);
  DefineMethod(vm, prototype, "getTransform", GetTransform);
}

}  // namespace swfplayer::avm1
