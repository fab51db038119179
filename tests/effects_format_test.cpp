// Filter lists, blend modes and the cache flag of PlaceObject3 read into plain data: every
// filter's fields in their places (the bevel's highlight before its shadow, the passes in the
// blur's top bits), and a damaged list keeping nothing after it.
#include <gtest/gtest.h>

#include <bit>

#include "flash_player_support.h"
#include "swfplayer/format/Button.h"
#include "swfplayer/format/DisplayTags.h"

namespace swfplayer::format {
namespace {

using tools::SwfPlace;

struct Bytes {
  std::vector<uint8_t> out;
  Bytes& U8(uint8_t v) { out.push_back(v); return *this; }
  Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& Fixed(double v) { return U32(static_cast<uint32_t>(static_cast<int32_t>(v * 65536))); }
  Bytes& Float(float v) { return U32(std::bit_cast<uint32_t>(v)); }
  Bytes& Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return U8(r).U8(g).U8(b).U8(a); }
};

std::optional<PlaceObject> Placed(const std::vector<uint8_t>& filterList, uint8_t blend = 0) {
  SwfPlace place;
  place.version = 3;
  place.character = 4;
  place.filterList = filterList;
  if (blend) place.blendMode = blend;
  place.cacheAsBitmap = 1;
  tools::SwfTags tags;
  tags.Place(place);
  return DecodePlaceObject(testing::FirstTagBody(tags, 70), 3);
}

TEST(EffectsFormat, EveryFilterKindWithItsFields) {
  Bytes list;
  list.U8(8);
  // Drop shadow: colour, blur 3.5 x 6, angle 1.25, distance -2, strength 1.5; inner, knockout,
  // composite source off (hide object), 3 passes.
  list.U8(0).Color(1, 2, 3, 4).Fixed(3.5).Fixed(6).Fixed(1.25).Fixed(-2).U16(0x0180).U8(0xC3);
  // Blur 10 x 0.5 at 2 passes (in the top five bits).
  list.U8(1).Fixed(10).Fixed(0.5).U8(2 << 3);
  // Glow: colour, blur, strength 2, composite source, 1 pass.
  list.U8(2).Color(9, 8, 7, 6).Fixed(5).Fixed(5).U16(0x0200).U8(0x21);
  // Bevel: highlight, then shadow; on top and 15 passes in four bits.
  list.U8(3).Color(255, 255, 255, 255).Color(0, 0, 0, 255).Fixed(4).Fixed(4).Fixed(0.5)
      .Fixed(3).U16(0x0100).U8(0x3F);
  // Gradient glow: two stops.
  list.U8(4).U8(2).Color(255, 0, 0, 0).Color(255, 0, 0, 255).U8(0).U8(255).Fixed(8).Fixed(8)
      .Fixed(0).Fixed(0).U16(0x0100).U8(0xA2);
  // Convolution 3 x 2 with divisor, bias, default colour; clamp off, preserve alpha on.
  list.U8(5).U8(3).U8(2).Float(6).Float(0.5f);
  for (int i = 0; i < 6; ++i) list.Float(static_cast<float>(i));
  list.Color(10, 20, 30, 40).U8(0x01);
  // Colour matrix.
  list.U8(6);
  for (int i = 0; i < 20; ++i) list.Float(i * 0.5f);
  // Gradient bevel: three stops.
  list.U8(7).U8(3).Color(1, 1, 1, 1).Color(2, 2, 2, 2).Color(3, 3, 3, 3).U8(0).U8(128).U8(255)
      .Fixed(2).Fixed(2).Fixed(3.14159).Fixed(5).U16(0x0100).U8(0x51);
  const auto place = Placed(list.out, 3);
  ASSERT_TRUE(place && place->filters);
  const std::vector<Filter>& f = *place->filters;
  ASSERT_EQ(f.size(), 8u);

  const auto& shadow = std::get<ShadowFilter>(f[0]);
  EXPECT_EQ(shadow.kind, ShadowFilter::Kind::kDropShadow);
  EXPECT_EQ(shadow.color, (Rgba{1, 2, 3, 4}));
  EXPECT_FLOAT_EQ(shadow.blurX, 3.5f);
  EXPECT_FLOAT_EQ(shadow.blurY, 6);
  EXPECT_FLOAT_EQ(shadow.angle, 1.25f);
  EXPECT_FLOAT_EQ(shadow.distance, -2);
  EXPECT_FLOAT_EQ(shadow.strength, 1.5f);
  EXPECT_TRUE(shadow.inner && shadow.knockout && shadow.hideObject);
  EXPECT_EQ(shadow.passes, 3);

  EXPECT_EQ(std::get<BlurFilter>(f[1]), (BlurFilter{10, 0.5f, 2}));

  const auto& glow = std::get<ShadowFilter>(f[2]);
  EXPECT_EQ(glow.kind, ShadowFilter::Kind::kGlow);
  EXPECT_EQ(glow.distance, 0);
  EXPECT_FLOAT_EQ(glow.strength, 2);
  EXPECT_FALSE(glow.inner || glow.knockout || glow.hideObject);
  EXPECT_EQ(glow.passes, 1);

  const auto& bevel = std::get<ShadowFilter>(f[3]);
  EXPECT_EQ(bevel.highlight, (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(bevel.color, (Rgba{0, 0, 0, 255}));
  EXPECT_TRUE(bevel.onTop);
  EXPECT_EQ(bevel.passes, 15);
  EXPECT_FLOAT_EQ(bevel.distance, 3);

  const auto& gradientGlow = std::get<ShadowFilter>(f[4]);
  EXPECT_EQ(gradientGlow.kind, ShadowFilter::Kind::kGradientGlow);
  ASSERT_EQ(gradientGlow.gradient.size(), 2u);
  EXPECT_EQ(gradientGlow.gradient[1].ratio, 255);
  EXPECT_EQ(gradientGlow.gradient[1].color, (Rgba{255, 0, 0, 255}));
  EXPECT_TRUE(gradientGlow.inner && !gradientGlow.hideObject);
  EXPECT_EQ(gradientGlow.passes, 2);

  const auto& convolution = std::get<ConvolutionFilter>(f[5]);
  EXPECT_EQ(convolution.columns, 3);
  EXPECT_EQ(convolution.rows, 2);
  EXPECT_EQ(convolution.matrix, (std::vector<float>{0, 1, 2, 3, 4, 5}));
  EXPECT_FLOAT_EQ(convolution.divisor, 6);
  EXPECT_FLOAT_EQ(convolution.bias, 0.5f);
  EXPECT_EQ(convolution.defaultColor, (Rgba{10, 20, 30, 40}));
  EXPECT_FALSE(convolution.clamp);
  EXPECT_TRUE(convolution.preserveAlpha);

  const auto& matrix = std::get<ColorMatrixFilter>(f[6]);
  EXPECT_FLOAT_EQ(matrix.matrix[19], 9.5f);

  const auto& gradientBevel = std::get<ShadowFilter>(f[7]);
  EXPECT_EQ(gradientBevel.kind, ShadowFilter::Kind::kGradientBevel);
  EXPECT_EQ(gradientBevel.gradient.size(), 3u);
  EXPECT_EQ(gradientBevel.gradient[1].ratio, 128);
  EXPECT_TRUE(gradientBevel.onTop);
  EXPECT_EQ(gradientBevel.passes, 1);

  EXPECT_EQ(place->blendMode, 3);
  EXPECT_EQ(place->cacheAsBitmap, true);
}

TEST(EffectsFormat, DamagedListsKeepThePlacementWithoutWhatFollows) {
  Bytes list;
  list.U8(1).U8(1).Fixed(2).Fixed(2).U8(1 << 3);
  // Cut anywhere inside the list: the placement stays, without filters or what follows them.
  SwfPlace place;
  place.version = 3;
  place.character = 4;
  place.filterList = list.out;
  place.blendMode = 8;
  tools::SwfTags tags;
  tags.Place(place);
  const std::vector<uint8_t> body = testing::FirstTagBody(tags, 70);
  const size_t listStart = 2 + 2 + 2;  // flags, depth, character
  for (size_t cut = listStart; cut < listStart + list.out.size(); ++cut) {
    const auto decoded = DecodePlaceObject({body.data(), cut}, 3);
    ASSERT_TRUE(decoded) << cut;
    EXPECT_FALSE(decoded->filters) << cut;
    EXPECT_FALSE(decoded->blendMode) << cut;
  }
  const auto whole = DecodePlaceObject(body, 3);
  ASSERT_TRUE(whole && whole->filters);
  EXPECT_EQ(whole->filters->size(), 1u);
  EXPECT_EQ(whole->blendMode, 8);
  // Unknown blend numbers draw as normal; NaN numbers in a filter read as 0.
  EXPECT_EQ(BlendModeFromSwf(0), BlendMode::kNormal);
  EXPECT_EQ(BlendModeFromSwf(15), BlendMode::kNormal);
  EXPECT_EQ(BlendModeFromSwf(14), BlendMode::kHardLight);
  Bytes nan;
  nan.U8(1).U8(6);
  for (int i = 0; i < 20; ++i) nan.U32(0x7FC00000);
  const auto matrix = Placed(nan.out);
  ASSERT_TRUE(matrix && matrix->filters);
  EXPECT_EQ(std::get<ColorMatrixFilter>(matrix->filters->front()).matrix[0], 0);
}

TEST(EffectsFormat, ButtonRecordsKeepTheirFiltersAndBlendMode) {
  Bytes body;
  body.U16(7).U8(0).U16(0);                 // id, menu flag, no actions
  body.U8(0x01 | 0x10 | 0x20).U16(3).U16(1);  // up state, filters, blend mode; character, depth
  body.U8(0);                                // an empty MATRIX
  body.U8(0);                                // an empty CXFORMWITHALPHA
  body.U8(1).U8(1).Fixed(6).Fixed(6).U8(3 << 3);
  body.U8(4);                                // screen
  body.U8(0);                                // the end of the records
  const auto button = DecodeButton(body.out, 2);
  ASSERT_TRUE(button);
  ASSERT_EQ(button->records.size(), 1u);
  EXPECT_FALSE(button->truncated);
  const DisplayEffects& effects = button->records[0].effects;
  EXPECT_EQ(effects.blendMode, BlendMode::kScreen);
  ASSERT_EQ(effects.filters.size(), 1u);
  EXPECT_EQ(std::get<BlurFilter>(effects.filters[0]), (BlurFilter{6, 6, 3}));
}

}  // namespace
}  // namespace swfplayer::format
