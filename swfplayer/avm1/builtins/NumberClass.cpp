// Number: Number(x) converts, new Number(x) boxes; toString(radix), valueOf and the constants.
#include <algorithm>
#include <cmath>
#include <limits>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

Value NumberCall(NativeCall& call) { return Value(call.Has(0) ? call.NumberArg(0) : 0.0); }

Value NumberConstruct(NativeCall& call) {
  const double value = call.Has(0) ? call.NumberArg(0) : 0.0;
  auto* self = call.This<BoxedObject>(ObjectClass::kNumber);
  if (self == nullptr) {
    return Value(call.vm.heap.New<BoxedObject>(Value(call.vm.protos.number), ObjectClass::kNumber, Value(value)));
  }
  self->primitive = Value(value);
  return Value(self);
}

// toString(radix): radixes outside 2..36 print in decimal; others print the integer part.
Value NumberToStringMethod(NativeCall& call) {
  auto* self = call.This<BoxedObject>(ObjectClass::kNumber);
  if (self == nullptr || !self->primitive.IsNumber()) return Value();
  int radix = 10;
  if (call.Has(0)) {
    const double asked = call.NumberArg(0);
    radix = std::isnan(asked) ? 0 : static_cast<int>(std::clamp(asked, -1e9, 1e9));
  }
  return Value(call.vm.Str(NumberToRadixString(self->primitive.AsNumber(), radix)));
}

Value NumberValueOf(NativeCall& call) {
  auto* self = call.This<BoxedObject>(ObjectClass::kNumber);
  return self != nullptr ? self->primitive : Value();
}

Object* NewBoxedNumber(VmImpl& vm, const Value& proto) {
  return vm.heap.New<BoxedObject>(proto, ObjectClass::kNumber, Value(0.0));
}

}  // namespace

void InstallNumberClass(VmImpl& vm, Object* global) {
  vm.protos.number = NewBoxedNumber(vm, Value(vm.protos.object));
  vm.RegisterInstanceFactory(ObjectClass::kNumber, NewBoxedNumber);
  vm.protos.numberConstructor = DefineClass(vm, global, "Number", NumberCall, NumberConstruct, vm.protos.number);
  DefineMethod(vm, vm.protos.number, "toString", NumberToStringMethod);
  DefineMethod(vm, vm.protos.number, "valueOf", NumberValueOf);
  DefineConstant(vm, vm.protos.numberConstructor, "MAX_VALUE", Value(std::numeric_limits<double>::max()));
  DefineConstant(vm, vm.protos.numberConstructor, "MIN_VALUE", Value(std::numeric_limits<double>::denorm_min()));
  DefineConstant(vm, vm.protos.numberConstructor, "NaN", Value(std::numeric_limits<double>::quiet_NaN()));
  DefineConstant(vm, vm.protos.numberConstructor, "NEGATIVE_INFINITY", Value(-std::numeric_limits<double>::infinity()));
  DefineConstant(vm, vm.protos.numberConstructor, "POSITIVE_INFINITY", Value(std::numeric_limits<double>::infinity()));
}

}  // namespace swfplayer::avm1
