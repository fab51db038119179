// MovieClipLoader: loadClip reaches no network and no file, so every load fails as the Flash
// Player reports a file it cannot find: loadClip answers true, and on a later tick the loader's
// listeners (the loader itself among them) hear onLoadError(target, "URLNotFound"). The target
// clip plays on as it was.
#include "swfplayer/avm1/builtins/AsBroadcaster.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/Timers.h"

namespace swfplayer::avm1 {

namespace {

Value LoaderConstruct(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  InitializeBroadcaster(vm, self);
  const Value listener[] = {Value(self)};
  vm.CallMethod(Value(self), vm.Str("addListener"), listener);
  return Value();
}

Value LoaderCall(NativeCall&) { return Value(); }

// loadClip(url, target): false without both, as the Flash Player answers.
Value LoadClip(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr || call.Count() < 2 || call.Arg(1).IsNullish()) return Value(false);
  std::vector<Value> args{Value(vm.Str("onLoadError")), call.Arg(1), Value(vm.Str("URLNotFound"))};
  ScheduleCall(vm, self, vm.Str("broadcastMessage"), std::move(args), 0);
  return Value(true);
}

Value UnloadClip(NativeCall& call) { return Value(call.Count() >= 1 && !call.Arg(0).IsNullish()); }

// Nothing is on its way: no bytes loaded of none.
Value GetProgress(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* progress = vm.NewObject();
  progress->Set(vm, vm.Str("bytesLoaded"), Value(0));
  progress->Set(vm, vm.Str("bytesTotal"), Value(0));
  return Value(progress);
}

}  // namespace

void InstallMovieClipLoaderClass(VmImpl& vm, Object* global) {
  using namespace property_flags;
  FunctionObject* loader = DefineClass(vm, global, "MovieClipLoader", LoaderCall, LoaderConstruct, nullptr,
                                       kDontEnum | kSwf7Up);
  Object* prototype = loader->Get(vm, vm.names.prototype).AsObject();
  DefineMethod(vm, prototype, "loadClip", LoadClip);
  DefineMethod(vm, prototype, "unloadClip", UnloadClip);
  DefineMethod(vm, prototype, "getProgress", GetProgress);
}

}  // namespace swfplayer::avm1
