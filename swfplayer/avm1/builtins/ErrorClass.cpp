// Error: new Error(message); Error.prototype.name and message are "Error", toString answers
// the message.
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

Value ErrorConstruct(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  if (!call.Arg(0).IsUndefined()) self->Set(call.vm, call.vm.names.message, call.Arg(0));
  return Value();
}

Value ErrorCall(NativeCall& call) {
  Object* error = call.vm.heap.New<Object>(Value(call.vm.protos.error));
  if (!call.Arg(0).IsUndefined()) error->Set(call.vm, call.vm.names.message, call.Arg(0));
  return Value(error);
}

Value ErrorToString(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  return Value(call.vm.ToString(self->Get(call.vm, call.vm.names.message)));
}

}  // namespace

void InstallErrorClass(VmImpl& vm, Object* global) {
  using namespace property_flags;
  vm.protos.error = vm.NewObject();
  DefineClass(vm, global, "Error", ErrorCall, ErrorConstruct, vm.protos.error);
  vm.protos.error->DefineValue(vm, vm.names.message, Value(vm.Str("Error")), 0);
  vm.protos.error->DefineValue(vm, vm.names.name, Value(vm.Str("Error")), 0);
  DefineMethod(vm, vm.protos.error, "toString", ErrorToString, kDontEnum);
}

}  // namespace swfplayer::avm1
