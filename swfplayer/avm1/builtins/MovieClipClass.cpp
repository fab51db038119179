// MovieClip: the class of every clip's script object. Its methods reach the display through
// Clip (Clip.h).
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

Value MovieClipCall(NativeCall&) { return Value(); }

}  // namespace

void InstallMovieClipClass(VmImpl& vm, Object* global) {
  vm.protos.movieClip = vm.NewObject();
  DefineClass(vm, global, "MovieClip", MovieClipCall, nullptr, vm.protos.movieClip);
}

}  // namespace swfplayer::avm1
