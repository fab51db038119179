// Prototypes and ActionScript 2 classes (extends, super, interfaces, casts), getters and
// setters from scripts, and exceptions through nested functions.
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::ScriptTest;

class Avm1Classes : public ScriptTest {};

// class Base { function Base(n) { this.n = n; trace("Base " + n); } function hello() { ... } }
// class Derived extends Base { function Derived() { super(7); } function hello() { super.hello(); ... } }
constexpr const char* kClasses = R"(
  push "_global"
  getvariable
  push "Base"
  function2 - regs=3 flags=0x1 r2:n
    push r:1 "n" r:2
    setmember
    push "Base " r:2
    add2
    trace
  end
  setmember
  push "Base"
  getvariable
  push "prototype"
  getmember
  push "hello"
  function -
    push "Base.hello " "this"
    getvariable
    push "n"
    getmember
    add2
    trace
  end
  setmember
  push "_global"
  getvariable
  push "Derived"
  function2 - regs=2 flags=0x12
    push 7 1 r:1 undefined
    callmethod
    pop
  end
  setmember
  push "Derived"
  getvariable
  push "Base"
  getvariable
  extends
  push "Derived"
  getvariable
  push "prototype"
  getmember
  push "hello"
  function2 - regs=2 flags=0x10
    push 0 r:1 "hello"
    callmethod
    pop
    push "Derived.hello"
    trace
  end
  setmember
  push "d" 0 "Derived"
  newobject
  setvariable
  push 0 "d"
  getvariable
  push "hello"
  callmethod
  pop
  push "d"
  getvariable
  push "Base"
  getvariable
  instanceof
  trace
  push "d"
  getvariable
  push "__constructor__"
  getmember
  push "Derived"
  getvariable
  strictequals
  trace
  push "Derived"
  getvariable
  push "prototype"
  getmember
  push "constructor"
  getmember
  push "Base"
  getvariable
  strictequals
  trace
)";

TEST_F(Avm1Classes, ExtendsAndSuper) {
  Make(7);
  EXPECT_EQ(Run(kClasses), "Base 7\nBase.hello 7\nDerived.hello\ntrue\ntrue\ntrue\n");
}

TEST_F(Avm1Classes, InterfacesAndCastsFromSwf7) {
  const char* script = R"(
    push "I"
    function -
    end
    setvariable
    push "C"
    function -
    end
    setvariable
    push "I"
    getvariable
    push 1 "C"
    getvariable
    implementsop
    push "c" 0 "C"
    newobject
    setvariable
    push "c"
    getvariable
    push "I"
    getvariable
    instanceof
    trace
    push "I"
    getvariable
    push "c"
    getvariable
    castop
    typeof
    trace
    push "C"
    getvariable
    push 0
    initobject
    castop
    trace
  )";
  Make(7);
  EXPECT_EQ(Run(script), "true\nobject\nnull\n");
  Make(6);  // interfaces count for instanceof only from SWF 7
  EXPECT_EQ(Run(script), "false\nnull\nnull\n");
}

TEST_F(Avm1Classes, PrototypeChainsOfScriptConstructors) {
  Make(6);
  EXPECT_EQ(Run(R"(
    push "Animal"
    function - name
      push "this"
      getvariable
      push "name" "name"
      getvariable
      setmember
    end
    setvariable
    push "Animal"
    getvariable
    push "prototype"
    getmember
    push "speak"
    function -
      push "this"
      getvariable
      push "name"
      getmember
      push " speaks"
      add2
      return
    end
    setmember
    push "rex" "Rex" 1 "Animal"
    newobject
    setvariable
    push 0 "rex"
    getvariable
    push "speak"
    callmethod
    trace
    push "rex"
    getvariable
    push "constructor"
    getmember
    push "Animal"
    getvariable
    equals2
    trace
    push "rex"
    getvariable
    push "__proto__"
    getmember
    push "Animal"
    getvariable
    push "prototype"
    getmember
    equals2
    trace
    push "Animal"
    getvariable
    push "prototype"
    delete
    trace
  )"),
            "Rex speaks\ntrue\ntrue\nfalse\n");
}

