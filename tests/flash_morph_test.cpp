// Shape tweens: edges, fill colours, gradients, bitmap matrices and line widths at ratios 0,
// 32768 and 65535; a straight edge paired with a curve; end lists found despite a wrong
// offset; a tween over 30 frames drawn, moved by placements that change only the ratio.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swfplayer/format/MorphShape.h"

namespace swfplayer::player {
namespace {

using tools::SwfFill;
using tools::SwfMatrix;
using tools::SwfMorphShape;
using tools::SwfMovieBuilder;
using tools::SwfPlace;

// A square (0,0)-(1000,1000) that becomes one at (2000,0) whose right side bulges: a straight
// edge in the start list paired with a curve in the end list.
SwfMorphShape SquareToBulge() {
  SwfMorphShape morph;
  morph.version = 2;
  morph.xMax = 4000;
  morph.yMax = 1000;
  morph.fills = {{SwfFill::Solid({255, 0, 0, 255}), SwfFill::Solid({0, 0, 255, 55})},
                 {SwfFill::Gradient(SwfFill::Kind::kLinear, {}, {{0, {0, 0, 0}}, {255, {255, 255, 255}}}),
                  SwfFill::Gradient(SwfFill::Kind::kLinear, SwfMatrix{2, 0, 0, 2, 1000, 0},
                                    {{50, {100, 0, 0}}, {205, {0, 100, 0}}})},
                 {SwfFill::Bitmap(9, {}, true, false), SwfFill::Bitmap(9, SwfMatrix::Translate(200, 400), true, false)}};
  morph.lines = {{20, 60, {0, 255, 0, 255}, {0, 0, 0, 0}, std::nullopt, 0, 0, 0}};
  morph.start.Style(0, 1, 1, std::pair{0, 0}).LineBy(1000, 0).LineBy(0, 1000).LineBy(-1000, 0).LineBy(0, -1000);
  morph.end.MoveTo(2000, 0).LineBy(1000, 0).CurveBy(500, 500, -500, 500).LineBy(-1000, 0).LineBy(0, -1000);
  return morph;
}

format::MorphShapeDefinition Decoded(const SwfMorphShape& morph) {
  SwfMovieBuilder movie;
  movie.DefineMorphShape(morph);
  const auto decoded = format::DecodeMorphShape(testing::FirstTagBody(movie, morph.version >= 2 ? 84 : 46),
                                                morph.version);
  EXPECT_TRUE(decoded);
  return decoded.value_or(format::MorphShapeDefinition{});
}

// The pen after each record, and each curve's control point, in absolute twips.
std::vector<Point> Walk(const format::ShapeDefinition& shape) {
  std::vector<Point> points;
  Point pen;
  for (const format::ShapeRecord& record : shape.records) {
    if (const auto* change = std::get_if<format::StyleChange>(&record)) {
      if (change->moveTo) pen = *change->moveTo;
    } else {
      const auto& edge = std::get<format::Edge>(record);
      if (edge.control) {
        pen = {pen.x + edge.control->x, pen.y + edge.control->y};
        points.push_back(pen);
      }
      pen = {pen.x + edge.anchor.x, pen.y + edge.anchor.y};
    }
    points.push_back(pen);
  }
  return points;
}

// Halfway is 32768 / 65535: points land on the 1/32-twip grid a little past the exact middle.
void ExpectNear(const std::vector<Point>& got, const std::vector<Point>& expected,
                uint16_t ratio) {
  ASSERT_EQ(got.size(), expected.size()) << ratio;
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].x, expected[i].x, 0.05) << ratio << " point " << i;
    EXPECT_NEAR(got[i].y, expected[i].y, 0.05) << ratio << " point " << i;
  }
}

TEST(FlashMorph, EdgesStylesAndWidthsAtTheStartMiddleAndEnd) {
  const format::MorphShapeDefinition morph = Decoded(SquareToBulge());
  EXPECT_FALSE(morph.truncated);
  struct Case {
    uint16_t ratio;
    double x;  // how far the square has moved, and its right side bulged
    Rgba fill;
    uint8_t firstStop, firstRed;
  };
  const Case cases[] = {
      {0, 0, {255, 0, 0, 255}, 0, 0},
      {32768, 1000, {127, 0, 128, 155}, 25, 50},
      {65535, 2000, {0, 0, 255, 55}, 50, 100},
  };
  for (const Case& c : cases) {
    const format::ShapeDefinition shape = format::MorphShapeAt(morph, c.ratio);
    const double bulge = c.x / 4;  // the control point goes from 1000 (the midpoint) to 1500
    const std::vector<Point> expected = {
        {c.x, 0}, {c.x + 1000, 0}, {c.x + 1000 + bulge, 500}, {c.x + 1000, 1000}, {c.x, 1000}, {c.x, 0}};
    ExpectNear(Walk(shape), expected, c.ratio);
    ASSERT_EQ(shape.fills.size(), 3u);
    EXPECT_EQ(std::get<Rgba>(shape.fills[0]), c.fill) << c.ratio;
    const auto& gradient = std::get<Gradient>(shape.fills[1]);
    EXPECT_EQ(gradient.stops[0].ratio, c.firstStop);
    EXPECT_EQ(gradient.stops[0].color.r, c.firstRed);
    EXPECT_NEAR(gradient.matrix.a, 1 + c.x / 2000, 1e-4);
    EXPECT_NEAR(gradient.matrix.tx, c.x / 2, 0.02);
    const auto& bitmap = std::get<format::BitmapFillStyle>(shape.fills[2]);
    EXPECT_NEAR(bitmap.matrix.ty, c.x / 5, 0.02);
    EXPECT_NEAR(shape.lines[0].stroke.width, 20 + c.x / 50, 0.01);
  }
}

