// MovieClip's setMask, and its members that touch nothing a screen saver has: the pointer's and the keyboard's
// settings (kept as values: nothing reads them), and loading other movies (nothing is loaded,
// so the target plays on as it was, as when the Flash Player finds no file).
#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/ClipObject.h"
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

}  // namespace

void InstallMovieClipMembers(VmImpl& vm, Object* global) {
  (void)global;
  Object* prototype = vm.protos.movieClip;
  prototype->DefineValue(vm, vm.Str("enabled"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("useHandCursor"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("tabChildren"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("_lockroot"), Value(false), kHidden | kSwf7Up);
  DefineMethod(vm, prototype, "setMask", SetMask, kHidden | kSwf6Up);
  for (const char* name : {"loadMovie", "loadMovieNum", "unloadMovie", "unloadMovieNum", "loadVariables"}) {
    DefineMethod(vm, prototype, name, Nothing);
  }
}

}  // namespace swfplayer::avm1
