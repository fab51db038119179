// Boolean: Boolean(x) converts, new Boolean(x) boxes; toString and valueOf.
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

// Boolean() without an argument answers undefined, as the Flash Player does.
Value BooleanCall(NativeCall& call) { return call.Has(0) ? Value(call.BoolArg(0)) : Value(); }

Value BooleanConstruct(NativeCall& call) {
  const Value value(call.Has(0) && call.BoolArg(0));
  auto* self = call.This<BoxedObject>(ObjectClass::kBoolean);
  if (self == nullptr) return Value(call.vm.heap.New<BoxedObject>(Value(call.vm.protos.boolean), ObjectClass::kBoolean, value));
  self->primitive = value;
  return Value(self);
}

Value BooleanToString(NativeCall& call) {
  auto* self = call.This<BoxedObject>(ObjectClass::kBoolean);
  if (self == nullptr) return Value();
  return Value(call.vm.ToString(self->primitive));
}

Value BooleanValueOf(NativeCall& call) {
  auto* self = call.This<BoxedObject>(ObjectClass::kBoolean);
  return self != nullptr ? self->primitive : Value();
}

Object* NewBoxedBoolean(VmImpl& vm, const Value& proto) {
  return vm.heap.New<BoxedObject>(proto, ObjectClass::kBoolean, Value(false));
}

}  // namespace

void InstallBooleanClass(VmImpl& vm, Object* global) {
  vm.protos.boolean = NewBoxedBoolean(vm, Value(vm.protos.object));
  vm.RegisterInstanceFactory(ObjectClass::kBoolean, NewBoxedBoolean);
  vm.protos.booleanConstructor = DefineClass(vm, global, "Boolean", BooleanCall, BooleanConstruct, vm.protos.boolean);
  DefineMethod(vm, vm.protos.boolean, "toString", BooleanToString);
  DefineMethod(vm, vm.protos.boolean, "valueOf", BooleanValueOf);
}

}  // namespace swfplayer::avm1
