// Effects set by scripts, drawn by the whole player: a glow and a blend mode a script gives a
// clip draw exactly as the same effects from PlaceObject3 do.
#include <gtest/gtest.h>

#include <functional>

#include "avm1_script.h"
#include "flash_player_support.h"

namespace swfplayer::player {
namespace {

using avm1::testing::ScriptAssembler;
using testing::DrawLow;
using testing::LoadBytes;
using testing::StagePixels;
using tools::SwfFill;
using tools::SwfMovieBuilder;
using tools::SwfPlace;
using tools::SwfShape;

constexpr uint16_t kDoAction = 12;

// A red square in a sprite at (40, 30) on a white 120 x 100 stage, placed by PlaceObject3 with
// what place adds, then the script.
StagePixels Draw(const std::function<void(SwfPlace&)>& place, const std::string& script = "") {
  SwfMovieBuilder movie;
  SwfShape shape;
  shape.xMax = shape.yMax = 800;
  shape.fills = {SwfFill::Solid({255, 0, 0})};
  shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(0, 0, 800, 800);
  tools::SwfTags content;
  tools::SwfPlace inner;
  inner.character = movie.DefineShape(shape);
  content.Place(inner);
  content.ShowFrame();
  SwfPlace placed;
  placed.version = 3;
  placed.character = movie.DefineSprite(content);
  placed.name = "s";
  placed.matrix = tools::SwfMatrix::Translate(800, 600);
  place(placed);
  movie.Place(placed);
  if (!script.empty()) movie.Tag(kDoAction, ScriptAssembler::Assemble(script));
  movie.ShowFrame();
  tools::SwfOptions options;
  options.version = 8;
  options.widthPixels = 120;
  options.heightPixels = 100;
  auto player = LoadBytes(movie.Finish(options));
  player->Advance();
  return DrawLow(*player);
}

void Nothing(SwfPlace&) {}

TEST(EffectsScripts, AGlowSetByAScriptDrawsAsTheSameGlowFromTheTimeline) {
  // Glow: green, blur 8 x 8, strength 2, composite source, one pass.
  const std::vector<uint8_t> glow = {1,    2, 0, 255, 0, 255, 0, 0, 8, 0, 0, 0, 8, 0, 0x00, 0x02, 0x21};
  const StagePixels fromTimeline = Draw([&](SwfPlace& p) { p.filterList = glow; });
  const StagePixels fromScript = Draw(Nothing, R"(
    push 1 2 8 8 1 65280 6 "flash"
    getvariable
    push "filters"
    getmember
    push "GlowFilter"
    newmethod
    push 1
    initarray
    storeregister 1
    pop
    push "s"
    getvariable
    push "filters" r:1
    setmember
  )");
  const StagePixels plain = Draw(Nothing);
  EXPECT_EQ(fromScript, fromTimeline);
  EXPECT_NE(fromScript, plain);
  // Just outside the square's left edge the glow tints the white stage green.
  const uint32_t edge = fromScript.At(38, 50);
  EXPECT_EQ(plain.At(38, 50), 0xFFFFFFFFu);
  EXPECT_LT((edge >> 16) & 0xFF, 255u);
  EXPECT_EQ((edge >> 8) & 0xFF, 255u);
  EXPECT_EQ(fromScript.At(60, 50), plain.At(60, 50));  // the square itself stays red
}

TEST(EffectsScripts, ABlendModeFromAScriptByNameOrNumberDrawsAsTheTimelinesDoes) {
  const StagePixels inverted = Draw([](SwfPlace& p) { p.blendMode = 10; });
  const StagePixels byName = Draw(Nothing, R"(
    push "s"
    getvariable
    push "blendMode" "invert"
    setmember
  )");
  const StagePixels byNumber = Draw(Nothing, R"(
    push "s"
    getvariable
    push "blendMode" 10
    setmember
  )");
  EXPECT_EQ(byName, inverted);
  EXPECT_EQ(byNumber, inverted);
  EXPECT_EQ(inverted.At(60, 50), 0xFF000000u);  // white under the square, inverted
}

}  // namespace
}  // namespace swfplayer::player
