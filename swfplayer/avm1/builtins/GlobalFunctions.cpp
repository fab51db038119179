// The global functions: trace, isNaN, isFinite, parseInt, parseFloat, escape, unescape,
// ASSetPropFlags, updateAfterEvent, ASnative, and the NaN and Infinity globals. (getTimer,
// random, int, chr, ord, length, substring and their mb forms, eval and targetPath are actions
// the compiler emits; the interpreter runs them.)
#include <cmath>
#include <limits>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Value TraceFunction(NativeCall& call) {
  // Unlike the Trace action, the function converts undefined as the version does.
  call.vm.Trace(call.StringArg(0)->ToUtf8());
  return Value();
}

Value IsNaN(NativeCall& call) { return Value(!call.Has(0) || std::isnan(call.NumberArg(0))); }
Value IsFinite(NativeCall& call) { return Value(call.Has(0) && std::isfinite(call.NumberArg(0))); }

int DigitValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'a' && unit <= u'z') return unit - u'a' + 10;
  if (unit >= u'A' && unit <= u'Z') return unit - u'A' + 10;
  return 99;
}

// parseInt as the Flash Player has it: a "0x" prefix before any space or sign, octal for a
// leading 0 without a radix, and no result at all without an argument.
Value ParseInt(NativeCall& call) {
  if (!call.Has(0)) return Value();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  int radix = 0;
  if (call.Has(1)) {
    radix = call.IntArg(1);
    if (radix < 2 || radix > 36) return Value(nan);
  }
  String* text = call.StringArg(0);
  std::u16string_view view = text->View();
  const bool hasSign = !view.empty() && (view[0] == u'+' || view[0] == u'-');
  const size_t offset = hasSign ? 1 : 0;
  const bool zero = view.size() > offset && view[offset] == u'0';
  const bool hex = zero && view.size() > offset + 1 && (view[offset + 1] == u'x' || view[offset + 1] == u'X');
  bool ignoreSign = false;
  if (hex) {
    if (hasSign) {
      // "+0x"/"-0x" parse only in radixes where "0x" itself is digits.
      if (radix == 0 || radix <= 33) return Value(nan);
      ignoreSign = true;
    } else {
      if (radix == 0) radix = 16;
      view.remove_prefix(2);
    }
  } else if (zero && radix == 0) {
    bool octal = true;
    for (size_t i = 1; i < view.size() && octal; ++i) octal = view[i] >= u'0' && view[i] <= u'7';
    radix = octal ? 8 : 10;
  }
  if (radix == 0) radix = 10;
  while (!view.empty() && (view[0] == u' ' || view[0] == u'\t' || view[0] == u'\n' || view[0] == u'\r')) {
    view.remove_prefix(1);
  }
  double sign = 1;
  if (!view.empty() && (view[0] == u'+' || view[0] == u'-')) {
    if (view[0] == u'-' && !ignoreSign) sign = -1;
    view.remove_prefix(1);
  }
  double result = 0;
  bool empty = true;
  for (char16_t unit : view) {
    const int digit = DigitValue(unit);
    if (digit >= radix) break;
    result = result * radix + digit;
    empty = false;
  }
  return Value(empty ? nan : std::copysign(result, sign));
}

Value ParseFloat(NativeCall& call) {
  if (!call.Has(0)) return Value();
  return Value(ParseFloatPrefix(call.StringArg(0)->View()));
}

// escape: every byte of the UTF-8 form but letters and digits as %XX.
Value Escape(NativeCall& call) {
  if (!call.Has(0)) return Value();
  const std::string bytes = call.StringArg(0)->ToUtf8();
  std::string out;
  constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : bytes) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return Value(call.vm.Str(out));
}

Value Unescape(NativeCall& call) {
  if (!call.Has(0)) return Value();
  const std::string bytes = call.StringArg(0)->ToUtf8();
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '%') {
      const int high = i + 1 < bytes.size() ? DigitValue(static_cast<unsigned char>(bytes[i + 1])) : 99;
      const int low = i + 2 < bytes.size() ? DigitValue(static_cast<unsigned char>(bytes[i + 2])) : 99;
      if (high < 16 && low < 16) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
      } else {
        // A broken escape drops the '%' and what was read of it.
        i += high < 16 ? 1 : 0;
      }
    } else if (c == '+') {
      out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
  return Value(String::FromUtf8(call.vm.heap, out));
}

// ASSetPropFlags(object, names, set, clear): names is null (every property), a string of
// names separated by commas, or an array of names.
Value AsSetPropFlags(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* object = call.ObjectArg(0);
  if (object == nullptr) return Value();
  const auto flags = [&](size_t i) { return static_cast<uint16_t>(DoubleToUint32(call.NumberArg(i)) & 0xFFFF); };
  const uint16_t set = call.Has(2) ? flags(2) : 0;
  const uint16_t clear = call.Has(3) ? flags(3) : 0;
  const Value names = call.Arg(1);
  if (names.IsNull()) {
    object->ChangeFlags(vm, nullptr, set, clear);
  } else if (names.IsObject() && names.AsObject()->Class() == ObjectClass::kArray) {
    auto* array = static_cast<ArrayObject*>(names.AsObject());
    for (uint32_t i = 0; i < array->Length(); ++i) object->ChangeFlags(vm, vm.ToString(array->At(i)), set, clear);
  } else if (call.Has(1)) {
    const std::u16string_view list = vm.ToString(names)->View();
    size_t begin = 0;
    while (begin <= list.size()) {
      size_t end = list.find(u',', begin);
      if (end == std::u16string_view::npos) end = list.size();
      object->ChangeFlags(vm, vm.NewString(list.substr(begin, end - begin)), set, clear);
      begin = end + 1;
    }
  }
  return Value();
}

Value Nothing(NativeCall&) { return Value(); }

// ASnative(table, index): the built-in functions by number. Table 200 (Math) is known; others
// are reported.
Value AsNative(NativeCall& call) {
  if (call.Has(1) && call.IntArg(0) == 200) return Value(call.vm.NewNativeFunction(MathNative(call.IntArg(1))));
  call.vm.Unsupported("ASnative");
  return Value();
}

Value NaNGetter(NativeCall& call) {
  return call.vm.SwfVersion() > 4 ? Value(std::numeric_limits<double>::quiet_NaN()) : Value();
}
Value InfinityGetter(NativeCall& call) {
  return call.vm.SwfVersion() > 4 ? Value(std::numeric_limits<double>::infinity()) : Value();
}

}  // namespace

void InstallGlobalFunctions(VmImpl& vm, Object* global) {
  DefineMethod(vm, global, "trace", TraceFunction, kDontEnum);
  DefineMethod(vm, global, "isNaN", IsNaN, kDontEnum);
  DefineMethod(vm, global, "isFinite", IsFinite, kDontEnum);
  DefineMethod(vm, global, "parseInt", ParseInt, kDontEnum);
  DefineMethod(vm, global, "parseFloat", ParseFloat, kDontEnum);
  DefineMethod(vm, global, "escape", Escape, kDontEnum);
  DefineMethod(vm, global, "unescape", Unescape, kDontEnum);
  DefineMethod(vm, global, "ASSetPropFlags", AsSetPropFlags, kDontEnum);
  DefineMethod(vm, global, "updateAfterEvent", Nothing, kDontEnum);
  DefineMethod(vm, global, "ASnative", AsNative, kDontEnum);
  DefineNativeProperty(vm, global, "NaN", NaNGetter, nullptr, kDontEnum);
  DefineNativeProperty(vm, global, "Infinity", InfinityGetter, nullptr, kDontEnum);
}

}  // namespace swfplayer::avm1
