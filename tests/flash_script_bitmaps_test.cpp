// Scripts' bitmaps on the display, through the whole player: attachBitmap showing the script's
// later changes to the pixels, BitmapData.draw of a clip through the renderer, bitmap fills of
// the drawing API, loadBitmap, and hitTest against shapes rather than boxes.
#include <gtest/gtest.h>

#include "avm1_script.h"
#include "flash_player_support.h"
#include "swfplayer/player/ShapeHit.h"

namespace swfplayer::player {
namespace {

using avm1::testing::ScriptAssembler;
using testing::LoadBytes;
using testing::Opaque;
using tools::SwfMovieBuilder;

constexpr uint16_t kDoAction = 12;
constexpr uint32_t kWhite = Opaque(255, 255, 255);

// Script fragments that each leave one value on the stack.
using Asm = std::string;
Asm Lit(const std::string& value) { return "push " + value + "\n"; }
Asm Str(const std::string& text) { return "push \"" + text + "\"\n"; }
Asm Var(const std::string& name) { return "push \"" + name + "\"\ngetvariable\n"; }
Asm Args(const std::vector<Asm>& args) {
  Asm out;
  for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it;
  return out + "push " + std::to_string(args.size()) + "\n";
}
Asm Call(const Asm& object, const std::string& method, const std::vector<Asm>& args = {}) {
  return Args(args) + object + Str(method) + "callmethod\n";
}
// new flash.<package>.<name>(args)
Asm New(const std::string& package, const std::string& name, const std::vector<Asm>& args) {
  return Args(args) + Var("flash") + Str(package) + "getmember\n" + Str(name) + "newmethod\n";
}
Asm Set(const std::string& name, const Asm& value) { return Str(name) + value + "setvariable\n"; }
Asm Do(const Asm& value) { return value + "pop\n"; }
Asm Trace(const Asm& value) { return value + "trace\n"; }
Asm MakeClip(const std::string& name, int depth) {
  return Do(Call(Var("_root"), "createEmptyMovieClip", {Str(name), Lit(std::to_string(depth))}));
}
Asm Polygon(const std::string& clip, const std::vector<std::pair<int, int>>& points) {
  Asm out = Do(Call(Var(clip), "moveTo", {Lit(std::to_string(points[0].first)), Lit(std::to_string(points[0].second))}));
  for (size_t i = 1; i < points.size(); ++i) {
    out += Do(Call(Var(clip), "lineTo", {Lit(std::to_string(points[i].first)), Lit(std::to_string(points[i].second))}));
  }
  return out;
}
Asm Square(const std::string& clip, int a, int b) { return Polygon(clip, {{a, a}, {b, a}, {b, b}, {a, b}, {a, a}}); }

void Script(SwfMovieBuilder& movie, const Asm& text) { movie.Tag(kDoAction, ScriptAssembler::Assemble(text)); }

std::unique_ptr<Player> Load(const SwfMovieBuilder& movie, std::shared_ptr<tools::FixedHost>* host = nullptr) {
  tools::SwfOptions options;
  options.version = 8;  // flash.display and flash.geom
  options.widthPixels = 100;
  options.heightPixels = 100;
  return LoadBytes(movie.Finish(options), host);
}

// A stage drawn frame after frame on one canvas, as the control draws it: what is drawn again
// depends on what the canvas finds changed, so pixels changed in place must be found changed.
class Screen {
 public:
  explicit Screen(const Player& player)
      : player_(player), pixels_(100 * 100), canvas_(pixels_.data(), 100, 100, 100, render::Quality::kLow) {}
  // Draws the current frame; false when the canvas found nothing to draw again.
  bool Draw() {
    canvas_.BeginFrame();
    DrawStage(&player_, canvas_, std::nullopt);
    const render::PixelBox damage = canvas_.EndFrame();
    return damage.right > damage.left && damage.bottom > damage.top;
  }
  uint32_t At(int x, int y) const { return pixels_[size_t(y) * 100 + size_t(x)]; }