TEST(FlashMorph, EndEdgesAreFoundWithAWrongOffsetAndMissingEndsKeepTheStartShape) {
  SwfMorphShape morph = SquareToBulge();
  morph.wrongEndOffset = true;
  const format::ShapeDefinition atEnd = format::MorphShapeAt(Decoded(morph), 65535);
  EXPECT_EQ(Walk(atEnd), Walk(format::MorphShapeAt(Decoded(SquareToBulge()), 65535)));

  morph = SquareToBulge();
  morph.end.records.resize(3);  // the move and two edges
  const format::MorphShapeDefinition shortEnd = Decoded(morph);
  EXPECT_TRUE(shortEnd.truncated);
  const std::vector<Point> expected = {{2000, 0}, {3000, 0}, {3500, 500}, {3000, 1000},
                                               {2000, 1000}, {2000, 0}};
  EXPECT_EQ(Walk(format::MorphShapeAt(shortEnd, 65535)), expected);
}

uint16_t PlaceTween(SwfMovieBuilder& movie, const SwfMorphShape& morph, uint16_t ratio) {
  const uint16_t id = movie.DefineMorphShape(morph);
  SwfPlace place;
  place.character = id;
  place.ratio = ratio;
  movie.Place(place);
  return id;
}

void MoveRatio(SwfMovieBuilder& movie, uint16_t ratio) {
  SwfPlace move;
  move.move = true;
  move.ratio = ratio;
  movie.Place(move);
}

// Every frame after the first moves the tween by a placement that changes only its ratio.
TEST(FlashMorph, ATweenOverThirtyFramesMovesAndChangesColour) {
  SwfMorphShape morph;  // a 20 px red square at the left to a blue one at the right
  morph.xMax = 2000;
  morph.yMax = 1000;
  morph.fills = {{SwfFill::Solid({255, 0, 0, 255}), SwfFill::Solid({0, 0, 255, 255})}};
  morph.start.Style(0, 1, std::nullopt, std::pair{0, 300}).LineBy(400, 0).LineBy(0, 400).LineBy(-400, 0).LineBy(0, -400);
  morph.end.MoveTo(1600, 300).LineBy(400, 0).LineBy(0, 400).LineBy(-400, 0).LineBy(0, -400);
  SwfMovieBuilder movie;
  PlaceTween(movie, morph, 0);
  movie.ShowFrame();
  for (uint32_t frame = 1; frame < 30; ++frame) {
    MoveRatio(movie, static_cast<uint16_t>(frame * 65535 / 29));
    movie.ShowFrame();
  }
  tools::SwfOptions options;
  options.widthPixels = 100;
  options.heightPixels = 50;
  auto player = testing::LoadBytes(movie.Finish(options));
  ASSERT_TRUE(player);
  const uint32_t white = testing::Opaque(255, 255, 255);
  std::vector<testing::StagePixels> frames;
  for (int frame = 0; frame <= 30; ++frame, player->Advance()) frames.push_back(testing::DrawLow(*player));
  EXPECT_EQ(frames[0].At(1, 16), testing::Opaque(255, 0, 0));
  EXPECT_EQ(frames[0].At(19, 34), testing::Opaque(255, 0, 0));
  EXPECT_EQ(frames[0].At(21, 25), white);
  // Frame 15: ratio 33897, 0.51724 of the way: the square spans x 41.38 to 61.38 px.
  EXPECT_EQ(frames[15].At(41, 25), testing::Opaque(123, 0, 132));
  EXPECT_EQ(frames[15].At(60, 25), testing::Opaque(123, 0, 132));
  EXPECT_EQ(frames[15].At(40, 25), white);
  EXPECT_EQ(frames[15].At(61, 25), white);
  EXPECT_EQ(frames[29].At(80, 15), testing::Opaque(0, 0, 255));
  EXPECT_EQ(frames[29].At(79, 25), white);
  for (int frame = 1; frame < 30; ++frame) EXPECT_NE(frames[frame], frames[frame - 1]) << frame;
  EXPECT_EQ(frames[30], frames[0]);  // the loop replays the first placement: ratio 0
}

// A tween resting at one ratio keeps the same shape from one frame to the next: the canvas
// sees nothing changed and draws nothing; moving the ratio draws again.
TEST(FlashMorph, ATweenAtRestIsNotDrawnAgain) {
  SwfMovieBuilder movie;
  PlaceTween(movie, SquareToBulge(), 1000);
  movie.ShowFrame();
  movie.ShowFrame();
  MoveRatio(movie, 40000);
  movie.ShowFrame();
  auto player = testing::LoadMovie(movie);
  ASSERT_TRUE(player);
  std::vector<uint32_t> pixels(200 * 50);
  render::RasterCanvas canvas(pixels.data(), 200, 50, 200, render::Quality::kHigh);
  auto tick = [&] {
    canvas.BeginFrame();
    DrawStage(player.get(), canvas, std::nullopt);
    const render::PixelBox drawn = canvas.EndFrame();
    player->Advance();
    return drawn;
  };
  EXPECT_FALSE(tick().Empty());  // the first frame, whole
  EXPECT_TRUE(tick().Empty());   // the same ratio
  EXPECT_FALSE(tick().Empty());  // a new ratio
}

}  // namespace
}  // namespace swfplayer::player
