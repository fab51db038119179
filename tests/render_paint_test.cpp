// Paints: gradient tables (stops, shared ratios, linear light, colour transform), spread modes,
// radial and focal geometry, bitmap sampling and bitmap colour transforms, compositing; the
// eight-pixel loops against the four-pixel ones.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "swfplayer/render/BitmapPainter.h"
#include "swfplayer/render/CpuFeatures.h"
#include "swfplayer/render/GradientPainter.h"
#include "swfplayer/render/PixelBlend.h"
#include "tests/render_test_support.h"

namespace swfplayer::render::test {
namespace {

Gradient TwoStops(Rgba from, Rgba to) {
  Gradient g;
  g.stops = {{0, from}, {255, to}};
  return g;
}

TEST(RenderPaint, GradientTableHitsItsStopsAndHoldsBeyondThem) {
  Gradient g;
  g.stops = {{64, {0, 0, 0, 255}},
             {128, {200, 100, 0, 255}},
             {128, {0, 0, 255, 255}},
             {192, {0, 0, 255, 51}}};
  GradientTable table;
  BuildGradientTable(g, {}, table);
  EXPECT_EQ(table[0], 0xFF000000u);  // before the first stop: its colour
  EXPECT_EQ(table[64], 0xFF000000u);
  EXPECT_EQ(table[96], 0xFF643200u);  // half way to (200, 100, 0)
  EXPECT_EQ(table[127], Premultiply({197, 98, 0, 255}));
  EXPECT_EQ(table[129], Premultiply({200, 100, 0, 255}));  // shared ratio: one entry more
  EXPECT_EQ(table[130], Premultiply({0, 0, 255, 249}));  // then the last one's segment on
  EXPECT_EQ(table[192], 0x33000033u);  // premultiplied
  EXPECT_EQ(table[255], 0x33000033u);
}

// Of stops sharing a ratio all but the last show one entry each from the entry after the ratio;
// the segment from the last one keeps its own ratios. A group at 255 is cut short.
TEST(RenderPaint, GradientStopsSharingARatioStepOneEntryEach) {
  constexpr Rgba r{255, 0, 0, 255}, g{0, 255, 0, 255}, b{0, 0, 255, 255}, k{0, 0, 0, 255},
      y{255, 255, 0, 255};
  struct Case {
    std::vector<GradientStop> stops;
    std::vector<std::pair<int, Rgba>> entries;
  } cases[] = {
      {{{6, r}, {6, g}, {6, b}, {6, k}, {150, r}, {150, g}, {150, k}, {150, b}, {200, y}},
       {{0, r}, {7, r}, {8, g}, {9, b}, {10, {7, 0, 0, 255}}, {150, r}, {151, r}, {152, g},
        {153, k}, {154, {20, 20, 235, 255}}, {200, y}, {255, y}}},
      {{{0, r}, {0, g}, {0, b}}, {{0, r}, {1, r}, {2, g}, {3, b}}},
      {{{0, k}, {255, r}, {255, g}}, {{254, {254, 0, 0, 255}}, {255, r}}},
  };
  for (const Case& c : cases) {
    Gradient gradient;
    gradient.stops = c.stops;
    GradientTable table;
    BuildGradientTable(gradient, {}, table);
    for (const auto& [entry, color] : c.entries) {
      EXPECT_EQ(table[entry], Premultiply(color)) << c.stops.size() << " stops, entry " << entry;
    }
  }
}

TEST(RenderPaint, GradientTableInterpolatesInLinearLightAndTakesTheColorTransform) {
  Gradient g = TwoStops({0, 0, 0, 255}, {255, 255, 255, 255});
  g.interpolation = Interpolation::kLinearRgb;
  GradientTable table;
  BuildGradientTable(g, {}, table);
  EXPECT_NEAR(RedOf(table[128]), 188, 1);  // half the light of white is sRGB 0.735
  EXPECT_EQ(table[0], 0xFF000000u);
  EXPECT_EQ(table[255], 0xFFFFFFFFu);

  BuildGradientTable(TwoStops({200, 200, 200, 255}, {200, 200, 200, 255}),
                     {0.5f, 1, 1, 0.5f, 0, 0, 20, 0}, table);
  EXPECT_EQ(table[10], Premultiply({100, 200, 220, 127}));
}

uint8_t RedAt(const Gradient& g, const Matrix& square, int x, int y) {
  GradientPainter painter;
  painter.Setup(g, square, {});
  uint32_t out = 0;
  painter.Generate(x, y, 1, &out);
  return RedOf(out);
}

TEST(RenderPaint, SpreadModesBeyondTheEnds) {
  // The square spans device x 0..10: pixel 12 has its centre at 1.25 of the way, -3 at -0.25.
  Gradient g = TwoStops({0, 0, 0, 255}, {255, 255, 255, 255});
  struct Case {
    Spread spread;
    int x;
    uint8_t red;
  } cases[] = {
      {Spread::kPad, 12, 255},    {Spread::kPad, -3, 0},       {Spread::kRepeat, 12, 64},
      {Spread::kRepeat, -3, 191}, {Spread::kReflect, 12, 191}, {Spread::kReflect, -3, 64},
      {Spread::kPad, 2, 64},
  };
  for (const Case& c : cases) {
    g.spread = c.spread;
    EXPECT_NEAR(RedAt(g, {10.0 / 32768, 0, 0, 1, 5, 0}, c.x, 0), c.red, 1)
        << static_cast<int>(c.spread) << " " << c.x;
  }
}

TEST(RenderPaint, PixelsTakeTheEntryNearest256TimesTheirPosition) {
  // Grey i at entry i over device x 0..512: pixel x, at 256 t = (x + 0.5) / 2, takes entry
  // round((x + 0.5) / 2), t = 1 the last. Whole rows take the four-at-a-time path.
  GradientPainter painter;
  painter.Setup(TwoStops({0, 0, 0, 255}, {255, 255, 255, 255}), {1.0 / 64, 0, 0, 1, 256, 0}, {});
  std::vector<uint32_t> row(512);
  painter.Generate(0, 0, 512, row.data());
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {301, 151}, {510, 255}, {511, 255}};
  for (const auto& [x, red] : cases) EXPECT_EQ(RedOf(row[x]), red) << x;
}

TEST(RenderPaint, RadialAndFocalGradientsMeasureFromTheirCentres) {
  // Circle of radius 100 px around (100, 100); the focal point half way to its right side.
  const Matrix square{100.0 / 16384, 0, 0, 100.0 / 16384, 100, 100};
  Gradient radial = TwoStops({0, 0, 0, 255}, {255, 0, 0, 255});
  radial.kind = GradientKind::kRadial;
  Gradient focal = radial;
  focal.kind = GradientKind::kFocal;
  focal.focalPoint = 0.5f;
  struct Case {
    const Gradient* g;
    int x, y;
    uint8_t red;
  } cases[] = {
      {&radial, 99, 99, 0}, {&radial, 149, 99, 128}, {&radial, 200, 99, 255},
      {&focal, 149, 99, 0}, {&focal, 200, 99, 255},  {&focal, 0, 99, 255},
      {&focal, 99, 99, 85},  // a third of the way from the focal point to the far side
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(RedAt(*c.g, square, c.x, c.y), c.red, 2) << static_cast<int>(c.g->kind) << c.x;
  }
}

std::shared_ptr<const Bitmap> BlackWhite() {
  return std::make_shared<Bitmap>(Bitmap{2, 1, {0xFF000000u, 0xFFFFFFFFu}});
}

uint32_t SampleBitmap(bool repeat, bool smooth, Quality quality, int x) {
  BitmapFill fill{BlackWhite(), Matrix::Scale(10, 10), repeat, smooth};
  BitmapPainter painter;
  EXPECT_TRUE(painter.Setup(fill, fill.matrix, {}, quality));
  uint32_t out = 0;
  painter.Generate(x, 5, 1, &out);
  return out;
}

TEST(RenderPaint, BitmapSamplingAndEdges) {
  // Bitmap pixels 10 device pixels wide: black at 0..10, white at 10..20.
  struct Case {
    bool repeat, smooth;
    Quality quality;
    int x;
    uint8_t red;
  } cases[] = {
      {false, false, Quality::kHigh, 9, 0},    {false, false, Quality::kHigh, 10, 255},
      {false, true, Quality::kHigh, 9, 115},   {false, true, Quality::kHigh, 10, 140},
      {false, true, Quality::kLow, 9, 0},       // low quality never smooths
      {false, false, Quality::kHigh, 25, 255},  // clipped: the edge pixel extends
      {true, false, Quality::kHigh, 25, 0},     // repeating: the first pixel again
      {false, true, Quality::kHigh, 2, 0},      // clipped and smooth: no wrap to white
      {true, true, Quality::kHigh, 2, 64},      // repeating and smooth: a quarter of the last
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(RedOf(SampleBitmap(c.repeat, c.smooth, c.quality, c.x)), c.red, 1)
        << c.repeat << c.smooth << " " << c.x;
  }
}

TEST(RenderPaint, ColorTransformOnPremultipliedPixels) {
  const ColorTransform halfRed{0.5f, 1, 1, 1, 0, 0, 0, 0};
  const ColorTransform show{1, 1, 1, 1, 0, 0, 0, 128};
  EXPECT_EQ(TransformPremultiplied(0x80800000u, halfRed), 0x80400000u);  // red 255 at alpha 128
  EXPECT_EQ(TransformPremultiplied(0x00000000u, show), 0x80000000u);
  EXPECT_EQ(TransformPremultiplied(0xFF336699u, {}), 0xFF336699u);

  // On a canvas, half-transparent bitmap pixels under an alpha-only transform.
  TestCanvas c(4, 4);
  BitmapFill fill{std::make_shared<Bitmap>(Bitmap{1, 1, {0x80800000u}}), Matrix::Scale(4, 4), true,
                  false};
  c.canvas.FillPath(Rect(0, 0, 4, 4), {}, FillRule::kNonZero, fill, {1, 1, 1, 0.5f, 0, 0, 0, 0});
  EXPECT_EQ(c.At(1, 1), 0x40400000u);
}

TEST(RenderPaint, UnusableBitmapsDrawNothing) {
  TestCanvas c(4, 4);
  for (const auto& bitmap :
       {std::shared_ptr<Bitmap>(), std::make_shared<Bitmap>(Bitmap{3, 3, {1, 2}}),
        std::make_shared<Bitmap>(Bitmap{0, 5, {}})}) {
    c.canvas.FillPath(Rect(0, 0, 4, 4), {}, FillRule::kNonZero, BitmapFill{bitmap, {}, true, true},
                      {});
  }
  c.canvas.FillPath(Rect(0, 0, 4, 4), {}, FillRule::kNonZero,
                    BitmapFill{BlackWhite(), Matrix::Scale(0, 1)}, {});
  for (uint32_t p : c.pixels) EXPECT_EQ(p, 0u);
}

TEST(RenderPaint, SourceOverWithCoverageAndAlpha) {
  TestCanvas c(8, 4);
  c.canvas.Clear({0, 0, 0, 255});
  c.canvas.FillPath(Rect(0.5, 0, 8, 4), {}, FillRule::kNonZero, kWhite, {});
  c.canvas.FillPath(Rect(4, 0, 8, 4), {}, FillRule::kNonZero, Rgba{255, 0, 0, 128}, {});
  EXPECT_NEAR(RedOf(c.At(0, 1)), 128, 1);  // half covered white over black
  EXPECT_EQ(AlphaOf(c.At(0, 1)), 255);
  EXPECT_EQ(c.At(2, 1), 0xFFFFFFFFu);
  EXPECT_EQ(RedOf(c.At(5, 1)), 255);  // half-transparent red over white
  EXPECT_NEAR(GreenOf(c.At(5, 1)), 127, 1);
  c.canvas.FillPath(Rect(0, 0, 8, 4), {}, FillRule::kNonZero, kWhite, {1, 1, 1, 0, 0, 0, 0, 0});
  EXPECT_EQ(c.At(2, 1), 0xFFFFFFFFu) << "a transparent paint changes nothing";
}

// Runs f with the four-pixel loops alone, then with the eight-pixel ones.
template <typename F>
void BothLoops(F f) {
  AllowAvx2(false);
  f(false);
  AllowAvx2(true);
  f(true);
}

TEST(RenderPaint, EightPixelLoopsMatchTheFourPixelOnes) {
  if (!Avx2Enabled()) GTEST_SKIP() << "this processor has no AVX2";
  // Gradients of every kind and spread, through matrices that put positions far beyond the
  // ends (where the spreads clamp), at infinity (and focal ones at NaN) and rotated; runs of
  // every length and start around the chunk and register sizes.
  const Matrix matrices[] = {{30.0 / 16384, 0, 0, 20.0 / 16384, 40, 10},
                             {0.01 / 16384, 0.02 / 16384, -0.02 / 16384, 0.01 / 16384, 5, 5},
                             {2e-6, 0, 0, 1e-6, 1e9, 3},
                             {2e-6, 0, 0, 1e-6, 1e40, -1e40},
                             {-50.0 / 16384, 35.0 / 16384, 35.0 / 16384, 50.0 / 16384, 30, -20}};
  Gradient g;
  g.stops = {{0, {255, 0, 0, 255}}, {90, {0, 255, 0, 128}}, {255, {0, 0, 255, 30}}};
  for (const GradientKind kind : {GradientKind::kLinear, GradientKind::kRadial,
                                  GradientKind::kFocal}) {
    for (const Spread spread : {Spread::kPad, Spread::kRepeat, Spread::kReflect}) {
      for (const Matrix& m : matrices) {
        g.kind = kind;
        g.spread = spread;
        g.focalPoint = -0.7f;
        GradientPainter painter;
        painter.Setup(g, m, {});
        for (int skip = 0; skip < 70; skip += 7) {
          for (int len = 1; len < 90; len += 3) {
            std::vector<uint32_t> rows[2];
            BothLoops([&](bool wide) {
              rows[wide].resize(static_cast<size_t>(len));
              painter.GeneratePart(-9, skip, 4, len, rows[wide].data());
            });
            ASSERT_EQ(rows[0], rows[1]) << static_cast<int>(kind) << " " << static_cast<int>(spread)
                                        << " " << m.a << " skip " << skip << " len " << len;
          }
        }
      }
    }
  }
  // Blends of one colour and of many, over coverages that are nought, whole or between, and
  // over backdrops of every alpha.
  uint32_t state = 1;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  for (int len = 0; len < 40; ++len) {
    std::vector<uint32_t> backdrop(len), colors(len);
    std::vector<uint8_t> covers(len);
    for (int i = 0; i < len; ++i) {
      backdrop[i] = ClampPremultiplied(next());
      colors[i] = (i % 5 == 0) ? (next() | 0xFF000000u) : ClampPremultiplied(next());
      const uint32_t r = next() >> 24;
      covers[i] = static_cast<uint8_t>(r < 40 ? 0 : r > 200 ? 255 : r);
    }
    for (const uint32_t color : {0xFF336699u, 0x80402010u, 0x00000000u}) {
      for (const bool perPixel : {false, true}) {
        for (const uint8_t cover : {uint8_t{0}, uint8_t{77}, uint8_t{255}}) {
          std::vector<uint32_t> solid[2], many[2];
          BothLoops([&](bool wide) {
            solid[wide] = backdrop;
            many[wide] = backdrop;
            BlendSolid(solid[wide].data(), len, color, perPixel ? covers.data() : nullptr, cover);
            BlendColors(many[wide].data(), len, colors.data(), perPixel ? covers.data() : nullptr,
                        cover);
          });
          ASSERT_EQ(solid[0], solid[1]) << len << " " << color << " " << int{cover};
          ASSERT_EQ(many[0], many[1]) << len << " " << int{cover};
        }
      }
    }
  }
}

}  // namespace
}  // namespace swfplayer::render::test
