// String's methods (the constructor, toString and valueOf are StringCore's): charAt,
// charCodeAt, concat, indexOf, lastIndexOf, slice, split, substr, substring, toLowerCase,
// toUpperCase, and String.fromCharCode. They work on `this` converted to a string, on UTF-16
// units, with the Flash Player's argument rules: no argument at all often answers undefined,
// indexes are ToInt32 (so 4294967297 is 1), and SWF 5 has its own split and charCodeAt.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/CaseMapping.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

String* ThisString(NativeCall& call) { return call.vm.ToString(call.thisValue); }

// An index that counts from the end when negative, within 0..length.
uint32_t FromEnd(int64_t index, uint32_t length) {
  if (index < 0) index += length;
  return static_cast<uint32_t>(std::clamp<int64_t>(index, 0, length));
}
// An index within 0..length (negative is 0).
uint32_t Clamped(int64_t index, uint32_t length) { return static_cast<uint32_t>(std::clamp<int64_t>(index, 0, length)); }

Value Part(VmImpl& vm, String* text, uint32_t begin, uint32_t end) {
  if (begin >= end) return Value(vm.names.empty);
  if (begin == 0 && end == text->Length()) return Value(text);
  return Value(vm.NewString(text->View().substr(begin, end - begin)));
}

Value CharAt(NativeCall& call) {
  String* text = ThisString(call);
  const int32_t index = call.IntArg(0);
  if (index < 0 || static_cast<uint32_t>(index) >= text->Length()) return Value(call.vm.names.empty);
  return Part(call.vm, text, static_cast<uint32_t>(index), static_cast<uint32_t>(index) + 1);
}

