// An ActionScript value: 16 bytes, copied freely. Strings and objects live in the script heap
// (Heap.h); a Value does not keep them alive by itself: it must be reachable from a root (an
// activation's stack or registers, an object's property, the global object) when a collection
// runs. Collections run only at safe points (README.md, "Memory").
#pragma once

#include <bit>
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
  constexpr Value() : tag_(Tag(ValueType::kUndefined)), bits_(0) {}
  constexpr Value(bool b) : tag_(Tag(ValueType::kBoolean)), bits_(b ? 1 : 0) {}
  constexpr Value(double n) : tag_(Tag(ValueType::kNumber)), bits_(std::bit_cast<uint64_t>(n)) {}
  constexpr Value(int n) : Value(static_cast<double>(n)) {}
  Value(String* s) : tag_(Tag(ValueType::kString)), bits_(reinterpret_cast<uintptr_t>(s)) {}
  Value(Object* o) : tag_(Tag(ValueType::kObject)), bits_(reinterpret_cast<uintptr_t>(o)) {}
  // No implicit conversions from other pointers (a const char* would become a bool).
  Value(const char*) = delete;
  Value(const void*) = delete;

  // Copied word by word, never as one 16-byte load: a value is nearly always read right after
  // the two stores that built it, and a wide load across two narrower stores waits for both to
  // reach the cache (the interpreter's loop spent a quarter of its time there). The library is
  // built without the vectoriser that would merge these copies again.
  constexpr Value(const Value& other) noexcept : tag_(other.tag_), bits_(other.bits_) {}
  constexpr Value& operator=(const Value& other) noexcept {
    tag_ = other.tag_;
    bits_ = other.bits_;
    return *this;
  }

  static constexpr Value Undefined() { return Value(); }
  static constexpr Value Null() {
    Value v;
    v.tag_ = Tag(ValueType::kNull);
    return v;
  }
  static Value Hole() {
    Value v;
    v.tag_ = Tag(ValueType::kHole);
    return v;
  }
  static Value Accessor(Cell* pair) {
    Value v;
    v.tag_ = Tag(ValueType::kAccessor);
    v.bits_ = reinterpret_cast<uintptr_t>(pair);
    return v;
  }

  ValueType Type() const { return static_cast<ValueType>(tag_); }
  bool IsUndefined() const { return Type() == ValueType::kUndefined; }
  bool IsNull() const { return Type() == ValueType::kNull; }
  bool IsNullish() const { return Type() <= ValueType::kNull; }
  bool IsBoolean() const { return Type() == ValueType::kBoolean; }
  bool IsNumber() const { return Type() == ValueType::kNumber; }
  bool IsString() const { return Type() == ValueType::kString; }
  bool IsObject() const { return Type() == ValueType::kObject; }
  bool IsPrimitive() const { return Type() < ValueType::kObject; }
  bool IsHole() const { return Type() == ValueType::kHole; }
  bool IsAccessor() const { return Type() == ValueType::kAccessor; }

  bool AsBoolean() const { return bits_ != 0; }
  double AsNumber() const { return std::bit_cast<double>(bits_); }
  String* AsString() const { return reinterpret_cast<String*>(static_cast<uintptr_t>(bits_)); }
  Object* AsObject() const { return reinterpret_cast<Object*>(static_cast<uintptr_t>(bits_)); }
  Cell* AsCell() const { return reinterpret_cast<Cell*>(static_cast<uintptr_t>(bits_)); }
  // The heap cell this value refers to, or null for the plain kinds.
  Cell* HeapCell() const { return Type() >= ValueType::kString && Type() <= ValueType::kAccessor ? AsCell() : nullptr; }

 private:
  static constexpr uint64_t Tag(ValueType type) { return static_cast<uint64_t>(type); }

  uint64_t tag_;   // the ValueType, in a whole word so that a copy moves two plain words
  uint64_t bits_;  // the number's bits, the boolean (0 or 1) or the cell's address
};

static_assert(sizeof(Value) == 16, "values are 16 bytes");

// An object, or undefined for none.
inline Value ObjectValue(Object* object) { return object != nullptr ? Value(object) : Value(); }

}  // namespace swfplayer::avm1
