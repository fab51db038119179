// The player against a recording canvas: display lists across frames (place, move, replace,
// remove, occupied depths), sprites that keep running across their parent's loop, jumps that
// equal playing, what Render asks the canvas to draw (layers, concatenated matrices and colour
// transforms, clip masks), and the bounds on nesting and object counts.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {
namespace {

using testing::CanvasCall;
using testing::LoadMovie;
using testing::RecordingCanvas;
using tools::SwfFill;
using tools::SwfMatrix;
using tools::SwfMovieBuilder;
using tools::SwfPlace;
using tools::SwfRgba;
using tools::SwfShape;
using tools::SwfTags;

uint16_t Square(SwfMovieBuilder& movie, SwfRgba color) {
  return testing::SolidSquare(movie, color, 100);
}

SwfPlace At(uint16_t depth, std::optional<uint16_t> character, std::optional<SwfMatrix> matrix = std::nullopt,
            bool move = false) {
  SwfPlace place;
  place.depth = depth;
  place.character = character;
  place.matrix = matrix;
  place.move = move;
  return place;
}

// What the display list shows of an object.
struct Seen {
  uint16_t characterId = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  bool operator==(const Seen&) const = default;
};
using Snapshot = std::vector<std::pair<int32_t, Seen>>;

Snapshot Snap(const Timeline& timeline) {
  Snapshot out;
  for (const auto& [depth, object] : timeline.DisplayList()) {
    out.emplace_back(depth, Seen{object->CharacterId(), object->LocalMatrix(), object->LocalColorTransform()});
  }
  return out;
}

Seen Object(uint16_t character, Matrix matrix = {}) { return {character, matrix, {}}; }

TEST(FlashPlayerDisplayList, PlaceMoveReplaceRemoveAcrossFramesAndTheLoop) {
  SwfMovieBuilder movie;
  const uint16_t a = Square(movie, {255, 0, 0}), b = Square(movie, {0, 255, 0}), c = Square(movie, {0, 0, 255});
  tools::SwfColorTransform half;
  half.mulR = 128;
  SwfPlace placeB = At(2, b, SwfMatrix::Translate(5, 5));
  placeB.colorTransform = half;
  movie.Place(At(1, a, SwfMatrix::Translate(10, 0)));
  movie.Place(placeB);
  movie.ShowFrame();
  movie.Place(At(1, std::nullopt, SwfMatrix::Translate(20, 0), /*move=*/true));
  movie.Place(At(2, c, std::nullopt, /*move=*/true));  // a replacement keeps matrix and cxform
  movie.Place(At(9, std::nullopt, SwfMatrix::Translate(1, 1), /*move=*/true));  // nothing there
  movie.ShowFrame();
  movie.Place(At(2, a));  // placing at an occupied depth starts a new object
  movie.Remove(1);
  movie.ShowFrame();
  movie.RemoveV1(a, 2);
  movie.PlaceV1(b, 3, SwfMatrix::Translate(7, 8), half);
  movie.ShowFrame();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);

  Seen halfB = Object(b, Matrix::Translate(5, 5));
  halfB.colorTransform.mulR = 0.5f;
  Seen halfC = halfB;
  halfC.characterId = c;
  Seen v1 = Object(b, Matrix::Translate(7, 8));
  v1.colorTransform.mulR = 0.5f;
  const Snapshot frames[] = {
      {{1, Object(a, Matrix::Translate(10, 0))}, {2, halfB}},
      {{1, Object(a, Matrix::Translate(20, 0))}, {2, halfC}},
      {{2, Object(a)}},
      {{3, v1}},
  };
  EXPECT_EQ(player->TotalFrames(), 4);
  for (int tick = 0; tick < 6; ++tick) {
    EXPECT_EQ(player->CurrentFrame(), tick % 4);
    EXPECT_EQ(Snap(player->Root()), frames[tick % 4]) << "tick " << tick;
    player->Advance();
  }
}

TEST(FlashPlayerDisplayList, HeaderFrameCountRulesTheRootAndLoadErrorsAreReported) {
  SwfMovieBuilder movie;
  movie.ShowFrame();
  movie.ShowFrame();
  auto player = LoadMovie(movie, /*headerFrames=*/5);
  ASSERT_TRUE(player);
  std::vector<int> seen;
  for (int i = 0; i < 6; ++i, player->Advance()) seen.push_back(player->CurrentFrame());
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 0}));

  image::NativeImageDecoder decoder;
  const std::vector<uint8_t> zws = {'Z', 'W', 'S', 13, 40, 0, 0, 0};
  EXPECT_EQ(Player::Load(zws, decoder).error, MovieError::kTruncatedHeader);
  EXPECT_EQ(Player::Load(std::vector<uint8_t>{'F', 'W', 'S'}, decoder).error, MovieError::kTruncatedHeader);
  EXPECT_EQ(Player::Load(std::vector<uint8_t>(30, 'x'), decoder).error, MovieError::kNotSwf);
}

