// Array's, String's and Math's methods, called from C++ as a script calls them, and a whole
// script where what the collector sees during a sort matters.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "swfplayer/avm1/ArrayObject.h"
#include "swfplayer/avm1/Native.h"
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::ScriptTest;

class Avm1Builtins : public ScriptTest {
 protected:
  Value S(const char* ascii) { return Value(Impl().Str(ascii)); }
  Value Global(const char* name) { return Impl().Global()->Get(Impl(), Impl().Str(name)); }
  Value Member(const Value& object, const char* name) {
    return Impl().ToObject(object)->Get(Impl(), Impl().Str(name));
  }
  Value Call(const Value& self, const char* method, std::initializer_list<Value> args = {}) {
    return Impl().CallMethod(self, Impl().Str(method), std::span<const Value>(args.begin(), args.size()));
  }
  Value Array(std::initializer_list<Value> values) {
    return Value(Impl().NewArray(std::span<const Value>(values.begin(), values.size())));
  }
  Value Object(std::initializer_list<std::pair<const char*, Value>> fields) {
    avm1::Object* object = Impl().NewObject();
    for (const auto& [name, value] : fields) object->Set(Impl(), Impl().Str(name), value);
    return Value(object);
  }
  std::string Text(const Value& value) { return Impl().ToString(value)->ToUtf8(); }
  int Flag(const char* name) { return static_cast<int>(Member(Global("Array"), name).AsNumber()); }
};

TEST_F(Avm1Builtins, SortOrdersAsStringsByDefaultAndHonoursEveryFlag) {
  Make(8);
  const int numeric = Flag("NUMERIC");
  const int descending = Flag("DESCENDING");
  const int unique = Flag("UNIQUESORT");
  const int indexed = Flag("RETURNINDEXEDARRAY");
  const int caseless = Flag("CASEINSENSITIVE");
  EXPECT_EQ(numeric | descending | unique | indexed | caseless, 31);

  Value a = Array({Value(10), Value(9), Value(1), S("b"), S("B"), Value()});
  EXPECT_EQ(Text(Call(a, "sort")), "1,10,9,B,b,undefined");
  Value n = Array({Value(10), Value(9), Value(-1.5), Value(100)});
  EXPECT_EQ(Text(Call(n, "sort", {Value(numeric)})), "-1.5,9,10,100");
  EXPECT_EQ(Text(Call(n, "sort", {Value(numeric | descending)})), "100,10,9,-1.5");

  // The indexes in sorted order, the array itself untouched.
  Value indexes = Call(n, "sort", {Value(numeric | indexed)});
  EXPECT_EQ(Text(indexes), "3,2,1,0");
  EXPECT_EQ(Text(n), "100,10,9,-1.5");

  // UNIQUESORT: 0 and no change when two are equal (here without case).
  Value words = Array({S("pear"), S("Apple"), S("apple")});
  EXPECT_EQ(Text(Call(words, "sort", {Value(caseless | unique)})), "0");
  EXPECT_EQ(Text(words), "pear,Apple,apple");
  EXPECT_EQ(Text(Call(words, "sort", {Value(unique)})), "Apple,apple,pear");

  // A compare function, with flags after it; a first argument that is neither does nothing.
  Value compare = Value(Impl().NewNativeFunction([](NativeCall& call) {
    return Value(call.NumberArg(0) - call.NumberArg(1));
  }));
  Value m = Array({Value(3), Value(20), Value(100)});
  EXPECT_EQ(Text(Call(m, "sort", {compare, Value(descending)})), "100,20,3");
  EXPECT_TRUE(Call(m, "sort", {S("x")}).IsUndefined());
  EXPECT_EQ(Text(m), "100,20,3");
}

TEST_F(Avm1Builtins, SortOnComparesFieldsInOrderWithFlagsPerField) {
  Make(8);
  const int numeric = Flag("NUMERIC");
  const int descending = Flag("DESCENDING");
  Value a = Object({{"n", Value(10)}, {"s", S("x")}});
  Value b = Object({{"n", Value(9)}, {"s", S("y")}});
  Value c = Object({{"n", Value(10)}, {"s", S("a")}});
  Value list = Array({a, b, c});
  const auto names = [&](const Value& array) {
    std::string out;
    for (uint32_t i = 0; i < 3; ++i) out += Text(Member(Member(array, std::to_string(i).c_str()), "s"));
    return out;
  };
  Call(list, "sortOn", {S("n")});  // as strings: "10" < "9"
  EXPECT_EQ(names(list).substr(2), "y");
  Call(list, "sortOn", {Array({S("n"), S("s")}), Value(numeric)});
  EXPECT_EQ(names(list), "yax");
  Call(list, "sortOn", {Array({S("n"), S("s")}), Array({Value(numeric | descending), Value(0)})});
  EXPECT_EQ(names(list), "axy");
  Value indexes = Call(list, "sortOn", {S("s"), Value(Flag("RETURNINDEXEDARRAY"))});
  EXPECT_EQ(Text(indexes), "0,1,2");
}

