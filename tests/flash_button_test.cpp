// Buttons show their up state: only the records flagged for it, in depth order, with their
// matrices and (DefineButton2) colour transforms under the placement's; a sprite in the up
// state plays, drawn on the stage.
#include <gtest/gtest.h>

#include "flash_player_support.h"

namespace swfplayer::player {
namespace {

using testing::LoadMovie;
using testing::RecordingCanvas;
using tools::SwfButton;
using tools::SwfMatrix;
using tools::SwfMovieBuilder;
using tools::SwfPlace;
using tools::SwfRgba;

uint16_t Square(SwfMovieBuilder& movie, SwfRgba color) {
  return testing::SolidSquare(movie, color, 200);
}

TEST(FlashButton, UpStateRecordsInDepthOrderWithTheirMatricesAndColorTransforms) {
  for (const int version : {1, 2}) {
    SwfMovieBuilder movie;
    const uint16_t up = Square(movie, {255, 0, 0}), over = Square(movie, {0, 255, 0});
    const uint16_t down = Square(movie, {0, 0, 255}), both = Square(movie, {9, 9, 9});
    tools::SwfColorTransform half;
    half.mulR = 128;
    SwfButton button;
    button.version = version;
    button.records = {{0x01, up, 5, SwfMatrix::Translate(100, 0), half},
                      {0x02, over, 1, {}, {}},
                      {0x0C, down, 2, {}, {}},  // down and hit test
                      {0x03, both, 3, SwfMatrix::Translate(0, 100), {}}};
    const uint16_t id = movie.DefineButton(button);
    SwfPlace place;
    place.character = id;
    place.matrix = SwfMatrix::Translate(1000, 0);
    place.colorTransform = tools::SwfColorTransform{256, 256, 256, 256, 10, 0, 0, 0};
    movie.Place(place);
    movie.ShowFrame();
    auto player = LoadMovie(movie);
    ASSERT_TRUE(player);
    RecordingCanvas canvas;
    player->Render(canvas, {});
    EXPECT_EQ(canvas.Colors(), (std::vector<Rgba>{{9, 9, 9, 255}, {255, 0, 0, 255}})) << version;
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].matrix, Matrix::Translate(1000, 100));
    EXPECT_EQ(canvas.calls[1].matrix, Matrix::Translate(1100, 0));
    // DefineButton has no colour transforms of its own: only the placement's applies.
    const ColorTransform expected{version == 2 ? 0.5f : 1.0f, 1, 1, 1, 10, 0, 0, 0};
    EXPECT_EQ(canvas.calls[1].colorTransform, expected) << version;
  }
}

TEST(FlashButton, ASpriteInItsUpStatePlaysOnTheStage) {
  SwfMovieBuilder movie;
  const uint16_t red = Square(movie, {255, 0, 0}), green = Square(movie, {0, 255, 0});
  tools::SwfTags blink;  // red, then green
  for (const uint16_t color : {red, green}) {
    SwfPlace place;
    place.character = color;
    place.move = color == green;
    blink.Place(place);
    blink.ShowFrame();
  }
  SwfPlace place;
  place.character = movie.DefineButton({2, {{0x01, movie.DefineSprite(blink), 1, SwfMatrix::Translate(200, 200), {}},
                                            {0x06, red, 2, {}, {}}}});  // over and down: not shown
  movie.Place(place);
  movie.ShowFrame();
  tools::SwfOptions options;
  options.widthPixels = options.heightPixels = 40;
  auto player = testing::LoadBytes(movie.Finish(options));
  ASSERT_TRUE(player);
  const testing::StagePixels up = testing::DrawLow(*player);
  EXPECT_EQ(up.At(15, 15), testing::Opaque(255, 0, 0));  // the sprite's square: 10 to 20 px
  EXPECT_EQ(up.At(5, 5), testing::Opaque(255, 255, 255));
  EXPECT_EQ(up.At(21, 21), testing::Opaque(255, 255, 255));
  player->Advance();
  EXPECT_EQ(testing::DrawLow(*player).At(15, 15), testing::Opaque(0, 255, 0));
}

}  // namespace
}  // namespace swfplayer::player
