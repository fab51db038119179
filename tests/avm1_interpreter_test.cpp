// The interpreter's operators and conversions across SWF versions, run as action blocks.
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::ScriptTest;

class Avm1Operators : public ScriptTest {};

TEST_F(Avm1Operators, ArithmeticAndConcatenation) {
  Make(8);
  EXPECT_EQ(Run(R"(
    push "hello"
    trace
    push 1 2
    add2
    trace
    push "a" 1
    add2
    trace
    push 1 "2"
    add2
    trace
    push 7 2
    modulo
    trace
    push -7 2
    modulo
    trace
    push 1 3
    divide
    trace
    push 1 0
    divide
    trace
    push "3" "4"
    multiply
    trace
    push 10 "x"
    subtract
    trace
    push undefined
    trace
    push null
    trace
    push 5
    increment
    trace
    push "5"
    decrement
    trace
  )"),
            "hello\n3\na1\n12\n1\n-1\n0.333333333333333\nInfinity\n12\nNaN\nundefined\nnull\n6\n4\n");
}

TEST_F(Avm1Operators, UndefinedAndBooleansByVersion) {
  const char* script = R"(
    push undefined 1
    add2
    trace
    push "[" undefined "]"
    add2
    add2
    trace
    push true
    tostring
    trace
    push undefined
    tonumber
    trace
  )";
  Make(6);  // undefined is 0 and "" before SWF 7
  EXPECT_EQ(Run(script), "1\n[]\ntrue\n0\n");
  Make(7);
  EXPECT_EQ(Run(script), "NaN\n[undefined]\ntrue\nNaN\n");
  Make(4);  // SWF 4 prints booleans as 1 and 0
  EXPECT_EQ(Run(R"(
    push 1 2
    less
    trace
    push 2 1
    less
    trace
    push "abc" 0
    equals
    trace
    push 1 0
    divide
    trace
  )"),
            "1\n0\n1\n#ERROR#\n");
}

TEST_F(Avm1Operators, Swf4AndSwf5ComparisonsDiffer) {
  Make(5);
  EXPECT_EQ(Run(R"(
    push undefined 0
    equals
    trace
    push undefined 0
    equals2
    trace
    push null undefined
    equals2
    trace
    push "10" 10
    equals2
    trace
    push "0x10" 16
    equals2
    trace
    push nan nan
    equals
    trace
    push "abc" "abd"
    less2
    trace
    push "10" "9"
    less2
    trace
    push 10 "9"
    less2
    trace
    push nan 1
    less2
    trace
    push 1 nan
    less
    trace
    push 2 1
    greater
    trace
  )"),
            "true\nfalse\ntrue\ntrue\nfalse\nfalse\ntrue\ntrue\nfalse\nundefined\nfalse\ntrue\n");
  Make(6);  // hexadecimal strings are numbers from SWF 6
  EXPECT_EQ(Run(R"(
    push "0x10" 16
    equals2
    trace
    push 1 "1"
    strictequals
    trace
    push "a" "a"
    strictequals
    trace
    push true 1
    equals2
    trace
  )"),
            "true\nfalse\ntrue\ntrue\n");
}

TEST_F(Avm1Operators, BitwiseShiftsAndIntegers) {
  Make(7);
  const char* script = R"(
    push 4294967295 1
    bitand
    trace
    push -1 0
    bitor
    trace
    push 5 3
    bitxor
    trace
    push 1 33
    bitlshift
    trace
    push -16 2
    bitrshift
    trace
    push -1 28
    biturshift
    trace
    push -1 0
    biturshift
    trace
    push -3.7
    tointeger
    trace
    push 3000000000
    tointeger
    trace
  )";
  EXPECT_EQ(Run(script), "1\n-1\n6\n2\n-4\n15\n4294967295\n-3\n-1294967296\n");
  Make(8);  // SWF 8's unsigned shift answers a signed number
  EXPECT_EQ(Run(script), "1\n-1\n6\n2\n-4\n15\n-1\n-3\n-1294967296\n");
}