TEST(FlashPlayerSprites, AnObjectOnTheListBeforeAndAfterALoopKeepsRunning) {
  SwfMovieBuilder movie;
  const uint16_t square = Square(movie, {1, 2, 3});
  SwfTags content;
  for (int i = 0; i < 3; ++i) content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  movie.Place(At(1, sprite));  // stays on every frame
  movie.Place(At(2, sprite));  // removed in frame 1, placed again by frame 0
  movie.Place(At(3, sprite));  // a move to a shape in frame 1 leaves a sprite as it is
  movie.ShowFrame();
  movie.Remove(2);
  movie.Place(At(3, square, std::nullopt, /*move=*/true));
  movie.ShowFrame();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);
  auto frameAt = [&](uint16_t depth) {
    const Timeline* timeline = player->Root().DisplayList().at(depth)->Sprite();
    return timeline ? timeline->CurrentFrame() : -1;
  };
  player->Advance();
  EXPECT_EQ(frameAt(1), 1);
  EXPECT_EQ(frameAt(3), 1);
  player->Advance();            // the root loops
  EXPECT_EQ(player->CurrentFrame(), 0);
  EXPECT_EQ(frameAt(1), 2);   // kept running
  EXPECT_EQ(frameAt(2), 0);   // new
  EXPECT_EQ(frameAt(3), 0);   // placed anew: its depth counts as placed by frame 1
  player->Advance();
  EXPECT_EQ(frameAt(1), 0);   // the sprite loops on its own
}

TEST(FlashPlayerSprites, GotoFrameEqualsPlayingThereFromAnyFrame) {
  SwfMovieBuilder movie;
  const uint16_t a = Square(movie, {9, 0, 0}), b = Square(movie, {0, 9, 0});
  SwfTags content;
  content.Place(At(1, a));
  content.ShowFrame();
  content.Place(At(1, std::nullopt, SwfMatrix::Translate(3, 3), true));
  content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  movie.Place(At(1, a));
  movie.Place(At(2, sprite, SwfMatrix::Translate(100, 0)));
  movie.ShowFrame();
  movie.Place(At(1, std::nullopt, SwfMatrix::Translate(50, 50), true));
  movie.Place(At(3, b));
  movie.Label("Two");
  movie.ShowFrame();
  movie.Remove(2);
  movie.Place(At(1, b, std::nullopt, true));
  movie.ShowFrame();
  movie.Place(At(2, sprite));
  movie.Place(At(3, a));
  movie.ShowFrame();
  movie.ShowFrame();
  const int frames = 5;
  std::vector<Snapshot> played;
  auto reference = LoadMovie(movie);
  ASSERT_TRUE(reference);
  for (int f = 0; f < frames; ++f, reference->Advance()) played.push_back(Snap(reference->Root()));
  for (int from = 0; from < frames; ++from) {
    for (int to = 0; to < frames; ++to) {
      auto player = LoadMovie(movie);
      player->Root().Goto(from);
      player->Root().Goto(to);
      EXPECT_EQ(player->CurrentFrame(), to);
      EXPECT_EQ(Snap(player->Root()), played[to]) << from << " -> " << to;
    }
  }
  EXPECT_EQ(reference->Root().Definition().FrameOfLabel(u"two"), 1);
  EXPECT_FALSE(reference->Root().Definition().FrameOfLabel(u"three"));
}

TEST(FlashPlayerRender, LayersThenMatricesAndColorTransformsDownTheTree) {
  SwfMovieBuilder movie;
  SwfShape shape;
  shape.xMax = shape.yMax = 100;
  shape.fills = {SwfFill::Solid({255, 0, 0})};
  shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(0, 0, 100, 100);
  shape.NewStyles({SwfFill::Solid({0, 0, 255})}, {tools::SwfLine::Solid(20, {0, 255, 0})});
  shape.Style(0, 1, 1, std::nullopt).Rectangle(10, 10, 10, 10);
  const uint16_t layered = movie.DefineShape(shape);
  SwfTags content;
  SwfPlace inner = At(1, layered, SwfMatrix{2, 0, 0, 2, 0, 0});
  inner.colorTransform = tools::SwfColorTransform{256, 256, 256, 256, 10, 0, 0, 0};
  content.Place(inner);
  content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  SwfPlace outer = At(1, sprite, SwfMatrix::Translate(1000, 0));
  outer.colorTransform = tools::SwfColorTransform{128, 256, 256, 256, 0, 0, 0, 0};
  movie.Place(outer);
  movie.ShowFrame();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);
  RecordingCanvas canvas;
  const Matrix stage = Matrix::Scale(0.05, 0.05);
  player->Render(canvas, stage);
  EXPECT_EQ(canvas.Script(), "FFS");
  EXPECT_EQ(canvas.Colors(), (std::vector<Rgba>{{255, 0, 0, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}}));
  const Matrix expected = stage * Matrix::Translate(1000, 0) * Matrix::Scale(2, 2);
  const ColorTransform cx{0.5f, 1, 1, 1, 5, 0, 0, 0};  // the outer halves the inner's add
  for (const CanvasCall& call : canvas.calls) {
    EXPECT_EQ(call.matrix, expected);
    EXPECT_EQ(call.colorTransform, cx);
  }
  EXPECT_EQ(canvas.calls[2].stroke.width, 20);
  EXPECT_EQ(canvas.calls[0].rule, FillRule::kEvenOdd);
  // The paths are built once: a second frame draws the very same ones.
  RecordingCanvas again;
  player->Advance();
  player->Render(again, stage);
  ASSERT_EQ(again.calls.size(), 3u);
  EXPECT_EQ(again.calls[1].path, canvas.calls[1].path);
}

