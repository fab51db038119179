// Object: its constructor, Object.prototype's members and Object.registerClass.
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Value ObjectCall(NativeCall& call) {
  // Object() with nothing to box makes an object without a prototype, as the Flash Player does.
  if (call.Arg(0).IsNullish()) return Value(call.vm.heap.New<Object>(Value()));
  return Value(call.vm.ToObject(call.Arg(0)));
}

Value ObjectConstruct(NativeCall& call) {
  if (call.Arg(0).IsNullish()) return call.thisValue;
  return Value(call.vm.ToObject(call.Arg(0)));
}

Value ToStringMethod(NativeCall& call) {
  Object* self = call.ThisObject();
  return Value(self != nullptr && self->IsFunction() ? call.vm.names.typeFunction : call.vm.names.objectObject);
}

Value ValueOfMethod(NativeCall& call) { return call.thisValue; }

Value HasOwnProperty(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value(false);
  return Value(self->HasOwn(call.vm, call.StringArg(0)));
}

Value IsPropertyEnumerable(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value(false);
  return Value(self->IsPropertyEnumerable(call.vm, call.StringArg(0)));
}

Value IsPrototypeOf(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Arg(0).IsObject()) return Value(false);
  Value next = call.Arg(0).AsObject()->Proto();
  for (int depth = 0; next.IsObject() && depth < 256; ++depth, next = next.AsObject()->Proto()) {
    if (next.AsObject() == self) return Value(true);
  }
  return Value(false);
}

Value AddProperty(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value(false);
  String* name = call.StringArg(0);
  Object* getter = call.ObjectArg(1);
  if (name->Empty() || getter == nullptr) return Value(false);
  if (Object* setter = call.ObjectArg(2)) {
    self->DefineAccessor(call.vm, name, getter, setter, 0);
  } else if (call.Arg(2).IsNull()) {
    self->DefineAccessor(call.vm, name, getter, nullptr, kReadOnly);
  } else {
    return Value(false);
  }
  return Value(true);
}

Value WatchMethod(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value(false);
  String* name = call.StringArg(0);
  if (!call.vm.IsCallable(call.Arg(1))) return Value(false);
  self->Watch(call.vm, name, call.ObjectArg(1), call.Arg(2));
  return Value(true);
}

Value UnwatchMethod(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value(false);
  return Value(self->Unwatch(call.vm, call.StringArg(0)));
}

// Object.registerClass(exportName, constructor): timeline instances of the symbol exported
// under that name (and attachMovie's) get the class; null forgets it.
Value RegisterClass(NativeCall& call) {
  if (call.Count() < 2) return Value(false);
  const Value constructor = call.Arg(1);
  if (!constructor.IsNullish() && !call.vm.IsCallable(constructor)) return Value(false);
  std::u16string name(call.StringArg(0)->View());
  if (constructor.IsNullish()) {
    call.vm.registeredClasses.erase(name);
  } else {
    call.vm.registeredClasses[name] = constructor.AsObject();
  }
  return Value(true);
}

}  // namespace

void InstallObjectClass(VmImpl& vm, Object* global) {
  Object* prototype = vm.protos.object;
  FunctionObject* constructor = DefineClass(vm, global, "Object", ObjectCall, ObjectConstruct, prototype);
  DefineMethod(vm, constructor, "registerClass", RegisterClass, kConstant);
  DefineMethod(vm, prototype, "addProperty", AddProperty, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "hasOwnProperty", HasOwnProperty, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "isPropertyEnumerable", IsPropertyEnumerable, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "isPrototypeOf", IsPrototypeOf, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "toString", ToStringMethod);
  DefineMethod(vm, prototype, "valueOf", ValueOfMethod);
  DefineMethod(vm, prototype, "watch", WatchMethod, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "unwatch", UnwatchMethod, kHidden | kSwf6Up);
}

}  // namespace swfplayer::avm1
