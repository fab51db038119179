// Members, calls, `new`, functions, object and array literals, and the AS2 class actions.
#include <cmath>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/SuperObject.h"

namespace swfplayer::avm1 {

namespace {

// The arguments of a call, the first popped first.
std::vector<Value> PopArguments(Activation& activation) {
  const uint32_t asked = activation.vm.ToUint32(Pop(activation));
  const size_t count = std::min<size_t>(asked, activation.stack.size());
  std::vector<Value> args(count);
  for (size_t i = 0; i < count; ++i) args[i] = Pop(activation);
  return args;
}

// After a call the running code stops when its own timeline was removed by it.
bool TimelineStillThere(const Activation& activation) {
  return activation.baseWasGone || activation.baseClip == nullptr || !activation.baseClip->Gone();
}

FunctionObject* AsFunction(const Value& value) {
  return value.IsObject() && value.AsObject()->IsFunction() ? static_cast<FunctionObject*>(value.AsObject()) : nullptr;
}

// super(...): the superclass's constructor, run on the same `this`, one prototype higher.
Value CallSuperConstructor(VmImpl& vm, SuperObject* super, std::span<const Value> args) {
  if (super->home == nullptr) return Value();
  FunctionObject* constructor = AsFunction(super->home->Get(vm, vm.names.superConstructor));
  if (constructor == nullptr) return Value();
  const Value higher = super->home->Proto();
  // A built-in superclass fills in the object as its `new` would (super(42) of a Number).
  return vm.Invoke(constructor, Value(super->self), args, higher.IsObject() ? higher.AsObject() : nullptr, true);
}

Value CallValue(VmImpl& vm, const Value& function, const Value& thisValue, std::span<const Value> args) {
  if (function.IsObject() && function.AsObject()->Class() == ObjectClass::kSuper) {
    return CallSuperConstructor(vm, static_cast<SuperObject*>(function.AsObject()), args);
  }
  FunctionObject* callable = AsFunction(function);
  if (callable == nullptr) return Value();
  Object* home = thisValue.IsObject() ? thisValue.AsObject() : nullptr;
  return vm.Invoke(callable, thisValue, args, home, false);
}

Value Construct(VmImpl& vm, const Value& constructor, std::span<const Value> args) {
  FunctionObject* function = AsFunction(constructor);
  return function != nullptr ? vm.ConstructWith(function, args) : Value();
}

}  // namespace

Value GetMember(Activation& activation, const Value& object, const Value& name) {
  VmImpl& vm = activation.vm;
  if (object.IsObject()) {
    Object* target = object.AsObject();
    if (name.IsNumber() && target->Class() == ObjectClass::kArray) {
      const double index = name.AsNumber();
      auto* array = static_cast<ArrayObject*>(target);
      if (index >= 0 && index < 4294967295.0 && index == std::trunc(index) &&
          array->HasElement(static_cast<uint32_t>(index))) {
        return array->At(static_cast<uint32_t>(index));
      }
    }
    return target->Get(vm, vm.ToString(name));
  }
  if (object.IsNullish()) return Value();
  String* key = vm.ToString(name);
  Object* boxed = vm.Box(object);
  return boxed != nullptr ? boxed->Get(vm, key) : Value();
}

void SetMember(Activation& activation, const Value& object, const Value& name, const Value& value) {
  VmImpl& vm = activation.vm;
  if (!object.IsObject()) return;  // a primitive's temporary box would forget it at once
  Object* target = object.AsObject();
  if (name.IsNumber() && target->Class() == ObjectClass::kArray && !target->HasWatchers()) {
    const double index = name.AsNumber();
    if (index >= 0 && index < 4294967295.0 && index == std::trunc(index)) {
      static_cast<ArrayObject*>(target)->SetAt(vm, static_cast<uint32_t>(index), value);
      return;
    }
  }
  target->Set(vm, vm.ToString(name), value);
}

bool CallFunctionAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  String* name = vm.ToString(Pop(activation));
  const std::vector<Value> args = PopArguments(activation);
  Value function;
  Object* foundOn = nullptr;
  if (name->HasPathSeparator()) {
    function = GetVariable(activation, name);
  } else {
    function = LookupName(activation, name, &foundOn);
  }
  const Value thisValue = foundOn != nullptr ? Value(foundOn) : ObjectValue(vm.ObjectOf(TargetOrRoot(activation)));
  Push(activation, CallValue(vm, function, thisValue, args));
  return TimelineStillThere(activation);
}

bool CallMethodAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const Value nameValue = Pop(activation);
  const Value object = Pop(activation);
  const std::vector<Value> args = PopArguments(activation);
  if (object.IsNullish()) {
    Push(activation, Value());
    return true;
  }
  Object* self = vm.ToObject(object);
  String* name = nameValue.IsUndefined() ? vm.names.empty : vm.ToString(nameValue);
  Value result;
  if (name->Empty()) {
    // No name: the object itself is called (`super(...)` compiles to this too).
    result = CallValue(vm, Value(self), Value(), args);
  } else {
    Object* home = nullptr;
    const Value method = self->GetMethod(vm, name, &home);
    if (FunctionObject* function = AsFunction(method)) {
      const Value thisValue = self->Class() == ObjectClass::kSuper ? Value(static_cast<SuperObject*>(self)->self) : Value(self);
      result = vm.Invoke(function, thisValue, args, home, false);
    }
  }
  Push(activation, result);
  return TimelineStillThere(activation);
}

