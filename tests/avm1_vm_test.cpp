// The Vm as the player drives it, over a fake clip tree: display properties by name and by
// index, the MovieClip methods, clips made and removed by scripts and references to them,
// frame calls, timers, clip methods and registered classes, fscommand, and the collector
// keeping what the display holds.
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::FakeClip;
using testing::ScriptTest;

class Avm1Vm : public ScriptTest {
 protected:
  void SetUp() override {
    root.labels[u"intro"] = 2;
    root.AddChild(u"child", 1, 4);
  }
  FakeClip* Child(const char16_t* name) { return static_cast<FakeClip*>(root.ChildByName(name, true)); }
};

TEST_F(Avm1Vm, DisplayPropertiesByNameAndByIndex) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "child"
    getvariable
    push "_x" 12.5
    setmember
    push "/child" 6 50
    setproperty
    push "child"
    getvariable
    push "_alpha"
    getmember
    trace
    push "child" 0
    getproperty
    trace
    push "child"
    getvariable
    push "_VISIBLE" false
    setmember
    push "child"
    getvariable
    push "_visible"
    getmember
    trace
    push "child" 5
    getproperty
    trace
    push "_currentframe"
    getvariable
    trace
    push "child"
    getvariable
    push "_name"
    getmember
    trace
    push "child"
    getvariable
    push "_x" "not a number"
    setmember
    push "child" 0
    getproperty
    trace
  )"),
            "50\n12.5\nfalse\n4\n1\nchild\n12.5\n");
  EXPECT_EQ(Child(u"child")->NumberProperty(DisplayProperty::kX), 12.5);
  EXPECT_EQ(Child(u"child")->NumberProperty(DisplayProperty::kVisible), 0);
}

TEST_F(Avm1Vm, TimelineMethodsAndActions) {
  Make(7);
  Run(R"(
    push "intro" 1 "_root"
    getvariable
    push "gotoAndStop"
    callmethod
    pop
  )");
  EXPECT_EQ(root.frame, 2);
  EXPECT_FALSE(root.playing);
  Run(R"(
    push 4
    gotoframe2 play
  )");
  EXPECT_EQ(root.frame, 3);
  EXPECT_TRUE(root.playing);
  Run(R"(
    push "/child:3"
    gotoframe2 stop
    prevframe
  )");
  EXPECT_EQ(Child(u"child")->frame, 2);
  EXPECT_EQ(root.frame, 2);
  Run(R"(
    push 0 "child"
    getvariable
    push "nextFrame"
    callmethod
    pop
    push 0
    gotoframe2 play 0
  )");
  EXPECT_EQ(Child(u"child")->frame, 3);
  EXPECT_EQ(root.frame, 2) << "frame 0 goes nowhere";
}

TEST_F(Avm1Vm, ClipsMadeAndRemovedByScriptsAndReferencesToThem) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "ref" 2 "made" 2 "_root"
    getvariable
    push "createEmptyMovieClip"
    callmethod
    setvariable
    push "ref"
    getvariable
    push "expando" "kept"
    setmember
    push 0 "ref"
    getvariable
    push "getDepth"
    callmethod
    trace
  )"),
            "2\n");
  vm->CollectGarbage();  // the display holds the clip's object, expando and all
  const char* look = R"(
    push "ref"
    getvariable
    push "_name"
    getmember
    trace
    push "ref"
    getvariable
    push "expando"
    getmember
    trace
  )";
  EXPECT_EQ(Run(look), "made\nkept\n");
  Run(R"(
    push 0 "ref"
    getvariable
    push "removeMovieClip"
    callmethod
    pop
  )");
  EXPECT_EQ(root.ChildByName(u"made", true), nullptr);
  vm->CollectGarbage();
  EXPECT_EQ(Run(look), "undefined\nkept\n");
  // A new clip at the same path answers for the old reference.
  Run(R"(
    push 3 "made" 2 "_root"
    getvariable
    push "createEmptyMovieClip"
    callmethod
    pop
  )");
  EXPECT_EQ(Run(look), "made\nundefined\n");
  // duplicateMovieClip with an init object, CloneSprite and RemoveSprite with paths.
  EXPECT_EQ(Run(R"(
    push "tag" "init" 1
    initobject
    push 5 "copy" 3 "child"
    getvariable
    push "duplicateMovieClip"
    callmethod
    push "tag"
    getmember
    trace
    push "/child" "viaClone" 16390
    clonesprite
  )"),
            "init\n");
  ASSERT_NE(root.ChildByName(u"viaClone", true), nullptr);
  EXPECT_EQ(root.ChildByName(u"viaClone", true)->Depth(), 6);
  Run("push \"_root.viaClone\"\nremovesprite\n");
  EXPECT_EQ(root.ChildByName(u"viaClone", true), nullptr);
  // Depths: swapDepths, getNextHighestDepth, getInstanceAtDepth; for-in lists the children
  // (and _level0's $version, a plain variable of the Flash Player's).
  EXPECT_EQ(Run(R"(
    push 9 1 "child"
    getvariable
    push "swapDepths"
    callmethod
    pop
    push 9 1 "_root"
    getvariable
    push "getInstanceAtDepth"
    callmethod
    push "_name"
    getmember
    trace
    push 0 "_root"
    getvariable
    push "getNextHighestDepth"
    callmethod
    trace
    push "_root"
    getvariable
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
  )"),
            "child\n10\nref\n$version\nchild\ncopy\nmade\n");
}