TEST_F(Avm1Classes, AddPropertyWatchAndResolveFromScripts) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "o" 0
    initobject
    setvariable
    push null
    function -
      push "got"
      return
    end
    push "x" 3 "o"
    getvariable
    push "addProperty"
    callmethod
    trace
    push "o"
    getvariable
    push "x"
    getmember
    trace
    push "o"
    getvariable
    push "x" "ignored"
    setmember
    push "o"
    getvariable
    push "x"
    getmember
    trace
    function watcher name old new
      push "watch " "name"
      getvariable
      add2
      push " "
      add2
      push "old"
      getvariable
      add2
      push " "
      add2
      push "new"
      getvariable
      add2
      trace
      push "new"
      getvariable
      push 10
      multiply
      return
    end
    push "watcher"
    getvariable
    push "w" 2 "o"
    getvariable
    push "watch"
    callmethod
    pop
    push "o"
    getvariable
    push "w" 4
    setmember
    push "o"
    getvariable
    push "w"
    getmember
    trace
    push "o"
    getvariable
    push "__resolve"
    function - n
      push "?" "n"
      getvariable
      add2
      return
    end
    setmember
    push "o"
    getvariable
    push "missing"
    getmember
    trace
  )"),
            "true\ngot\ngot\nwatch w undefined 4\n40\n?missing\n");
}

class Avm1Exceptions : public ScriptTest {};

TEST_F(Avm1Exceptions, ThrowsUnwindNestedFunctionsToTheNearestCatch) {
  Make(7);
  EXPECT_EQ(Run(R"(
    function inner
      push "inner throws"
      trace
      push "boom"
      throw
      push "not reached"
      trace
    end
    function middle
      try e
        push 0 "inner"
        callfunction
        pop
      finally
        push "middle finally"
        trace
      end
      push "not reached either"
      trace
    end
    try r:3
      push 0 "middle"
      callfunction
      pop
    catch
      push "caught " r:3
      add2
      trace
    finally
      push "outer finally"
      trace
    end
    push "after"
    trace
  )"),
            "inner throws\nmiddle finally\ncaught boom\nouter finally\nafter\n");
}

TEST_F(Avm1Exceptions, FinallyRunsOnReturnAndCanOverrideIt) {
  Make(7);
  EXPECT_EQ(Run(R"(
    function f
      try e
        push "from try"
        return
      finally
        push "finally of f"
        trace
      end
    end
    function g
      try e
        push "from try"
        return
      finally
        push "from finally"
        return
      end
    end
    function h
      try e
        push "x"
        throw
      catch
        push "caught " "e"
        getvariable
        add2
        return
      end
    end
    push 0 "f"
    callfunction
    trace
    push 0 "g"
    callfunction
    trace
    push 0 "h"
    callfunction
    trace
  )"),
            "finally of f\nfrom try\nfrom finally\ncaught x\n");
}

TEST_F(Avm1Exceptions, ThrowsFromCatchAndFromNativeCallbacks) {
  Make(7);
  EXPECT_EQ(Run(R"(
    try e
      try e
        push 1
        throw
      catch
        push "rethrow " "e"
        getvariable
        add2
        throw
      end
    catch
      push "e"
      getvariable
      trace
    end
    push "o" 0
    initobject
    setvariable
    push "o"
    getvariable
    push "valueOf"
    function -
      push "from valueOf"
      throw
    end
    setmember
    try r:2
      push "o"
      getvariable
      push 1
      add2
      pop
    catch
      push r:2
      trace
    end
    push "uncaught" 
    throw
    push "the block ended"
    trace
  )"),
            "rethrow 1\nfrom valueOf\n");
  // The next block runs as usual.
  EXPECT_EQ(Run(R"(
    push "next"
    trace
  )"),
            "next\n");
}

TEST_F(Avm1Exceptions, BreakOutOfWithAndTryLeavesThem) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "x" "timeline"
    setvariable
    push "x" "object" 1
    initobject
    with
      push "x"
      getvariable
      trace
      jump out
    end
    out:
    push "x"
    getvariable
    trace
    try e
      jump out2
    catch
    end
    out2:
    push "then"
    throw
  )"),
            "object\ntimeline\n");
}

}  // namespace
}  // namespace swfplayer::avm1
