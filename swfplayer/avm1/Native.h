// The calling convention of native functions (built-in methods and constructors written in
// C++). BUILTINS.md explains how a built-in class is written and installed with it.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <utility>

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
  // A constructor sets this to refuse its arguments: `new` then gives undefined.
  bool refused = false;

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

// For a native that calls back into script many times (sort with a compare function): what
// those calls allocate could otherwise only be collected once the native returned. The native
// marks everything it holds beyond its arguments and `this` and calls through this; its
// own frame then no longer keeps the collector out, though any other native below it on the
// stack still does.
class NativeRoots {
 public:
  NativeRoots(NativeCall& call, std::function<void(Tracer&)> mark)
      : call_(call), mark_([&call, mark = std::move(mark)](Tracer& tracer) {
          tracer.Mark(call.thisValue);
          for (const Value& arg : call.args) tracer.Mark(arg);
          tracer.Mark(call.callee);
          mark(tracer);
        }) {
    call_.vm.nativeRoots.push_back(&mark_);
  }
  ~NativeRoots() { call_.vm.nativeRoots.pop_back(); }
  NativeRoots(const NativeRoots&) = delete;
  NativeRoots& operator=(const NativeRoots&) = delete;

  // vm.Call(function, thisValue, args), without counting the calling native as on the stack.
  Value Call(const Value& function, const Value& thisValue, std::span<const Value> args) {
    VmImpl& vm = call_.vm;
    if (!vm.IsCallable(function)) return Value();
    --vm.nativeDepth;  // the count the native's own call added
    struct Restore {
      int& depth;
      ~Restore() { ++depth; }
    } restore{vm.nativeDepth};
    return vm.Invoke(static_cast<FunctionObject*>(function.AsObject()), thisValue, args, VmImpl::HomeFor(thisValue), false);
  }
  Value Call(const Value& function, std::span<const Value> args) { return Call(function, Value(), args); }

 private:
  NativeCall& call_;
  std::function<void(Tracer&)> mark_;
};

}  // namespace swfplayer::avm1
