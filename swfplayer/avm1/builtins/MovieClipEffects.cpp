// What a movie clip and a text field are drawn with, from scripts (SWF 8): `filters` (a new
// array of new filter objects each time it is read; setting it copies the filters of an array,
// ignoring what is not one), `blendMode` (read as a name; set by name or by the SWF number 1 to
// 14) and `cacheAsBitmap` (reads true while the clip has filters, whatever was set).
#include <algorithm>
#include <cmath>
#include <string_view>

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/builtins/ArrayAccess.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/FilterObject.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// Indexed by the SWF number; 0 is normal too.
constexpr std::string_view kBlendModes[] = {"normal",     "normal", "layer",    "multiply", "screen",
                                            "lighten",    "darken", "difference", "add",    "subtract",
                                            "invert",     "alpha",  "erase",    "overlay",  "hardlight"};

Clip* ThisClip(NativeCall& call) {
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  return self != nullptr ? self->GetClip(call.vm) : nullptr;
}

Value GetFilters(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = ThisClip(call);
  if (clip == nullptr) return Value();
  std::vector<Value> made;
  for (const Filter& filter : clip->GetEffects().filters) made.push_back(NewFilterObject(vm, FromDrawn(filter)));
  return Value(vm.NewArray(made));
}

// As many as a placement can give (its count is a byte): each filter works on the clip's whole
// layer, so a script's list of thousands would stall every frame.
constexpr size_t kMaxFilters = 255;

void Collect(std::vector<Filter>& out, const Value& value) {
  if (out.size() >= kMaxFilters || !value.IsObject() || value.AsObject()->Class() != ObjectClass::kBitmapFilter) return;
  if (std::optional<Filter> drawn = ToDrawn(static_cast<FilterObject*>(value.AsObject())->filter)) {
    out.push_back(std::move(*drawn));
  }
}

// An array's filters in order; another object's in the order its properties were made.
Value SetFilters(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = ThisClip(call);
  if (clip == nullptr) return Value();
  std::vector<Filter> filters;
  if (Object* given = call.ObjectArg(0)) {
    if (given->Class() == ObjectClass::kArray) {
      ElementAccess elements(vm, given);
      const uint32_t length = elements.Length();
      for (uint32_t i = 0; i < length && filters.size() < kMaxFilters; ++i) Collect(filters, elements.Get(i));
    } else {
      std::vector<String*> keys;
      given->EnumerableKeys(vm, keys);
      for (auto key = keys.rbegin(); key != keys.rend(); ++key) Collect(filters, given->Get(vm, *key));
    }
  }
  // The clip may have gone while the script's getters ran.
  clip = ThisClip(call);
  if (clip == nullptr) return Value();
  DisplayEffects effects = clip->GetEffects();
  effects.filters = std::move(filters);
  clip->SetEffects(effects);
  return Value();
}

Value GetBlendMode(NativeCall& call) {
  Clip* clip = ThisClip(call);
  if (clip == nullptr) return Value();
  const auto mode = static_cast<size_t>(clip->GetEffects().blendMode);
  return Value(call.vm.Str(kBlendModes[mode < std::size(kBlendModes) ? mode : 1]));
}

// A name (exactly as written), a number (taken modulo 256) or undefined and null (normal);
// anything else leaves the mode as it was.
std::optional<BlendMode> BlendModeOf(const Value& value) {
  if (value.IsNullish()) return BlendMode::kNormal;
  if (value.IsNumber()) {
    const double number = value.AsNumber();
    if (!std::isfinite(number)) return BlendMode::kNormal;
    const auto wrapped = static_cast<uint8_t>(static_cast<int64_t>(std::fmod(number, 256.0)));
    if (wrapped >= std::size(kBlendModes)) return std::nullopt;
    return BlendModeFromSwf(wrapped);
  }
  if (value.IsString()) {
    const std::u16string_view name = value.AsString()->View();
    for (size_t i = 1; i < std::size(kBlendModes); ++i) {
      if (std::ranges::equal(name, kBlendModes[i])) return BlendModeFromSwf(static_cast<uint8_t>(i));
    }
  }
  return std::nullopt;
}

Value SetBlendMode(NativeCall& call) {
  Clip* clip = ThisClip(call);
  const std::optional<BlendMode> mode = BlendModeOf(call.Arg(0));
  if (clip == nullptr || !mode) return Value();
  DisplayEffects effects = clip->GetEffects();
  effects.blendMode = *mode;
  clip->SetEffects(effects);
  return Value();
}

Value GetCacheAsBitmap(NativeCall& call) {
  Clip* clip = ThisClip(call);
  if (clip == nullptr) return Value();
  const DisplayEffects effects = clip->GetEffects();
  return Value(effects.cacheAsBitmap || !effects.filters.empty());
}

Value SetCacheAsBitmap(NativeCall& call) {
  Clip* clip = ThisClip(call);
  if (clip == nullptr) return Value();
  DisplayEffects effects = clip->GetEffects();
  effects.cacheAsBitmap = call.BoolArg(0);
  clip->SetEffects(effects);
  return Value();
}

}  // namespace

void InstallMovieClipEffects(VmImpl& vm, Object* global) {
  (void)global;
  for (Object* prototype : {vm.protos.movieClip, vm.protos.textField}) {
    if (prototype == nullptr) continue;
    DefineNativeProperty(vm, prototype, "filters", GetFilters, SetFilters, kHidden | kSwf8Up);
    DefineNativeProperty(vm, prototype, "blendMode", GetBlendMode, SetBlendMode, kHidden | kSwf8Up);
    DefineNativeProperty(vm, prototype, "cacheAsBitmap", GetCacheAsBitmap, SetCacheAsBitmap, kHidden | kSwf8Up);
  }
}

}  // namespace swfplayer::avm1
