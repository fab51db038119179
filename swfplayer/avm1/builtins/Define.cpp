#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

FunctionObject* DefineMethod(VmImpl& vm, Object* target, std::string_view name, NativeFunction function,
                             uint16_t flags) {
  FunctionObject* method = vm.NewNativeFunction(function);
  target->DefineValue(vm, vm.Str(name), Value(method), flags);
  return method;
}

void DefineConstant(VmImpl& vm, Object* target, std::string_view name, const Value& value, uint16_t flags) {
  target->DefineValue(vm, vm.Str(name), value, flags);
}

void DefineNativeProperty(VmImpl& vm, Object* target, std::string_view name, NativeFunction getter,
                          NativeFunction setter, uint16_t flags) {
  FunctionObject* get = vm.NewNativeFunction(getter);
  FunctionObject* set = setter != nullptr ? vm.NewNativeFunction(setter) : nullptr;
  target->DefineAccessor(vm, vm.Str(name), get, set, flags);
}

Object* DefinePackage(VmImpl& vm, Object* parent, std::string_view name, uint16_t flags) {
  Value existing;
  if (parent->TryGet(vm, vm.Str(name), existing) && existing.IsObject()) return existing.AsObject();
  Object* package = vm.NewObject();
  parent->DefineValue(vm, vm.Str(name), Value(package), flags);
  return package;
}

FunctionObject* DefineClass(VmImpl& vm, Object* global, std::string_view name, NativeFunction call,
                            NativeFunction construct, Object* prototype, uint16_t flags) {
  FunctionObject* constructor = vm.NewConstructor(vm.NewNativeFunction(call, construct), prototype);
  global->DefineValue(vm, vm.Str(name), Value(constructor), flags);
  return constructor;
}

}  // namespace swfplayer::avm1
