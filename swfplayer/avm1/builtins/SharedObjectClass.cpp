// SharedObject: getLocal gives the same object for the same name for the whole run, its `data`
// kept in memory (nothing is written to disk: a screen saver leaves no files behind, and a
// movie finds its saved state gone next time as on a machine that never ran it). flush answers
// true as a write that succeeded would.
#include <map>
#include <set>
#include <string>

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// A script that asks for shared objects in a loop gets null past these: the map of names is
// memory the heap does not count.
constexpr size_t kMaxObjects = 1024;
constexpr size_t kMaxKeyUnits = 1024;

struct SharedObjectState final : VmImpl::ExtensionState {
  FunctionObject* constructor = nullptr;
  std::map<std::u16string, Object*> objects;  // by host/path/name
  void Trace(Tracer& tracer) override {
    tracer.Mark(constructor);
    for (const auto& [key, object] : objects) tracer.Mark(object);
  }
};

SharedObjectState& State(VmImpl& vm) { return vm.State<SharedObjectState>("sharedobject"); }

std::u16string_view TrimSlashes(std::u16string_view path) {
  while (!path.empty() && path.front() == u'/') path.remove_prefix(1);
  while (!path.empty() && path.back() == u'/') path.remove_suffix(1);
  return path;
}

// The movie's host ("localhost" for a file) and path, which shared objects are kept under.
void SplitMovieUrl(std::u16string_view url, std::u16string& host, std::u16string& path) {
  url = url.substr(0, url.find_first_of(u"?#"));
  const size_t scheme = url.find(u"://");
  const bool file = scheme == std::u16string_view::npos || url.substr(0, scheme) == u"file";
  std::u16string_view rest = scheme == std::u16string_view::npos ? url : url.substr(scheme + 3);
  if (file) {
    host = u"localhost";
    rest = TrimSlashes(rest);
    if (rest.size() >= 3 && rest[1] == u':' && rest[2] == u'/') rest.remove_prefix(3);  // a drive letter
  } else {
    const size_t slash = rest.find(u'/');
    host = rest.substr(0, slash);
    rest = slash == std::u16string_view::npos ? std::u16string_view() : TrimSlashes(rest.substr(slash));
  }
  path = rest;
}

// SharedObject.getLocal(name, localPath, secure): null for a name with characters the Flash
// Player refuses, a localPath that is not a folder of the movie's path, or a secure object
// (a local movie is not served over HTTPS).
Value GetLocal(NativeCall& call) {
  VmImpl& vm = call.vm;
  if (call.Arg(0).IsNullish()) return Value::Null();  // an object needs a name
  const std::u16string name(call.StringArg(0)->View());
  if (name.empty()) return Value::Null();
  if (name.find_first_of(u"~%&\\;:\"',<>?# ") != std::u16string::npos) return Value::Null();
  if (call.Has(2) && call.BoolArg(2)) return Value::Null();
  std::u16string host;
  std::u16string moviePath;
  SplitMovieUrl(vm.host.MovieUrl(), host, moviePath);
  std::u16string path = moviePath;
  if (call.Arg(1).IsString()) {
    const std::u16string_view local = call.Arg(1).AsString()->View();
    if (local.empty()) return Value::Null();
    const std::u16string_view trimmed = TrimSlashes(local);
    const bool folder = moviePath.compare(0, trimmed.size(), trimmed) == 0 &&
                        (trimmed.empty() || moviePath.size() == trimmed.size() || moviePath[trimmed.size()] == u'/');
    if (!folder) return Value::Null();
    path = trimmed;
  }
  // A name with slashes is marked, as the Flash Player marks its file.
  const std::u16string key = host + u"/" + path + u"/" + (name.find(u'/') != std::u16string::npos ? u"#" : u"") + name;
  size_t part = 0;
  while (part <= key.size()) {
    if (part < key.size() && key[part] == u'.') return Value::Null();
    const size_t slash = key.find(u'/', part);
    if (slash == std::u16string::npos) break;
    part = slash + 1;
  }
  SharedObjectState& state = State(vm);
  if (const auto found = state.objects.find(key); found != state.objects.end()) return Value(found->second);
  if (key.size() > kMaxKeyUnits || state.objects.size() >= kMaxObjects) return Value::Null();
  const Value made = vm.Construct(Value(state.constructor), {});
  if (!made.IsObject()) return Value::Null();
  Object* object = made.AsObject();
  object->DefineValue(vm, vm.Str("data"), Value(vm.NewObject()), kDontDelete);
  state.objects.emplace(key, object);
  return Value(object);
}

