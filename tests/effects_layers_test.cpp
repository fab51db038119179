// Layers on the raster canvas: each filter's geometry (where a shadow falls, inner and
// knockout, what a bevel lights), the colour transform applied to the layer after its filters,
// layer bounds, and the cache: reused while the content stays the same relative to the
// object's whole-pixel origin, drawn anew when anything in it or its filters changes.
#include <gtest/gtest.h>

#include <cmath>

#include "swfplayer/render/LayerFilters.h"
#include "swfplayer/render/PixelBlend.h"
#include "tests/render_test_support.h"

namespace swfplayer::render::test {
namespace {

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

// A white canvas with a red square [20, 40) x [20, 40) drawn in a layer with these effects
// (the object's origin at (x, y), the square drawn relative to it).
struct LayerScene {
  explicit LayerScene(int size = 64) : target(size, size) {}
  bool Draw(const DisplayEffects& effects, double x = 20, double y = 20,
            const ColorTransform& cx = {}, Rgba color = kRed) {
    target.canvas.BeginFrame();
    target.canvas.Clear(kWhite);
    const Matrix at = Matrix::Translate(x, y);
    const bool layered = target.canvas.BeginLayer(at, cx, effects, {1, 1});
    target.canvas.FillPath(Rect(0, 0, 20, 20), at, FillRule::kNonZero, color,
                           layered ? ColorTransform{} : cx);
    if (layered) target.canvas.EndLayer();
    last = target.canvas.EndFrame();
    return layered;
  }
  uint32_t At(int x, int y) const { return target.At(x, y); }
  TestCanvas target;
  PixelBox last;
};

DisplayEffects With(Filter filter) {
  DisplayEffects effects;
  effects.filters.push_back(std::move(filter));
  return effects;
}

ShadowFilter Shadow(float angle, float distance) {
  ShadowFilter shadow;
  shadow.color = kBlack;
  shadow.blurX = shadow.blurY = 0;
  shadow.angle = angle;
  shadow.distance = distance;
  return shadow;
}

constexpr uint32_t kRedPixel = 0xFFFF0000u, kWhitePixel = 0xFFFFFFFFu, kBlackPixel = 0xFF000000u;

TEST(EffectsLayers, ADropShadowFallsAlongItsAngleBehindTheObject) {
  LayerScene scene;
  ASSERT_TRUE(scene.Draw(With(Shadow(0, 5))));
  EXPECT_EQ(scene.At(30, 30), kRedPixel);    // the object over its shadow
  EXPECT_EQ(scene.At(42, 30), kBlackPixel);  // right of it: the shadow, 5 px along x
  EXPECT_EQ(scene.At(45, 30), kWhitePixel);
  EXPECT_EQ(scene.At(18, 30), kWhitePixel);
  ASSERT_TRUE(scene.Draw(With(Shadow(static_cast<float>(M_PI / 2), 5))));  // down
  EXPECT_EQ(scene.At(30, 42), kBlackPixel);
  EXPECT_EQ(scene.At(42, 30), kWhitePixel);
  // Strength and the shadow's alpha scale it; a blur softens and widens it.
  ShadowFilter soft = Shadow(0, 0);
  soft.color = {0, 0, 0, 128};
  soft.blurX = soft.blurY = 4;
  soft.passes = 2;
  ASSERT_TRUE(scene.Draw(With(soft)));
  const uint32_t near = scene.At(41, 30), far = scene.At(43, 30);
  EXPECT_LT(near & 0xFF, 255u);
  EXPECT_GT(near & 0xFF, 128u);  // at most half dark
  EXPECT_GT(far & 0xFF, near & 0xFF);
  EXPECT_EQ(scene.At(46, 30), kWhitePixel);  // beyond two passes of a 4-pixel box
}

TEST(EffectsLayers, InnerKnockoutAndHiddenObjects) {
  LayerScene scene;
  ShadowFilter inner = Shadow(0, 4);
  inner.inner = true;
  ASSERT_TRUE(scene.Draw(With(inner)));
  EXPECT_EQ(scene.At(21, 30), kBlackPixel);  // the left edge, where the outside moved in
  EXPECT_EQ(scene.At(38, 30), kRedPixel);
  EXPECT_EQ(scene.At(45, 30), kWhitePixel);  // nothing outside
  ShadowFilter knockout = Shadow(0, 4);
  knockout.knockout = true;
  ASSERT_TRUE(scene.Draw(With(knockout)));
  EXPECT_EQ(scene.At(30, 30), kWhitePixel);  // the object is cut out of its shadow
  EXPECT_EQ(scene.At(42, 30), kBlackPixel);
  ShadowFilter hidden = Shadow(0, 4);
  hidden.hideObject = true;
  ASSERT_TRUE(scene.Draw(With(hidden)));
  EXPECT_EQ(scene.At(30, 30), kBlackPixel);  // the shadow alone, under where the object was
  EXPECT_EQ(scene.At(22, 30), kWhitePixel);
  // A glow does not move: it surrounds the object evenly.
  ShadowFilter glow = Shadow(0, 10);
  glow.kind = ShadowFilter::Kind::kGlow;
  glow.blurX = glow.blurY = 5;
  ASSERT_TRUE(scene.Draw(With(glow)));
  EXPECT_EQ(scene.At(18, 30), scene.At(41, 30));
  EXPECT_EQ(scene.At(30, 18), scene.At(30, 41));
  EXPECT_NE(scene.At(18, 30), kWhitePixel);
}

TEST(EffectsLayers, BevelsLightTheSideTowardsTheLight) {
  LayerScene scene;
  ShadowFilter bevel = Shadow(static_cast<float>(M_PI / 4), 2);
  bevel.kind = ShadowFilter::Kind::kBevel;
  bevel.inner = true;
  bevel.highlight = kWhite;
  bevel.color = kBlue;
  ASSERT_TRUE(scene.Draw(With(bevel)));
  EXPECT_EQ(scene.At(20, 30), kWhitePixel);          // top-left edges: lit
  EXPECT_EQ(scene.At(39, 30), 0xFF0000FFu);          // bottom-right edges: in shadow
  EXPECT_EQ(scene.At(30, 30), kRedPixel);            // the middle untouched
  EXPECT_EQ(scene.At(17, 30), kWhitePixel);          // an inner bevel stays inside
  // A gradient bevel takes its highlight from the start of its gradient, shadow from the end.
  bevel.kind = ShadowFilter::Kind::kGradientBevel;
  bevel.gradient = {{0, {0, 255, 0, 255}}, {128, {0, 0, 0, 0}}, {255, kBlue}};
  ASSERT_TRUE(scene.Draw(With(bevel)));
  EXPECT_EQ(scene.At(20, 30), 0xFF00FF00u);
  EXPECT_EQ(scene.At(39, 30), 0xFF0000FFu);
  // Outer: around the object, the lit side where the light comes from.
  bevel.kind = ShadowFilter::Kind::kBevel;
  bevel.inner = false;
  bevel.highlight = {0, 255, 0, 255};
  ASSERT_TRUE(scene.Draw(With(bevel)));
  EXPECT_EQ(scene.At(19, 30), 0xFF00FF00u);
  EXPECT_EQ(scene.At(40, 30), 0xFF0000FFu);
  EXPECT_EQ(scene.At(21, 30), kRedPixel);
  EXPECT_EQ(scene.At(17, 30), kWhitePixel);
}

TEST(EffectsLayers, ColourFiltersAndTheTransformAfterThem) {
  LayerScene scene;
  ColorMatrixFilter swap;  // red into blue, blue into red
  swap.matrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
  ASSERT_TRUE(scene.Draw(With(swap)));
  EXPECT_EQ(scene.At(30, 30), 0xFF0000FFu);
  EXPECT_EQ(scene.At(10, 10), kWhitePixel);
  // A convolution that takes the pixel to the left: the square moves right by one, within
  // its own bounds (a convolution does not grow them); beyond the layer is the default colour.
  ConvolutionFilter shift;
  shift.columns = 3;
  shift.rows = 1;
  shift.matrix = {1, 0, 0};
  shift.preserveAlpha = false;
  shift.clamp = false;
  ASSERT_TRUE(scene.Draw(With(shift)));
  EXPECT_EQ(scene.At(39, 30), kRedPixel);
  EXPECT_EQ(scene.At(20, 30), kWhitePixel);
  shift.clamp = true;  // the edge pixel repeats instead
  ASSERT_TRUE(scene.Draw(With(shift)));
  EXPECT_EQ(scene.At(20, 30), kRedPixel);
  // The colour transform applies to the shadow as well, after the filter: half alpha makes
  // both half.
  ColorTransform half;
  half.mulA = 0.5f;
  ASSERT_TRUE(scene.Draw(With(Shadow(0, 5)), 20, 20, half));
  EXPECT_EQ(scene.At(30, 30), Over(ScalePixel(kRedPixel, 128), kWhitePixel));
  EXPECT_EQ(scene.At(42, 30), Over(ScalePixel(kBlackPixel, 128), kWhitePixel));
  // Blend modes composite the layer onto what is beneath.
  DisplayEffects multiply;
  multiply.blendMode = BlendMode::kMultiply;
  ASSERT_TRUE(scene.Draw(multiply, 20, 20, {}, {255, 128, 0, 255}));
  EXPECT_EQ(scene.At(30, 30), 0xFFFF8000u);  // on white, multiply shows the colour
  DisplayEffects difference;
  difference.blendMode = BlendMode::kDifference;
  ASSERT_TRUE(scene.Draw(difference, 20, 20, {}, {255, 128, 0, 255}));
  EXPECT_EQ(scene.At(30, 30), 0xFF007FFFu);
}

TEST(EffectsLayers, TheCacheKeepsWhatDoesNotChangeAndDropsWhatDoes) {
  LayerScene scene;
  DisplayEffects cached;
  cached.cacheAsBitmap = true;
  ASSERT_TRUE(scene.Draw(cached, 20, 20));
  EXPECT_EQ(scene.target.canvas.Layers().Count(), 1u);
  EXPECT_EQ(scene.At(20, 20), kRedPixel);
  // Moved by whole pixels, or by less than half of one (the origin is snapped): the same.
  ASSERT_TRUE(scene.Draw(cached, 23, 21.3));
  EXPECT_EQ(scene.target.canvas.Layers().Count(), 1u);
  EXPECT_EQ(scene.At(23, 21), kRedPixel);
  EXPECT_EQ(scene.At(22, 21), kWhitePixel);
  EXPECT_EQ(scene.At(42, 40), kRedPixel);
  EXPECT_EQ(scene.At(43, 41), kWhitePixel);
  // Unchanged: nothing is drawn at all.
  ASSERT_TRUE(scene.Draw(cached, 23, 21.3));
  EXPECT_TRUE(scene.last.Empty());
  // A new colour, a new filter: layers of their own.
  ASSERT_TRUE(scene.Draw(cached, 23, 21, {}, kBlue));
  EXPECT_EQ(scene.target.canvas.Layers().Count(), 2u);
  EXPECT_EQ(scene.At(30, 30), 0xFF0000FFu);
  ASSERT_TRUE(scene.Draw(With(Shadow(0, 3)), 23, 21, {}, kBlue));
  EXPECT_EQ(scene.target.canvas.Layers().Count(), 3u);
  // A colour transform is applied when compositing: the cached layer serves.
  ColorTransform tint;
  tint.mulB = 0.5f;
  ASSERT_TRUE(scene.Draw(With(Shadow(0, 3)), 23, 21, tint, kBlue));
  EXPECT_EQ(scene.target.canvas.Layers().Count(), 3u);
  EXPECT_EQ(scene.At(30, 30), 0xFF00007Fu);
  // Layers unused for long are dropped.
  for (uint64_t i = 0; i <= LayerCache::kMaxIdleFrames + 1; ++i) scene.Draw(cached, 23, 21);
  EXPECT_EQ(scene.target.canvas.Layers().Count(), 1u);
}

// A layer's content is drawn where the object stands, to the fraction of a pixel, the first
// time; what lies beyond the canvas is drawn in it as far as its filters can bring it back.
TEST(EffectsLayers, ContentStandsWhereItIsAndShadowsComeInFromBeyondTheCanvas) {
  LayerScene layered;
  TestCanvas plain(64, 64);
  plain.canvas.BeginFrame();
  plain.canvas.Clear(kWhite);
  plain.canvas.FillPath(Rect(0, 0, 20, 20), Matrix::Translate(20.4, 20.6), FillRule::kNonZero,
                        kRed, {});
  plain.canvas.EndFrame();
  DisplayEffects cached;
  cached.cacheAsBitmap = true;
  ASSERT_TRUE(layered.Draw(cached, 20.4, 20.6));
  EXPECT_EQ(layered.target.pixels, plain.pixels);
  // A square 6 pixels right of the canvas casts its shadow 10 to the left: it shows in the
  // columns 60 to 63, and again once the object comes back from the cache at the same place.
  const float left = static_cast<float>(M_PI);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(layered.Draw(With(Shadow(left, 10)), 70, 20));
    EXPECT_EQ(layered.At(63, 30), kBlackPixel) << round;
    EXPECT_EQ(layered.At(60, 30), kBlackPixel) << round;
    EXPECT_EQ(layered.At(59, 30), kWhitePixel) << round;
  }
  // Moved by whole pixels along the edge, more of the shadow shows: drawn anew.
  ASSERT_TRUE(layered.Draw(With(Shadow(left, 10)), 68, 20));
  EXPECT_EQ(layered.At(58, 30), kBlackPixel);
  EXPECT_EQ(layered.At(57, 30), kWhitePixel);
}

TEST(EffectsLayers, BoundsOfLayers) {
  // A filter's margins: a blur's reach on every side, a shadow's towards where it falls.
  EXPECT_EQ(FilterMargins(BlurFilter{5, 9, 2}, {1, 1}).left, 4);
  EXPECT_EQ(FilterMargins(BlurFilter{5, 9, 2}, {1, 1}).bottom, 8);
  EXPECT_EQ(FilterMargins(BlurFilter{5, 5, 1}, {2, 2}).right, 5);  // scaled with the stage
  const Margins shadow = FilterMargins(Shadow(0, 6), {1, 1});
  EXPECT_EQ(shadow.left, 0);
  EXPECT_EQ(shadow.right, 6);
  ShadowFilter inner = Shadow(0, 6);
  inner.inner = true;
  EXPECT_EQ(FilterMargins(inner, {1, 1}).right, 0);
  // Nothing of a layer lies beyond the canvas, whatever its filters reach.
  LayerScene scene;
  ASSERT_TRUE(scene.Draw(With(BlurFilter{40, 40, 3}), 50, 50));
  EXPECT_LE(scene.last.right, 64);
  // A mask being built takes no layer; nor a canvas larger than a layer may be.
  TestCanvas canvas(16, 16);
  canvas.canvas.BeginMask();
  EXPECT_FALSE(canvas.canvas.BeginLayer({}, {}, With(Shadow(0, 1)), {1, 1}));
  canvas.canvas.EndMask();
  EXPECT_TRUE(canvas.canvas.BeginLayer({}, {}, With(Shadow(0, 1)), {1, 1}));
  canvas.canvas.EndLayer();
  std::vector<uint32_t> wide(static_cast<size_t>(kMaxLayerSide + 1) * 2);
  RasterCanvas tooWide(wide.data(), kMaxLayerSide + 1, 2, kMaxLayerSide + 1, Quality::kHigh);
  EXPECT_FALSE(tooWide.BeginLayer({}, {}, With(Shadow(0, 1)), {1, 1}));
  // Nesting is bounded.
  TestCanvas deep(16, 16);
  size_t opened = 0;
  while (opened < 100 && deep.canvas.BeginLayer({}, {}, DisplayEffects{{}, BlendMode::kLayer},
                                                {1, 1})) {
    ++opened;
  }
  EXPECT_EQ(opened, kMaxLayerNesting);
  for (size_t i = 0; i < opened; ++i) deep.canvas.EndLayer();
}

}  // namespace
}  // namespace swfplayer::render::test
