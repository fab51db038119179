#include "swfplayer/avm1/Object.h"

#include "swfplayer/avm1/SuperObject.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

namespace {
// Prototype chains longer than this end there (a chain may even be a cycle).
constexpr int kMaxChain = 256;
}  // namespace

void AccessorPair::Trace(Tracer& tracer) {
  tracer.Mark(getter);
  tracer.Mark(setter);
}

void BoxedObject::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  tracer.Mark(primitive);
}

bool BoxedObject::IsLength(VmImpl& vm, String* name) {
  return Class() == ObjectClass::kString && primitive.IsString() && name->SameName(*vm.names.length, vm.CaseSensitive()) &&
         FindStored(vm, name) == nullptr;
}

bool BoxedObject::FindOwn(VmImpl& vm, String* name, OwnSlot& slot) {
  if (IsLength(vm, name)) {
    slot.value = Value(static_cast<double>(primitive.AsString()->Length()));
    slot.flags = property_flags::kDontEnum | property_flags::kDontDelete;
    return true;
  }
  return Object::FindOwn(vm, name, slot);
}

void BoxedObject::PutOwn(VmImpl& vm, String* name, const Value& value) {
  if (IsLength(vm, name)) {
    DefineValue(vm, name, value, property_flags::kDontEnum | property_flags::kDontDelete);
    return;
  }
  Object::PutOwn(vm, name, value);
}

bool BoxedObject::DeleteOwn(VmImpl& vm, String* name) {
  if (IsLength(vm, name)) return false;
  return Object::DeleteOwn(vm, name);
}

Property* Object::FindStored(VmImpl& vm, String* name) {
  Property* property = properties_.Find(name, vm.CaseSensitive());
  if (property != nullptr && !VisibleIn(property->flags, vm.SwfVersion())) return nullptr;
  return property;
}

bool Object::FindOwn(VmImpl& vm, String* name, OwnSlot& slot) {
  if (Property* property = FindStored(vm, name)) {
    slot.value = property->value;
    slot.flags = property->flags;
    slot.stored = property;
    return true;
  }
  if (hasProto_ && name->SameName(*vm.names.proto, vm.CaseSensitive())) {
    slot.value = proto_;
    slot.flags = protoFlags_;
    return true;
  }
  return false;
}

void Object::PutOwn(VmImpl& vm, String* name, const Value& value) {
  if (name->SameName(*vm.names.proto, vm.CaseSensitive())) {
    proto_ = value;
    if (!hasProto_) {
      hasProto_ = true;
      protoFlags_ = 0;
    }
    return;
  }
  if (Property* property = properties_.Find(name, vm.CaseSensitive())) {
    // A property hidden from this version is replaced by the script's own.
    if (!VisibleIn(property->flags, vm.SwfVersion())) property->flags = 0;
    property->value = value;
    return;
  }
  properties_.Add(name, value, 0);
  AccountStorage(vm);
}

bool Object::DeleteOwn(VmImpl& vm, String* name) {
  if (Property* property = FindStored(vm, name)) {
    if (property->flags & property_flags::kDontDelete) return false;
    properties_.Remove(property);
    return true;
  }
  if (hasProto_ && name->SameName(*vm.names.proto, vm.CaseSensitive())) {
    if (protoFlags_ & property_flags::kDontDelete) return false;
    hasProto_ = false;
    proto_ = Value();
    return true;
  }
  return false;
}

void Object::OwnKeys(VmImpl& vm, std::vector<String*>& out) {
  const uint8_t version = vm.SwfVersion();
  properties_.ForEachNewestFirst([&](const Property& property) {
    if (!(property.flags & property_flags::kDontEnum) && VisibleIn(property.flags, version)) {
      out.push_back(property.name);
    }
  });
  if (hasProto_ && !(protoFlags_ & property_flags::kDontEnum)) out.push_back(vm.names.proto);
}

Value Object::CallGetter(VmImpl& vm, const Value& accessor, Object* self) {
  auto* pair = static_cast<AccessorPair*>(accessor.AsCell());
  if (pair->getter == nullptr) return Value();
  return vm.CallAccessor(pair->getter, Value(self), {});
}

