// MovieClip's members that touch nothing a screen saver has: the pointer's and the keyboard's
// settings (kept as values: nothing reads them), and loading other movies (nothing is loaded,
// so the target plays on as it was, as when the Flash Player finds no file).
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Value Nothing(NativeCall&) { return Value(); }

}  // namespace

void InstallMovieClipMembers(VmImpl& vm, Object* global) {
  (void)global;
  Object* prototype = vm.protos.movieClip;
  prototype->DefineValue(vm, vm.Str("enabled"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("useHandCursor"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("tabChildren"), Value(true), kHidden | kSwf6Up);
  prototype->DefineValue(vm, vm.Str("_lockroot"), Value(false), kHidden | kSwf7Up);
  for (const char* name : {"loadMovie", "loadMovieNum", "unloadMovie", "unloadMovieNum", "loadVariables"}) {
    DefineMethod(vm, prototype, name, Nothing);
  }
}

}  // namespace swfplayer::avm1
