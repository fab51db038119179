// Every bound a script runs under abandons the running block, never the process, and the
// movie's later scripts run on; the collector keeps a script that churns objects flat.
#include "swfplayer/format/Limits.h"
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::ScriptTest;

class Avm1Bounds : public ScriptTest {};

TEST_F(Avm1Bounds, AnEndlessLoopSpendsTheTicksBudgetAndTheTickEnds) {
  Make(7);
  host.msPerRead = 1;  // every look at the clock is a millisecond later
  EXPECT_EQ(Run(R"(
    push "before"
    trace
    loop:
    jump loop
  )"),
            "before\n");
  EXPECT_TRUE(vm->TickBudgetSpent());
  EXPECT_NE(Impl().lastAbort.find("ran longer"), std::string::npos);
  // The rest of the tick's scripts are skipped; the next tick runs them.
  const auto later = Assemble("push \"later\"\ntrace\n");
  host.traces.clear();
  vm->RunFrameScript(root, *later);
  EXPECT_TRUE(host.traces.empty());
  vm->BeginTick();
  vm->RunFrameScript(root, *later);
  EXPECT_EQ(host.Output(), "later\n");
}

TEST_F(Avm1Bounds, RecursionStopsAt256Levels) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "depth" 0
    setvariable
    function down
      push "depth" "depth"
      getvariable
      increment
      setvariable
      push 0 "down"
      callfunction
    end
    push 0 "down"
    callfunction
    push "not reached"
    trace
  )"),
            "");
  EXPECT_EQ(Run("push \"depth\"\ngetvariable\ntrace\n"), "256\n");
  EXPECT_NE(Impl().lastAbort.find("256 levels"), std::string::npos);
}

TEST_F(Avm1Bounds, StackStringAndArrayBounds) {
  Limits limits;
  limits.maxStackValues = 1000;
  limits.maxStringUnits = 1 << 16;
  Make(7, limits);
  EXPECT_EQ(Run("loop:\npush 1\njump loop\n"), "");
  EXPECT_EQ(Impl().lastAbort, "the operand stack is full");
  EXPECT_EQ(Run(R"(
    push "s" "ab"
    setvariable
    loop:
    push "s" "s"
    getvariable
    push "s"
    getvariable
    add2
    setvariable
    jump loop
  )"),
            "");
  EXPECT_NE(Impl().lastAbort.find("string"), std::string::npos);
  EXPECT_EQ(Run(R"(
    push "a" 1000000000 1 "Array"
    newobject
    setvariable
    push "not reached"
    trace
  )"),
            "");
  EXPECT_NE(Impl().lastAbort.find("array"), std::string::npos);
  EXPECT_EQ(Run("push 5000000000\ninitarray\ntypeof\ntrace\n"), "undefined\n");
}

TEST_F(Avm1Bounds, TheHeapBoundAbandonsABlockThatHoards) {
  Limits limits;
  limits.maxHeapBytes = 8 << 20;
  Make(7, limits);
  EXPECT_EQ(Run(R"(
    push "hoard" 0
    initarray
    setvariable
    loop:
    push "hoard"
    getvariable
    push "hoard"
    getvariable
    push "length"
    getmember
    push 0
    initobject
    setmember
    jump loop
  )"),
            "");
  EXPECT_NE(Impl().lastAbort.find("heap is full"), std::string::npos);
  // Dropping the hoard gives the room back (the heap is too full to make even its name).
  PropertyMap& variables = Impl().ObjectOf(&root)->Properties();
  Property* hoard = nullptr;
  variables.ForEach([&](Property& property) {
    if (property.name->Equals(u"hoard")) hoard = &property;
  });
  ASSERT_NE(hoard, nullptr);
  variables.Remove(hoard);
  vm->CollectGarbage();
  EXPECT_LT(vm->HeapBytes(), size_t{1} << 20);
}

TEST_F(Avm1Bounds, ObjectsDroppedInALoopAreCollectedWhileItRuns) {
  Make(7);
  vm->CollectGarbage();
  const size_t baseline = vm->HeapBytes();
  // 60,000 cyclic pairs (some 25 MB) made and dropped within one block; one is kept.
  EXPECT_EQ(Run(R"(
    push "i" 0
    setvariable
    loop:
    push "a" 0
    initobject
    setvariable
    push "b" "peer" "a"
    getvariable
    push 1
    initobject
    setvariable
    push "a"
    getvariable
    push "peer" "b"
    getvariable
    setmember
    push "i" "i"
    getvariable
    increment
    setvariable
    push "i"
    getvariable
    push 60000
    less2
    if loop
    push "a"
    getvariable
    push "peer"
    getmember
    push "peer"
    getmember
    push "a"
    getvariable
    strictequals
    trace
  )"),
            "true\n");
  EXPECT_LT(vm->HeapBytes(), baseline + (size_t{16} << 20)) << "garbage was not collected during the loop";
  vm->CollectGarbage();
  EXPECT_LT(vm->HeapBytes(), baseline + (size_t{64} << 10));
}