// An already sorted array is the quicksort's worst case: it still takes n log n comparisons.
TEST_F(Avm1Builtins, SortingASortedArrayStaysFast) {
  Make(8);
  static uint64_t calls;
  calls = 0;
  Value compare = Value(Impl().NewNativeFunction([](NativeCall& call) {
    ++calls;
    return Value(call.NumberArg(0) - call.NumberArg(1));
  }));
  ArrayObject* sorted = Impl().NewArray();
  const uint32_t count = 20000;
  for (uint32_t i = 0; i < count; ++i) sorted->Push(Impl(), Value(static_cast<double>(i)));
  Call(Value(sorted), "sort", {compare});
  EXPECT_LT(calls, uint64_t{count} * 80);
  for (uint32_t i = 0; i < count; ++i) ASSERT_EQ(sorted->At(i).AsNumber(), i);

  // A compare function that contradicts itself still ends, with every element kept.
  calls = 0;
  Value liar = Value(Impl().NewNativeFunction([](NativeCall&) { return Value((++calls % 3) == 0 ? 1 : -1); }));
  Call(Value(sorted), "sort", {liar});
  double sum = 0;
  for (uint32_t i = 0; i < count; ++i) sum += sorted->At(i).AsNumber();
  EXPECT_EQ(sum, double{count} * (count - 1) / 2);
}

// A sort calling a script function for each comparison collects what those calls leave behind
// as it goes; the elements it holds meanwhile survive.
TEST_F(Avm1Builtins, SortWithAScriptFunctionCollectsAsItGoes) {
  Limits limits;
  limits.maxHeapBytes = size_t{24} << 20;
  Make(8, limits);
  EXPECT_EQ(Run(R"(
  push "a" 0
  initarray
  setvariable
  push "i" 0
  setvariable
  loop:
  push "a"
  getvariable
  push "i"
  getvariable
  push "i"
  getvariable
  push 7919
  multiply
  push 10007
  modulo
  push ""
  add2
  setmember
  push "i" "i"
  getvariable
  increment
  setvariable
  push "i"
  getvariable
  push 10000
  less2
  if loop
  function2 - regs=3 flags=0x2a r1:x r2:y
    push r:1
    tonumber
    push r:2
    tonumber
    subtract
    return
  end
  push 1 "a"
  getvariable
  push "sort"
  callmethod
  pop
  push "a"
  getvariable
  push 9999
  getmember
  trace
)"),
            "10006\n")
      << Impl().lastAbort;
}

TEST_F(Avm1Builtins, ArrayMethodsMoveElementsAndKeepTheLength) {
  Make(8);
  Value a = Array({Value(1), Value(2), Value(3)});
  EXPECT_EQ(Call(a, "push", {Value(4), Value(5)}).AsNumber(), 5);
  EXPECT_EQ(Call(a, "pop").AsNumber(), 5);
  EXPECT_EQ(Call(a, "shift").AsNumber(), 1);
  EXPECT_EQ(Call(a, "unshift", {S("x"), S("y")}).AsNumber(), 5);
  EXPECT_EQ(Text(a), "x,y,2,3,4");
  EXPECT_EQ(Text(Call(a, "splice", {Value(1), Value(2), S("p")})), "y,2");
  EXPECT_EQ(Text(a), "x,p,3,4");
  EXPECT_EQ(Text(Call(a, "splice", {Value(-1)})), "4");
  EXPECT_TRUE(Call(a, "splice", {Value(0), Value(-1)}).IsUndefined());
  EXPECT_EQ(Text(Call(a, "slice", {Value(-2)})), "p,3");
  EXPECT_EQ(Text(Call(a, "reverse")), "3,p,x");
  EXPECT_EQ(Text(Call(a, "join", {S(" - ")})), "3 - p - x");
  EXPECT_EQ(Text(Call(a, "concat", {Value(1), Array({Value(2), Array({Value(3), Value(4)})})})), "3,p,x,1,2,3,4");
  EXPECT_EQ(Member(Call(a, "concat", {Array({Value(2), Array({Value(3), Value(4)})})}), "length").AsNumber(), 5);
  EXPECT_TRUE(Call(Array({}), "pop").IsUndefined());

  // Holes read as undefined; a method that moves one makes it an element.
  ArrayObject* holes = Impl().NewArray();
  holes->SetAt(Impl(), 2, Value(7));
  EXPECT_EQ(Text(Call(Value(holes), "join")), "undefined,undefined,7");
  Call(Value(holes), "reverse");
  EXPECT_TRUE(holes->HasElement(2));
  EXPECT_FALSE(holes->HasElement(1) && !holes->At(1).IsUndefined());

  // On an object that is no array, through "length" and numbered properties.
  Value object = Object({{"length", Value(1)}, {"0", S("a")}});
  Value push = Member(Global("Array"), "prototype");
  push = Member(push, "push");
  const Value args[] = {S("b")};
  EXPECT_EQ(Impl().Call(push, object, args).AsNumber(), 2);
  EXPECT_EQ(Text(Member(object, "1")), "b");
  EXPECT_EQ(Member(object, "length").AsNumber(), 2);
}

