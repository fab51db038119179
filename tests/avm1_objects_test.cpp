// The interpreter's object model: strings, property maps, objects with their prototype chain,
// flags, getters and setters, watchers and __resolve, arrays, the collector and its bounds,
// and the native API built-ins are written with.
#include <gtest/gtest.h>

#include <cmath>

#include "swfplayer/avm1/ArrayObject.h"
#include "swfplayer/avm1/Native.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "tests/avm1_fakes.h"

namespace swfplayer::avm1 {
namespace {

using namespace property_flags;
using testing::FakeClip;
using testing::FakeHost;

class ScriptObjects : public ::testing::Test {
 protected:
  void Make(uint8_t version, Limits limits = {}) {
    host.root = &root;
    vm = std::make_unique<VmImpl>(host, version, limits);
  }
  String* S(const char* ascii) { return vm->Str(ascii); }
  std::string Utf8(const Value& value) { return vm->ToString(value)->ToUtf8(); }
  std::string Keys(Object* object) {
    std::vector<String*> keys;
    object->EnumerableKeys(*vm, keys);
    std::string out;
    for (String* key : keys) out += (out.empty() ? "" : ",") + key->ToUtf8();
    return out;
  }

  FakeHost host;
  FakeClip root;
  std::unique_ptr<VmImpl> vm;
};

TEST_F(ScriptObjects, ConcatenationAppendsInPlaceAndLeavesEarlierStringsAlone) {
  Make(8);
  String* a = vm->Str(std::string(40, 'x'));
  String* b = vm->Concat(a, S("y"));
  String* c = vm->Concat(b, S("z"));  // b is the longest user of its buffer: appended in place
  String* d = vm->Concat(b, S("w"));  // b no longer is: copied
  EXPECT_EQ(b->ToUtf8(), std::string(40, 'x') + "y");
  EXPECT_EQ(c->ToUtf8(), std::string(40, 'x') + "yz");
  EXPECT_EQ(d->ToUtf8(), std::string(40, 'x') + "yw");
  EXPECT_EQ(c->Data(), b->Data());
  EXPECT_NE(d->Data(), b->Data());

  // A long loop of `s += "ab"` costs what it adds (amortised), not the whole string each time.
  String* s = vm->names.empty;
  String* ab = S("ab");
  const size_t before = vm->heap.Bytes();
  for (int i = 0; i < 20000; ++i) s = vm->Concat(s, ab);
  EXPECT_EQ(s->Length(), 40000u);
  const size_t perString = (vm->heap.Bytes() - before) / 20000;
  EXPECT_LT(perString, 200u) << "each step copied the string";
  EXPECT_EQ(s->At(39999), u'b');
}

TEST_F(ScriptObjects, StringsLongerThanTheBoundAbortTheScript) {
  Limits limits;
  limits.maxStringUnits = 100;
  Make(8, limits);
  String* s = vm->Str(std::string(60, 'a'));
  EXPECT_THROW(vm->Concat(s, s), ScriptAbort);
}

TEST_F(ScriptObjects, NamesFoldCaseBeforeSwf7AndUtf8RoundTrips) {
  Make(6);
  EXPECT_TRUE(S("Hello")->SameName(*S("hELLO"), false));
  EXPECT_FALSE(S("Hello")->SameName(*S("hELLO"), true));
  EXPECT_EQ(S("ABC")->Hash(), S("abc")->Hash());
  String* greek = vm->NewString(u"\u0391\u0392\u00C9");
  EXPECT_TRUE(greek->SameName(*vm->NewString(u"\u03B1\u03B2\u00E9"), false));
  EXPECT_FALSE(vm->NewString(u"\u00D7")->SameName(*vm->NewString(u"\u00F7"), false));  // × is no letter

  String* mixed = String::FromUtf8(vm->heap, "a\xC3\xA9\xF0\x9F\x98\x80!");
  EXPECT_EQ(mixed->Length(), 5u);  // a, é, a surrogate pair, !
  EXPECT_EQ(mixed->ToUtf8(), "a\xC3\xA9\xF0\x9F\x98\x80!");
  EXPECT_EQ(vm->NewString(u"\xD800x")->ToUtf8(), "\xEF\xBF\xBDx");  // a lone surrogate
  EXPECT_EQ(String::FromUtf8(vm->heap, "\xC0\xAF")->ToUtf8(), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong
}

TEST_F(ScriptObjects, PropertiesKeepTheirOrderThroughDeletesAndAGrownTable) {
  Make(6);
  Object* object = vm->NewObject();
  for (char c = 'a'; c <= 'p'; ++c) object->Set(*vm, S(std::string(1, c).c_str()), Value(c - 'a'));
  EXPECT_TRUE(object->Delete(*vm, S("c")));
  EXPECT_TRUE(object->Delete(*vm, S("P")));  // names without case before SWF 7
  object->Set(*vm, S("c"), Value(99));       // re-added: now the newest
  EXPECT_EQ(Keys(object), "c,o,n,m,l,k,j,i,h,g,f,e,d,b,a");
  EXPECT_EQ(object->Get(*vm, S("C")).AsNumber(), 99);
  EXPECT_EQ(object->Get(*vm, S("O")).AsNumber(), 14);
  for (char c = 'a'; c <= 'o'; ++c) object->Delete(*vm, S(std::string(1, c).c_str()));
  EXPECT_EQ(Keys(object), "");
  object->Set(*vm, S("z"), Value(1));
  EXPECT_EQ(Keys(object), "z");
}

TEST_F(ScriptObjects, Swf7NamesAreExact) {
  Make(7);
  Object* object = vm->NewObject();
  object->Set(*vm, S("name"), Value(1));
  object->Set(*vm, S("Name"), Value(2));
  EXPECT_EQ(object->Get(*vm, S("name")).AsNumber(), 1);
  EXPECT_EQ(object->Get(*vm, S("Name")).AsNumber(), 2);
  EXPECT_TRUE(object->Get(*vm, S("NAME")).IsUndefined());
}

TEST_F(ScriptObjects, PrototypeChainFlagsAndEnumerationOrder) {
  Make(8);
  Object* base = vm->NewObject();
  base->Set(*vm, S("inherited"), Value(1));
  base->Set(*vm, S("shadowed"), Value(2));
  Object* object = vm->heap.New<Object>(Value(base));
  object->Set(*vm, S("own"), Value(3));
  object->Set(*vm, S("shadowed"), Value(4));
  object->DefineValue(*vm, S("hidden"), Value(5), kDontEnum);
  object->DefineValue(*vm, S("fixed"), Value(6), kReadOnly | kDontDelete);

  EXPECT_EQ(object->Get(*vm, S("inherited")).AsNumber(), 1);
  EXPECT_EQ(object->Get(*vm, S("shadowed")).AsNumber(), 4);
  EXPECT_EQ(base->Get(*vm, S("shadowed")).AsNumber(), 2);
  // The prototype's names first, then the object's own, newest first; each name once.
  EXPECT_EQ(Keys(object), "inherited,fixed,shadowed,own");
  object->Set(*vm, S("fixed"), Value(7));
  EXPECT_EQ(object->Get(*vm, S("fixed")).AsNumber(), 6);
  EXPECT_FALSE(object->Delete(*vm, S("fixed")));
  EXPECT_FALSE(object->Delete(*vm, S("inherited")));  // not its own
  EXPECT_TRUE(object->HasOwn(*vm, S("hidden")));
  EXPECT_FALSE(object->IsPropertyEnumerable(*vm, S("hidden")));
  object->ChangeFlags(*vm, S("hidden"), 0, kDontEnum);
  EXPECT_EQ(Keys(object), "inherited,fixed,hidden,shadowed,own");

  // __proto__ is a property: reading it, replacing it (and so the chain), never listed.
  EXPECT_EQ(object->Get(*vm, vm->names.proto).AsObject(), base);
  Object* other = vm->NewObject();
  other->Set(*vm, S("fromOther"), Value(8));
  object->Set(*vm, vm->names.proto, Value(other));
  EXPECT_TRUE(object->Get(*vm, S("inherited")).IsUndefined());
  EXPECT_EQ(object->Get(*vm, S("fromOther")).AsNumber(), 8);
  EXPECT_FALSE(object->Delete(*vm, vm->names.proto));
  object->ChangeFlags(*vm, vm->names.proto, 0, kDontDelete);
  EXPECT_TRUE(object->Delete(*vm, vm->names.proto));
  EXPECT_TRUE(object->Get(*vm, S("fromOther")).IsUndefined());
  EXPECT_TRUE(object->Get(*vm, S("toString")).IsUndefined());  // no chain left at all

  // A cycle of prototypes ends the lookup instead of hanging it.
  Object* a = vm->NewObject();
  Object* b = vm->heap.New<Object>(Value(a));
  a->SetProto(Value(b));
  EXPECT_TRUE(a->Get(*vm, S("nothing")).IsUndefined());
}

TEST_F(ScriptObjects, VersionFlagsHideBuiltInsFromOlderMovies) {
  // ASSetPropFlags' version bits: 128 from SWF 6, 256 not in SWF 6, 1024 from 7, 4096 from 8.
  EXPECT_FALSE(VisibleIn(128, 5));
  EXPECT_TRUE(VisibleIn(128, 6));
  EXPECT_FALSE(VisibleIn(1280, 6));
  EXPECT_TRUE(VisibleIn(1280, 7));
  EXPECT_FALSE(VisibleIn(256, 6));
  EXPECT_TRUE(VisibleIn(256, 5));
  EXPECT_FALSE(VisibleIn(4096, 7));
  EXPECT_TRUE(VisibleIn(8192 | 4096, 9));
  EXPECT_FALSE(VisibleIn(16384, 9));

  Make(5);
  Object* object = vm->NewObject();
  object->DefineValue(*vm, S("later"), Value(1), kSwf6Up);
  EXPECT_TRUE(object->Get(*vm, S("later")).IsUndefined());
  EXPECT_FALSE(object->HasOwn(*vm, S("later")));
  EXPECT_EQ(Keys(object), "");
  object->Set(*vm, S("later"), Value(2));  // the movie's own property replaces the hidden one
  EXPECT_EQ(object->Get(*vm, S("later")).AsNumber(), 2);
  // Object.prototype.hasOwnProperty is an SWF 6 method.
  EXPECT_TRUE(vm->protos.object->Get(*vm, S("hasOwnProperty")).IsUndefined());
  EXPECT_TRUE(vm->protos.object->Get(*vm, S("toString")).IsObject());
}

Value CountingGetter(NativeCall& call) {
  Object* self = call.ThisObject();
  const double count = call.vm.ToNumber(self->Get(call.vm, call.vm.Str("count"))) + 1;
  self->Set(call.vm, call.vm.Str("count"), Value(count));
  return Value(count * 10);
}

Value StoringSetter(NativeCall& call) {
  call.ThisObject()->Set(call.vm, call.vm.Str("stored"), call.Arg(0));
  return Value();
}

Value DoublingWatcher(NativeCall& call) {
  // (name, old, new, userData): answers what is stored.
  return Value(call.vm.ToNumber(call.Arg(2)) * 2 + call.vm.ToNumber(call.Arg(3)));
}

Value Resolver(NativeCall& call) { return Value(call.vm.Concat(call.vm.Str("resolved:"), call.StringArg(0))); }

TEST_F(ScriptObjects, GettersSettersWatchersAndResolve) {
  Make(8);
  Object* proto = vm->NewObject();
  proto->DefineAccessor(*vm, S("value"), vm->NewNativeFunction(CountingGetter),
                        vm->NewNativeFunction(StoringSetter));
  Object* object = vm->heap.New<Object>(Value(proto));
  object->Set(*vm, S("count"), Value(0));

  // The getter on the prototype runs with the instance as `this`.
  EXPECT_EQ(object->Get(*vm, S("value")).AsNumber(), 10);
  EXPECT_EQ(object->Get(*vm, S("value")).AsNumber(), 20);
  EXPECT_EQ(object->Get(*vm, S("count")).AsNumber(), 2);
  EXPECT_FALSE(proto->HasOwn(*vm, S("count")));
  // Setting goes to the setter up the chain instead of making an own property.
  object->Set(*vm, S("value"), Value(5));
  EXPECT_EQ(object->Get(*vm, S("stored")).AsNumber(), 5);
  EXPECT_FALSE(object->HasOwn(*vm, S("value")));

  // A getter without a setter (addProperty with null) keeps its value.
  Object* readOnly = vm->NewObject();
  readOnly->Set(*vm, S("count"), Value(0));
  readOnly->DefineAccessor(*vm, S("x"), vm->NewNativeFunction(CountingGetter), nullptr, kReadOnly);
  readOnly->Set(*vm, S("x"), Value(1));
  EXPECT_EQ(readOnly->Get(*vm, S("x")).AsNumber(), 10);

  // A watcher decides what is stored.
  Object* watched = vm->NewObject();
  watched->Watch(*vm, S("w"), vm->NewNativeFunction(DoublingWatcher), Value(1));
  watched->Set(*vm, S("w"), Value(4));
  EXPECT_EQ(watched->Get(*vm, S("w")).AsNumber(), 9);
  EXPECT_TRUE(watched->Unwatch(*vm, S("w")));
  EXPECT_FALSE(watched->Unwatch(*vm, S("w")));
  watched->Set(*vm, S("w"), Value(4));
  EXPECT_EQ(watched->Get(*vm, S("w")).AsNumber(), 4);

  // __resolve, found on the chain, answers names nothing else does.
  proto->Set(*vm, vm->names.resolve, Value(vm->NewNativeFunction(Resolver)));
  EXPECT_EQ(Utf8(object->Get(*vm, S("missing"))), "resolved:missing");
  EXPECT_EQ(object->Get(*vm, S("stored")).AsNumber(), 5);
}

TEST_F(ScriptObjects, ArraysKeepDenseElementsAndScriptVisibleLength) {
  Make(8);
  ArrayObject* array = vm->NewArray();
  array->Set(*vm, S("2"), Value(3));
  EXPECT_EQ(array->Length(), 3u);
  EXPECT_TRUE(array->At(0).IsUndefined());
  EXPECT_FALSE(array->HasElement(0));
  array->Set(*vm, S("0"), Value(1));
  EXPECT_EQ(Keys(array), "0,2");
  EXPECT_FALSE(array->IsPropertyEnumerable(*vm, vm->names.length));
  EXPECT_FALSE(array->Delete(*vm, vm->names.length));

  array->Set(*vm, vm->names.length, Value(1));
  EXPECT_EQ(array->Length(), 1u);
  EXPECT_TRUE(array->Get(*vm, S("2")).IsUndefined());
  array->Set(*vm, vm->names.length, Value(-1));  // kept as the Flash Player keeps it
  EXPECT_EQ(array->Get(*vm, vm->names.length).AsNumber(), -1);
  EXPECT_EQ(array->Length(), 0u);

  // A name that only looks like an index stays a name but still moves the length.
  ArrayObject* loose = vm->NewArray();
  loose->Set(*vm, S("05"), Value(1));
  EXPECT_EQ(loose->Length(), 6u);
  EXPECT_FALSE(loose->HasElement(5));
  EXPECT_EQ(loose->Get(*vm, S("05")).AsNumber(), 1);
  EXPECT_TRUE(loose->Get(*vm, S("5")).IsUndefined());

  // An array longer than the bound abandons the script.
  Limits limits;
  limits.maxArrayLength = 1000;
  Make(8, limits);
  ArrayObject* big = vm->NewArray();
  EXPECT_THROW(big->Set(*vm, S("1000"), Value(1)), ScriptAbort);
  EXPECT_THROW(big->Set(*vm, vm->names.length, Value(5000)), ScriptAbort);
  big->Set(*vm, S("999"), Value(1));
  EXPECT_EQ(big->Length(), 1000u);
}

// Elements are properties like any other: for-in lists them newest first among the named
// ones, and ASSetPropFlags applies to them.
TEST_F(ScriptObjects, ArrayElementsHaveFlagsAndTakeTurnsWithNamedProperties) {
  Make(8);
  ArrayObject* array = vm->NewArray();
  array->Set(*vm, S("0"), Value(1));
  array->Set(*vm, S("x"), Value(2));
  array->Set(*vm, S("1"), Value(3));
  EXPECT_EQ(Keys(array), "1,x,0");
  array->ChangeFlags(*vm, S("1"), kDontEnum, 0);
  EXPECT_EQ(Keys(array), "x,0");
  EXPECT_EQ(array->Get(*vm, S("1")).AsNumber(), 3);

  // A DontDelete element outlives delete and a shorter length; the others go.
  array->ChangeFlags(*vm, S("0"), kDontDelete, 0);
  EXPECT_FALSE(array->Delete(*vm, S("0")));
  array->Set(*vm, vm->names.length, Value(0));
  EXPECT_TRUE(array->HasElement(0));
  EXPECT_FALSE(array->HasElement(1));
  EXPECT_EQ(array->Get(*vm, vm->names.length).AsNumber(), 0);
  array->ChangeFlags(*vm, S("0"), 0, kDontDelete);
  EXPECT_TRUE(array->Delete(*vm, S("0")));
  EXPECT_EQ(Keys(array), "x");
}

TEST_F(ScriptObjects, CollectorFreesCyclesAndKeepsWhatRootsReach) {
  Make(8);
  // The globals used below exist from the start, so that the global object's table keeps its
  // size whatever number of built-ins it holds.
  vm->Global()->Set(*vm, S("kept"), Value());
  vm->Global()->Set(*vm, S("grown"), Value());
  vm->Collect();
  const size_t cells = vm->heap.CellCount();
  const size_t bytes = vm->heap.Bytes();
  for (int i = 0; i < 1000; ++i) {
    // A constructor and its prototype point at each other; arrays hold themselves.
    FunctionObject* constructor = vm->NewConstructor(vm->NewNativeFunction(Resolver));
    ArrayObject* array = vm->NewArray();
    array->Push(*vm, Value(array));
    array->Push(*vm, Value(constructor));
    array->Push(*vm, Value(vm->Str(std::string(100, 'q'))));
  }
  EXPECT_GE(vm->heap.CellCount(), cells + 4000);
  vm->Collect();
  EXPECT_EQ(vm->heap.CellCount(), cells);
  EXPECT_EQ(vm->heap.Bytes(), bytes);

  Object* kept = vm->NewObject();
  kept->Set(*vm, S("self"), Value(kept));
  vm->Global()->Set(*vm, S("kept"), Value(kept));
  vm->Collect();
  EXPECT_EQ(vm->Global()->Get(*vm, S("kept")).AsObject()->Get(*vm, S("self")).AsObject(), kept);

  // Strings sharing a buffer free it with the last of them.
  String* grown = vm->Str(std::string(50, 'g'));
  for (int i = 0; i < 100; ++i) grown = vm->Concat(grown, S("h"));
  vm->Global()->Set(*vm, S("grown"), Value(grown));
  vm->Collect();
  EXPECT_EQ(Utf8(vm->Global()->Get(*vm, S("grown"))), std::string(50, 'g') + std::string(100, 'h'));
  vm->Global()->Set(*vm, S("grown"), Value());
  vm->Global()->Set(*vm, S("kept"), Value());
  vm->Collect();
  EXPECT_EQ(vm->heap.Bytes(), bytes);
}

TEST_F(ScriptObjects, TheHeapBoundAbortsInsteadOfGrowing) {
  Limits limits;
  limits.maxHeapBytes = 4 << 20;
  Make(8, limits);
  ArrayObject* hoard = vm->NewArray();
  String* name = S("hoard");  // made now: a full heap has no room for it later
  vm->Global()->Set(*vm, name, Value(hoard));
  EXPECT_THROW(
      for (int i = 0; i < 1000000; ++i) hoard->Push(*vm, Value(vm->NewObject())),
      ScriptAbort);
  EXPECT_LE(vm->heap.Bytes(), limits.maxHeapBytes);
  // Once the hoard is dropped, a collection gives the room back.
  vm->Global()->Delete(*vm, name);
  vm->Collect();
  EXPECT_LT(vm->heap.Bytes(), size_t{1} << 20);
}

Value PointConstruct(NativeCall& call) {
  Object* self = call.ThisObject();
  self->Set(call.vm, call.vm.Str("x"), Value(call.NumberArg(0)));
  self->Set(call.vm, call.vm.Str("y"), Value(call.NumberArg(1)));
  return Value();
}

Value PointCall(NativeCall& call) {
  call.vm.Unsupported("Point called as a function");
  return Value();
}

Value PointLength(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  const double x = call.vm.ToNumber(self->Get(call.vm, call.vm.Str("x")));
  const double y = call.vm.ToNumber(self->Get(call.vm, call.vm.Str("y")));
  return Value(std::sqrt(x * x + y * y));
}

TEST_F(ScriptObjects, BuiltInClassesThroughTheNativeApi) {
  Make(8);
  FunctionObject* point = DefineClass(*vm, vm->Global(), "Point", PointCall, PointConstruct);
  Object* prototype = point->Get(*vm, vm->names.prototype).AsObject();
  DefineMethod(*vm, prototype, "length", PointLength);
  EXPECT_EQ(prototype->Get(*vm, vm->names.constructor).AsObject(), point);

  const Value args[] = {Value(3), Value(4)};
  const Value instance = vm->Construct(vm->Global()->Get(*vm, S("Point")), args);
  ASSERT_TRUE(instance.IsObject());
  EXPECT_EQ(instance.AsObject()->Proto().AsObject(), prototype);
  EXPECT_EQ(vm->CallMethod(instance, S("length"), {}).AsNumber(), 5);
  // __constructor__ records the class for super; DontEnum, like constructor before SWF 7.
  EXPECT_EQ(instance.AsObject()->Get(*vm, vm->names.superConstructor).AsObject(), point);
  EXPECT_EQ(Keys(instance.AsObject()), "y,x");

  // Function.prototype.call and apply reach natives too; `this` from their first argument.
  Object* length = prototype->Get(*vm, S("length")).AsObject();
  const Value callArgs[] = {instance};
  EXPECT_EQ(vm->CallMethod(Value(length), S("call"), callArgs).AsNumber(), 5);
  ArrayObject* none = vm->NewArray();
  const Value applyArgs[] = {instance, Value(none)};
  EXPECT_EQ(vm->CallMethod(Value(length), S("apply"), applyArgs).AsNumber(), 5);

  // A method on the wrong kind of `this`, or a missing one, answers undefined.
  EXPECT_TRUE(vm->CallMethod(Value(1.5), S("length"), {}).IsUndefined());
  EXPECT_TRUE(vm->CallMethod(Value(), S("length"), {}).IsUndefined());

  // unsupported: once per name.
  vm->Call(Value(point), Value(), {});
  vm->Call(Value(point), Value(), {});
  EXPECT_EQ(host.unsupported, std::vector<std::string>{"Point called as a function"});
}

TEST_F(ScriptObjects, BoxedPrimitivesAndTheCoreConstructors) {
  Make(7);
  const Value one[] = {Value(S("42"))};
  const Value number = vm->Construct(vm->Global()->Get(*vm, S("Number")), one);
  ASSERT_TRUE(number.IsObject());
  EXPECT_EQ(number.AsObject()->Class(), ObjectClass::kNumber);
  EXPECT_EQ(vm->ToNumber(number), 42);
  EXPECT_EQ(Utf8(number), "42");
  EXPECT_EQ(vm->TypeOf(number)->ToUtf8(), "object");
  EXPECT_EQ(Keys(number.AsObject()), "");

  const Value text = vm->Construct(vm->Global()->Get(*vm, S("String")), one);
  EXPECT_EQ(text.AsObject()->Get(*vm, vm->names.length).AsNumber(), 2);
  EXPECT_EQ(Utf8(text), "42");
  EXPECT_EQ(Utf8(vm->Call(vm->Global()->Get(*vm, S("String")), Value(), one)), "42");

  const Value five[] = {Value(5)};
  const Value array = vm->Construct(vm->Global()->Get(*vm, S("Array")), five);
  EXPECT_EQ(array.AsObject()->Get(*vm, vm->names.length).AsNumber(), 5);
  const Value boolean = vm->Call(vm->Global()->Get(*vm, S("Boolean")), Value(), one);
  EXPECT_TRUE(boolean.IsBoolean() && boolean.AsBoolean());
  const Value radix[] = {Value(16)};
  const Value hex = vm->Construct(vm->Global()->Get(*vm, S("Number")), std::span<const Value>(radix));
  EXPECT_EQ(Utf8(vm->CallMethod(hex, S("toString"), std::span<const Value>(radix))), "10");
}

}  // namespace
}  // namespace swfplayer::avm1
