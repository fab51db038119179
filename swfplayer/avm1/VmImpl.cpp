#include "swfplayer/avm1/VmImpl.h"

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Interpreter.h"
#include "swfplayer/avm1/Native.h"
#include "swfplayer/avm1/SuperObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"

namespace swfplayer::avm1 {

void Names::Trace(Tracer& tracer) const {
  // Every member is a String*: walk them as the array they are laid out as.
  auto* const* first = reinterpret_cast<String* const*>(this);
  for (size_t i = 0; i < sizeof(Names) / sizeof(String*); ++i) tracer.Mark(first[i]);
}

void Prototypes::Trace(Tracer& tracer) const {
  for (Object* prototype : {object, function, array, boolean, number, string, movieClip, textField, error, numberConstructor,
                            booleanConstructor, stringConstructor}) {
    tracer.Mark(prototype);
  }
}

VmImpl::VmImpl(Host& host, uint8_t swfVersion, const Limits& limits)
    : host(host), limits(limits), heap(limits.maxHeapBytes), version_(swfVersion), random_(host.RandomSeed()) {
  const auto name = [this](const char* ascii) { return Str(ascii); };
  names.empty = name("");
  names.prototype = name("prototype");
  names.constructor = name("constructor");
  names.proto = name("__proto__");
  names.superConstructor = name("__constructor__");
  names.resolve = name("__resolve");
  names.length = name("length");
  names.valueOf = name("valueOf");
  names.toString = name("toString");
  names.thisName = name("this");
  names.root = name("_root");
  names.parent = name("_parent");
  names.global = name("_global");
  names.arguments = name("arguments");
  names.superName = name("super");
  names.callee = name("callee");
  names.caller = name("caller");
  names.undefined = name("undefined");
  names.null = name("null");
  names.trueName = name("true");
  names.falseName = name("false");
  names.nan = name("NaN");
  names.infinity = name("Infinity");
  names.negativeInfinity = name("-Infinity");
  names.objectObject = name("[object Object]");
  names.typeFunction = name("[type Function]");
  names.typeObject = name("[type Object]");
  names.message = name("message");
  names.name = name("name");
  names.level0 = name("_level0");
  names.number = name("number");
  names.string = name("string");
  names.boolean = name("boolean");
  names.object = name("object");
  names.function = name("function");
  names.movieclip = name("movieclip");
  names.numberClass = name("Number");
  names.booleanClass = name("Boolean");
  names.stringClass = name("String");
  for (int i = 0; i < 10; ++i) {
    const char digit[2] = {static_cast<char>('0' + i), 0};
    names.digits[i] = name(digit);
  }
  protos.object = heap.New<Object>(Value());
  protos.function = heap.New<Object>(Value(protos.object));
  // The global object inherits nothing (not even Object.prototype's valueOf).
  global_ = heap.New<Object>(Value());
  InstallBuiltins(*this);
}

VmImpl::~VmImpl() = default;

Object* VmImpl::NewObject() { return heap.New<Object>(Value(protos.object)); }

ArrayObject* VmImpl::NewArray() { return heap.New<ArrayObject>(Value(protos.array)); }

ArrayObject* VmImpl::NewArray(std::span<const Value> elements) {
  ArrayObject* array = NewArray();
  for (const Value& element : elements) array->Push(*this, element);
  return array;
}

Object* VmImpl::NewInstance(const Value& proto) {
  if (proto.IsObject()) {
    if (InstanceFactory factory = factories_[static_cast<uint8_t>(proto.AsObject()->Class())]) {
      return factory(*this, proto);
    }
  }
  return heap.New<Object>(proto);
}

FunctionObject* VmImpl::NewNativeFunction(NativeFunction call, NativeFunction construct) {
  return heap.New<FunctionObject>(Value(protos.function), call, construct);
}

FunctionObject* VmImpl::NewConstructor(FunctionObject* function, Object* prototype) {
  if (prototype == nullptr) prototype = NewObject();
  prototype->DefineValue(*this, names.constructor, Value(function), property_flags::kDontEnum);
  function->DefineValue(*this, names.prototype, Value(prototype), property_flags::kDontEnum | property_flags::kDontDelete);
  return function;
}

// --- errors ---

void VmImpl::Throw(const Value& value) {
  pendingThrow_ = value;
  throw ScriptThrow{};
}

void VmImpl::Abort(const std::string& reason) { throw ScriptAbort{reason}; }

void VmImpl::Unsupported(std::string_view name) {
  if (unsupported_.find(name) != unsupported_.end()) return;
  unsupported_.emplace(name);
  host.Unsupported(name);
}

// --- calls ---

Object* VmImpl::HomeFor(const Value& thisValue) {
  return thisValue.IsObject() && thisValue.AsObject()->Proto().IsObject() ? thisValue.AsObject()->Proto().AsObject() : nullptr;
}

Value VmImpl::Call(const Value& function, const Value& thisValue, std::span<const Value> args) {
  if (!IsCallable(function)) return Value();
  Object* home = HomeFor(thisValue);
  ++nativeDepth;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{nativeDepth};
  return Invoke(static_cast<FunctionObject*>(function.AsObject()), thisValue, args, home, false);
}

Value VmImpl::CallAccessor(Object* function, const Value& thisValue, std::span<const Value> args) {
  if (accessorDepth >= kMaxAccessorDepth) return Value();
  ++accessorDepth;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{accessorDepth};
  return Call(Value(function), thisValue, args);
}

Value VmImpl::CallMethod(const Value& object, String* name, std::span<const Value> args, bool resolve) {
  if (object.IsNullish()) return Value();
  Object* self = ToObject(object);
  Object* home = nullptr;
  Value method;
  if (self->Class() == ObjectClass::kSuper) {
    auto* super = static_cast<SuperObject*>(self);
    method = super->FindMethod(*this, name, home);
    if (!IsCallable(method)) return Value();
    ++nativeDepth;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{nativeDepth};
    return Invoke(static_cast<FunctionObject*>(method.AsObject()), Value(super->self), args, home, false);
  }
  method = self->GetMethod(*this, name, &home, resolve);
  if (!IsCallable(method)) return Value();
  ++nativeDepth;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{nativeDepth};
  return Invoke(static_cast<FunctionObject*>(method.AsObject()), Value(self), args, home, false);
}

Value VmImpl::Construct(const Value& constructor, std::span<const Value> args) {
  if (!IsCallable(constructor)) return Value();
  ++nativeDepth;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{nativeDepth};
  return ConstructWith(static_cast<FunctionObject*>(constructor.AsObject()), args);
}

Value VmImpl::ConstructWith(FunctionObject* constructor, std::span<const Value> args) {
  const Value prototype = constructor->Get(*this, names.prototype);
  Object* object = NewInstance(prototype);
  object->DefineValue(*this, names.superConstructor, Value(constructor), property_flags::kDontEnum);
  if (version_ < 7) object->DefineValue(*this, names.constructor, Value(constructor), property_flags::kDontEnum);
  Object* home = prototype.IsObject() ? prototype.AsObject() : nullptr;
  constructRefused = false;
  const Value result = Invoke(constructor, Value(object), args, home, true);
  // A native constructor may refuse its arguments: `new` then gives undefined (a BitmapData of
  // an impossible size), as in the Flash Player.
  if (!constructor->isScript && constructRefused) {
    constructRefused = false;
    return Value();
  }
  // Native constructors answer the object they made (new Number(1) is a boxed number).
  if (!constructor->isScript && constructor->nativeConstruct != nullptr && result.IsObject()) return result;
  return Value(object);
}

Value VmImpl::Invoke(FunctionObject* function, const Value& thisValue, std::span<const Value> args,
                     Object* home, bool constructing) {
  if (function->isScript) return RunFunction(*this, function, thisValue, args, home, constructing);
  if (callDepth >= limits.maxCallDepth) {
    Abort("256 levels of recursion were exceeded in one action list.");
  }
  NativeFunction native = constructing && function->nativeConstruct != nullptr ? function->nativeConstruct
                                                                               : function->native;
  if (native == nullptr) return Value();
  NativeCall call{*this, thisValue, args, function, constructing};
  ++callDepth;
  ++nativeDepth;
  struct Leave {
    VmImpl& vm;
    ~Leave() {
      --vm.callDepth;
      --vm.nativeDepth;
    }
  } leave{*this};
  const Value result = native(call);
  constructRefused = constructing && call.refused;
  return result;
}

// --- the display ---

ClipObject* VmImpl::ObjectOf(Clip* clip) {
  if (clip == nullptr) return nullptr;
  if (clip->binding != nullptr) return static_cast<ClipObject*>(clip->binding);
  // Buttons get their class with the display work; until then, Object's.
  Object* proto = clip->IsMovieClip() ? protos.movieClip : protos.object;
  if (clip->AsTextField() != nullptr && protos.textField != nullptr) proto = protos.textField;
  auto* object = heap.New<ClipObject>(Value(proto), *clip);
  clip->binding = object;
  // The movie learns the player's version from _level0's $version, as Flash 4 movies did.
  if (clip == Root()) object->Set(*this, NewString(u"$version"), Value(Str(kPlayerVersion)));
  return object;
}

// --- randomness ---

uint32_t VmImpl::RandomBelow(uint32_t bound) {
  if (bound <= 1) return 0;
  return std::uniform_int_distribution<uint32_t>(0, bound - 1)(random_);
}

double VmImpl::RandomUnit() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }

