// The classes that touch the movie, against the fake clip tree: Color on a clip's colour
// transform, flash.geom's arithmetic, Stage's settings, the drawing API's commands and
// MovieClipLoader's failing load.
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1::testing {
namespace {

class Avm1ClipClasses : public ScriptTest {
 protected:
  void SetUp() override {
    child = &root.AddChild(u"child", 1);
    Make(8);
  }
  FakeClip* child = nullptr;
};

// new Color(child): setRGB makes offsets without multipliers; setTransform changes only the
// fields given, multipliers on the 8.8 grid the Flash Player keeps them on.
TEST_F(Avm1ClipClasses, ColorSteersTheClipsColourTransform) {
  EXPECT_EQ(Run(R"(
    push "child" 1 "Color"
    newobject
    storeregister 1
    pop
    push 3368601 1 r:1 "setRGB"
    callmethod
    pop
    push 0 r:1 "getRGB"
    callmethod
    trace
    push "ra" 33 "ab" -20 2
    initobject
    push 1 r:1 "setTransform"
    callmethod
    pop
    push 0 r:1 "getTransform"
    callmethod
    storeregister 2
    push "ra"
    getmember
    trace
    push r:2 "gb"
    getmember
    trace
    push r:2 "ab"
    getmember
    trace
  )"),
            "3368601\n32.8125\n102\n-20\n");
  EXPECT_EQ(child->colorTransform.mulG, 0);
  EXPECT_EQ(child->colorTransform.addB, 153);
  EXPECT_FLOAT_EQ(child->colorTransform.mulR, 0.328125f);
}

TEST_F(Avm1ClipClasses, GeomPointsRectanglesAndMatrices) {
  EXPECT_EQ(Run(R"(
    push 4 3 2 "flash"
    getvariable
    push "geom"
    getmember
    push "Point"
    newmethod
    storeregister 1
    push "length"
    getmember
    trace
    push 0 r:1 "toString"
    callmethod
    trace
    push 10 10 5 5 4 "flash"
    getvariable
    push "geom"
    getmember
    push "Rectangle"
    newmethod
    push 1
    push 10 10 0 0 4 "flash"
    getvariable
    push "geom"
    getmember
    push "Rectangle"
    newmethod
    push "intersection"
    callmethod
    storeregister 2
    push "right"
    getmember
    trace
    push 0 r:2 "toString"
    callmethod
    trace
    push 0 "flash"
    getvariable
    push "geom"
    getmember
    push "Matrix"
    newmethod
    storeregister 3
    pop
    push 0 10 2 r:3 "translate"
    callmethod
    pop
    push 2 2 2 r:3 "scale"
    callmethod
    pop
    push r:1 1 r:3 "transformPoint"
    callmethod
    push "toString"
    callmethod
    trace
  )"),
            "5\n(x=3, y=4)\n10\n(x=5, y=5, w=5, h=5)\n(x=26, y=8)\n");
}

TEST_F(Avm1ClipClasses, StageKeepsTheSettingsItUnderstands) {
  EXPECT_EQ(Run(R"(
    push "Stage"
    getvariable
    push "scaleMode" "NOSCALE"
    setmember
    push "Stage"
    getvariable
    push "scaleMode" "stretch"
    setmember
    push "Stage"
    getvariable
    push "scaleMode"
    getmember
    trace
    push "Stage"
    getvariable
    push "align" "br"
    setmember
    push "Stage"
    getvariable
    push "align"
    getmember
    trace
    push "Stage"
    getvariable
    push "width"
    getmember
    trace
    push 0 "Key"
    getvariable
    push "isDown"
    callmethod
    trace
  )"),
            "noScale\nRB\n550\nfalse\n");
}

// The commands reach the clip in twips; a missing thickness ends the lines; curveTo needs all
// four numbers.
TEST_F(Avm1ClipClasses, TheDrawingApiSendsCommandsInTwips) {
  Run(R"(
    push 50 16711680 2.5 3 "child"
    getvariable
    push "lineStyle"
    callmethod
    pop
    push 2 1 2 "child"
    getvariable
    push "moveTo"
    callmethod
    pop
    push 6 5 4 3 4 "child"
    getvariable
    push "curveTo"
    callmethod
    pop
    push 4 3 2 3 "child"
    getvariable
    push "curveTo"
    callmethod
    pop
    push 0 "child"
    getvariable
    push "lineStyle"
    callmethod
    pop
  )");
  using Kind = DrawCommand::Kind;
  ASSERT_EQ(child->drawn.size(), 4u);
  EXPECT_EQ(child->drawn[0].kind, Kind::kLineStyle);
  EXPECT_EQ(child->drawn[0].stroke.width, 50);
  EXPECT_EQ(std::get<Rgba>(child->drawn[0].paint), (Rgba{255, 0, 0, 127}));
  EXPECT_EQ(child->drawn[1].kind, Kind::kMoveTo);
  EXPECT_EQ(child->drawn[1].anchor.x, 20);
  EXPECT_EQ(child->drawn[1].anchor.y, 40);
  EXPECT_EQ(child->drawn[2].kind, Kind::kCurveTo);
  EXPECT_EQ(child->drawn[2].control.x, 60);
  EXPECT_EQ(child->drawn[2].anchor.y, 120);
  EXPECT_EQ(child->drawn[3].kind, Kind::kNoLine);
}

TEST_F(Avm1ClipClasses, MovieClipLoaderReportsTheFailureOnALaterTick) {
  EXPECT_EQ(Run(R"(
    push 0 "MovieClipLoader"
    newobject
    storeregister 1
    pop
    push r:1 "onLoadError"
    function - target code
      push "error "
      push "code"
      getvariable
      add2
      trace
    end
    setmember
    push "child" "x.swf" 2 r:1 "loadClip"
    callmethod
    trace
  )"),
            "true\n");
  host.traces.clear();
  host.elapsedMs += 40;
  vm->RunTimers();
  EXPECT_EQ(host.Output(), "error URLNotFound\n");
}

// Loading another movie into a clip loads nothing: the clip and its values stay.
TEST_F(Avm1ClipClasses, ClipsKeepPointerSettingsAndPlayOnWithoutLoadedMovies) {
  EXPECT_EQ(Run(R"(
    push "other.swf" 1 "child"
    getvariable
    push "loadMovie"
    callmethod
    pop
    push "child"
    getvariable
    push "enabled"
    getmember
    trace
    push "child"
    getvariable
    push "_lockroot"
    getmember
    trace
    push "child"
    getvariable
    push "useHandCursor" false
    setmember
    push "child"
    getvariable
    push "useHandCursor"
    getmember
    trace
    push "child"
    getvariable
    typeof
    trace
  )"),
            "true\nfalse\nfalse\nmovieclip\n");
}

}  // namespace
}  // namespace swfplayer::avm1::testing