TEST_F(Avm1Bounds, ACollectionInsideACallKeepsItsThis) {
  Make(7);
  Impl().heap.SetCollectionThreshold(0);  // collect at every safe point
  // The constructor takes no `this` (suppressed): the object `new` made is held by the call.
  EXPECT_EQ(Run(R"(
    function2 C regs=2 flags=0x2
      push 0
      storeregister 1
      pop
      loop:
      push 0
      initobject
      pop
      push r:1
      increment
      storeregister 1
      push 3
      less2
      if loop
    end
    push "o" 0 "C"
    newobject
    setvariable
    push "o"
    getvariable
    push "__constructor__"
    getmember
    push "C"
    getvariable
    strictequals
    trace
  )"),
            "true\n");
}

// A whole program often runs inside one Function.call or apply: what it drops is collected as
// it runs, and the `this` and arguments the call holds survive the collections.
TEST_F(Avm1Bounds, CallAndApplyLetTheCollectorRunAndKeepTheirValues) {
  Make(7);
  vm->CollectGarbage();
  const size_t baseline = vm->HeapBytes();
  EXPECT_EQ(Run(R"(
    function2 f regs=4 flags=0x29 r2:a
      push 0
      storeregister 3
      pop
      loop:
      push "x" 0
      initarray
      push 1
      initobject
      pop
      push r:3
      increment
      storeregister 3
      push r:2 "n"
      getmember
      less2
      if loop
      push r:1 "tag"
      getmember
      push r:2 "tag"
      getmember
      add2
      return
    end
    push "o" "tag" "this+" 1
    initobject
    setvariable
    push "arg" "tag" "arg" "n" 150000 2
    initobject
    setvariable
    push "arg"
    getvariable
    push 1
    initarray
    push "o"
    getvariable
    push 2 "f"
    getvariable
    push "apply"
    callmethod
    trace
    push "arg"
    getvariable
    push "o"
    getvariable
    push 2 "f"
    getvariable
    push "call"
    callmethod
    trace
  )"),
            "this+arg\nthis+arg\n");
  EXPECT_LT(vm->HeapBytes(), baseline + (size_t{16} << 20)) << "garbage was not collected during the calls";
}

TEST_F(Avm1Bounds, DamagedBlocksAreRefusedWithAReason) {
  testing::Latin1Decoder ansi;
  const auto refusal = [&](std::vector<uint8_t> bytes) {
    const format::ActionDecode decoded = format::DecodeActionProgram(bytes, 7, ansi);
    return decoded.program ? std::string("accepted") : decoded.refusal;
  };
  // A jump 10 bytes past the end, into the middle of a push, and an action longer than the block.
  EXPECT_EQ(refusal({0x99, 2, 0, 10, 0, 0}), "a jump out of its block or function");
  EXPECT_EQ(refusal({0x96, 5, 0, 7, 1, 0, 0, 0, 0x99, 2, 0, 0xF4, 0xFF, 0}), "a jump into the middle of an action");
  EXPECT_EQ(refusal({0x96, 20, 0, 7, 1, 0, 0, 0}), "an action's length runs past the end of its body");
  // A function whose body runs past the block; a push of a type that does not exist.
  EXPECT_EQ(refusal({0x9B, 6, 0, 'f', 0, 0, 0, 50, 0, 0x17}), "a body runs past the end of what holds it");
  EXPECT_EQ(refusal({0x96, 2, 0, 12, 0, 0}), "a push of an unknown type 12");
  EXPECT_EQ(refusal({0x88, 4, 0, 3, 0, 'a', 0, 0}), "a ConstantPool shorter than its count");
  // A jump out of a function's body into the block around it.
  EXPECT_EQ(refusal({0x9B, 6, 0, 'f', 0, 0, 0, 5, 0, 0x99, 2, 0, 10, 0, 0x17, 0}), "a jump out of its block or function");
  // Too many actions: refused whole rather than decoded without end.
  EXPECT_EQ(refusal(std::vector<uint8_t>(format::kMaxActionsPerProgram + 1, 0x17)),
            "more than 1048576 actions");
  // Jumps to the block's end and what follows its End are fine; unknown codes are kept.
  EXPECT_EQ(refusal({0x99, 2, 0, 1, 0, 0x01, 0, 0xAB, 0xCD}), "accepted");
}

// A bitmap the display still shows (here, the fake clip's recorded bitmap fill) outlives the
// script's last reference and its pixels stay counted by the heap; once nothing shows it, it is
// collected like any other object.
TEST_F(Avm1Bounds, AShownBitmapStaysCountedUntilNothingShowsIt) {
  Make(8);
  vm->CollectGarbage();
  const size_t baseline = vm->HeapBytes();
  EXPECT_EQ(Run(R"(
    push "b" 0 false 1000 1000 4 "flash"
    getvariable
    push "display"
    getmember
    push "BitmapData"
    newmethod
    setvariable
    push "b"
    getvariable
    push 1 "_root"
    getvariable
    push "beginBitmapFill"
    callmethod
    pop
    push "b" undefined
    setvariable
  )"),
            "");
  ASSERT_EQ(root.drawn.size(), 1u);
  vm->CollectGarbage();
  EXPECT_GE(vm->HeapBytes(), baseline + 4'000'000);
  root.drawn.clear();
  vm->CollectGarbage();
  EXPECT_LT(vm->HeapBytes(), baseline + (size_t{64} << 10));
}

}  // namespace
}  // namespace swfplayer::avm1