TEST(FlashPlayerRender, ClipDepthsMaskTheDepthsAboveThemAndNest) {
  SwfMovieBuilder movie;
  const uint16_t square = Square(movie, {1, 1, 1});
  auto mask = [&](uint16_t depth, uint16_t clip) {
    SwfPlace place = At(depth, square);
    place.clipDepth = clip;
    movie.Place(place);
  };
  mask(1, 3);
  movie.Place(At(2, square));
  movie.Place(At(3, square));
  movie.Place(At(4, square));
  mask(5, 8);
  mask(6, 9);  // cannot outlast the mask it is drawn under
  movie.Place(At(7, square));
  movie.Place(At(8, square));
  movie.Place(At(9, square));
  mask(10, 12);  // masks to the end of the list
  movie.Place(At(11, square));
  movie.ShowFrame();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);
  RecordingCanvas canvas;
  player->Render(canvas, {});
  EXPECT_EQ(canvas.Script(), "BFEFFPF" "BFEBFEFFPPF" "BFEFP");
}

TEST(FlashPlayerBounds, SelfPlacingSpritesStopAtTheNestingAndObjectLimits) {
  for (const int copies : {1, 2}) {
    SwfMovieBuilder movie;
    SwfTags content;  // the sprite will be character 1 and places character 1
    for (int i = 1; i <= copies; ++i) content.Place(At(static_cast<uint16_t>(i), 1));
    content.ShowFrame();
    content.ShowFrame();
    movie.DefineSprite(content);
    movie.Place(At(1, 1));
    movie.ShowFrame();
    auto player = LoadMovie(movie);
    ASSERT_TRUE(player);
    for (int i = 0; i < 3; ++i) player->Advance();
    int levels = 0;
    for (const Timeline* t = &player->Root(); t && !t->DisplayList().empty();
         t = t->DisplayList().begin()->second->Sprite()) {
      ++levels;
    }
    EXPECT_EQ(levels, kMaxSpriteNesting + 1);
    EXPECT_LE(player->DisplayObjects(), kMaxDisplayObjects);
    if (copies == 2) {
      EXPECT_GE(player->DisplayObjects(), kMaxDisplayObjects - kMaxSpriteNesting);
    }
    RecordingCanvas canvas;
    player->Render(canvas, {});  // nothing to draw, but every level is walked
    EXPECT_TRUE(canvas.calls.empty());
  }
}

TEST(FlashPlayerBounds, OneTimelineHoldsAtMostItsObjectLimit) {
  SwfMovieBuilder movie;
  const uint16_t square = Square(movie, {1, 1, 1});
  for (size_t depth = 1; depth <= kMaxObjectsPerTimeline + 10; ++depth) {
    movie.Place(At(static_cast<uint16_t>(depth), square));
  }
  movie.ShowFrame();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);
  EXPECT_EQ(player->Root().DisplayList().size(), kMaxObjectsPerTimeline);
  EXPECT_EQ(player->DisplayObjects(), kMaxObjectsPerTimeline);
}

TEST(FlashPlayerBounds, OneTickCarriesOutAndOneFrameDrawsABoundedAmount) {
  SwfMovieBuilder movie;
  SwfShape shape;  // 300 fill styles, each drawn: 300 fills an instance
  shape.xMax = shape.yMax = 100;
  for (uint32_t style = 1; style <= 300; ++style) {
    shape.fills.push_back(SwfFill::Solid({1, 1, 1}));
    shape.Style(0, style, std::nullopt, std::nullopt).Rectangle(0, 0, 10, 10);
  }
  const uint16_t many = movie.DefineShape(shape);
  SwfTags content;
  content.Place(At(1, many));
  content.ShowFrame();
  for (int i = 0; i < 100; ++i) content.Place(At(1, std::nullopt, SwfMatrix::Translate(i + 1, 0), true));
  content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  const uint16_t instances = 12'000;  // 1,200,000 moves in the second frame: over a tick's budget
  for (uint16_t depth = 1; depth <= instances; ++depth) movie.Place(At(depth, sprite));
  movie.ShowFrame();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);
  player->Advance();
  auto childX = [&](uint16_t depth) {
    const Timeline* inner = player->Root().DisplayList().at(depth)->Sprite();
    EXPECT_EQ(inner->CurrentFrame(), 1);
    return inner->DisplayList().at(1)->LocalMatrix().tx;
  };
  // The newest clip's frame runs first, as in the Flash Player.
  EXPECT_EQ(childX(instances), 100);
  EXPECT_EQ(childX(1), 0);  // stepped, but the budget was spent before its moves
  RecordingCanvas canvas;
  player->Render(canvas, {});
  EXPECT_EQ(canvas.calls.size(), kMaxDrawsPerFrame);
}

}  // namespace
}  // namespace swfplayer::player
