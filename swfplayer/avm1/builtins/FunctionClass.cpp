// Function: Function.prototype.call and apply.
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Value FunctionCall(NativeCall& call) { return Value(call.vm.NewObject()); }
Value FunctionConstruct(NativeCall& call) { return call.thisValue; }

// The `this` call and apply give: the object passed, primitives boxed, the global object for
// undefined and null.
Value ThisFor(VmImpl& vm, const Value& value) {
  if (value.IsObject()) return value;
  Object* boxed = vm.Box(value);
  return Value(boxed != nullptr ? boxed : vm.Global());
}

Value CallMethod(NativeCall& call) {
  if (!call.vm.IsCallable(call.thisValue)) return Value();
  const std::span<const Value> rest = call.args.size() > 1 ? call.args.subspan(1) : std::span<const Value>();
  // The collector may run while the called function does: a whole program often runs inside
  // one call or apply.
  NativeRoots roots(call, [](Tracer&) {});
  return roots.Call(call.thisValue, ThisFor(call.vm, call.Arg(0)), rest);
}

Value ApplyMethod(NativeCall& call) {
  if (!call.vm.IsCallable(call.thisValue)) return Value();
  std::vector<Value> args;
  if (Object* list = call.ObjectArg(1)) {
    if (list->Class() == ObjectClass::kArray) {
      auto* array = static_cast<ArrayObject*>(list);
      for (uint32_t i = 0; i < array->Length(); ++i) args.push_back(array->At(i));
    } else {
      const int32_t length = call.vm.ToInt32(list->Get(call.vm, call.vm.names.length));
      for (int32_t i = 0; i < length && static_cast<size_t>(i) < call.vm.limits.maxStackValues; ++i) {
        args.push_back(list->Get(call.vm, call.vm.NumberString(i)));
      }
    }
  }
  NativeRoots roots(call, [&args](Tracer& tracer) {
    for (const Value& arg : args) tracer.Mark(arg);
  });
  return roots.Call(call.thisValue, ThisFor(call.vm, call.Arg(0)), args);
}

}  // namespace

void InstallFunctionClass(VmImpl& vm, Object* global) {
  Object* prototype = vm.protos.function;
  DefineClass(vm, global, "Function", FunctionCall, FunctionConstruct, prototype);
  DefineMethod(vm, prototype, "call", CallMethod, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "apply", ApplyMethod, kHidden | kSwf6Up);
}

}  // namespace swfplayer::avm1
