// ActionScript objects. Every object has its own properties (PropertyMap), a __proto__ (kept
// as a field: every lookup walks it), watchers (watch) and, for prototypes of AS2 classes, the
// interfaces they implement. Property access follows the Flash Player:
//   Get    walks the prototype chain; a getter (addProperty) runs with the original object as
//          `this`; when nothing answers, a __resolve function found on the chain is asked.
//   Set    runs the object's watcher first; an own getter/setter pair runs its setter; without
//          an own property, the first getter/setter pair up the chain takes the value; else
//          the value becomes an own property (read-only ones ignore it).
// Special objects (arrays, movie clips, super, ...) change what their *own* properties are
// through the virtual hooks at the end; everything else is shared.
#pragma once

#include <cstdint>
#include <vector>

#include "swfplayer/avm1/PropertyMap.h"

namespace swfplayer::avm1 {

class VmImpl;

// What kind of object this is: typeof, toString, instanceof of built-ins and the special
// behaviours ask it. Classes added by built-ins use the values after kFirstBuiltin.
enum class ObjectClass : uint8_t {
  kObject,
  kFunction,
  kArray,
  kBoolean,  // boxed primitives
  kNumber,
  kString,
  kMovieClip,
  kSuper,
  kArguments,
  kError,
  kDate,
  kXmlNode,
  kXml,
  kSound,
  kBitmapData,
  kBitmapFilter,
  kTextSnapshot,
  kFirstBuiltin,
};

// A getter and setter pair (addProperty); lives in a property's value slot.
class AccessorPair final : public Cell {
 public:
  AccessorPair(Object* getter, Object* setter) : getter(getter), setter(setter) {}
  void Trace(Tracer& tracer) override;
  Object* getter;
  Object* setter;
};

// An own property as a lookup finds it, without running anything.
struct OwnSlot {
  Value value;         // the data, or kAccessor (an AccessorPair)
  uint16_t flags = 0;
  Property* stored = nullptr;  // the map's entry when the property is a stored one
};

class Object : public Cell {
 public:
  // proto is the new object's __proto__ (undefined for none).
  explicit Object(Value proto, ObjectClass objectClass = ObjectClass::kObject)
      : proto_(proto), class_(objectClass) {}

  ObjectClass Class() const { return class_; }
  bool IsFunction() const { return class_ == ObjectClass::kFunction; }

  // --- what scripts do (the prototype chain, getters and setters, watchers, __resolve) ---
  Value Get(VmImpl& vm, String* name);
  void Set(VmImpl& vm, String* name, const Value& value);
  // Whether the chain has the property (the `in` test of variable lookups).
  bool Has(VmImpl& vm, String* name);
  // Get for a property the chain has (its getter run), without __resolve: false when none.
  bool TryGet(VmImpl& vm, String* name, Value& out);
  // Get for a method call: also the object it was found on, where `super` in it starts
  // (a method of the object itself counts as its prototype's; null when nothing had it).
  // Without resolve, __resolve is not asked (the conversions' valueOf and toString).
  Value GetMethod(VmImpl& vm, String* name, Object** home, bool resolve = true);
  bool HasWatchers() const { return !watchers_.empty(); }

  // Fast paths for variables: a plain object's own stored data property, found (and read or
  // written) without the general way; false sends the caller the general way.
  bool GetOwnData(String* name, bool caseSensitive, uint8_t version, Value& out) {
    if (specialOwn_) return false;
    const Property* property = properties_.Find(name, caseSensitive);
    if (property == nullptr || property->value.IsAccessor() || !VisibleIn(property->flags, version)) return false;
    out = property->value;
    return true;
  }
  bool SetOwnData(String* name, bool caseSensitive, uint8_t version, const Value& value) {
    if (specialOwn_ || !watchers_.empty()) return false;
    Property* property = properties_.Find(name, caseSensitive);
    if (property == nullptr || property->value.IsAccessor() || (property->flags & property_flags::kReadOnly) ||
        !VisibleIn(property->flags, version)) {
      return false;
    }
    property->value = value;
    return true;
  }
  bool HasOwn(VmImpl& vm, String* name);
  // An own property's value without running its getter (false for none, or a getter and
  // setter pair): what sortOn reads its fields with.
  bool GetOwnStored(VmImpl& vm, String* name, Value& out) {
    OwnSlot slot;
    if (!LookOwn(vm, name, slot) || slot.value.IsAccessor()) return false;
    out = slot.value;
    return true;
  }
  // Deletes an own property unless it is DontDelete; whether it did.
  bool Delete(VmImpl& vm, String* name);
  // The names for-in visits, in its order: the prototype's first, then the object's own
  // (newest first), each name once; DontEnum ones are left out.
  void EnumerableKeys(VmImpl& vm, std::vector<String*>& out);
  bool IsPropertyEnumerable(VmImpl& vm, String* name);