// Past the end SWF 5 answers 0, later versions NaN; before the start always NaN.
Value CharCodeAt(NativeCall& call) {
  String* text = ThisString(call);
  const int32_t index = call.IntArg(0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (index < 0) return Value(nan);
  if (static_cast<uint32_t>(index) >= text->Length()) return Value(call.vm.SwfVersion() <= 5 ? 0.0 : nan);
  return Value(static_cast<double>(text->At(static_cast<uint32_t>(index))));
}

Value Concat(NativeCall& call) {
  String* result = ThisString(call);
  for (const Value& arg : call.args) result = call.vm.Concat(result, call.vm.ToString(arg));
  return Value(result);
}

// Each argument is a UTF-16 unit (ToUint16); a 0 ends the string.
Value FromCharCode(NativeCall& call) {
  std::u16string units;
  for (const Value& arg : call.args) {
    const auto unit = static_cast<char16_t>(DoubleToUint32(call.vm.ToNumber(arg)) & 0xFFFF);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return Value(call.vm.NewString(units));
}

Value IndexOf(NativeCall& call) {
  String* text = ThisString(call);
  if (!call.Has(0)) return Value();
  String* pattern = call.StringArg(0);
  const int32_t start = call.Arg(1).IsUndefined() ? 0 : std::max(call.IntArg(1), 0);
  if (static_cast<uint32_t>(start) > text->Length()) return Value(-1);
  const size_t found = text->View().find(pattern->View(), static_cast<size_t>(start));
  return Value(found == std::u16string_view::npos ? -1.0 : static_cast<double>(found));
}

// lastIndexOf(pattern, start): the last match that begins at start or before it.
Value LastIndexOf(NativeCall& call) {
  String* text = ThisString(call);
  if (!call.Has(0)) return Value();
  String* pattern = call.StringArg(0);
  size_t start = text->Length();
  if (!call.Arg(1).IsUndefined()) {
    const int32_t asked = call.IntArg(1);
    if (asked < 0) return Value(-1);
    start = std::min<size_t>(static_cast<size_t>(asked), text->Length());
  }
  const size_t found = text->View().rfind(pattern->View(), start);
  return Value(found == std::u16string_view::npos ? -1.0 : static_cast<double>(found));
}

Value Slice(NativeCall& call) {
  if (!call.Has(0)) return Value();
  String* text = ThisString(call);
  const uint32_t length = text->Length();
  const uint32_t begin = FromEnd(call.IntArg(0), length);
  const uint32_t end = call.Arg(1).IsUndefined() ? length : FromEnd(call.IntArg(1), length);
  return Part(call.vm, text, begin, end);
}

Value Substr(NativeCall& call) {
  if (!call.Has(0)) return Value();
  String* text = ThisString(call);
  const uint32_t length = text->Length();
  const uint32_t begin = FromEnd(call.IntArg(0), length);
  const int64_t count = call.Arg(1).IsUndefined() ? length : call.IntArg(1);
  return Part(call.vm, text, begin, FromEnd(begin + count, length));
}

Value Substring(NativeCall& call) {
  if (!call.Has(0)) return Value();
  String* text = ThisString(call);
  const uint32_t length = text->Length();
  uint32_t begin = Clamped(call.IntArg(0), length);
  uint32_t end = call.Arg(1).IsUndefined() ? length : Clamped(call.IntArg(1), length);
  if (end < begin) std::swap(begin, end);
  return Part(call.vm, text, begin, end);
}

// split(delimiter, limit). Without a delimiter the whole string is the one element; an empty
// one splits every unit. SWF 5 differs: no delimiter means ",", and an empty one means none.
Value Split(NativeCall& call) {
  VmImpl& vm = call.vm;
  String* text = ThisString(call);
  size_t limit = std::numeric_limits<size_t>::max();
  if (!call.Arg(1).IsUndefined()) limit = static_cast<size_t>(std::max(call.IntArg(1), 0));
  const bool swf5 = vm.SwfVersion() <= 5;
  String* delimiter = nullptr;
  if (call.Arg(0).IsUndefined()) {
    if (swf5) delimiter = vm.Str(",");
  } else {
    delimiter = call.StringArg(0);
    if (swf5 && delimiter->Empty()) delimiter = nullptr;
  }
  ArrayObject* parts = vm.NewArray();
  std::vector<Value>& elements = parts->Elements();
  const std::u16string_view units = text->View();
  if (delimiter == nullptr) {
    elements.push_back(Value(text));
  } else if (delimiter->Empty()) {
    for (size_t i = 0; i < units.size() && elements.size() < limit; ++i) {
      elements.push_back(Value(vm.NewString(units.substr(i, 1))));
    }
  } else {
    const std::u16string_view separator = delimiter->View();
    size_t begin = 0;
    while (elements.size() < limit) {
      const size_t found = units.find(separator, begin);
      const size_t end = found == std::u16string_view::npos ? units.size() : found;
      elements.push_back(Value(vm.NewString(units.substr(begin, end - begin))));
      if (found == std::u16string_view::npos) break;
      begin = found + separator.size();
    }
  }
  parts->Sync(vm);
  return Value(parts);
}

template <char16_t (*Map)(char16_t)>
Value ChangeCase(NativeCall& call) {
  String* text = ThisString(call);
  std::u16string units(text->View());
  for (char16_t& unit : units) unit = Map(unit);
  return Value(call.vm.NewString(units));
}

}  // namespace

void InstallStringClass(VmImpl& vm, Object* global) {
  (void)global;
  Object* proto = vm.protos.string;
  DefineMethod(vm, proto, "charAt", CharAt);
  DefineMethod(vm, proto, "charCodeAt", CharCodeAt);
  DefineMethod(vm, proto, "concat", Concat);
  DefineMethod(vm, proto, "indexOf", IndexOf);
  DefineMethod(vm, proto, "lastIndexOf", LastIndexOf);
  DefineMethod(vm, proto, "slice", Slice);
  DefineMethod(vm, proto, "split", Split);
  DefineMethod(vm, proto, "substr", Substr);
  DefineMethod(vm, proto, "substring", Substring);
  DefineMethod(vm, proto, "toLowerCase", ChangeCase<FlashToLower>);
  DefineMethod(vm, proto, "toUpperCase", ChangeCase<FlashToUpper>);
  DefineMethod(vm, vm.protos.stringConstructor, "fromCharCode", FromCharCode);
}

}  // namespace swfplayer::avm1
