// Where a filtered or cached object's bitmap lies on the pixel grid: snapped to whole pixels at
// the top left of the object's bounds, so the fraction of where the object stands is dropped
// there, while an object with only a blend mode is drawn where it stands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "flash_player_support.h"
#include "swfplayer/render/Canvas.h"

namespace swfplayer::player {
namespace {

using testing::DrawLow;
using testing::LoadBytes;
using testing::Opaque;

TEST(EffectsBitmapGrid, TheBoundsCornerGoesToTheNearestPixelHalvesRightAndDown) {
  const Matrix m{2, 0, 0, 2, 10.25, -4.25};
  const Matrix halves = render::SnapLayerContent(m, {-1.5, 2.5});
  EXPECT_DOUBLE_EQ(halves.tx, 10.75);  // -1.5 goes to -1
  EXPECT_DOUBLE_EQ(halves.ty, -3.75);  // 2.5 goes to 3
  EXPECT_EQ(halves.a, 2);
  EXPECT_EQ(halves.d, 2);
  const Matrix nearest = render::SnapLayerContent(m, {7.25, 7.75});
  EXPECT_DOUBLE_EQ(nearest.tx, 10.0);
  EXPECT_DOUBLE_EQ(nearest.ty, -4.0);
  EXPECT_EQ(render::SnapLayerContent(m, {NAN, 1}), m);
}

// The first red column and row of a 20-pixel red square whose bounds reach half a pixel
// beyond it (as a 1-pixel stroke's would), standing at (40.7, 30.7) on a white stage.
std::pair<int, int> RedCorner(const std::function<void(tools::SwfPlace&)>& effects) {
  tools::SwfMovieBuilder movie;
  tools::SwfShape shape;
  shape.xMin = shape.yMin = -10;
  shape.xMax = shape.yMax = 410;
  shape.fills = {tools::SwfFill::Solid({255, 0, 0})};
  shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(0, 0, 400, 400);
  tools::SwfPlace placed;
  placed.version = 3;
  placed.character = movie.DefineShape(shape);
  placed.matrix = tools::SwfMatrix::Translate(814, 614);
  effects(placed);
  movie.Place(placed);
  movie.ShowFrame();
  tools::SwfOptions options;
  options.version = 8;
  options.widthPixels = 100;
  options.heightPixels = 80;
  auto player = LoadBytes(movie.Finish(options));
  player->Advance();
  const testing::StagePixels stage = DrawLow(*player);
  int column = 0, row = 0;
  while (column < 99 && stage.At(column, 40) != Opaque(255, 0, 0)) ++column;
  while (row < 79 && stage.At(50, row) != Opaque(255, 0, 0)) ++row;
  return {column, row};
}

TEST(EffectsBitmapGrid, FiltersAndCachedBitmapsDropTheFractionBlendModesKeepIt) {
  using Corner = std::pair<int, int>;
  // Where it stands: [40.7, 60.7) covers the centres from 41.5 on.
  EXPECT_EQ(RedCorner([](tools::SwfPlace&) {}), Corner(41, 31));
  EXPECT_EQ(RedCorner([](tools::SwfPlace& p) { p.blendMode = 2; }), Corner(41, 31));
  // Bounds from 40.2 go to 40: the square to [40.5, 60.5).
  EXPECT_EQ(RedCorner([](tools::SwfPlace& p) { p.cacheAsBitmap = 1; }), Corner(40, 30));
  EXPECT_EQ(RedCorner([](tools::SwfPlace& p) {
              // One colour matrix filter, the identity.
              p.filterList = {1, 6};
              for (int i = 0; i < 20; ++i) {
                const float v = i % 6 == 0 ? 1.0f : 0.0f;
                uint8_t bytes[4];
                std::memcpy(bytes, &v, 4);
                p.filterList.insert(p.filterList.end(), bytes, bytes + 4);
              }
            }),
            Corner(40, 30));
}

}  // namespace
}  // namespace swfplayer::player