  Value Proto() const { return proto_; }
  void SetProto(const Value& proto) { proto_ = proto; }

  // --- what built-ins and the interpreter define (no setter or watcher runs) ---
  // Creates or replaces an own data property.
  void DefineValue(VmImpl& vm, String* name, const Value& value, uint16_t flags = 0);
  // addProperty: an own getter/setter pair (setter may be null: the property is then
  // read-only for scripts).
  void DefineAccessor(VmImpl& vm, String* name, Object* getter, Object* setter, uint16_t flags = 0);
  // ASSetPropFlags on one property, or on all of them (name null): flags = (flags & ~clear) | set.
  virtual void ChangeFlags(VmImpl& vm, String* name, uint16_t set, uint16_t clear);
  // watch/unwatch: the callback runs as (name, old, new, userData) before a Set stores.
  void Watch(VmImpl& vm, String* name, Object* callback, const Value& userData);
  bool Unwatch(VmImpl& vm, String* name);
  std::vector<Object*>& Interfaces() { return interfaces_; }

  // The stored property map, for built-ins that walk it.
  PropertyMap& Properties() { return properties_; }

  void Trace(Tracer& tracer) override;

 protected:
  // --- hooks for special objects: their own properties ---
  // Finds an own property (visible to this movie's version). The base looks in the map and
  // answers __proto__.
  virtual bool FindOwn(VmImpl& vm, String* name, OwnSlot& slot);
  // Stores an own data property that has no setter (the read-only check is done). The base
  // updates the map or adds to it.
  virtual void PutOwn(VmImpl& vm, String* name, const Value& value);
  virtual bool DeleteOwn(VmImpl& vm, String* name);
  // Appends the own enumerable names, in for-in order (newest first).
  virtual void OwnKeys(VmImpl& vm, std::vector<String*>& out);
  // What hasOwnProperty answers (a movie clip's children and display properties are found
  // by lookups but are not its own).
  virtual bool OwnsProperty(VmImpl& vm, String* name) {
    OwnSlot slot;
    return FindOwn(vm, name, slot);
  }

  // The map entry for an own property visible to this version, or null.
  Property* FindStored(VmImpl& vm, String* name);
  // Subclasses whose own properties are not just the map's say so (FindOwn is then asked).
  bool specialOwn_ = false;
  // Tells the heap how much the property storage grew since the last call.
  void AccountStorage(VmImpl& vm);

 private:
  friend class SuperObject;
  // FindOwn without the virtual call for plain objects.
  bool LookOwn(VmImpl& vm, String* name, OwnSlot& slot) {
    return specialOwn_ ? FindOwn(vm, name, slot) : Object::FindOwn(vm, name, slot);
  }
  struct Watcher {
    String* name;
    Object* callback;
    Value userData;
  };
  Value CallGetter(VmImpl& vm, const Value& accessor, Object* self);
  bool SetThroughChain(VmImpl& vm, String* name, const Value& value);

  PropertyMap properties_;
  Value proto_;
  std::vector<Watcher> watchers_;
  std::vector<Object*> interfaces_;
  size_t accountedStorage_ = 0;
  uint16_t protoFlags_ = property_flags::kDontEnum | property_flags::kDontDelete;
  bool hasProto_ = true;  // false once `delete __proto__` succeeded
  ObjectClass class_;
};

// A boxed primitive (new Boolean(true), new Number(1), new String("a"), or one made to read a
// primitive's member).
// A boxed string has its own `length` (DontEnum, DontDelete; a script may set it).
class BoxedObject final : public Object {
 public:
  BoxedObject(Value proto, ObjectClass objectClass, const Value& primitive)
      : Object(proto, objectClass), primitive(primitive) {
    specialOwn_ = true;
  }
  void Trace(Tracer& tracer) override;
  Value primitive;

 protected:
  bool FindOwn(VmImpl& vm, String* name, OwnSlot& slot) override;
  void PutOwn(VmImpl& vm, String* name, const Value& value) override;
  bool DeleteOwn(VmImpl& vm, String* name) override;

 private:
  bool IsLength(VmImpl& vm, String* name);
};

}  // namespace swfplayer::avm1
