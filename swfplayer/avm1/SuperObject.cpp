#include "swfplayer/avm1/SuperObject.h"

#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

Value SuperObject::FindMethod(VmImpl& vm, String* name, Object*& foundOn) {
  foundOn = nullptr;
  OwnSlot slot;
  Value next = SuperPrototype();
  for (int depth = 0; next.IsObject() && depth < 256; ++depth) {
    Object* object = next.AsObject();
    if (object->FindOwn(vm, name, slot)) {
      foundOn = object;
      if (!slot.value.IsAccessor()) return slot.value;
      auto* pair = static_cast<AccessorPair*>(slot.value.AsCell());
      return pair->getter != nullptr ? vm.CallAccessor(pair->getter, Value(self), {}) : Value();
    }
    next = object->proto_;
  }
  return Value();
}

Value SuperObject::GetThroughSuper(VmImpl& vm, String* name) {
  if (name->SameName(*vm.names.proto, vm.CaseSensitive())) return SuperPrototype();
  Object* foundOn = nullptr;
  return FindMethod(vm, name, foundOn);
}

void SuperObject::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  tracer.Mark(self);
  tracer.Mark(home);
}

}  // namespace swfplayer::avm1
