// How the Array methods reach the elements of `this`. Like the Flash Player's, they work on
// any object: on others than arrays through properties named "0", "1", ... and `length`. An
// array is reached directly, unless something could notice the difference (a watcher on it, or
// a prototype with numbered properties or __resolve that a hole would find).
#pragma once

#include <cstdint>

#include "swfplayer/avm1/ArrayObject.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

class ElementAccess {
 public:
  ElementAccess(VmImpl& vm, Object* object);

  // The array reached directly, or null.
  ArrayObject* Direct() const { return direct_; }
  Object* Target() const { return object_; }
  bool IsArray() const { return array_ != nullptr; }

  // The length as the methods see it (never negative).
  uint32_t Length();
  Value Get(uint32_t index);
  bool Has(uint32_t index);
  // ArrayObject::ReplaceAt's move, for any object.
  void Replace(uint32_t index, const Value& value);
  // A plain assignment (what push does).
  void Put(uint32_t index, const Value& value);
  void Delete(uint32_t index);
  void SetLength(uint32_t length);

 private:
  String* Name(uint32_t index) { return vm_.NumberString(static_cast<double>(index)); }

  VmImpl& vm_;
  Object* object_;
  ArrayObject* array_ = nullptr;   // object_ when it is an array
  ArrayObject* direct_ = nullptr;  // array_ when it is reached directly
};

// The elements of object converted to strings and joined with separator (join, toString).
String* JoinElements(VmImpl& vm, Object* object, String* separator);

// Whether the prototype chain above object could answer for a missing element (a numbered
// property, a getter or setter of one, __resolve).
bool ChainAnswersForElements(VmImpl& vm, Object* object);

}  // namespace swfplayer::avm1
