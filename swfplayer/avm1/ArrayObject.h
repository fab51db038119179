// Arrays keep their elements densely (holes where an index was never set or was deleted) and
// their length beside them; to scripts the elements are still properties named "0", "1", ...
// and `length` is a DontEnum, DontDelete property, as in the Flash Player: setting an index at
// or past the length grows it, setting the length smaller drops the elements past it. A length
// past Limits::maxArrayLength abandons the running block.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "swfplayer/avm1/Object.h"

namespace swfplayer::avm1 {

class ArrayObject final : public Object {
 public:
  ArrayObject(Value proto, ObjectClass objectClass = ObjectClass::kArray) : Object(proto, objectClass) {
    specialOwn_ = true;
  }

  // The length (a script may make it negative: there are then no elements).
  uint32_t Length() const { return length_ > 0 ? static_cast<uint32_t>(length_) : 0; }
  int32_t LengthProperty() const { return length_; }
  // The element at index (undefined for a hole or past the end).
  Value At(uint32_t index) const {
    return index < elements_.size() && !elements_[index].IsHole() ? elements_[index] : Value();
  }
  bool HasElement(uint32_t index) const { return index < elements_.size() && !elements_[index].IsHole(); }
  // Stores an element, growing the length past index when needed.
  void SetAt(VmImpl& vm, uint32_t index, const Value& value);
  void Push(VmImpl& vm, const Value& value) { SetAt(vm, Length(), value); }
  // Sets the length (an ActionScript int32): elements past it are dropped, a longer one
  // leaves holes.
  void SetLength(VmImpl& vm, int32_t length);
  void DeleteAt(uint32_t index);

  // The elements for built-ins that rearrange them (sort, reverse, splice): index i of the
  // array is element i, a hole is Value::Hole(). Call Sync after changing their number.
  std::vector<Value>& Elements() { return elements_; }
  // After Elements() was changed: the length becomes the number of elements.
  void Sync(VmImpl& vm);

  // The index a property name stands for: digits without a leading zero (but "0"), below 2^32-1.
  static std::optional<uint32_t> IndexOf(const String* name);

  void Trace(Tracer& tracer) override;

 protected:
  bool FindOwn(VmImpl& vm, String* name, OwnSlot& slot) override;
  void PutOwn(VmImpl& vm, String* name, const Value& value) override;
  bool DeleteOwn(VmImpl& vm, String* name) override;
  void OwnKeys(VmImpl& vm, std::vector<String*>& out) override;

 private:
  void Account(VmImpl& vm);

  std::vector<Value> elements_;
  int32_t length_ = 0;
  size_t accounted_ = 0;
};

}  // namespace swfplayer::avm1
