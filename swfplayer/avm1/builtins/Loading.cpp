#include "swfplayer/avm1/builtins/Loading.h"

#include "swfplayer/avm1/Native.h"
#include "swfplayer/avm1/builtins/Timers.h"

namespace swfplayer::avm1 {

namespace {

// The failure arrives with the next run of the timers after this tick's scripts, as early as a
// real request could answer.
constexpr double kFailureDelayMs = 1;

// A hidden field the first time, then set as a script would set it.
void SetField(VmImpl& vm, Object* target, const char* name, const Value& value) {
  String* key = vm.Str(name);
  if (target->Has(vm, key)) {
    target->Set(vm, key, value);
  } else {
    target->DefineValue(vm, key, value, property_flags::kHidden);
  }
}

}  // namespace

void StartFailingLoad(VmImpl& vm, Object* target) {
  SetField(vm, target, "_bytesLoaded", Value(0));
  SetField(vm, target, "_bytesTotal", Value());
  SetField(vm, target, "loaded", Value(false));
  ScheduleCall(vm, target, vm.Str("onData"), {Value()}, kFailureDelayMs);
}

Value BytesLoaded(NativeCall& call) {
  Object* self = call.ThisObject();
  return self != nullptr ? self->Get(call.vm, call.vm.Str("_bytesLoaded")) : Value();
}

Value BytesTotal(NativeCall& call) {
  Object* self = call.ThisObject();
  return self != nullptr ? self->Get(call.vm, call.vm.Str("_bytesTotal")) : Value();
}

}  // namespace swfplayer::avm1
