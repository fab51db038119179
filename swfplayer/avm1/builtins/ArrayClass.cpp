// Array's methods (the constructor and prototype are ArrayCore's): push, pop, shift, unshift,
// reverse, join, toString, slice, splice, concat, and sort and sortOn (ArraySort.cpp) with the
// flag constants. They move elements as the Flash Player does (ElementAccess::Replace), which
// decides the flags and the for-in order the elements end up with, and read a hole as
// undefined, so a hole that moves becomes an undefined element.
#include <algorithm>
#include <string>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/ArrayAccess.h"
#include "swfplayer/avm1/builtins/ArraySort.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// An index argument: negative ones count from the end; the result is within 0..length.
uint32_t ClampIndex(int32_t index, uint32_t length) {
  const int64_t at = index < 0 ? int64_t{index} + length : int64_t{index};
  return static_cast<uint32_t>(std::clamp<int64_t>(at, 0, length));
}

// Arrays the methods build: they are never longer than what they were made from, but the
// array of several arguments may be (concat).
ArrayObject* NewArrayOf(VmImpl& vm, std::vector<Value>& values) {
  ArrayObject* array = vm.NewArray();
  array->Elements().swap(values);
  array->Sync(vm);
  return array;
}

Value Push(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  ElementAccess elements(call.vm, self);
  const uint32_t length = elements.Length();
  for (size_t i = 0; i < call.Count(); ++i) elements.Put(length + static_cast<uint32_t>(i), call.args[i]);
  const uint32_t now = length + static_cast<uint32_t>(call.Count());
  elements.SetLength(now);
  return Value(static_cast<double>(now));
}

Value Pop(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  ElementAccess elements(call.vm, self);
  const uint32_t length = elements.Length();
  if (length == 0) return Value();
  const Value last = elements.Get(length - 1);
  elements.Delete(length - 1);
  if (elements.IsArray()) elements.SetLength(length - 1);
  return last;
}

Value Shift(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  ElementAccess elements(call.vm, self);
  const uint32_t length = elements.Length();
  if (length == 0) return Value();
  const Value first = elements.Get(0);
  for (uint32_t i = 1; i < length; ++i) elements.Replace(i - 1, elements.Get(i));
  elements.Delete(length - 1);
  if (elements.IsArray()) elements.SetLength(length - 1);
  if (ArrayObject* direct = elements.Direct()) direct->NormalizeOrder();
  return first;
}

Value Unshift(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  ElementAccess elements(call.vm, self);
  const uint32_t length = elements.Length();
  const auto count = static_cast<uint32_t>(call.Count());
  if (size_t{length} + count > call.vm.limits.maxArrayLength) elements.SetLength(length + count);  // aborts
  for (uint32_t i = length; i-- > 0;) elements.Replace(i + count, elements.Get(i));
  for (uint32_t i = 0; i < count; ++i) elements.Replace(i, call.args[i]);
  if (elements.IsArray()) elements.SetLength(length + count);
  if (ArrayObject* direct = elements.Direct()) direct->NormalizeOrder();
  return Value(static_cast<double>(length + count));
}

Value Reverse(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  ElementAccess elements(call.vm, self);
  const uint32_t length = elements.Length();
  for (uint32_t lower = 0; lower < length / 2; ++lower) {
    const uint32_t upper = length - 1 - lower;
    const Value low = elements.Get(lower);
    const Value high = elements.Get(upper);
    elements.Replace(lower, high);
    elements.Replace(upper, low);
  }
  return Value(self);
}

Value Join(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  String* separator = call.Has(0) ? call.StringArg(0) : call.vm.Str(",");
  return Value(JoinElements(call.vm, self, separator));
}

Value ToStringMethod(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  return Value(JoinElements(call.vm, self, call.vm.Str(",")));
}

Value Slice(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  ElementAccess elements(call.vm, self);
  const uint32_t length = elements.Length();
  const uint32_t start = ClampIndex(call.IntArg(0), length);
  const uint32_t end = call.Arg(1).IsUndefined() ? length : ClampIndex(call.IntArg(1), length);
  std::vector<Value> values;
  for (uint32_t i = start; i < end; ++i) values.push_back(elements.Get(i));
  return Value(NewArrayOf(call.vm, values));
}

