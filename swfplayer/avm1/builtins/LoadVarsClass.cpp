// LoadVars (SWF 6 on): variables sent and loaded as URL-encoded text. Loading always fails here
// (Loading.h); decode and toString work on the object's own variables.
#include <string>

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/Loading.h"

namespace swfplayer::avm1 {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One name or value of URL-encoded text: %XX is a byte of UTF-8, '+' a space.
String* DecodeComponent(VmImpl& vm, std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const int high = c == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(c == '+' ? ' ' : c);
    }
  }
  return String::FromUtf8(vm.heap, out);
}

Value LoadVarsConstruct(NativeCall&) { return Value(); }

Value Load(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value(false);
  StartFailingLoad(call.vm, self);
  return Value(true);
}

// sendAndLoad(url, target): the answer would go to target; it fails as a load does.
Value SendAndLoad(NativeCall& call) {
  Object* target = call.ObjectArg(1);
  if (call.ThisObject() == nullptr || target == nullptr) return Value(false);
  StartFailingLoad(call.vm, target);
  return Value(true);
}

// send(url, window): the request goes nowhere; the Flash Player answers whether it was made.
Value Send(NativeCall& call) { return Value(call.ThisObject() != nullptr && call.Has(0)); }

// decode("a=1&b=x%20y"): each pair becomes a variable of the object.
Value Decode(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value();
  const std::string text = call.StringArg(0)->ToUtf8();
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find('&', begin);
    if (end == std::string::npos) end = text.size();
    const std::string_view pair = std::string_view(text).substr(begin, end - begin);
    if (!pair.empty()) {
      const size_t equals = pair.find('=');
      String* name = DecodeComponent(vm, pair.substr(0, equals));
      String* value = DecodeComponent(vm, equals == std::string_view::npos ? "" : pair.substr(equals + 1));
      self->Set(vm, name, Value(value));
    }
    begin = end + 1;
  }
  return Value();
}

// toString: "name=value&..." in for-in order, each part through the global escape function
// (as the Flash Player calls it: a movie that replaces escape changes this too).
Value LoadVarsToString(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  std::vector<String*> keys;
  self->EnumerableKeys(vm, keys);
  String* escapeName = vm.Str("escape");
  const auto escaped = [&](const Value& part) {
    const Value args[] = {Value(vm.ToString(part))};
    return vm.ToString(vm.CallMethod(Value(vm.Global()), escapeName, args));
  };
  String* out = vm.names.empty;
  for (String* key : keys) {
    if (!out->Empty()) out = vm.Concat(out, vm.Str("&"));
    out = vm.Concat(out, escaped(Value(key)));
    out = vm.Concat(out, vm.Str("="));
    out = vm.Concat(out, escaped(self->Get(vm, key)));
  }
  return Value(out);
}

// The default onData: undefined (or null) is a failed load; text is decoded into the object.
// Unlike XML's, it marks the object loaded either way, as the Flash Player's does.
Value OnData(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  const Value source = call.Arg(0);
  const bool loaded = !source.IsNullish();
  self->Set(vm, vm.Str("loaded"), Value(true));
  if (loaded) {
    const Value text[] = {source};
    vm.CallMethod(Value(self), vm.Str("decode"), text);
  }
  const Value result[] = {Value(loaded)};
  vm.CallMethod(Value(self), vm.Str("onLoad"), result);
  return Value();
}

Value Nothing(NativeCall&) { return Value(); }

}  // namespace

void InstallLoadVarsClass(VmImpl& vm, Object* global) {
  using namespace property_flags;
  FunctionObject* loadVars = DefineClass(vm, global, "LoadVars", LoadVarsConstruct, nullptr, nullptr,
                                         kDontEnum | kDontDelete | kSwf6Up);
  Object* prototype = loadVars->Get(vm, vm.names.prototype).AsObject();
  DefineMethod(vm, prototype, "load", Load);
  DefineMethod(vm, prototype, "send", Send);
  DefineMethod(vm, prototype, "sendAndLoad", SendAndLoad);
  DefineMethod(vm, prototype, "decode", Decode);
  DefineMethod(vm, prototype, "toString", LoadVarsToString);
  DefineMethod(vm, prototype, "getBytesLoaded", BytesLoaded);
  DefineMethod(vm, prototype, "getBytesTotal", BytesTotal);
  DefineMethod(vm, prototype, "onData", OnData);
  DefineMethod(vm, prototype, "onLoad", Nothing);
  DefineMethod(vm, prototype, "addRequestHeader", Nothing);
  DefineConstant(vm, prototype, "contentType", Value(vm.Str("application/x-www-form-urlencoded")), kHidden);
}

}  // namespace swfplayer::avm1
