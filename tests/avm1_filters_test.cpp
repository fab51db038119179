// flash.filters and a clip's filters, blendMode and cacheAsBitmap against the fake clip tree:
// the constructors' defaults, the Flash Player's clamping and rounding of every kind of
// setting, clone, and what reaches the clip's effects and comes back from them.
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1::testing {
namespace {

class Avm1Filters : public ScriptTest {
 protected:
  void SetUp() override {
    child = &root.AddChild(u"child", 1);
    Make(8);
  }
  FakeClip* child = nullptr;
};

// `new flash.filters.<name>(args)` into register r (args as pushed: the last one first).
std::string New(const std::string& name, int count, const std::string& reversedArgs, int r) {
  return "push " + reversedArgs + " " + std::to_string(count) + " \"flash\"\ngetvariable\npush \"filters\"\n"
         "getmember\npush \"" + name + "\"\nnewmethod\nstoreregister " + std::to_string(r) + "\npop\n";
}

std::string TraceField(int r, const std::string& field) {
  return "push r:" + std::to_string(r) + " \"" + field + "\"\ngetmember\ntrace\n";
}

std::string SetField(int r, const std::string& field, const std::string& value) {
  return "push r:" + std::to_string(r) + " \"" + field + "\" " + value + "\nsetmember\n";
}

TEST_F(Avm1Filters, DefaultsOfTheConstructors) {
  EXPECT_EQ(Run(New("DropShadowFilter", 0, "", 1) + TraceField(1, "distance") + TraceField(1, "angle") +
                TraceField(1, "color") + TraceField(1, "alpha") + TraceField(1, "blurX") +
                TraceField(1, "strength") + TraceField(1, "quality") + TraceField(1, "hideObject") +
                New("GlowFilter", 0, "", 2) + TraceField(2, "color") + TraceField(2, "blurY") +
                TraceField(2, "strength") + TraceField(2, "distance") + New("BevelFilter", 0, "", 3) +
                TraceField(3, "highlightColor") + TraceField(3, "shadowAlpha") + TraceField(3, "type") +
                New("ConvolutionFilter", 0, "", 1) + TraceField(1, "divisor") + TraceField(1, "preserveAlpha") +
                TraceField(1, "alpha") + TraceField(1, "matrix") + New("ColorMatrixFilter", 0, "", 2) +
                TraceField(2, "matrix")),
            "4\n44.9999999772279\n0\n1\n4\n1\n1\nfalse\n"
            "16711680\n6\n2\nundefined\n"
            "16777215\n1\ninner\n"
            "1\ntrue\n0\n\n"
            "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0\n");
}

// Blurs 0..255, quality a whole 0..15, strength in 1/256 up to 255, alphas as bytes (truncated),
// colours to 24 bits, angles modulo 360, types by name.
TEST_F(Avm1Filters, SettingsAreClampedAndRoundedAsTheFlashPlayerKeepsThem) {
  EXPECT_EQ(Run(New("BlurFilter", 3, "20 -5 300", 1) + TraceField(1, "blurX") + TraceField(1, "blurY") +
                TraceField(1, "quality") + SetField(1, "quality", "\"3.7\"") + TraceField(1, "quality") +
                SetField(1, "blurX", "\"x\"") + TraceField(1, "blurX") + New("GlowFilter", 0, "", 2) +
                SetField(2, "alpha", "0.5") + TraceField(2, "alpha") + SetField(2, "alpha", "7") +
                TraceField(2, "alpha") + SetField(2, "strength", "1.3") + TraceField(2, "strength") +
                SetField(2, "strength", "1000") + TraceField(2, "strength") + SetField(2, "color", "33489151") +
                TraceField(2, "color") + SetField(2, "color", "-1") + TraceField(2, "color") +
                New("DropShadowFilter", 0, "", 3) + SetField(3, "angle", "405") + TraceField(3, "angle") +
                SetField(3, "angle", "-30") + TraceField(3, "angle") + SetField(3, "distance", "-1000") +
                TraceField(3, "distance") + New("BevelFilter", 0, "", 1) + SetField(1, "type", "\"outer\"") +
                TraceField(1, "type") + SetField(1, "type", "\"sideways\"") + TraceField(1, "type")),
            "255\n0\n15\n3\n0\n"
            "0.498039215686275\n1\n1.296875\n255\n16711935\n16777215\n"
            "45\n-30\n-1000\n"
            "outer\nfull\n");
}

// Gradient stops: colours set their number (at most 16), missing alphas are opaque, ratios
// only cut it short. A convolution without a divisor divides by its matrix's sum; its sides
// are 0..15 and its matrix grows to fit them.
TEST_F(Avm1Filters, GradientsAndMatrices) {
  EXPECT_EQ(Run(R"(
    push 255 128 0 3
    initarray
    push 0.5 1 2
    initarray
    push 255 65280 16711680 3
    initarray
    push 45 4 5 "flash"
    getvariable
    push "filters"
    getmember
    push "GradientGlowFilter"
    newmethod
    storeregister 1
    pop
  )" + TraceField(1, "colors") + TraceField(1, "alphas") + TraceField(1, "ratios") + TraceField(1, "type") +
                "push r:1 \"ratios\" 20 10 2\ninitarray\nsetmember\n" + TraceField(1, "colors") +
                "push 2 1 2\ninitarray\npush 1 \"flash\"\ngetvariable\npush \"filters\"\ngetmember\n"
                "push \"ColorMatrixFilter\"\nnewmethod\nstoreregister 2\npop\n" + TraceField(2, "matrix") +
                "push 1 1 1 1 1 1 1 1 1 9\ninitarray\npush 3 3 3 \"flash\"\ngetvariable\npush \"filters\"\n"
                "getmember\npush \"ConvolutionFilter\"\nnewmethod\nstoreregister 3\npop\n" +
                TraceField(3, "divisor") + SetField(3, "matrixX", "99") + TraceField(3, "matrixX") +
                "push r:3 \"matrix\"\ngetmember\npush \"length\"\ngetmember\ntrace\n"),
            "16711680,65280,255\n1,0.501960784313725,1\n0,128,255\ninner\n"
            "16711680,65280\n"
            "1,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n"
            "9\n15\n45\n");
}

// clone copies the settings and keeps the class; a method taken to another kind of filter, or
// a getter of one class read on another, answers nothing.
TEST_F(Avm1Filters, CloneCopiesAndKeepsTheClass) {
  EXPECT_EQ(Run(New("GlowFilter", 3, "10 1 255", 1) + "push 0 r:1 \"clone\"\ncallmethod\nstoreregister 2\npop\n" +
                SetField(2, "blurX", "20") + TraceField(1, "blurX") + TraceField(2, "blurX") + TraceField(2, "color") +
                "push r:2 \"flash\"\ngetvariable\npush \"filters\"\ngetmember\npush \"GlowFilter\"\ngetmember\n"
                "instanceof\ntrace\n"
                "push r:2 \"flash\"\ngetvariable\npush \"filters\"\ngetmember\npush \"BitmapFilter\"\ngetmember\n"
                "instanceof\ntrace\n" +
                New("BlurFilter", 0, "", 3) + TraceField(3, "color")),
            "10\n20\n255\ntrue\ntrue\nundefined\n");
}

// filters: the clip keeps copies of the array's filters (what is not a filter is skipped) and
// hands out new objects each time; filters make the clip cached whatever cacheAsBitmap says.
TEST_F(Avm1Filters, FiltersReachTheClipAsCopies) {
  EXPECT_EQ(Run(New("BlurFilter", 3, "1 2 2", 2) + New("GlowFilter", 6, "1 2 8 8 1 65280", 1) +
                "push r:2 \"junk\" r:1 3\ninitarray\nstoreregister 3\npop\n"
                "push \"child\"\ngetvariable\npush \"filters\" r:3\nsetmember\n" +
                SetField(1, "blurX", "50") +
                "push \"child\"\ngetvariable\npush \"filters\"\ngetmember\nstoreregister 3\npush \"length\"\n"
                "getmember\ntrace\n"
                "push r:3 0\ngetmember\npush \"blurX\"\ngetmember\ntrace\n"
                "push \"child\"\ngetvariable\npush \"filters\"\ngetmember\npush 0\ngetmember\npush r:3 0\n"
                "getmember\nequals2\ntrace\n"
                "push \"child\"\ngetvariable\npush \"cacheAsBitmap\" false\nsetmember\n"
                "push \"child\"\ngetvariable\npush \"cacheAsBitmap\"\ngetmember\ntrace\n"),
            "2\n8\nfalse\ntrue\n");
  ASSERT_EQ(child->effects.filters.size(), 2u);
  const auto& glow = std::get<ShadowFilter>(child->effects.filters[0]);
  EXPECT_EQ(glow.kind, ShadowFilter::Kind::kGlow);
  EXPECT_EQ(glow.color, (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(glow.blurX, 8);
  EXPECT_EQ(glow.strength, 2);
  EXPECT_EQ(glow.passes, 1);
  EXPECT_FALSE(glow.inner || glow.knockout || glow.hideObject);
  EXPECT_EQ(std::get<BlurFilter>(child->effects.filters[1]), (BlurFilter{2, 2, 1}));
  EXPECT_FALSE(child->effects.cacheAsBitmap);

  EXPECT_EQ(Run("push \"child\"\ngetvariable\npush \"filters\" undefined\nsetmember\n"
                "push \"child\"\ngetvariable\npush \"cacheAsBitmap\"\ngetmember\ntrace\n"),
            "false\n");
  EXPECT_TRUE(child->effects.filters.empty());
}

// A script's list is bounded as a placement's is: 255 filters.
TEST_F(Avm1Filters, AScriptsListIsBounded) {
  EXPECT_EQ(Run(New("BlurFilter", 0, "", 1) + R"(
    push 0
    initarray
    storeregister 2
    pop
    push 0
    storeregister 3
    pop
    again:
    push r:2 r:3 r:1
    setmember
    push r:3
    increment
    storeregister 3
    push 300
    less2
    if again
    push "child"
    getvariable
    push "filters" r:2
    setmember
    push "child"
    getvariable
    push "filters"
    getmember
    push "length"
    getmember
    trace
  )"),
            "255\n");
  EXPECT_EQ(child->effects.filters.size(), 255u);
}

// Filters the timeline placed read back as filter objects of their classes, rounded as the
// file stores them.
TEST_F(Avm1Filters, FiltersFromTheTimelineReadBack) {
  ShadowFilter bevel;
  bevel.kind = ShadowFilter::Kind::kBevel;
  bevel.onTop = true;
  bevel.strength = 1.5f;
  bevel.passes = 3;
  child->effects.filters = {BlurFilter{5, 6.5f, 2}, bevel};
  EXPECT_EQ(Run(R"(
    push "child"
    getvariable
    push "filters"
    getmember
    storeregister 1
    push 0
    getmember
    storeregister 2
    pop
    push r:1 1
    getmember
    storeregister 3
    pop
  )" + TraceField(2, "blurY") + TraceField(2, "quality") + TraceField(3, "type") + TraceField(3, "strength") +
                TraceField(3, "quality") + TraceField(3, "highlightColor")),
            "6.5\n2\nfull\n1.5\n3\n16777215\n");
}

// blendMode: a name, or the SWF number; other names and numbers change nothing; undefined
// goes back to normal.
TEST_F(Avm1Filters, BlendModeByNameAndNumber) {
  const auto set = [](const std::string& value) {
    return "push \"child\"\ngetvariable\npush \"blendMode\" " + value + "\nsetmember\n"
           "push \"child\"\ngetvariable\npush \"blendMode\"\ngetmember\ntrace\n";
  };
  EXPECT_EQ(Run("push \"child\"\ngetvariable\npush \"blendMode\"\ngetmember\ntrace\n" + set("\"multiply\"") +
                set("8") + set("\"MULTIPLY\"") + set("20") + set("true") + set("14") + set("1")),
            "normal\nmultiply\nadd\nadd\nadd\nadd\nhardlight\nnormal\n");
  EXPECT_EQ(Run(set("\"erase\"")), "erase\n");
  EXPECT_EQ(child->effects.blendMode, BlendMode::kErase);
  EXPECT_EQ(Run(set("undefined")), "normal\n");
  EXPECT_EQ(child->effects.blendMode, BlendMode::kNormal);
}

// Movies before SWF 8 see none of it.
TEST_F(Avm1Filters, HiddenBeforeSwf8) {
  Make(7);
  EXPECT_EQ(Run("push \"child\"\ngetvariable\npush \"blendMode\"\ngetmember\ntrace\n"
                "push \"flash\"\ngetvariable\ntypeof\ntrace\n"),
            "undefined\nundefined\n");
}

}  // namespace
}  // namespace swfplayer::avm1::testing