// --- memory ---

void VmImpl::MaybeCollect() {
  if (nativeDepth == 0 && heap.WantsCollection()) Collect();
}

void VmImpl::Collect() {
  heap.Collect([this](Tracer& tracer) { MarkRoots(tracer); });
}

namespace {

void MarkClipTree(Clip* clip, Tracer& tracer, int depth) {
  if (clip == nullptr || depth > 1000) return;
  if (clip->binding != nullptr) tracer.Mark(static_cast<ClipObject*>(clip->binding));
  for (Clip* child : clip->Children()) MarkClipTree(child, tracer, depth + 1);
}

}  // namespace

void VmImpl::MarkRoots(Tracer& tracer) {
  names.Trace(tracer);
  protos.Trace(tracer);
  tracer.Mark(global_);
  tracer.Mark(pendingThrow_);
  for (const Value& value : globalRegisters) tracer.Mark(value);
  for (Cell* cell : pinned_) tracer.Mark(cell);
  for (auto& [exportName, constructor] : registeredClasses) tracer.Mark(constructor);
  for (auto& [key, state] : extensions_) state->Trace(tracer);
  for (auto& [program, state] : programs_) {
    for (String* string : state->strings) tracer.Mark(string);
    for (const auto& pool : state->pools) {
      for (const Value& value : pool) tracer.Mark(value);
    }
  }
  for (const Value& value : stack) tracer.Mark(value);
  for (const auto* mark : nativeRoots) (*mark)(tracer);
  for (Activation* activation = activations; activation != nullptr; activation = activation->outer) {
    activation->Trace(tracer);
  }
  MarkClipTree(host.Level(0), tracer, 0);
}

}  // namespace swfplayer::avm1