 private:
  const Player& player_;
  std::vector<uint32_t> pixels_;
  render::RasterCanvas canvas_;
};

// The bitmap attached in frame 1 is filled blue by frame 2's script and disposed by frame 3's:
// the screen follows the shared pixels each time, and the clip's position moves it.
TEST(FlashScriptBitmaps, AnAttachedBitmapShowsLaterChangesAndGoesWhenDisposed) {
  SwfMovieBuilder movie;
  Script(movie, MakeClip("c", 1) + Set("bmp", New("display", "BitmapData", {Lit("20"), Lit("20"), Lit("false"), Lit("16711680")})) +
                    Do(Call(Var("c"), "attachBitmap", {Var("bmp"), Lit("1")})) + "push \"c\" 0 30\nsetproperty\n");
  movie.ShowFrame();
  Script(movie, Do(Call(Var("bmp"), "fillRect", {New("geom", "Rectangle", {Lit("0"), Lit("0"), Lit("10"), Lit("20")}), Lit("255")})));
  movie.ShowFrame();
  Script(movie, Do(Call(Var("bmp"), "dispose")) + "stop\n");
  movie.ShowFrame();
  auto player = Load(movie);
  Screen screen(*player);
  ASSERT_TRUE(screen.Draw());
  EXPECT_EQ(screen.At(35, 5), Opaque(255, 0, 0));
  EXPECT_EQ(screen.At(5, 5), kWhite);   // left of the clip
  EXPECT_EQ(screen.At(35, 25), kWhite);  // below the bitmap
  EXPECT_FALSE(screen.Draw());           // nothing changed
  player->Advance();
  ASSERT_TRUE(screen.Draw());
  EXPECT_EQ(screen.At(35, 5), Opaque(0, 0, 255));
  EXPECT_EQ(screen.At(45, 5), Opaque(255, 0, 0));
  player->Advance();
  ASSERT_TRUE(screen.Draw());
  EXPECT_EQ(screen.At(35, 5), kWhite);
  EXPECT_EQ(screen.At(45, 5), kWhite);
}

// draw() renders a clip (a square from 0 to 20 of half-transparent red) through a matrix that
// moves it by (10, 10), into a transparent bitmap within a clip rectangle, and into an opaque
// blue one whole. Pixels read back unpremultiplied; the opaque bitmap stays opaque. A bitmap
// drawn into a bitmap is scaled by its matrix and blended by its blend mode.
TEST(FlashScriptBitmaps, DrawRendersAClipThroughItsMatrixWithinTheClipRectangle) {
  SwfMovieBuilder movie;
  Script(movie, MakeClip("s", 1) + Do(Call(Var("s"), "beginFill", {Lit("16711680"), Lit("50")})) + Square("s", 0, 20) +
                    Do(Call(Var("s"), "endFill")) +
                    Set("m", New("geom", "Matrix", {Lit("1"), Lit("0"), Lit("0"), Lit("1"), Lit("10"), Lit("10")})) +
                    Set("t", New("display", "BitmapData", {Lit("40"), Lit("40"), Lit("true"), Lit("0")})) +
                    Do(Call(Var("t"), "draw", {Var("s"), Var("m"), Lit("null"), Lit("null"),
                                               New("geom", "Rectangle", {Lit("0"), Lit("0"), Lit("25"), Lit("25")})})) +
                    Trace(Call(Var("t"), "getPixel32", {Lit("15"), Lit("15")})) +
                    Trace(Call(Var("t"), "getPixel32", {Lit("27"), Lit("27")})) +
                    Trace(Call(Var("t"), "getPixel32", {Lit("5"), Lit("5")})) +
                    Set("o", New("display", "BitmapData", {Lit("40"), Lit("40"), Lit("false"), Lit("255")})) +
                    Do(Call(Var("o"), "draw", {Var("s"), Var("m")})) +
                    Trace(Call(Var("o"), "getPixel32", {Lit("15"), Lit("15")})) +
                    Trace(Call(Var("o"), "getPixel32", {Lit("35"), Lit("35")})) +
                    // A bitmap drawn into a bitmap, scaled up 2 times: its pixel (1, 1) covers (2..4, 2..4).
                    Do(Call(Var("t"), "setPixel32", {Lit("1"), Lit("1"), Lit("-16711936")})) +
                    Do(Call(Var("o"), "draw", {Var("t"), New("geom", "Matrix", {Lit("2"), Lit("0"), Lit("0"), Lit("2")})})) +
                    Trace(Call(Var("o"), "getPixel32", {Lit("3"), Lit("3")})) +
                    Trace(Call(Var("o"), "getPixel32", {Lit("1"), Lit("1")})) +
                    // Blend modes by name and by number: multiply darkens grey by grey.
                    Set("g", New("display", "BitmapData", {Lit("4"), Lit("4"), Lit("false"), Lit("8421504")})) +
                    Do(Call(Var("g"), "draw", {Var("g"), Lit("null"), Lit("null"), Str("multiply")})) +
                    Trace(Call(Var("g"), "getPixel", {Lit("0"), Lit("0")})) +
                    Do(Call(Var("g"), "draw", {Var("g"), Lit("null"), Lit("null"), Lit("7")})) +
                    Trace(Call(Var("g"), "getPixel", {Lit("0"), Lit("0")})));
  movie.ShowFrame();
  std::shared_ptr<tools::FixedHost> host;
  auto player = Load(movie, &host);
  const auto argb = [](uint32_t value) { return std::to_string(static_cast<int32_t>(value)); };
  EXPECT_EQ(host->traces, (std::vector<std::string>{
                              argb(0x7FFF0000),  // alpha 127 (50%), red 255 after unpremultiplying
                              "0",               // inside the square, outside the rectangle
                              "0",               // outside the square
                              argb(0xFF7F0080),  // half red over blue
                              argb(0xFF0000FF),  // the blue left as it was
                              argb(0xFF00FF00),  // the bitmap's green pixel, scaled
                              argb(0xFF0000FF),  // its transparent pixel (0, 0) left the blue
                              std::to_string(0x404040),  // grey multiplied by itself
                              "0",                       // and its difference with itself
                          }));
}

// A ring (a square with a square hole, one fill) in a clip moved to x = 50, with a child and a
// curved shape: the shape flag tests outlines in stage coordinates, the box does not.
TEST(FlashScriptBitmaps, HitTestWithTheShapeFlagFollowsOutlinesHolesAndCurves) {
  SwfMovieBuilder movie;
  const auto hit = [](int x, int y, bool shape) {
    return Trace(Call(Var("ring"), "hitTest", {Lit(std::to_string(x)), Lit(std::to_string(y)), Lit(shape ? "true" : "false")}));
  };
  Script(movie, MakeClip("ring", 1) + Do(Call(Var("ring"), "beginFill", {Lit("65280")})) + Square("ring", 0, 30) +
                    Square("ring", 10, 20) + Do(Call(Var("ring"), "endFill")) + "push \"ring\" 0 50\nsetproperty\n" +
                    Do(Call(Var("ring"), "createEmptyMovieClip", {Str("bump"), Lit("1")})) +
                    // A lens from (0, 40) to (40, 40) bulging down to y = 50 at its middle.
                    Set("b", Var("ring") + Str("bump") + "getmember\n") +
                    Do(Call(Var("b"), "beginFill", {Lit("255")})) +
                    Polygon("b", {{0, 40}}) + Do(Call(Var("b"), "curveTo", {Lit("20"), Lit("60"), Lit("40"), Lit("40")})) +
                    Do(Call(Var("b"), "endFill")) +
                    hit(55, 5, true) + hit(65, 15, true) + hit(65, 15, false) + hit(5, 5, true) +
                    hit(70, 48, true) + hit(70, 55, true) + hit(70, 55, false));
  movie.ShowFrame();
  std::shared_ptr<tools::FixedHost> host;
  auto player = Load(movie, &host);
  EXPECT_EQ(host->traces, (std::vector<std::string>{"true",    // on the ring
                                                    "false",   // in its hole
                                                    "true",    // the hole is inside the box
                                                    "false",   // where the clip was before it moved
                                                    "true",    // in the child's lens
                                                    "false",   // below the curve, inside its box
                                                    "true"}));
}

// beginBitmapFill: a 2 x 2 checker scaled 10 times and repeated over a 40 x 40 square, drawn by
// the renderer; a pixel the script changes later shows in every tile.
TEST(FlashScriptBitmaps, ABitmapFillRepeatsTheScriptsPixelsAndFollowsTheirChanges) {
  SwfMovieBuilder movie;
  Script(movie, Set("b", New("display", "BitmapData", {Lit("2"), Lit("2"), Lit("false"), Lit("16711680")})) +
                    Do(Call(Var("b"), "setPixel", {Lit("1"), Lit("0"), Lit("255")})) +
                    Do(Call(Var("b"), "setPixel", {Lit("0"), Lit("1"), Lit("255")})) + MakeClip("f", 1) +
                    Do(Call(Var("f"), "beginBitmapFill",
                            {Var("b"), New("geom", "Matrix", {Lit("10"), Lit("0"), Lit("0"), Lit("10"), Lit("0"), Lit("0")}),
                             Lit("true"), Lit("false")})) +
                    Square("f", 0, 40) + Do(Call(Var("f"), "endFill")));
  movie.ShowFrame();
  Script(movie, Do(Call(Var("b"), "setPixel", {Lit("0"), Lit("0"), Lit("65280")})) + "stop\n");
  movie.ShowFrame();
  auto player = Load(movie);
  Screen screen(*player);
  ASSERT_TRUE(screen.Draw());
  EXPECT_EQ(screen.At(5, 5), Opaque(255, 0, 0));
  EXPECT_EQ(screen.At(15, 5), Opaque(0, 0, 255));
  EXPECT_EQ(screen.At(5, 15), Opaque(0, 0, 255));
  EXPECT_EQ(screen.At(25, 25), Opaque(255, 0, 0));  // the next tile
  EXPECT_EQ(screen.At(45, 5), kWhite);              // past the square
  player->Advance();
  ASSERT_TRUE(screen.Draw());
  EXPECT_EQ(screen.At(5, 5), Opaque(0, 255, 0));
  EXPECT_EQ(screen.At(25, 25), Opaque(0, 255, 0));
  EXPECT_EQ(screen.At(15, 5), Opaque(0, 0, 255));
}

// loadBitmap copies an exported bitmap (opaque, so the copy is opaque too); a name the movie
// does not export gives undefined.
TEST(FlashScriptBitmaps, LoadBitmapCopiesAnExportedBitmap) {
  SwfMovieBuilder movie;
  const uint16_t id = movie.DefineLossless(1, 5, 2, 1, {0x00, 1, 2, 3, 0x00, 4, 5, 6});
  movie.ExportName(id, "pic");
  const Asm load = Call(Var("flash") + Str("display") + "getmember\n" + Str("BitmapData") + "getmember\n",
                        "loadBitmap", {Str("pic")});
  Script(movie, Set("p", load) + Trace(Var("p") + Str("width") + "getmember\n") +
                    Trace(Var("p") + Str("transparent") + "getmember\n") +
                    Trace(Call(Var("p"), "getPixel", {Lit("1"), Lit("0")})) +
                    Trace(Call(Var("flash") + Str("display") + "getmember\n" + Str("BitmapData") + "getmember\n",
                               "loadBitmap", {Str("nothing")})));
  movie.ShowFrame();
  std::shared_ptr<tools::FixedHost> host;
  auto player = Load(movie, &host);
  EXPECT_EQ(host->traces, (std::vector<std::string>{"2", "false", std::to_string(0x040506), "undefined"}));
}

// applyFilter blurs with the display's own filter: a red block's edge spreads into the
// transparent pixels beside it, its middle stays red, pixels far off stay clear; an opaque
// target stays opaque; the filtered rectangle lands at destPoint, and nothing else moves.
TEST(FlashScriptBitmaps, ApplyFilterUsesTheDisplaysFiltersAndLandsAtThePoint) {
  SwfMovieBuilder movie;
  const auto rect = [](int x, int y, int w, int h) {
    return New("geom", "Rectangle", {Lit(std::to_string(x)), Lit(std::to_string(y)), Lit(std::to_string(w)), Lit(std::to_string(h))});
  };
  const auto point = [](int x, int y) { return New("geom", "Point", {Lit(std::to_string(x)), Lit(std::to_string(y))}); };
  const auto pixel = [](const char* bitmap, int x, int y) {
    return Trace(Call(Var(bitmap), "getPixel32", {Lit(std::to_string(x)), Lit(std::to_string(y))}));
  };
  Script(movie, Set("b", New("display", "BitmapData", {Lit("20"), Lit("10"), Lit("true"), Lit("0")})) +
                    Do(Call(Var("b"), "fillRect", {rect(0, 0, 10, 10), Lit("-65536")})) +
                    Set("f", New("filters", "BlurFilter", {Lit("4"), Lit("4"), Lit("1")})) +
                    Set("c", New("display", "BitmapData", {Lit("20"), Lit("10"), Lit("true"), Lit("0")})) +
                    Do(Call(Var("c"), "applyFilter", {Var("b"), rect(6, 0, 8, 10), point(12, 0), Var("f")})) +
                    Do(Call(Var("b"), "applyFilter", {Var("b"), rect(0, 0, 20, 10), point(0, 0), Var("f")})) +
                    pixel("b", 11, 5) + pixel("b", 3, 5) + pixel("b", 18, 5) +
                    Set("o", New("display", "BitmapData", {Lit("4"), Lit("4"), Lit("false"), Lit("255")})) +
                    Do(Call(Var("o"), "applyFilter", {Var("c"), rect(14, 0, 4, 4), point(0, 0), Var("f")})) +
                    pixel("o", 3, 0) + pixel("c", 15, 5) + pixel("c", 5, 5));
  movie.ShowFrame();
  std::shared_ptr<tools::FixedHost> host;
  auto player = Load(movie, &host);
  ASSERT_EQ(host->traces.size(), 6u);
  std::vector<uint32_t> argb;
  for (const std::string& line : host->traces) argb.push_back(static_cast<uint32_t>(std::stoll(line)));
  EXPECT_GT(argb[0] >> 24, 0u);  // beside the block: partly covered
  EXPECT_LT(argb[0] >> 24, 255u);
  EXPECT_EQ(argb[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(argb[1], 0xFFFF0000u);
  EXPECT_EQ(argb[2], 0u);
  EXPECT_EQ(argb[3] >> 24, 255u);  // the opaque target stays opaque
  EXPECT_GT(argb[4] >> 24, 0u);    // the block's blurred edge, moved 6 right
  EXPECT_EQ(argb[5], 0u);          // left of where it landed
}

// The point tests themselves: even-odd makes a hole of a nested contour, non-zero only of one
// wound the other way; a point on a vertex's row counts once; curves are followed closely.
TEST(ShapeHit, FillRulesHolesVerticesAndCurves) {
  Path nested;  // two squares, both clockwise
  for (const double s : {0.0, 10.0}) {
    const double e = 40 - s;
    nested.MoveTo({s, s});
    nested.LineTo({e, s});
    nested.LineTo({e, e});
    nested.LineTo({s, e});
  }
  EXPECT_FALSE(PathContains(nested, FillRule::kEvenOdd, {20, 20}));
  EXPECT_TRUE(PathContains(nested, FillRule::kNonZero, {20, 20}));
  EXPECT_TRUE(PathContains(nested, FillRule::kEvenOdd, {5, 20}));
  EXPECT_FALSE(PathContains(nested, FillRule::kNonZero, {45, 20}));
  EXPECT_TRUE(PathContains(nested, FillRule::kEvenOdd, {5, 10}));  // level with two vertices

  Path diamond;  // a ray level with its side vertices passes through both
  diamond.MoveTo({20, 0});
  diamond.LineTo({40, 20});
  diamond.LineTo({20, 40});
  diamond.LineTo({0, 20});
  EXPECT_TRUE(PathContains(diamond, FillRule::kEvenOdd, {10, 20}));
  EXPECT_FALSE(PathContains(diamond, FillRule::kEvenOdd, {-5, 20}));

  Path lens;  // from (0, 0) to (2000, 0), bulging to y = 1000
  lens.MoveTo({0, 0});
  lens.QuadTo({1000, 2000}, {2000, 0});
  EXPECT_TRUE(PathContains(lens, FillRule::kEvenOdd, {1000, 990}));
  EXPECT_FALSE(PathContains(lens, FillRule::kEvenOdd, {1000, 1010}));
  EXPECT_TRUE(PathNear(lens, 15, {1000, 1010}));
  EXPECT_FALSE(PathNear(lens, 5, {1000, 1010}));
  EXPECT_FALSE(PathNear(lens, 5, {1000, 0}));  // a stroke does not close the contour
}

}  // namespace
}  // namespace swfplayer::player
