#include "swfplayer/avm1/builtins/ArrayAccess.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "swfplayer/avm1/Convert.h"

namespace swfplayer::avm1 {

namespace {

bool MayBeIndex(const String* name) {
  if (name->Empty()) return false;
  const char16_t first = name->At(0);
  return (first >= u'0' && first <= u'9') || first == u'-' || first == u'+' || IsNumberSpace(first);
}

bool HasResolve(VmImpl& vm, Object* object) {
  return object->Properties().Find(vm.names.resolve, vm.CaseSensitive()) != nullptr;
}

}  // namespace

bool ChainAnswersForElements(VmImpl& vm, Object* object) {
  if (HasResolve(vm, object)) return true;
  Value next = object->Proto();
  for (int depth = 0; next.IsObject() && depth < 256; ++depth) {
    Object* proto = next.AsObject();
    if (proto->Class() == ObjectClass::kMovieClip || proto->Class() == ObjectClass::kSuper) return true;
    if (proto->Class() == ObjectClass::kArray && static_cast<ArrayObject*>(proto)->Length() > 0) return true;
    bool answers = HasResolve(vm, proto);
    proto->Properties().ForEach([&](const Property& property) { answers = answers || MayBeIndex(property.name); });
    if (answers) return true;
    next = proto->Proto();
  }
  return false;
}

ElementAccess::ElementAccess(VmImpl& vm, Object* object) : vm_(vm), object_(object) {
  if (object->Class() != ObjectClass::kArray) return;
  array_ = static_cast<ArrayObject*>(object);
  if (!object->HasWatchers() && !ChainAnswersForElements(vm, object)) direct_ = array_;
}

uint32_t ElementAccess::Length() {
  if (array_ != nullptr) return array_->Length();
  const int32_t length = vm_.ToInt32(object_->Get(vm_, vm_.names.length));
  return length > 0 ? static_cast<uint32_t>(length) : 0;
}

Value ElementAccess::Get(uint32_t index) {
  if (direct_ != nullptr) return direct_->At(index);
  if (array_ != nullptr && array_->HasElement(index) && !object_->HasWatchers()) return array_->At(index);
  return object_->Get(vm_, Name(index));
}

bool ElementAccess::Has(uint32_t index) {
  if (array_ != nullptr && array_->HasElement(index)) return true;
  if (direct_ != nullptr) return false;
  return object_->Has(vm_, Name(index));
}

void ElementAccess::Replace(uint32_t index, const Value& value) {
  if (direct_ != nullptr) {
    direct_->ReplaceAt(vm_, index, value);
    return;
  }
  String* name = Name(index);
  object_->Delete(vm_, name);
  object_->Set(vm_, name, value);
}

void ElementAccess::Put(uint32_t index, const Value& value) {
  if (direct_ != nullptr) {
    if ((direct_->ElementFlags(index) & property_flags::kReadOnly) == 0) direct_->SetAt(vm_, index, value);
    return;
  }
  object_->Set(vm_, Name(index), value);
}

void ElementAccess::Delete(uint32_t index) {
  if (direct_ != nullptr) {
    direct_->DeleteAt(index);
    return;
  }
  object_->Delete(vm_, Name(index));
}

void ElementAccess::SetLength(uint32_t length) {
  if (length > vm_.limits.maxArrayLength) {
    vm_.Abort("an array would be longer than " + std::to_string(vm_.limits.maxArrayLength) + " elements");
  }
  if (array_ != nullptr) {
    array_->SetLength(vm_, static_cast<int32_t>(length));
  } else {
    object_->Set(vm_, vm_.names.length, Value(static_cast<double>(length)));
  }
}

}  // namespace swfplayer::avm1
