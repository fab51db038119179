#include "swfplayer/avm1/ArrayObject.h"

#include <cmath>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

namespace {

// What a name that is not a plain index still means to the length: white space, a sign and
// digits (" 5", "05"), as the Flash Player reads them; such a name stays a named property.
std::optional<int64_t> LooseIndex(const String* name) {
  std::u16string_view text = name->View();
  size_t i = 0;
  while (i < text.size() && IsNumberSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    value = value * 10 + (text[i] - u'0');
    if (value > 0xFFFFFFFFll) return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace

std::optional<uint32_t> ArrayObject::IndexOf(const String* name) {
  const uint32_t length = name->Length();
  if (length == 0 || length > 10) return std::nullopt;
  const char16_t* units = name->Data();
  if (units[0] == u'0' && length > 1) return std::nullopt;
  uint64_t value = 0;
  for (uint32_t i = 0; i < length; ++i) {
    if (units[i] < u'0' || units[i] > u'9') return std::nullopt;
    value = value * 10 + (units[i] - u'0');
  }
  if (value >= 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(value);
}

void ArrayObject::Account(VmImpl& vm) {
  const size_t now = elements_.capacity() * sizeof(Value);
  if (now == accounted_) return;
  vm.heap.Resize(this, static_cast<ptrdiff_t>(now) - static_cast<ptrdiff_t>(accounted_));
  accounted_ = now;
}

void ArrayObject::SetAt(VmImpl& vm, uint32_t index, const Value& value) {
  if (index >= vm.limits.maxArrayLength) {
    vm.Abort("an array would be longer than " + std::to_string(vm.limits.maxArrayLength) + " elements");
  }
  if (index >= elements_.size()) {
    if (index >= elements_.capacity()) {
      vm.heap.Reserve((size_t{index} + 1 - elements_.size()) * sizeof(Value));
    }
    elements_.resize(size_t{index} + 1, Value::Hole());
    Account(vm);
  }
  elements_[index] = value;
  if (index >= Length()) length_ = static_cast<int32_t>(index + 1);
}

void ArrayObject::SetLength(VmImpl& vm, int32_t length) {
  if (length > 0 && static_cast<size_t>(length) > vm.limits.maxArrayLength) {
    vm.Abort("an array would be longer than " + std::to_string(vm.limits.maxArrayLength) + " elements");
  }
  length_ = length;
  if (Length() < elements_.size()) {
    elements_.resize(Length());
    Account(vm);
  }
}

void ArrayObject::DeleteAt(uint32_t index) {
  if (index < elements_.size()) elements_[index] = Value::Hole();
}

void ArrayObject::Sync(VmImpl& vm) {
  if (elements_.size() > vm.limits.maxArrayLength) {
    vm.Abort("an array would be longer than " + std::to_string(vm.limits.maxArrayLength) + " elements");
  }
  length_ = static_cast<int32_t>(elements_.size());
  Account(vm);
}

bool ArrayObject::FindOwn(VmImpl& vm, String* name, OwnSlot& slot) {
  if (const auto index = IndexOf(name)) {
    if (!HasElement(*index)) return false;
    slot.value = elements_[*index];
    slot.flags = 0;
    return true;
  }
  if (name->SameName(*vm.names.length, vm.CaseSensitive())) {
    slot.value = Value(static_cast<double>(length_));
    slot.flags = property_flags::kDontEnum | property_flags::kDontDelete;
    return true;
  }
  return Object::FindOwn(vm, name, slot);
}

void ArrayObject::PutOwn(VmImpl& vm, String* name, const Value& value) {
  if (const auto index = IndexOf(name)) {
    SetAt(vm, *index, value);
    return;
  }
  if (name->SameName(*vm.names.length, vm.CaseSensitive())) {
    SetLength(vm, DoubleToInt32(vm.ToNumber(value)));
    return;
  }
  if (const auto loose = LooseIndex(name); loose && *loose >= length_ && *loose < 0x7FFFFFFF) {
    SetLength(vm, static_cast<int32_t>(*loose + 1));
  }
  Object::PutOwn(vm, name, value);
}

bool ArrayObject::DeleteOwn(VmImpl& vm, String* name) {
  if (const auto index = IndexOf(name)) {
    if (!HasElement(*index)) return false;
    DeleteAt(*index);
    return true;
  }
  if (name->SameName(*vm.names.length, vm.CaseSensitive())) return false;
  return Object::DeleteOwn(vm, name);
}

void ArrayObject::OwnKeys(VmImpl& vm, std::vector<String*>& out) {
  for (size_t i = elements_.size(); i-- > 0;) {
    if (!elements_[i].IsHole()) out.push_back(vm.NumberString(static_cast<double>(i)));
  }
  Object::OwnKeys(vm, out);
}

void ArrayObject::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  for (const Value& element : elements_) tracer.Mark(element);
}

}  // namespace swfplayer::avm1
