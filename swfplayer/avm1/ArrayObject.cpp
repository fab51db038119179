#include "swfplayer/avm1/ArrayObject.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// What a name that is not a plain index still means to the length: white space, a sign and
// digits (" 5", "-5", "4294967296"), read as the Flash Player reads them, wrapping modulo
// 2^32 into an int32; such a name stays a named property.
std::optional<int32_t> LooseIndex(const String* name) {
  std::u16string_view text = name->View();
  size_t i = 0;
  while (i < text.size() && IsNumberSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i == text.size()) return std::nullopt;
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(text[i] - u'0');
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

[[noreturn]] void TooLong(VmImpl& vm) {
  vm.Abort("an array would be longer than " + std::to_string(vm.limits.maxArrayLength) + " elements");
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
  const size_t now = elements_.capacity() * sizeof(Value) + order_.capacity() * sizeof(uint32_t) +
                     flags_.capacity() * sizeof(uint16_t) + named_.capacity() * sizeof(named_[0]);
  if (now == accounted_) return;
  vm.heap.Resize(this, static_cast<ptrdiff_t>(now) - static_cast<ptrdiff_t>(accounted_));
  accounted_ = now;
}

void ArrayObject::Grow(VmImpl& vm, uint32_t index) {
  if (index >= vm.limits.maxArrayLength) TooLong(vm);
  const size_t size = size_t{index} + 1;
  if (size > elements_.capacity()) {
    const size_t perElement = sizeof(Value) + (ordered_ ? sizeof(uint32_t) : 0) + (flags_.empty() ? 0 : sizeof(uint16_t));
    vm.heap.Reserve((size - elements_.size()) * perElement);
  }
  elements_.resize(size, Value::Hole());
  if (ordered_) order_.resize(size, 0);
  if (!flags_.empty()) flags_.resize(size, 0);
  Account(vm);
}

void ArrayObject::TrimHoles() {
  while (!elements_.empty() && elements_.back().IsHole()) {
    elements_.pop_back();
    if (ordered_) order_.pop_back();
    if (!flags_.empty()) flags_.pop_back();
  }
}

void ArrayObject::KeepOrder() {
  ordered_ = true;
  order_.resize(elements_.size());
  for (uint32_t i = 0; i < order_.size(); ++i) order_[i] = i;
  nextStamp_ = static_cast<uint32_t>(order_.size());
}

uint32_t ArrayObject::NextStamp() {
  if (nextStamp_ == std::numeric_limits<uint32_t>::max()) Renumber();
  return nextStamp_++;
}

void ArrayObject::Renumber() {
  // (stamp, who): an element's index, or ~i for named_[i].
  std::vector<std::pair<uint32_t, int64_t>> all;
  for (size_t i = 0; i < elements_.size(); ++i) {
    if (!elements_[i].IsHole()) all.emplace_back(order_[i], static_cast<int64_t>(i));
  }
  for (size_t i = 0; i < named_.size(); ++i) all.emplace_back(named_[i].second, ~static_cast<int64_t>(i));
  std::sort(all.begin(), all.end());
  uint32_t next = 0;
  for (const auto& [stamp, who] : all) {
    (who >= 0 ? order_[static_cast<size_t>(who)] : named_[static_cast<size_t>(~who)].second) = next++;
  }
  nextStamp_ = next;
}

void ArrayObject::Created(uint32_t index) {
  if (!ordered_) {
    // Made after every other element: the index order still is the creation order.
    if (size_t{index} + 1 == elements_.size()) return;
    KeepOrder();
  }
  order_[index] = NextStamp();
}

void ArrayObject::NamedAdded(String* name) {
  if (!ordered_) KeepOrder();
  const uint32_t stamp = NextStamp();
  for (auto& [known, when] : named_) {
    if (known == name) {
      when = stamp;
      return;
    }
  }
  named_.emplace_back(name, stamp);
}

void ArrayObject::NormalizeOrder() {
  if (!flags_.empty() && std::all_of(flags_.begin(), flags_.end(), [](uint16_t f) { return f == 0; })) {
    flags_.clear();
    flags_.shrink_to_fit();
  }
  if (!ordered_ || !named_.empty()) return;
  int64_t previous = -1;
  for (size_t i = 0; i < elements_.size(); ++i) {
    if (elements_[i].IsHole()) continue;
    if (order_[i] <= previous) return;
    previous = order_[i];
  }
  ordered_ = false;
  order_.clear();
  order_.shrink_to_fit();
}

void ArrayObject::SetAt(VmImpl& vm, uint32_t index, const Value& value) {
  const bool existed = HasElement(index);
  if (index >= elements_.size()) Grow(vm, index);
  elements_[index] = value;
  if (!existed) Created(index);
  if (index >= Length()) length_ = static_cast<int32_t>(index + 1);
}

void ArrayObject::ReplaceAt(VmImpl& vm, uint32_t index, const Value& value) {
  if (!HasElement(index)) {
    SetAt(vm, index, value);
    return;
  }
  const uint16_t flags = ElementFlags(index);
  if (flags & kDontDelete) {
    if (!(flags & kReadOnly)) elements_[index] = value;
    return;
  }
  if (!flags_.empty()) flags_[index] = 0;
  elements_[index] = value;
  Created(index);
  if (index >= Length()) length_ = static_cast<int32_t>(index + 1);
}

void ArrayObject::SetLength(VmImpl& vm, int32_t length) {
  if (length > 0 && static_cast<size_t>(length) > vm.limits.maxArrayLength) TooLong(vm);
  length_ = length;
  const uint32_t keep = Length();
  if (keep >= elements_.size()) return;
  if (flags_.empty()) {
    elements_.resize(keep);
    if (ordered_) order_.resize(keep);
  } else {
    for (size_t i = keep; i < elements_.size(); ++i) {
      if (!(flags_[i] & kDontDelete)) elements_[i] = Value::Hole();
    }
  }
  TrimHoles();
  Account(vm);
}

bool ArrayObject::DeleteAt(uint32_t index) {
  if (!HasElement(index) || (ElementFlags(index) & kDontDelete)) return false;
  elements_[index] = Value::Hole();
  if (!flags_.empty()) flags_[index] = 0;
  TrimHoles();
  return true;
}

void ArrayObject::Sync(VmImpl& vm) {
  if (elements_.size() > vm.limits.maxArrayLength) TooLong(vm);
  length_ = static_cast<int32_t>(elements_.size());
  ordered_ = false;
  order_.clear();
  flags_.clear();
  named_.clear();
  TrimHoles();
  Account(vm);
}

bool ArrayObject::FindOwn(VmImpl& vm, String* name, OwnSlot& slot) {
  if (const auto index = IndexOf(name)) {
    if (!HasElement(*index)) return Object::FindOwn(vm, name, slot);
    const uint16_t flags = ElementFlags(*index);
    if (!VisibleIn(flags, vm.SwfVersion())) return false;
    slot.value = elements_[*index];
    slot.flags = flags;
    return true;
  }
  if (name->SameName(*vm.names.length, vm.CaseSensitive())) {
    slot.value = Value(static_cast<double>(length_));
    slot.flags = kDontEnum | kDontDelete;
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
  if (const auto loose = LooseIndex(name); loose && *loose >= length_) {
    SetLength(vm, static_cast<int32_t>(static_cast<uint32_t>(*loose) + 1u));
  }
  const bool added = Properties().Find(name, vm.CaseSensitive()) == nullptr;
  Object::PutOwn(vm, name, value);
  if (added) {
    NamedAdded(name);
    Account(vm);
  }
}

bool ArrayObject::DeleteOwn(VmImpl& vm, String* name) {
  if (const auto index = IndexOf(name)) {
    if (HasElement(*index)) return DeleteAt(*index);
    return Object::DeleteOwn(vm, name);
  }
  if (name->SameName(*vm.names.length, vm.CaseSensitive())) return false;
  if (!Object::DeleteOwn(vm, name)) return false;
  std::erase_if(named_, [&](const auto& entry) { return entry.first->SameName(*name, vm.CaseSensitive()); });
  return true;
}

void ArrayObject::OwnKeys(VmImpl& vm, std::vector<String*>& out) {
  const uint8_t version = vm.SwfVersion();
  const auto listed = [&](size_t i) {
    if (elements_[i].IsHole()) return false;
    const uint16_t flags = ElementFlags(static_cast<uint32_t>(i));
    return !(flags & kDontEnum) && VisibleIn(flags, version);
  };
  if (!ordered_) {
    for (size_t i = elements_.size(); i-- > 0;) {
      if (listed(i)) out.push_back(vm.NumberString(static_cast<double>(i)));
    }
    Object::OwnKeys(vm, out);
    return;
  }
  // Newest first, elements and named properties together.
  std::vector<std::pair<uint32_t, String*>> keys;
  for (size_t i = 0; i < elements_.size(); ++i) {
    if (listed(i)) keys.emplace_back(order_[i], vm.NumberString(static_cast<double>(i)));
  }
  std::vector<String*> named;
  Object::OwnKeys(vm, named);
  for (String* name : named) {
    uint32_t stamp = 0;
    for (const auto& [known, when] : named_) {
      if (known == name) stamp = when;
    }
    keys.emplace_back(stamp, name);
  }
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& key : keys) out.push_back(key.second);
}

void ArrayObject::ChangeFlags(VmImpl& vm, String* name, uint16_t set, uint16_t clear) {
  const auto change = [&](uint16_t flags) { return static_cast<uint16_t>((flags & ~clear) | set); };
  const auto ensureFlags = [&] {
    if (flags_.empty()) {
      flags_.assign(elements_.size(), 0);
      Account(vm);
    }
  };
  if (name == nullptr) {
    if (!elements_.empty()) {
      ensureFlags();
      for (size_t i = 0; i < elements_.size(); ++i) {
        if (!elements_[i].IsHole()) flags_[i] = change(flags_[i]);
      }
    }
    Object::ChangeFlags(vm, nullptr, set, clear);
    return;
  }
  if (const auto index = IndexOf(name); index && HasElement(*index)) {
    ensureFlags();
    flags_[*index] = change(flags_[*index]);
    return;
  }
  Object::ChangeFlags(vm, name, set, clear);
}

void ArrayObject::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  for (const Value& element : elements_) tracer.Mark(element);
  for (const auto& entry : named_) tracer.Mark(entry.first);
}

}  // namespace swfplayer::avm1