TEST_F(Avm1Builtins, ArrayLengthsPastTheBoundAbort) {
  Limits limits;
  limits.maxArrayLength = 100;
  Make(8, limits);
  ArrayObject* big = Impl().NewArray();
  big->SetLength(Impl(), 100);
  EXPECT_THROW(Call(Value(big), "push", {Value(1)}), ScriptAbort);
  EXPECT_THROW(Call(Value(big), "unshift", {Value(1)}), ScriptAbort);
  EXPECT_THROW(Call(Value(big), "concat", {Value(big)}), ScriptAbort);
  EXPECT_THROW(Call(Value(big), "splice", {Value(0), Value(0), Value(1)}), ScriptAbort);
}

TEST_F(Avm1Builtins, StringMethodsByVersion) {
  Make(8);
  Value hello = S("Hello");
  EXPECT_EQ(Text(Call(hello, "substr", {Value(-3), Value(2)})), "ll");
  EXPECT_EQ(Text(Call(hello, "substring", {Value(3), Value(1)})), "el");
  EXPECT_EQ(Text(Call(hello, "slice", {Value(1), Value(-1)})), "ell");
  EXPECT_TRUE(Call(hello, "slice").IsUndefined());
  EXPECT_EQ(Call(hello, "indexOf", {S("l"), Value(-5)}).AsNumber(), 2);
  EXPECT_EQ(Call(hello, "lastIndexOf", {S("l"), Value(2)}).AsNumber(), 2);
  EXPECT_EQ(Call(hello, "lastIndexOf", {S("l"), Value(-1)}).AsNumber(), -1);
  EXPECT_EQ(Text(Call(hello, "charAt", {Value(4294967297.0)})), "e");  // ToInt32: 1
  EXPECT_TRUE(std::isnan(Call(hello, "charCodeAt", {Value(5)}).AsNumber()));
  EXPECT_EQ(Text(Call(S("a,b"), "split")), "a,b");
  EXPECT_EQ(Member(Call(S("a,b"), "split"), "length").AsNumber(), 1);
  EXPECT_EQ(Member(Call(S("abc"), "split", {S("")}), "length").AsNumber(), 3);
  EXPECT_EQ(Member(Call(S("a,b,c"), "split", {S(","), Value(2)}), "length").AsNumber(), 2);
  EXPECT_EQ(Text(Call(Global("String"), "fromCharCode", {Value(72), Value(105), Value(0), Value(33)})), "Hi");
  // The player's own case tables: final sigma to U+03A2, sharp s unchanged.
  Value greek = Value(Impl().NewString(u"\u03C2\u00DF\u00E9"));
  EXPECT_EQ(Impl().ToString(Call(greek, "toUpperCase"))->View(), std::u16string_view(u"\u03A2\u00DF\u00C9"));

  Make(5);
  EXPECT_EQ(Call(S("abc"), "charCodeAt", {Value(5)}).AsNumber(), 0);
  EXPECT_EQ(Member(Call(S("a,b"), "split"), "length").AsNumber(), 2);
  EXPECT_EQ(Member(Call(S("abc"), "split", {S("")}), "length").AsNumber(), 1);
}

TEST_F(Avm1Builtins, MathMembersAndTheirNativeNumbers) {
  Make(8);
  Value math = Global("Math");
  EXPECT_EQ(Call(math, "min").AsNumber(), INFINITY);
  EXPECT_TRUE(std::isnan(Call(math, "max", {Value(1)}).AsNumber()));
  EXPECT_EQ(Call(math, "round", {Value(-12.5)}).AsNumber(), -12);
  EXPECT_EQ(Call(math, "round", {Value(2.5)}).AsNumber(), 3);
  EXPECT_EQ(Call(math, "pow", {Value(1)}).AsNumber(), 1);
  EXPECT_EQ(Call(math, "atan2", {Value(1), Value(1)}).AsNumber(), std::atan2(1.0, 1.0));
  const double random = Call(math, "random").AsNumber();
  EXPECT_TRUE(random >= 0 && random < 1);
  EXPECT_EQ(Member(math, "PI").AsNumber(), M_PI);
  Impl().ToObject(math)->Set(Impl(), Impl().Str("PI"), Value(3));
  EXPECT_EQ(Member(math, "PI").AsNumber(), M_PI);

  const Value min[] = {Value(200), Value(1)};
  const Value unknown[] = {Value(200), Value(99)};
  const Value two[] = {Value(5), Value(2)};
  EXPECT_EQ(Impl().Call(Impl().Call(Global("ASnative"), Value(), min), Value(), two).AsNumber(), 2);
  EXPECT_TRUE(std::isnan(Impl().Call(Impl().Call(Global("ASnative"), Value(), unknown), Value(), two).AsNumber()));
}

}  // namespace
}  // namespace swfplayer::avm1