Object* DataOf(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return nullptr;
  const Value data = self->Get(call.vm, call.vm.Str("data"));
  return data.IsObject() ? data.AsObject() : nullptr;
}

Value Flush(NativeCall& call) { return call.ThisObject() != nullptr ? Value(true) : Value(); }

Value Clear(NativeCall& call) {
  if (Object* data = DataOf(call)) {
    std::vector<String*> keys;
    data->EnumerableKeys(call.vm, keys);
    for (String* key : keys) data->Delete(call.vm, key);
  }
  return Value();
}

// The size of the data as the Flash Player's file (AMF0) would hold it. Objects seen before
// are references; nesting deeper than kMaxDepth counts as undefined.
class AmfSize {
 public:
  explicit AmfSize(VmImpl& vm) : vm_(vm) {}

  size_t Entries(Object* object, int depth) {
    std::vector<String*> keys;
    object->EnumerableKeys(vm_, keys);
    size_t bytes = 0;
    for (String* key : keys) {
      const Value value = object->Get(vm_, key);
      if (value.IsObject() && value.AsObject()->IsFunction()) continue;
      bytes += 2 + key->ToUtf8().size() + Of(value, depth);
    }
    return bytes;
  }
  size_t Count(Object* object) {
    std::vector<String*> keys;
    object->EnumerableKeys(vm_, keys);
    return keys.size();
  }

 private:
  static constexpr int kMaxDepth = 64;

  size_t Of(const Value& value, int depth) {
    switch (value.Type()) {
      case ValueType::kNumber: return 9;
      case ValueType::kBoolean: return 2;
      case ValueType::kString: {
        const size_t length = value.AsString()->ToUtf8().size();
        return length > 0xFFFF ? 5 + length : 3 + length;
      }
      case ValueType::kObject: break;
      default: return 1;
    }
    Object* object = value.AsObject();
    if (depth >= kMaxDepth || object->Class() == ObjectClass::kMovieClip) return 1;
    if (object->Class() == ObjectClass::kDate) return 11;
    if (!seen_.insert(object).second) return 3;
    if (object->Class() == ObjectClass::kXml || object->Class() == ObjectClass::kXmlNode) {
      return 5 + vm_.ToString(value)->ToUtf8().size();
    }
    const size_t header = object->Class() == ObjectClass::kArray ? 5 : 1;
    return header + Entries(object, depth + 1) + 3;
  }

  VmImpl& vm_;
  std::set<Object*> seen_;
};

Value GetSize(NativeCall& call) {
  Object* data = DataOf(call);
  if (data == nullptr) return Value();
  AmfSize size(call.vm);
  if (size.Count(data) == 0) return Value(0);
  // The file's header with the object's name, then each variable with the byte that ends it.
  size_t nameBytes = 0;
  for (const auto& [key, object] : State(call.vm).objects) {
    if (object == call.ThisObject()) nameBytes = ToUtf8(std::u16string_view(key).substr(key.rfind(u'/') + 1)).size();
  }
  constexpr size_t kHeader = 22;
  return Value(static_cast<double>(kHeader + nameBytes + size.Entries(data, 0) + size.Count(data)));
}

Value Nothing(NativeCall&) { return Value(); }
Value NullResult(NativeCall&) { return Value::Null(); }
Value Zero(NativeCall&) { return Value(0); }
Value Construct(NativeCall&) { return Value(); }

}  // namespace

void InstallSharedObjectClass(VmImpl& vm, Object* global) {
  FunctionObject* constructor = DefineClass(vm, global, "SharedObject", Construct, nullptr);
  State(vm).constructor = constructor;
  Object* prototype = constructor->Get(vm, vm.names.prototype).AsObject();
  DefineMethod(vm, constructor, "getLocal", GetLocal, kDontEnum);
  DefineMethod(vm, constructor, "getRemote", NullResult, kDontEnum);
  DefineMethod(vm, constructor, "deleteAll", Nothing, kDontEnum);
  DefineMethod(vm, constructor, "getDiskUsage", Zero, kDontEnum);
  DefineMethod(vm, prototype, "flush", Flush);
  DefineMethod(vm, prototype, "clear", Clear);
  DefineMethod(vm, prototype, "getSize", GetSize);
  DefineMethod(vm, prototype, "close", Nothing);
  DefineMethod(vm, prototype, "connect", Nothing);
  DefineMethod(vm, prototype, "send", Nothing);
  DefineMethod(vm, prototype, "setFps", Nothing);
  DefineMethod(vm, prototype, "onStatus", Nothing);
  DefineMethod(vm, prototype, "onSync", Nothing);
}

}  // namespace swfplayer::avm1