TEST_F(Avm1Vm, AttachMovieRunsTheRegisteredClassAfterTheInitObject) {
  Make(7);
  EXPECT_EQ(Run(R"(
    push "Cls"
    function -
      push "constructed with a=" "this"
      getvariable
      push "a"
      getmember
      add2
      trace
    end
    setvariable
    push "Cls"
    getvariable
    push "symbol" 2 "Object"
    getvariable
    push "registerClass"
    callmethod
    trace
    push "a" 1 1
    initobject
    push 7 "att" "symbol" 4 "_root"
    getvariable
    push "attachMovie"
    callmethod
    push "Cls"
    getvariable
    instanceof
    trace
  )"),
            "true\nconstructed with a=1\ntrue\n");
  // A clip the timeline places gets the class through ConstructClip.
  host.traces.clear();
  vm->ConstructClip(*Child(u"child"), u"symbol");
  EXPECT_EQ(host.Output(), "constructed with a=undefined\n");
  vm->ConstructClip(*Child(u"child"), u"unregistered");
  EXPECT_EQ(host.traces.size(), 1u);
}

TEST_F(Avm1Vm, ClipMethodsFrameCallsAndFsCommands) {
  Make(7);
  root.frameScripts[1].push_back(Assemble("push \"frame 2 runs on \" \"this\"\ngetvariable\nadd2\ntrace\n"));
  EXPECT_EQ(Run(R"(
    push "child"
    getvariable
    push "onEnterFrame"
    function -
      push "enter " "this"
      getvariable
      push "_name"
      getmember
      add2
      trace
    end
    setmember
    push 2
    call
    push "intro"
    call
    geturl "FSCommand:fullscreen" "true"
    push "FSCommand:quit" ""
    geturl2 0
  )"),
            "frame 2 runs on _level0\n");
  EXPECT_EQ(host.fsCommands, (std::vector<std::string>{"fullscreen|true", "quit|"}));
  host.traces.clear();
  EXPECT_TRUE(vm->CallClipMethod(*Child(u"child"), u"onEnterFrame"));
  EXPECT_FALSE(vm->CallClipMethod(root, u"onEnterFrame"));
  EXPECT_EQ(host.Output(), "enter child\n");
}

TEST_F(Avm1Vm, IntervalsAndTimeoutsFireAsTimePasses) {
  Make(7);
  Run(R"(
    push "id" 100
    function -
      push "tick"
      trace
    end
    push 2 "setInterval"
    callfunction
    setvariable
    push "o" 0
    initobject
    setvariable
    push "o"
    getvariable
    push "m"
    function - x
      push "once " "x"
      getvariable
      add2
      trace
    end
    setmember
    push "arg" 50 "m" "o"
    getvariable
    push 4 "setTimeout"
    callfunction
    pop
  )");
  host.traces.clear();
  host.elapsedMs = 60;
  vm->RunTimers();
  EXPECT_EQ(host.Output(), "once arg\n");
  host.traces.clear();
  host.elapsedMs = 350;  // due at 100, 200 and 300
  vm->RunTimers();
  EXPECT_EQ(host.Output(), "tick\ntick\ntick\n");
  Run("push \"id\"\ngetvariable\npush 1 \"clearInterval\"\ncallfunction\npop\n");
  host.traces.clear();
  host.elapsedMs = 1000;
  vm->RunTimers();
  EXPECT_EQ(host.Output(), "");
}

}  // namespace
}  // namespace swfplayer::avm1