TEST_F(Avm1Operators, StringActions) {
  Make(6);
  EXPECT_EQ(Run(R"(
    push "abcdef" 2 3
    stringextract
    trace
    push "abcdef" 0 -1
    stringextract
    trace
    push "abcdef" 5 10
    mbstringextract
    trace
    push "h)" "\xc3\xa9" R"("
    stringlength
    trace
    push "A"
    chartoascii
    trace
    push 66
    asciitochar
    trace
    push 0
    asciitochar
    stringlength
    trace
    push "ab" "cd"
    stringadd
    trace
    push "ab" "ab"
    stringequals
    trace
    push "a" "b"
    stringless
    trace
    push "b" "a"
    stringgreater
    trace
    push 1
    typeof
    trace
    push "x"
    typeof
    trace
  )"),
            "bcd\nabcdef\nef\n2\n65\nB\n0\nabcd\ntrue\ntrue\ntrue\nnumber\nstring\n");
}

TEST_F(Avm1Operators, LogicNotAndIfFollowTheVersionsBooleans) {
  const char* script = R"(
    push "0"
    not
    trace
    push "abc"
    not
    trace
    push ""
    if yes
    push "no"
    trace
    jump done
    yes:
    push "yes"
    trace
    done:
  )";
  Make(6);  // strings are numbers to a boolean before SWF 7
  EXPECT_EQ(Run(script), "true\ntrue\nno\n");
  Make(7);
  EXPECT_EQ(Run(script), "false\nfalse\nno\n");
}

TEST_F(Avm1Operators, ValueOfAndToStringRunForConversions) {
  Make(6);
  EXPECT_EQ(Run(R"(
    push "o" 0
    initobject
    setvariable
    push "o"
    getvariable
    push "valueOf"
    function - 
      push "valueOf"
      trace
      push 41
      return
    end
    setmember
    push "o"
    getvariable
    push 1
    add2
    trace
    push "o"
    getvariable
    push "toString"
    function -
      push "text"
      return
    end
    setmember
    push "[" "o"
    getvariable
    add2
    trace
    push "o"
    getvariable
    tostring
    trace
    push 0
    initobject
    tostring
    trace
  )"),
            "valueOf\n42\nvalueOf\n[41\ntext\n[object Object]\n");
}

TEST_F(Avm1Operators, PushTypesRegistersAndConstantPools) {
  Make(7);
  EXPECT_EQ(Run(R"(
    constantpool "first" "second"
    push c:1 c:0 c:9
    trace
    trace
    trace
    push 1.5 -2 true null
    trace
    trace
    trace
    trace
    push "kept"
    storeregister 3
    pop
    push r:3
    trace
    push 1 2
    stackswap
    trace
    pushduplicate
    add2
    trace
  )"),
            "undefined\nfirst\nsecond\nnull\ntrue\n-2\n1.5\nkept\n1\n4\n");
}

TEST_F(Avm1Operators, ObjectAndArrayLiteralsAndEnumeration) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "a" 1 "b" 2 2
    initobject
    storeregister 1
    pop
    push r:1 "b"
    getmember
    trace
    push "x" "y" "z" 3
    initarray
    storeregister 2
    pop
    push r:2 0
    getmember
    trace
    push r:2 "length"
    getmember
    trace
    push r:1
    enumerate2
    loop:
    storeregister 0
    push null
    equals2
    if end
    push r:0
    trace
    jump loop
    end:
    push -1
    initarray
    typeof
    trace
  )"),
            "2\nz\n3\na\nb\nundefined\n");
}

TEST_F(Avm1Operators, DeleteAndInstanceOf) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "o" 0
    initobject
    setvariable
    push "o"
    getvariable
    push "p" 1
    setmember
    push "o"
    getvariable
    push "p"
    delete
    trace
    push "o"
    getvariable
    push "p"
    getmember
    trace
    push "o"
    delete2
    trace
    push "o"
    delete2
    trace
    push 0 "Array"
    newobject
    push "Array"
    getvariable
    instanceof
    trace
    push 0 "Array"
    newobject
    push "Object"
    getvariable
    instanceof
    trace
    push 1 "Object"
    getvariable
    instanceof
    trace
  )"),
            "true\nundefined\ntrue\nfalse\ntrue\ntrue\nfalse\n");
}

}  // namespace
}  // namespace swfplayer::avm1
