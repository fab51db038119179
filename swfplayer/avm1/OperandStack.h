// The operand stack all activations share. A plain growable array rather than a vector: a push
// is a store and an increment, inlined into the interpreter's loop (the vector's push kept an
// out-of-line call, and the values it copied through memory stalled on the stores that had
// just built them). Room is made by the caller (`Reserve`), which also enforces the bound.
#pragma once

#include <cstddef>
#include <memory>

#include "swfplayer/avm1/Value.h"

namespace swfplayer::avm1 {

class OperandStack {
 public:
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  Value& back() { return values_[size_ - 1]; }
  const Value& back() const { return values_[size_ - 1]; }
  Value& operator[](size_t i) { return values_[i]; }
  const Value& operator[](size_t i) const { return values_[i]; }
  const Value* begin() const { return values_.get(); }
  const Value* end() const { return values_.get() + size_; }

  // Only with room left (size() < capacity()).
  void push_back(const Value& value) { values_[size_++] = value; }
  void pop_back() { --size_; }
  void clear() { size_ = 0; }
  // Shrinks only; the stack never grows by resizing.
  void resize(size_t size) {
    if (size < size_) size_ = size;
  }
  void reserve(size_t capacity) {
    if (capacity <= capacity_) return;
    auto grown = std::make_unique<Value[]>(capacity);
    for (size_t i = 0; i < size_; ++i) grown[i] = values_[i];
    values_ = std::move(grown);
    capacity_ = capacity;
  }

 private:
  std::unique_ptr<Value[]> values_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace swfplayer::avm1