Value Object::Get(VmImpl& vm, String* name) {
  if (class_ == ObjectClass::kSuper) return static_cast<SuperObject*>(this)->GetThroughSuper(vm, name);
  OwnSlot slot;
  Object* object = this;
  for (int depth = 0;;) {
    if (object->LookOwn(vm, name, slot)) {
      return slot.value.IsAccessor() ? CallGetter(vm, slot.value, this) : slot.value;
    }
    if (!object->proto_.IsObject() || ++depth >= kMaxChain) break;
    object = object->proto_.AsObject();
  }
  // Nothing answers: a __resolve function on the chain is asked.
  if (name->SameName(*vm.names.resolve, vm.CaseSensitive())) return Value();
  object = this;
  for (int depth = 0;;) {
    if (Property* property = object->FindStored(vm, vm.names.resolve)) {
      if (!property->value.IsAccessor()) {
        const Value argument(name);
        return vm.Call(property->value, Value(this), std::span<const Value>(&argument, 1));
      }
    }
    if (!object->proto_.IsObject() || ++depth >= kMaxChain) break;
    object = object->proto_.AsObject();
  }
  return Value();
}

bool Object::SetThroughChain(VmImpl& vm, String* name, const Value& value) {
  OwnSlot slot;
  Value next = proto_;
  for (int depth = 0; next.IsObject() && depth < kMaxChain; ++depth) {
    Object* object = next.AsObject();
    if (object->FindOwn(vm, name, slot) && slot.value.IsAccessor()) {
      auto* pair = static_cast<AccessorPair*>(slot.value.AsCell());
      if (pair->setter != nullptr) vm.CallAccessor(pair->setter, Value(this), std::span<const Value>(&value, 1));
      return true;
    }
    next = object->proto_;
  }
  return false;
}

void Object::Set(VmImpl& vm, String* name, const Value& newValue) {
  if (class_ == ObjectClass::kSuper) {
    static_cast<SuperObject*>(this)->self->Set(vm, name, newValue);
    return;
  }
  if (name->Empty()) return;
  Value value = newValue;
  for (const Watcher& watcher : watchers_) {
    if (!watcher.name->SameName(*name, vm.CaseSensitive())) continue;
    OwnSlot old;
    Value oldValue;
    if (FindOwn(vm, name, old) && !old.value.IsAccessor()) oldValue = old.value;
    const Value args[] = {Value(name), oldValue, value, watcher.userData};
    value = vm.Call(Value(watcher.callback), Value(this), args);
    break;
  }
  OwnSlot slot;
  if (LookOwn(vm, name, slot)) {
    if (slot.value.IsAccessor()) {
      auto* pair = static_cast<AccessorPair*>(slot.value.AsCell());
      if (pair->setter != nullptr) vm.CallAccessor(pair->setter, Value(this), std::span<const Value>(&value, 1));
      return;
    }
    if (slot.flags & property_flags::kReadOnly) return;
    if (slot.stored != nullptr) {
      slot.stored->value = value;  // a stored property of this very object
      return;
    }
    PutOwn(vm, name, value);
    return;
  }
  if (SetThroughChain(vm, name, value)) return;
  PutOwn(vm, name, value);
}

bool Object::Has(VmImpl& vm, String* name) {
  if (class_ == ObjectClass::kSuper) return static_cast<SuperObject*>(this)->self->Has(vm, name);
  OwnSlot slot;
  Object* object = this;
  for (int depth = 0;;) {
    if (object->LookOwn(vm, name, slot)) return true;
    if (!object->proto_.IsObject() || ++depth >= kMaxChain) return false;
    object = object->proto_.AsObject();
  }
}

bool Object::TryGet(VmImpl& vm, String* name, Value& out) {
  if (class_ == ObjectClass::kSuper) {
    if (!Has(vm, name)) return false;
    out = Get(vm, name);
    return true;
  }
  OwnSlot slot;
  Object* object = this;
  for (int depth = 0;;) {
    if (object->LookOwn(vm, name, slot)) {
      out = slot.value.IsAccessor() ? CallGetter(vm, slot.value, this) : slot.value;
      return true;
    }
    if (!object->proto_.IsObject() || ++depth >= kMaxChain) return false;
    object = object->proto_.AsObject();
  }
}

Value Object::GetMethod(VmImpl& vm, String* name, Object** home, bool resolve) {
  *home = nullptr;
  if (class_ == ObjectClass::kSuper) return static_cast<SuperObject*>(this)->FindMethod(vm, name, *home);
  OwnSlot slot;
  Object* object = this;
  for (int depth = 0;;) {
    if (object->FindOwn(vm, name, slot)) {
      *home = object != this ? object : (proto_.IsObject() ? proto_.AsObject() : nullptr);
      return slot.value.IsAccessor() ? CallGetter(vm, slot.value, this) : slot.value;
    }
    if (!object->proto_.IsObject() || ++depth >= kMaxChain) break;
    object = object->proto_.AsObject();
  }
  return resolve ? Get(vm, name) : Value();  // nothing had it: __resolve may still answer
}