bool NewObjectAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  String* name = vm.ToString(Pop(activation));
  const std::vector<Value> args = PopArguments(activation);
  const Value constructor = LookupName(activation, name, nullptr);
  Push(activation, Construct(vm, constructor, args));
  return TimelineStillThere(activation);
}

bool NewMethodAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const Value nameValue = Pop(activation);
  const Value object = Pop(activation);
  const std::vector<Value> args = PopArguments(activation);
  if (object.IsNullish()) {
    Push(activation, Value());
    return true;
  }
  String* name = nameValue.IsUndefined() ? vm.names.empty : vm.ToString(nameValue);
  Object* self = vm.ToObject(object);  // a primitive is boxed even when it is to be constructed
  const Value constructor = name->Empty() ? Value(self) : self->Get(vm, name);
  Push(activation, Construct(vm, constructor, args));
  return TimelineStillThere(activation);
}

void DefineFunctionAction(Activation& activation, const format::Instruction& instruction) {
  VmImpl& vm = activation.vm;
  const format::FunctionInfo& info = activation.program->functions[instruction.a];
  ScriptCode code;
  code.program = activation.state;
  code.function = instruction.a;
  code.scope = activation.scope;
  code.constantPool = activation.pool;
  code.baseClip = activation.baseClip;
  code.swfVersion = activation.swfVersion;
  FunctionObject* function = vm.NewConstructor(vm.heap.New<FunctionObject>(Value(vm.protos.function), code));
  if (info.name == format::kNoString) {
    Push(activation, Value(function));
  } else {
    DefineLocal(activation, activation.state->strings[info.name], Value(function));
  }
}

void InitArrayAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const double count = vm.ToNumber(Pop(activation));
  if (count < 0 || count > 2147483647.0) {
    Push(activation, Value());
    return;
  }
  const auto length = static_cast<uint32_t>(std::isnan(count) ? 0 : count);
  if (length > vm.limits.maxArrayLength) vm.Abort("an array would be longer than the bound");
  ArrayObject* array = vm.NewArray();
  const size_t available = std::min<size_t>(length, activation.stack.size());
  array->Elements().reserve(available);
  for (size_t i = 0; i < available; ++i) array->Elements().push_back(Pop(activation));
  array->Sync(vm);
  // Elements past what the stack held are undefined.
  if (length > available) array->SetLength(vm, static_cast<int32_t>(length));
  Push(activation, Value(array));
}

void InitObjectAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const double count = vm.ToNumber(Pop(activation));
  if (count < 0 || count > 2147483647.0) {
    Push(activation, Value());
    return;
  }
  // Pairs past the stack are all undefined: setting one is the same as setting them all.
  const size_t pairs = std::min<size_t>(std::isnan(count) ? 0 : static_cast<size_t>(count), activation.stack.size() / 2 + 1);
  Object* object = vm.NewObject();
  for (size_t i = 0; i < pairs; ++i) {
    const Value value = Pop(activation);
    object->Set(vm, vm.ToString(Pop(activation)), value);
  }
  Push(activation, Value(object));
}

void ExtendsAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  Object* superclass = vm.ToObject(Pop(activation));
  Object* subclass = vm.ToObject(Pop(activation));
  Object* superPrototype = vm.ToObject(superclass->Get(vm, vm.names.prototype));
  Object* prototype = vm.NewInstance(Value(superPrototype));
  prototype->DefineValue(vm, vm.names.constructor, Value(superclass), property_flags::kDontEnum);
  prototype->DefineValue(vm, vm.names.superConstructor, Value(superclass), property_flags::kDontEnum);
  subclass->Set(vm, vm.names.prototype, Value(prototype));
}

void ImplementsAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  Object* constructor = vm.ToObject(Pop(activation));
  const Value countValue = Pop(activation);
  const int32_t asked = countValue.IsPrimitive() ? vm.ToInt32(countValue) : 0;
  const size_t count = std::min<size_t>(asked > 0 ? static_cast<size_t>(asked) : 0, activation.stack.size());
  std::vector<Object*> interfaces;
  for (size_t i = 0; i < count; ++i) interfaces.push_back(vm.ToObject(Pop(activation)));
  Object* prototype = vm.ToObject(constructor->Get(vm, vm.names.prototype));
  prototype->Interfaces() = std::move(interfaces);
}

bool IsInstanceOf(VmImpl& vm, const Value& object, Object* constructor) {
  if (!object.IsObject()) return false;
  const Value prototype = constructor->Get(vm, vm.names.prototype);
  if (!prototype.IsObject()) return false;
  std::vector<Object*> pending;
  if (object.AsObject()->Proto().IsObject()) pending.push_back(object.AsObject()->Proto().AsObject());
  for (int visited = 0; !pending.empty() && visited < 4096; ++visited) {
    Object* candidate = pending.back();
    pending.pop_back();
    if (candidate == prototype.AsObject()) return true;
    if (candidate->Proto().IsObject()) pending.push_back(candidate->Proto().AsObject());
    if (vm.SwfVersion() >= 7) {
      // An AS2 interface is a parallel chain: the interface itself, then its prototype's.
      for (Object* interface : candidate->Interfaces()) {
        if (interface == constructor) return true;
        const Value interfacePrototype = interface->Get(vm, vm.names.prototype);
        if (interfacePrototype.IsObject()) pending.push_back(interfacePrototype.AsObject());
      }
    }
  }
  return false;
}

}  // namespace swfplayer::avm1
