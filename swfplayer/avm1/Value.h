// An ActionScript value: 16 bytes, copied freely. Strings and objects live in the script heap
// (Heap.h); a Value does not keep them alive by itself: it must be reachable from a root (an
// activation's stack or registers, an object's property, the global object) when a collection
// runs. Collections run only at safe points (README.md, "Memory").
#pragma once

#include <cstdint>

namespace swfplayer::avm1 {

class Cell;
class String;
class Object;

enum class ValueType : uint8_t {
  kUndefined,
  kNull,
  kBoolean,
  kNumber,
  kString,
  kObject,
  // Never seen by scripts: a getter and setter pair in a property slot, a hole in an array.
  kAccessor,
  kHole,
};

class Value {
 public:
  constexpr Value() : type_(ValueType::kUndefined), number_(0) {}
  constexpr Value(bool b) : type_(ValueType::kBoolean), boolean_(b) {}
  constexpr Value(double n) : type_(ValueType::kNumber), number_(n) {}
  constexpr Value(int n) : type_(ValueType::kNumber), number_(n) {}
  Value(String* s) : type_(ValueType::kString), string_(s) {}
  Value(Object* o) : type_(ValueType::kObject), object_(o) {}
  // No implicit conversions from other pointers (a const char* would become a bool).
  Value(const char*) = delete;
  Value(const void*) = delete;

  static constexpr Value Undefined() { return Value(); }
  static constexpr Value Null() {
    Value v;
    v.type_ = ValueType::kNull;
    return v;
  }
  static Value Hole() {
    Value v;
    v.type_ = ValueType::kHole;
    return v;
  }
  static Value Accessor(Cell* pair) {
    Value v;
    v.type_ = ValueType::kAccessor;
    v.cell_ = pair;
    return v;
  }

  ValueType Type() const { return type_; }
  bool IsUndefined() const { return type_ == ValueType::kUndefined; }
  bool IsNull() const { return type_ == ValueType::kNull; }
  bool IsNullish() const { return type_ == ValueType::kUndefined || type_ == ValueType::kNull; }
  bool IsBoolean() const { return type_ == ValueType::kBoolean; }
  bool IsNumber() const { return type_ == ValueType::kNumber; }
  bool IsString() const { return type_ == ValueType::kString; }
  bool IsObject() const { return type_ == ValueType::kObject; }
  bool IsPrimitive() const { return type_ < ValueType::kObject; }
  bool IsHole() const { return type_ == ValueType::kHole; }
  bool IsAccessor() const { return type_ == ValueType::kAccessor; }

  bool AsBoolean() const { return boolean_; }
  double AsNumber() const { return number_; }
  String* AsString() const { return string_; }
  Object* AsObject() const { return object_; }
  Cell* AsCell() const { return cell_; }
  // The heap cell this value refers to, or null for the plain kinds.
  Cell* HeapCell() const { return type_ >= ValueType::kString && type_ <= ValueType::kAccessor ? cell_ : nullptr; }

 private:
  ValueType type_;
  union {
    bool boolean_;
    double number_;
    String* string_;
    Object* object_;
    Cell* cell_;
  };
};

static_assert(sizeof(Value) == 16, "values are 16 bytes");

// An object, or undefined for none.
inline Value ObjectValue(Object* object) { return object != nullptr ? Value(object) : Value(); }

}  // namespace swfplayer::avm1