// splice(start, count, items...): an undefined start or count, or a negative count, change
// nothing and answer undefined.
Value Splice(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0) || call.Arg(0).IsUndefined()) return Value();
  if (call.Has(1) && call.Arg(1).IsUndefined()) return Value();
  ElementAccess elements(call.vm, self);
  const uint32_t length = elements.Length();
  const uint32_t start = ClampIndex(call.IntArg(0), length);
  uint32_t count = length - start;
  if (call.Has(1)) {
    const int32_t asked = call.IntArg(1);
    if (asked < 0) return Value();
    count = std::min(count, static_cast<uint32_t>(asked));
  }
  const std::span<const Value> items = call.Count() > 2 ? call.args.subspan(2) : std::span<const Value>();
  const auto added = static_cast<uint32_t>(items.size());
  const uint32_t after = length - count + added;
  if (after > call.vm.limits.maxArrayLength) elements.SetLength(after);  // aborts

  std::vector<Value> removed;
  for (uint32_t i = 0; i < count; ++i) removed.push_back(elements.Get(start + i));
  // The elements after the removed ones move to their places, from the far end when they move
  // up so that none is overwritten before it moved.
  const uint32_t tail = start + count;
  if (added > count) {
    for (uint32_t i = length; i-- > tail;) elements.Replace(i - count + added, elements.Get(i));
  } else {
    for (uint32_t i = tail; i < length; ++i) elements.Replace(i - count + added, elements.Get(i));
  }
  for (uint32_t i = 0; i < added; ++i) elements.Replace(start + i, items[i]);
  for (uint32_t i = after; i < length; ++i) elements.Delete(i);
  elements.SetLength(after);
  if (ArrayObject* direct = elements.Direct()) direct->NormalizeOrder();
  return Value(NewArrayOf(call.vm, removed));
}

// concat: this and the arguments in order; arrays among them give their elements.
Value Concat(NativeCall& call) {
  VmImpl& vm = call.vm;
  std::vector<Value> values;
  const auto append = [&](const Value& value) {
    if (value.IsObject() && value.AsObject()->Class() == ObjectClass::kArray) {
      ElementAccess elements(vm, value.AsObject());
      const uint32_t length = elements.Length();
      if (values.size() + length > vm.limits.maxArrayLength) {
        vm.Abort("an array would be longer than " + std::to_string(vm.limits.maxArrayLength) + " elements");
      }
      for (uint32_t i = 0; i < length; ++i) values.push_back(elements.Get(i));
    } else {
      values.push_back(value);
    }
  };
  append(call.thisValue);
  for (const Value& arg : call.args) append(arg);
  return Value(NewArrayOf(vm, values));
}

}  // namespace

String* JoinElements(VmImpl& vm, Object* self, String* separator) {
  ElementAccess elements(vm, self);
  const uint32_t length = elements.Length();
  std::u16string text;
  for (uint32_t i = 0; i < length; ++i) {
    if (i > 0) text.append(separator->View());
    text.append(vm.ToString(elements.Get(i))->View());
    if (text.size() > vm.limits.maxStringUnits) {
      vm.Abort("a string would be longer than " + std::to_string(vm.limits.maxStringUnits) + " units");
    }
  }
  return vm.NewString(text);
}

void InstallArrayClass(VmImpl& vm, Object* global) {
  Object* proto = vm.protos.array;
  DefineMethod(vm, proto, "push", Push);
  DefineMethod(vm, proto, "pop", Pop);
  DefineMethod(vm, proto, "shift", Shift);
  DefineMethod(vm, proto, "unshift", Unshift);
  DefineMethod(vm, proto, "reverse", Reverse);
  DefineMethod(vm, proto, "join", Join);
  DefineMethod(vm, proto, "toString", ToStringMethod);
  DefineMethod(vm, proto, "slice", Slice);
  DefineMethod(vm, proto, "splice", Splice);
  DefineMethod(vm, proto, "concat", Concat);
  DefineMethod(vm, proto, "sort", ArraySort);
  DefineMethod(vm, proto, "sortOn", ArraySortOn);
  Value constructor;
  if (global->TryGet(vm, vm.Str("Array"), constructor) && constructor.IsObject()) {
    Object* array = constructor.AsObject();
    DefineConstant(vm, array, "CASEINSENSITIVE", Value(sort_flags::kCaseInsensitive));
    DefineConstant(vm, array, "DESCENDING", Value(sort_flags::kDescending));
    DefineConstant(vm, array, "UNIQUESORT", Value(sort_flags::kUniqueSort));
    DefineConstant(vm, array, "RETURNINDEXEDARRAY", Value(sort_flags::kReturnIndexedArray));
    DefineConstant(vm, array, "NUMERIC", Value(sort_flags::kNumeric));
  }
}

}  // namespace swfplayer::avm1
