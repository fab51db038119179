// Scopes: closures by version, local and timeline variables, with, tellTarget, variable paths
// through the display, registers and what DefineFunction2 preloads.
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::FakeClip;
using testing::ScriptTest;

class Avm1Scopes : public ScriptTest {
 protected:
  void SetUp() override {
    FakeClip& child = root.AddChild(u"child", 1);
    child.AddChild(u"grand", 1);
  }
  FakeClip& Child() { return *static_cast<FakeClip*>(root.ChildByName(u"child", true)); }
};

// makeCounter() returns a function counting in a local of the call that made it.
constexpr const char* kCounters = R"(
  function makeCounter
    push "count" 0
    definelocal
    function -
      push "count" "count"
      getvariable
      increment
      storeregister 1
      setvariable
      push r:1
      return
    end
    return
  end
  push "a" 0 "makeCounter"
  callfunction
  setvariable
  push "b" 0 "makeCounter"
  callfunction
  setvariable
  push 0 "a"
  callfunction
  pop
  push 0 "a"
  callfunction
  trace
  push 0 "b"
  callfunction
  trace
  push "count"
  getvariable
  trace
)";

TEST_F(Avm1Scopes, ClosuresFromSwf6AndTheirAbsenceBefore) {
  Make(6);
  EXPECT_EQ(Run(kCounters), "2\n1\nundefined\n");
  // SWF 5 functions see only the timeline and the globals: the counters share the
  // timeline's count.
  Make(5);
  EXPECT_EQ(Run(kCounters), "2\n3\n3\n");
}

TEST_F(Avm1Scopes, VarStaysLocalAndAssignmentsReachTheTimeline) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "shadow" "timeline"
    setvariable
    function f
      push "shadow" "local"
      definelocal
      push "declared"
      definelocal2
      push "leaked" "from f"
      setvariable
      push "shadow"
      getvariable
      trace
      push "declared"
      getvariable
      typeof
      trace
    end
    push 0 "f"
    callfunction
    pop
    push "shadow"
    getvariable
    trace
    push "leaked"
    getvariable
    trace
    push "declared"
    getvariable
    trace
  )"),
            "local\nundefined\ntimeline\nfrom f\nundefined\n");
  EXPECT_EQ(Impl().ToString(Impl().ObjectOf(&root)->Get(Impl(), Impl().Str("leaked")))->ToUtf8(), "from f");
}

TEST_F(Avm1Scopes, WithPutsAnObjectFirst) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "o" "x" 1 1
    initobject
    setvariable
    push "x" "timeline x"
    setvariable
    push "o"
    getvariable
    with
      push "x"
      getvariable
      trace
      push "x" 2
      setvariable
      push "y" "new"
      setvariable
    end
    push "o"
    getvariable
    push "x"
    getmember
    trace
    push "y"
    getvariable
    trace
    push undefined
    with
      push "never"
      trace
    end
    push "after"
    trace
  )"),
            "1\n2\nnew\nError: A 'with' action failed because the specified object did not exist.\nafter\n");
}

TEST_F(Avm1Scopes, TellTargetAndPaths) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "/child:v" "child v"
    setvariable
    push "_root.child.grand.w" "grand w"
    setvariable
    push "top" "root top"
    setvariable
    settarget "child"
    push "v"
    getvariable
    trace
    push "../:top"
    getvariable
    trace
    push "_parent.top"
    getvariable
    trace
    push "grand.w"
    getvariable
    trace
    push "set" "inside child"
    setvariable
    settarget ""
    push "child.set"
    getvariable
    trace
    push "set"
    getvariable
    trace
    push "/child/grand"
    getvariable
    targetpath
    trace
    push "_level0.child"
    getvariable
    typeof
    trace
    settarget "nowhere"
    settarget ""
  )"),
            "child v\nroot top\nroot top\ngrand w\ninside child\nundefined\n_level0.child.grand\nmovieclip\n"
            "Target not found: Target=\"nowhere\" Base=\"_level0\"\n");
  // A block of the child runs with the child as its timeline.
  EXPECT_EQ(Run(R"(
    push "this"
    getvariable
    trace
    push "_parent"
    getvariable
    trace
    push "_root"
    getvariable
    trace
    push "_target"
    getvariable
    trace
  )",
                &Child()),
            "_level0.child\n_level0\n_level0\n/child\n");
}

