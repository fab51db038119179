// The calling convention of native functions (built-in methods and constructors written in
// C++). BUILTINS.md explains how a built-in class is written and installed with it.
#pragma once

#include <cstddef>
#include <span>

#include "swfplayer/avm1/Function.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

struct NativeCall {
  VmImpl& vm;
  Value thisValue;               // as the caller gave it (undefined for a plain call)
  std::span<const Value> args;
  FunctionObject* callee = nullptr;
  // `new X(...)`: thisValue is the object being made, whose __proto__ is X.prototype.
  bool constructing = false;

  size_t Count() const { return args.size(); }
  Value Arg(size_t i) const { return i < args.size() ? args[i] : Value(); }
  bool Has(size_t i) const { return i < args.size(); }

  // Arguments converted as the Flash Player converts them (valueOf and toString may run).
  double NumberArg(size_t i) const { return vm.ToNumber(Arg(i)); }
  int32_t IntArg(size_t i) const { return vm.ToInt32(Arg(i)); }
  String* StringArg(size_t i) const { return vm.ToString(Arg(i)); }
  bool BoolArg(size_t i) const { return vm.ToBoolean(Arg(i)); }
  // The argument when it is an object (functions included), else null.
  Object* ObjectArg(size_t i) const { return Arg(i).IsObject() ? Arg(i).AsObject() : nullptr; }

  // `this` when it is an object, else null.
  Object* ThisObject() const { return thisValue.IsObject() ? thisValue.AsObject() : nullptr; }
  // `this` when it is an object of the given class (a method called on the wrong kind of
  // object does nothing and answers undefined, as the Flash Player's do).
  template <class T>
  T* This(ObjectClass objectClass) const {
    Object* object = ThisObject();
    return object != nullptr && object->Class() == objectClass ? static_cast<T*>(object) : nullptr;
  }
};

}  // namespace swfplayer::avm1
