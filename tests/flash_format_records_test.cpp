// MATRIX and CXFORM records and the placement tags around them: values survive a write and a
// read, the PlaceObject3 fields before and after the filter list are read in the right place,
// and damaged tags give nothing rather than a half-read placement.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swfplayer/format/DisplayTags.h"

namespace swfplayer::format {
namespace {

using tools::SwfColorTransform;
using tools::SwfMatrix;
using tools::SwfPlace;

std::optional<PlaceObject> RoundTrip(const SwfPlace& place) {
  tools::SwfTags tags;
  tags.Place(place);
  return DecodePlaceObject(testing::FirstTagBody(tags, place.version >= 3 ? 70 : 26), place.version);
}

TEST(FlashRecords, MatricesAsWritten) {
  const SwfMatrix cases[] = {
      {},                                      // identity: no scale, no rotation
      SwfMatrix::Translate(-1, 32767),         // translation only, signed
      {2.5, 0, 0, -0.25, 0, 0},                // scale only
      {1, 0.5, -0.5, 1, 10, -10},              // rotation without scale
      {0.70710678, 0.70710678, -0.70710678, 0.70710678, -123456, 654321},
      {-3.0, 1 / 65536.0, 0, 16383.0, 0, 0},   // one 16.16 unit, a 31-bit field
  };
  for (const SwfMatrix& m : cases) {
    SwfPlace place;
    place.character = 1;
    place.matrix = m;
    const auto decoded = RoundTrip(place);
    ASSERT_TRUE(decoded && decoded->matrix);
    const Matrix& got = *decoded->matrix;
    EXPECT_NEAR(got.a, m.a, 1 / 65536.0);
    EXPECT_NEAR(got.b, m.b, 1 / 65536.0);
    EXPECT_NEAR(got.c, m.c, 1 / 65536.0);
    EXPECT_NEAR(got.d, m.d, 1 / 65536.0);
    EXPECT_EQ(got.tx, m.tx);
    EXPECT_EQ(got.ty, m.ty);
  }
}

TEST(FlashRecords, ColorTransformsWithAndWithoutAlpha) {
  struct Case {
    SwfColorTransform written;
    ColorTransform expected;
  };
  const Case cases[] = {
      {{256, 256, 256, 256, 0, 0, 0, 0}, {}},
      {{128, 512, -256, 64, 0, 0, 0, 0}, {0.5f, 2, -1, 0.25f, 0, 0, 0, 0}},
      {{256, 256, 256, 256, -255, 10, 255, -128}, {1, 1, 1, 1, -255, 10, 255, -128}},
      {{0, 0, 0, 0, 1, 2, 3, 4}, {0, 0, 0, 0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SwfPlace place;
    place.character = 1;
    place.colorTransform = c.written;
    const auto withAlpha = RoundTrip(place);
    ASSERT_TRUE(withAlpha && withAlpha->colorTransform);
    EXPECT_EQ(*withAlpha->colorTransform, c.expected);

    tools::SwfTags tags;  // PlaceObject's CXFORM has no alpha terms
    tags.PlaceV1(3, 9, SwfMatrix::Translate(5, 6), c.written);
    const auto v1 = DecodePlaceObject(testing::FirstTagBody(tags, 4), 1);
    ASSERT_TRUE(v1 && v1->colorTransform);
    ColorTransform noAlpha = c.expected;
    noAlpha.mulA = 1;
    noAlpha.addA = 0;
    EXPECT_EQ(*v1->colorTransform, noAlpha);
    EXPECT_EQ(v1->characterId, 3);
    EXPECT_EQ(v1->depth, 9);
    EXPECT_FALSE(v1->move);
  }
}

TEST(FlashRecords, PlaceObject3FieldsAroundClassNameAndFilters) {
  SwfPlace place;
  place.version = 3;
  place.depth = 300;
  place.character = 12;
  place.className = "flash.display.MovieClip";
  place.matrix = SwfMatrix::Translate(40, 60);
  place.ratio = 77;
  place.name = "clip";
  place.clipDepth = 310;
  place.blurAndGlowFilters = true;
  place.blendMode = 3;
  place.cacheAsBitmap = 1;
  place.visible = false;
  const auto decoded = RoundTrip(place);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->depth, 300);
  EXPECT_EQ(decoded->characterId, 12);
  EXPECT_EQ(decoded->matrix, Matrix::Translate(40, 60));
  EXPECT_EQ(decoded->ratio, 77);
  EXPECT_EQ(decoded->name, "clip");
  EXPECT_EQ(decoded->clipDepth, 310);
  EXPECT_EQ(decoded->blendMode, 3);
  EXPECT_EQ(decoded->cacheAsBitmap, true);
  EXPECT_EQ(decoded->visible, false);
  ASSERT_TRUE(decoded->filters);
  ASSERT_EQ(decoded->filters->size(), 2u);
  EXPECT_EQ(std::get<BlurFilter>((*decoded->filters)[0]), (BlurFilter{4, 4, 1}));
}

TEST(FlashRecords, DamagedPlacementsDecodeToNothing) {
  SwfPlace place;
  place.character = 2;
  place.matrix = SwfMatrix{2, 0, 0, 2, 1000, 1000};
  place.name = "abc";
  tools::SwfTags tags;
  tags.Place(place);
  const auto body = testing::FirstTagBody(tags, 26);
  for (size_t size = 0; size < body.size(); ++size) {
    const std::vector<uint8_t> prefix(body.begin(), body.begin() + size);
    EXPECT_FALSE(DecodePlaceObject(prefix, 2)) << size;  // even the name's missing NUL counts
  }
  EXPECT_FALSE(DecodeRemoveObject(std::vector<uint8_t>{1}, 2));
  EXPECT_FALSE(DecodeFrameLabel(std::vector<uint8_t>{'a', 'b'}));

  // An unknown filter ends the reading there: what came before stays.
  SwfPlace filtered;
  filtered.version = 3;
  filtered.character = 1;
  filtered.blurAndGlowFilters = true;
  filtered.blendMode = 5;
  tools::SwfTags unknown;
  unknown.Place(filtered);
  auto bytes = testing::FirstTagBody(unknown, 70);
  bytes[2 + 2 + 2 + 1] = 9;  // flags, depth, character, count: the first filter's id
  const auto kept = DecodePlaceObject(bytes, 3);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->characterId, 1);
  EXPECT_FALSE(kept->blendMode);
}

}  // namespace
}  // namespace swfplayer::format
