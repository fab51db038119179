// Arrays keep their elements densely (holes where an index was never set or was deleted) and
// their length beside them; to scripts the elements are still properties named "0", "1", ...
// and `length` is a DontEnum, DontDelete property, as in the Flash Player: setting an index at
// or past the length grows it, setting the length smaller drops the elements past it. A length
// past Limits::maxArrayLength abandons the running block.
//
// In the Flash Player an array is an ordinary object, so its elements have flags
// (ASSetPropFlags) and for-in lists them newest first, mixed with the named properties. Both
// are kept here only once an array needs them: while every element was made in index order and
// none has flags, the dense vector alone says it all.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
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
  // Stores an element, growing the length past index when needed (an existing element keeps
  // its flags and its place in for-in order).
  void SetAt(VmImpl& vm, uint32_t index, const Value& value);
  void Push(VmImpl& vm, const Value& value) { SetAt(vm, Length(), value); }
  // Sets the length (an ActionScript int32): elements past it are dropped (but those that are
  // DontDelete), a longer one leaves holes.
  void SetLength(VmImpl& vm, int32_t length);
  // Deletes an element unless it is DontDelete; whether it did.
  bool DeleteAt(uint32_t index);
  // How the Flash Player's Array methods move an element: the old one is deleted and the value
  // made anew (no flags, the newest in for-in order); one that cannot be deleted is assigned
  // instead, which a read-only one ignores.
  void ReplaceAt(VmImpl& vm, uint32_t index, const Value& value);
  uint16_t ElementFlags(uint32_t index) const { return index < flags_.size() ? flags_[index] : 0; }
  bool HasElementFlags() const { return !flags_.empty(); }
  // Forgets the creation order when it became the index order again (after methods that
  // rewrite the array), so the array is plain again.
  void NormalizeOrder();

  // The elements for built-ins that rearrange them in bulk: index i of the array is element i,
  // a hole is Value::Hole(). Call Sync after changing their number (element flags and for-in
  // order are then forgotten).
  std::vector<Value>& Elements() { return elements_; }
  // After Elements() was changed: the length becomes the number of elements.
  void Sync(VmImpl& vm);

  // The index a property name stands for: digits without a leading zero (but "0"), below 2^32-1.
  static std::optional<uint32_t> IndexOf(const String* name);

  void ChangeFlags(VmImpl& vm, String* name, uint16_t set, uint16_t clear) override;
  void Trace(Tracer& tracer) override;

 protected:
  bool FindOwn(VmImpl& vm, String* name, OwnSlot& slot) override;
  void PutOwn(VmImpl& vm, String* name, const Value& value) override;
  bool DeleteOwn(VmImpl& vm, String* name) override;
  void OwnKeys(VmImpl& vm, std::vector<String*>& out) override;

 private:
  void Account(VmImpl& vm);
  void Grow(VmImpl& vm, uint32_t index);
  void TrimHoles();
  // An element was just made at index: it is the newest in for-in order.
  void Created(uint32_t index);
  void KeepOrder();
  uint32_t NextStamp();
  void Renumber();
  void NamedAdded(String* name);

  std::vector<Value> elements_;  // never ends with a hole
  // When each element was made (a counter), kept once that is no longer the index order.
  std::vector<uint32_t> order_;
  // Each element's flags, or empty while none has any.
  std::vector<uint16_t> flags_;
  // When each named property was added, once order_ is kept.
  std::vector<std::pair<String*, uint32_t>> named_;
  uint32_t nextStamp_ = 0;
  bool ordered_ = false;  // order_ is kept
  int32_t length_ = 0;
  size_t accounted_ = 0;
};

}  // namespace swfplayer::avm1
