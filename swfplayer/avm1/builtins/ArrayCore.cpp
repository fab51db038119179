// The core of Array that the interpreter itself needs (InitArray, `arguments`, apply): the
// constructor and a prototype that is an array. The Array methods are installed on
// vm.protos.array by their own installer.
#include <cmath>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

// new Array(n) with one number makes n holes (a negative n stays the length, as in the Flash
// Player); any other arguments are the elements.
void Fill(NativeCall& call, ArrayObject* array) {
  if (call.Count() == 1 && call.Arg(0).IsNumber()) {
    array->SetLength(call.vm, DoubleToInt32(call.Arg(0).AsNumber()));
    return;
  }
  for (const Value& element : call.args) array->Push(call.vm, element);
}

Value ArrayCall(NativeCall& call) {
  ArrayObject* array = call.vm.NewArray();
  Fill(call, array);
  return Value(array);
}

Value ArrayConstruct(NativeCall& call) {
  auto* array = call.This<ArrayObject>(ObjectClass::kArray);
  if (array == nullptr) return ArrayCall(call);
  Fill(call, array);
  return Value(array);
}

Object* NewArrayInstance(VmImpl& vm, const Value& proto) { return vm.heap.New<ArrayObject>(proto); }

}  // namespace

void InstallArrayCore(VmImpl& vm, Object* global) {
  vm.protos.array = vm.heap.New<ArrayObject>(Value(vm.protos.object));
  vm.RegisterInstanceFactory(ObjectClass::kArray, NewArrayInstance);
  DefineClass(vm, global, "Array", ArrayCall, ArrayConstruct, vm.protos.array);
}

}  // namespace swfplayer::avm1
