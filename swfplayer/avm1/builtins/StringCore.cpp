// The core of String that conversions need: the constructor (String(x) converts, new String(x)
// boxes with its own `length`) and String.prototype's toString and valueOf. The other String
// methods are installed on vm.protos.string by their own installer.
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Value StringCall(NativeCall& call) { return call.Has(0) ? Value(call.StringArg(0)) : Value(call.vm.names.empty); }

Value StringConstruct(NativeCall& call) {
  String* value = call.Has(0) ? call.StringArg(0) : call.vm.names.empty;
  auto* self = call.This<BoxedObject>(ObjectClass::kString);
  if (self == nullptr) return Value(call.vm.heap.New<BoxedObject>(Value(call.vm.protos.string), ObjectClass::kString, Value(value)));
  self->primitive = Value(value);
  return Value(self);
}

Value StringValueOf(NativeCall& call) {
  auto* self = call.This<BoxedObject>(ObjectClass::kString);
  return self != nullptr ? self->primitive : Value();
}

Object* NewBoxedString(VmImpl& vm, const Value& proto) {
  return vm.heap.New<BoxedObject>(proto, ObjectClass::kString, Value(vm.names.empty));
}

}  // namespace

void InstallStringCore(VmImpl& vm, Object* global) {
  vm.protos.string = NewBoxedString(vm, Value(vm.protos.object));
  vm.RegisterInstanceFactory(ObjectClass::kString, NewBoxedString);
  vm.protos.stringConstructor = DefineClass(vm, global, "String", StringCall, StringConstruct, vm.protos.string);
  DefineMethod(vm, vm.protos.string, "toString", StringValueOf);
  DefineMethod(vm, vm.protos.string, "valueOf", StringValueOf);
}

}  // namespace swfplayer::avm1