TEST_F(Avm1Scopes, NamesCompareWithoutCaseBeforeSwf7) {
  const char* script = R"(
    push "Value" 1
    setvariable
    push "value"
    getvariable
    trace
    push "CHILD"
    getvariable
    typeof
    trace
  )";
  Make(6);
  EXPECT_EQ(Run(script), "1\nmovieclip\n");
  Make(7);
  EXPECT_EQ(Run(script), "undefined\nundefined\n");
}

TEST_F(Avm1Scopes, DefineFunction2PreloadsAndSuppresses) {
  Make(7);
  // flags: this 0x1, arguments 0x4, super 0x10, _root 0x40, _parent 0x80, _global 0x100.
  EXPECT_EQ(Run(R"(
    function2 f regs=8 flags=0x1d5 r7:p
      push r:1
      trace
      push r:2 "length"
      getmember
      trace
      push r:3
      typeof
      trace
      push r:4
      trace
      push r:5
      typeof
      trace
      push r:7
      trace
    end
    push "o" 0
    initobject
    setvariable
    push "o"
    getvariable
    push "f"
    push "f"
    getvariable
    setmember
    push "param" "extra" 2 "o"
    getvariable
    push "f"
    callmethod
    pop
  )"),
            "[object Object]\n2\nobject\n_level0\nobject\nextra\n");
  // _parent of a root timeline is not preloaded: _global takes its register.
  EXPECT_EQ(Run(R"(
    function2 g regs=3 flags=0x180
      push r:1
      typeof
      trace
      push r:2
      typeof
      trace
    end
    push 0 "g"
    callfunction
    pop
  )"),
            "object\nundefined\n");
  // Suppressed: no `arguments` by name.
  EXPECT_EQ(Run(R"(
    function2 h regs=1 flags=0x8
      push "arguments"
      getvariable
      typeof
      trace
    end
    function k
      push "arguments"
      getvariable
      push "length"
      getmember
      trace
      push "arguments"
      getvariable
      push "callee"
      getmember
      push "k"
      getvariable
      strictequals
      trace
    end
    push 0 "h"
    callfunction
    pop
    push 1 2 3 3 "k"
    callfunction
    pop
  )"),
            "undefined\n3\ntrue\n");
}

TEST_F(Avm1Scopes, RegistersBelongToTheirCall) {
  Make(7);
  // A recursive DefineFunction2 keeps its own registers in every call.
  EXPECT_EQ(Run(R"(
    function2 fact regs=3 flags=0x0 r1:n
      push r:1 1
      greater
      if more
      push 1
      return
      more:
      push r:1 1
      subtract
      push 1 "fact"
      callfunction
      push r:1
      multiply
      return
    end
    push 10 1 "fact"
    callfunction
    trace
    push "g" 1
    storeregister 1
    pop
    push r:1
    trace
  )"),
            "3628800\n1\n");
}

TEST_F(Avm1Scopes, ThisDependsOnHowAFunctionIsCalled) {
  Make(7);
  EXPECT_EQ(Run(R"(
    function who
      push "this"
      getvariable
      tostring
      trace
    end
    push 0 "who"
    callfunction
    pop
    push "o" 0
    initobject
    setvariable
    push "o"
    getvariable
    push "m"
    push "who"
    getvariable
    setmember
    push 0 "o"
    getvariable
    push "m"
    callmethod
    pop
    push "child"
    getvariable
    push 1 "who"
    getvariable
    push "call"
    callmethod
    pop
  )"),
            "_level0\n[object Object]\n_level0.child\n");
}

}  // namespace
}  // namespace swfplayer::avm1