bool Object::HasOwn(VmImpl& vm, String* name) {
  if (class_ == ObjectClass::kSuper) return static_cast<SuperObject*>(this)->self->HasOwn(vm, name);
  return OwnsProperty(vm, name);
}

bool Object::Delete(VmImpl& vm, String* name) {
  if (class_ == ObjectClass::kSuper) return false;
  return DeleteOwn(vm, name);
}

bool Object::IsPropertyEnumerable(VmImpl& vm, String* name) {
  OwnSlot slot;
  return FindOwn(vm, name, slot) && !(slot.flags & property_flags::kDontEnum);
}

void Object::EnumerableKeys(VmImpl& vm, std::vector<String*>& out) {
  if (class_ == ObjectClass::kSuper) return;
  std::vector<Object*> chain;
  for (Value next(this); next.IsObject() && chain.size() < kMaxChain; next = next.AsObject()->proto_) {
    chain.push_back(next.AsObject());
  }
  // The farthest prototype's names first; a name is listed at the nearest object that owns it.
  std::vector<String*> own;
  for (size_t level = chain.size(); level-- > 0;) {
    own.clear();
    chain[level]->OwnKeys(vm, own);
    for (String* name : own) {
      bool shadowed = false;
      for (size_t nearer = 0; nearer < level && !shadowed; ++nearer) shadowed = chain[nearer]->HasOwn(vm, name);
      if (!shadowed) out.push_back(name);
    }
  }
}

void Object::DefineValue(VmImpl& vm, String* name, const Value& value, uint16_t flags) {
  if (name->SameName(*vm.names.proto, vm.CaseSensitive())) {
    proto_ = value;
    protoFlags_ = flags;
    hasProto_ = true;
    return;
  }
  if (Property* property = properties_.Find(name, vm.CaseSensitive())) {
    property->value = value;
    property->flags = flags;
    return;
  }
  properties_.Add(name, value, flags);
  AccountStorage(vm);
}

void Object::DefineAccessor(VmImpl& vm, String* name, Object* getter, Object* setter, uint16_t flags) {
  const Value pair = Value::Accessor(vm.heap.New<AccessorPair>(getter, setter));
  if (Property* property = properties_.Find(name, vm.CaseSensitive())) {
    property->value = pair;
    return;
  }
  properties_.Add(name, pair, flags);
  AccountStorage(vm);
}

void Object::ChangeFlags(VmImpl& vm, String* name, uint16_t set, uint16_t clear) {
  const auto change = [&](uint16_t flags) { return static_cast<uint16_t>((flags & ~clear) | set); };
  if (name == nullptr) {
    properties_.ForEach([&](Property& property) { property.flags = change(property.flags); });
    if (hasProto_) protoFlags_ = change(protoFlags_);
    return;
  }
  if (Property* property = properties_.Find(name, vm.CaseSensitive())) {
    property->flags = change(property->flags);
  } else if (hasProto_ && name->SameName(*vm.names.proto, vm.CaseSensitive())) {
    protoFlags_ = change(protoFlags_);
  }
}

void Object::Watch(VmImpl& vm, String* name, Object* callback, const Value& userData) {
  for (Watcher& watcher : watchers_) {
    if (watcher.name->SameName(*name, vm.CaseSensitive())) {
      watcher.callback = callback;
      watcher.userData = userData;
      return;
    }
  }
  watchers_.push_back(Watcher{name, callback, userData});
  AccountStorage(vm);
}

bool Object::Unwatch(VmImpl& vm, String* name) {
  for (auto it = watchers_.begin(); it != watchers_.end(); ++it) {
    if (it->name->SameName(*name, vm.CaseSensitive())) {
      watchers_.erase(it);
      return true;
    }
  }
  return false;
}

void Object::AccountStorage(VmImpl& vm) {
  const size_t now = properties_.Bytes() + watchers_.capacity() * sizeof(Watcher) +
                     interfaces_.capacity() * sizeof(Object*);
  if (now == accountedStorage_) return;
  vm.heap.Resize(this, static_cast<ptrdiff_t>(now) - static_cast<ptrdiff_t>(accountedStorage_));
  accountedStorage_ = now;
}

void Object::Trace(Tracer& tracer) {
  properties_.Trace(tracer);
  tracer.Mark(proto_);
  for (const Watcher& watcher : watchers_) {
    tracer.Mark(watcher.name);
    tracer.Mark(watcher.callback);
    tracer.Mark(watcher.userData);
  }
  for (Object* interface : interfaces_) tracer.Mark(interface);
}

}  // namespace swfplayer::avm1
