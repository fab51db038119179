#include "swfplayer/avm1/builtins/AsBroadcaster.h"

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

struct BroadcasterState final : VmImpl::ExtensionState {
  FunctionObject* addListener = nullptr;
  FunctionObject* removeListener = nullptr;
  FunctionObject* broadcastMessage = nullptr;
  void Trace(Tracer& tracer) override {
    tracer.Mark(addListener);
    tracer.Mark(removeListener);
    tracer.Mark(broadcastMessage);
  }
};

String* ListenersName(VmImpl& vm) { return vm.Str("_listeners"); }

// The listeners as values (a copy: a listener may change the list while it is told).
std::vector<Value> Listeners(VmImpl& vm, Object* broadcaster, Object** list) {
  std::vector<Value> out;
  const Value value = broadcaster->Get(vm, ListenersName(vm));
  *list = value.IsObject() ? value.AsObject() : nullptr;
  if (*list == nullptr) return out;
  if ((*list)->Class() == ObjectClass::kArray) {
    auto* array = static_cast<ArrayObject*>(*list);
    for (uint32_t i = 0; i < array->Length(); ++i) out.push_back(array->At(i));
  } else {
    const int32_t length = vm.ToInt32((*list)->Get(vm, vm.names.length));
    for (int32_t i = 0; i < length && static_cast<size_t>(i) < vm.limits.maxArrayLength; ++i) {
      out.push_back((*list)->Get(vm, vm.NumberString(i)));
    }
  }
  return out;
}

Value AddListener(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value(true);
  Object* list = nullptr;
  const std::vector<Value> listeners = Listeners(vm, self, &list);
  for (const Value& listener : listeners) {
    if (VmImpl::StrictEquals(listener, call.Arg(0))) return Value(true);
  }
  if (list != nullptr && list->Class() == ObjectClass::kArray) {
    static_cast<ArrayObject*>(list)->Push(vm, call.Arg(0));
  } else if (list != nullptr) {
    const Value arg = call.Arg(0);
    vm.CallMethod(Value(list), vm.Str("push"), std::span<const Value>(&arg, 1));
  }
  return Value(true);
}

Value RemoveListener(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value(false);
  Object* list = nullptr;
  const std::vector<Value> listeners = Listeners(vm, self, &list);
  for (size_t i = 0; i < listeners.size(); ++i) {
    if (!VmImpl::StrictEquals(listeners[i], call.Arg(0))) continue;
    if (list->Class() == ObjectClass::kArray) {
      auto& elements = static_cast<ArrayObject*>(list)->Elements();
      if (i < elements.size()) elements.erase(elements.begin() + static_cast<ptrdiff_t>(i));
      static_cast<ArrayObject*>(list)->Sync(vm);
    } else {
      const Value args[] = {Value(static_cast<double>(i)), Value(1)};
      vm.CallMethod(Value(list), vm.Str("splice"), args);
    }
    return Value(true);
  }
  return Value(false);
}

Value BroadcastMessage(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value();
  Broadcast(call.vm, self, call.StringArg(0), call.args.subspan(1));
  return Value();
}

Value Initialize(NativeCall& call) {
  if (call.Has(0)) InitializeBroadcaster(call.vm, call.vm.ToObject(call.Arg(0)));
  return Value();
}

Value BroadcasterConstruct(NativeCall& call) { return call.thisValue; }

}  // namespace

void InitializeBroadcaster(VmImpl& vm, Object* object) {
  BroadcasterState& state = vm.State<BroadcasterState>("broadcaster");
  object->DefineValue(vm, ListenersName(vm), Value(vm.NewArray()), kDontEnum);
  object->DefineValue(vm, vm.Str("addListener"), ObjectValue(state.addListener), kHidden);
  object->DefineValue(vm, vm.Str("removeListener"), ObjectValue(state.removeListener), kHidden);
  object->DefineValue(vm, vm.Str("broadcastMessage"), ObjectValue(state.broadcastMessage), kHidden);
}

bool Broadcast(VmImpl& vm, Object* broadcaster, String* name, std::span<const Value> args) {
  Object* list = nullptr;
  const std::vector<Value> listeners = Listeners(vm, broadcaster, &list);
  for (const Value& listener : listeners) {
    if (listener.IsObject()) vm.CallMethod(listener, name, args);
  }
  return !listeners.empty();
}

void InstallAsBroadcaster(VmImpl& vm, Object* global) {
  FunctionObject* broadcaster = DefineClass(vm, global, "AsBroadcaster", BroadcasterConstruct, BroadcasterConstruct);
  BroadcasterState& state = vm.State<BroadcasterState>("broadcaster");
  DefineMethod(vm, broadcaster, "initialize", Initialize);
  state.addListener = DefineMethod(vm, broadcaster, "addListener", AddListener);
  state.removeListener = DefineMethod(vm, broadcaster, "removeListener", RemoveListener);
  state.broadcastMessage = DefineMethod(vm, broadcaster, "broadcastMessage", BroadcastMessage);
}

}  // namespace swfplayer::avm1
