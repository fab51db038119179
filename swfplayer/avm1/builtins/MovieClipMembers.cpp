// MovieClip's setMask and attachBitmap, and its members that touch nothing a screen saver has: the pointer's and the keyboard's
// settings (kept as values: nothing reads them), and loading other movies (nothing is loaded,
// so the target plays on as it was, as when the Flash Player finds no file).
#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/builtins/BitmapDataObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Value Nothing(NativeCall&) { return Value(); }

// setMask(clip or target path); null or undefined unmasks.
Value SetMask(NativeCall& call) {
  VmImpl& vm = call.vm;
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  Clip* clip = self != nullptr ? self->GetClip(vm) : nullptr;
  if (clip == nullptr || !call.Has(0)) return Value();
  const Value target = call.Arg(0);
  Clip* mask = nullptr;
  if (target.IsObject() && target.AsObject()->Class() == ObjectClass::kMovieClip) {
    mask = static_cast<ClipObject*>(target.AsObject())->GetClip(vm);
  } else if (!target.IsNullish() && vm.activations != nullptr) {
    mask = ResolveClip(*vm.activations, target, clip, false);
  }
  clip->SetMask(mask);
  return Value(true);
}

// attachBitmap(bitmap, depth, pixelSnapping = "auto", smoothing = false): the BitmapData's own
// pixels shown at depth; both the bitmap and the depth are required. The arguments are read
// (which may run script) before the clip is looked up.
Value AttachBitmap(NativeCall& call) {
  VmImpl& vm = call.vm;
  if (!call.Has(1) || LiveBitmapData(call.Arg(0)) == nullptr) return Value();
  const int32_t depth = call.IntArg(1);
  Clip::PixelSnapping snapping = Clip::PixelSnapping::kAuto;
  if (call.Has(2) && call.Arg(2).IsString()) {
    const std::u16string_view name = call.StringArg(2)->View();
    if (name == u"always") snapping = Clip::PixelSnapping::kAlways;
    if (name == u"never") snapping = Clip::PixelSnapping::kNever;
  }
  const bool smoothing = call.Has(3) && call.BoolArg(3);
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  Clip* clip = self != nullptr ? self->GetClip(vm) : nullptr;
  BitmapDataObject* bitmap = LiveBitmapData(call.Arg(0));
  if (clip == nullptr || !clip->IsMovieClip() || bitmap == nullptr) return Value();
  KeepWhileShown(vm, *bitmap);
  clip->AttachBitmap(bitmap->bitmap, depth, snapping, smoothing);
  return Value();
}

}  // namespace

void InstallMovieClipMembers(VmImpl& vm, Object* global) {
  (void)global;
  Object* prototype = vm.protos.movieClip;
  prototype->DefineValue(vm, vm.Str("enabled"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("useHandCursor"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("tabChildren"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("_lockroot"), Value(false), kHidden | kSwf7Up);
  DefineMethod(vm, prototype, "setMask", SetMask, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "attachBitmap", AttachBitmap, kHidden | kSwf8Up);
  for (const char* name : {"loadMovie", "loadMovieNum", "unloadMovie", "unloadMovieNum", "loadVariables"}) {
    DefineMethod(vm, prototype, name, Nothing);
  }
}

}  // namespace swfplayer::avm1
