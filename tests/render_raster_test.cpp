// The cell rasteriser: exact-area coverage, fill rules, centre sampling in low quality, clipping
// and the bounded cell store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/render_test_support.h"

namespace swfplayer::render::test {
namespace {

TEST(RenderRaster, AxisAlignedEdgesCoverByArea) {
  // x from 10.5 to 20, y from 5 to 7.25: pixel 10 half covered, row 7 a quarter.
  const CoverageGrid grid = Rasterize(ContoursOf({{{10.5, 5}, {20, 5}, {20, 7.25}, {10.5, 7.25}}}),
                                      32, 16, FillRule::kNonZero);
  EXPECT_NEAR(grid.At(10, 5), 128, 1);
  EXPECT_NEAR(grid.At(10, 7), 32, 1);  // a quarter of a half
  EXPECT_NEAR(grid.At(15, 7), 64, 1);
  for (int x = 11; x < 20; ++x) EXPECT_EQ(grid.At(x, 6), 255) << x;
  EXPECT_EQ(grid.At(9, 6), 0);
  EXPECT_EQ(grid.At(20, 6), 0);
  EXPECT_EQ(grid.At(15, 4), 0);
  EXPECT_EQ(grid.At(15, 8), 0);
}

TEST(RenderRaster, DiagonalEdgeSplitsPixelsInHalf) {
  const CoverageGrid grid =
      Rasterize(ContoursOf({{{0, 0}, {16, 16}, {0, 16}}}), 16, 16, FillRule::kNonZero);
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(grid.At(i, i), 128, 1) << i;
    if (i > 0) {
      EXPECT_EQ(grid.At(i - 1, i), 255);
    }
    if (i < 15) {
      EXPECT_EQ(grid.At(i + 1, i), 0);
    }
  }
}

TEST(RenderRaster, FillRules) {
  // Two nested squares wound the same way, and a five-pointed star drawn in one stroke: the
  // middle has winding two.
  const Contours nested =
      ContoursOf({{{2, 2}, {30, 2}, {30, 30}, {2, 30}}, {{10, 10}, {22, 10}, {22, 22}, {10, 22}}});
  const Contours star = ContoursOf({{{16, 1}, {25, 30}, {1, 12}, {31, 12}, {7, 30}}});
  struct Case {
    const Contours* shape;
    FillRule rule;
    int middle;
    Point once;  // covered once: inside under either rule
  } cases[] = {{&nested, FillRule::kNonZero, 255, {5, 5}},
               {&nested, FillRule::kEvenOdd, 0, {5, 5}},
               {&star, FillRule::kNonZero, 255, {16, 6}},
               {&star, FillRule::kEvenOdd, 0, {16, 6}}};
  for (const Case& c : cases) {
    const CoverageGrid grid = Rasterize(*c.shape, 32, 32, c.rule);
    EXPECT_EQ(grid.At(16, 17), c.middle) << static_cast<int>(c.rule);
    EXPECT_EQ(grid.At(static_cast<int>(c.once.x), static_cast<int>(c.once.y)), 255);
    EXPECT_EQ(grid.At(31, 31), 0) << "outside both";
  }
}

TEST(RenderRaster, WindingsOfTensOfThousandsOfLayersCountOnExactly) {
  // 32,768 copies of one square: a winding of 2^15 layers, whose sums pass 32 bits (rows are
  // summed four cells at a time in 32 bits where they fit). Under the non-zero rule every
  // pixel a copy touches is full, its half and quarter covered sides and corners too; under
  // the even-odd rule none is.
  Contours one, stack;
  for (Contours* c : {&one, &stack}) {
    for (int i = 0; i < (c == &one ? 1 : 1 << 15); ++i) {
      c->BeginContour();
      for (const Point p : {Point{2.5, 3.5}, Point{26.5, 3.5}, Point{26.5, 6.5}, Point{2.5, 6.5}}) {
        c->Add(p);
      }
      c->EndContour();
    }
  }
  const CoverageGrid single = Rasterize(one, 32, 8, FillRule::kNonZero);
  EXPECT_EQ(single.At(2, 3), 64);
  EXPECT_EQ(single.At(10, 3), 128);
  EXPECT_EQ(single.At(10, 5), 255);
  const CoverageGrid nonZero = Rasterize(stack, 32, 8, FillRule::kNonZero);
  const CoverageGrid evenOdd = Rasterize(stack, 32, 8, FillRule::kEvenOdd);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(nonZero.At(x, y), single.At(x, y) ? 255 : 0) << x << ", " << y;
      ASSERT_EQ(evenOdd.At(x, y), 0) << x << ", " << y;
    }
  }
  // 2,047 copies, 4,094 edges: the most a small shape's 32-bit store takes; an odd count.
  Contours most;
  for (size_t i = 0; i < 2047 * one.PointCount(); ++i) {
    if (i % one.PointCount() == 0) most.BeginContour();
    most.Add(one.At(i % one.PointCount()));
  }
  most.EndContour();
  EXPECT_EQ(Rasterize(most, 32, 8, FillRule::kNonZero).All(), nonZero.All());
  EXPECT_EQ(Rasterize(most, 32, 8, FillRule::kEvenOdd).All(), single.All());
}

TEST(RenderRaster, OppositeWindingMakesAHoleUnderBothRules) {
  const Contours ring =
      ContoursOf({{{2, 2}, {30, 2}, {30, 30}, {2, 30}}, {{10, 10}, {10, 22}, {22, 22}, {22, 10}}});
  for (const FillRule rule : {FillRule::kNonZero, FillRule::kEvenOdd}) {
    const CoverageGrid grid = Rasterize(ring, 32, 32, rule);
    EXPECT_EQ(grid.At(16, 16), 0);
    EXPECT_EQ(grid.At(5, 16), 255);
  }
}

TEST(RenderRaster, ReversedCopyCancelsExactly) {
  // Every edge is rasterised in one direction, so a shape and its mirror image in traversal
  // order leave no residue at all.
  const Contours both = ContoursOf(
      {{{3.3, 1.7}, {28.9, 9.1}, {12.4, 30.2}}, {{12.4, 30.2}, {28.9, 9.1}, {3.3, 1.7}}});
  const CoverageGrid grid = Rasterize(both, 32, 32, FillRule::kNonZero);
  for (const uint8_t c : grid.All()) ASSERT_EQ(c, 0);
}

TEST(RenderRaster, LowQualitySamplesPixelCentres) {
  // x from 10.4 to 20.6 holds the centres 10.5 .. 20.5; a circle gives only 0 or full.
  const CoverageGrid box =
      Rasterize(ContoursOf({{{10.4, 2.4}, {20.6, 2.4}, {20.6, 4.6}, {10.4, 4.6}}}), 32, 8,
                FillRule::kNonZero, Quality::kLow);
  EXPECT_EQ(box.At(10, 3) + box.At(20, 3) + box.At(15, 2) + box.At(15, 4), 4 * 255);
  EXPECT_EQ(box.At(9, 3) + box.At(21, 3) + box.At(15, 1) + box.At(15, 5), 0);
  // Edges through centres: [left, right) and [top, bottom) take the first and leave the last.
  const CoverageGrid ties =
      Rasterize(ContoursOf({{{10.5, 2.5}, {20.5, 2.5}, {20.5, 4.5}, {10.5, 4.5}}}), 32, 8,
                FillRule::kNonZero, Quality::kLow);
  EXPECT_EQ(ties.At(10, 2) + ties.At(19, 3), 2 * 255);
  EXPECT_EQ(ties.At(20, 3) + ties.At(15, 4) + ties.At(9, 3), 0);

  const CoverageGrid grid =
      Rasterize(Blob(16, 16, 11.3, 0, 64), 32, 32, FillRule::kNonZero, Quality::kLow);
  int inside = 0;
  for (const uint8_t c : grid.All()) {
    ASSERT_TRUE(c == 0 || c == 255);
    inside += c == 255;
  }
  EXPECT_NEAR(inside, 3.14159 * 11.3 * 11.3, 20);
}

TEST(RenderRaster, ClipKeepsTheWindingOfEdgesLeftOfIt) {
  // Starts far left of the canvas and ends past its right and bottom.
  const CoverageGrid grid = Rasterize(ContoursOf({{{-50.5, 3}, {40, 3}, {40, 40}, {-50.5, 40}}}),
                                      16, 8, FillRule::kNonZero);
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(grid.At(x, 2), 0);
    EXPECT_EQ(grid.At(x, 7), 255);
  }
}

TEST(RenderRaster, HugeAndNonFiniteCoordinatesAreSafe) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  // A far-off triangle whose long edge crosses the canvas at y = 8 (and leaves it 0.0002 lower).
  // Everything left of the canvas stays as walls at its left side, which must cancel above.
  const CoverageGrid huge =
      Rasterize(ContoursOf({{{-1e6, 0}, {1e6, 16}, {-1e6, 16}}}), 16, 16, FillRule::kNonZero);
  for (const int x : {0, 8, 15}) {
    EXPECT_EQ(huge.At(x, 7), 0) << x;
    EXPECT_GE(huge.At(x, 8), 254) << x;
    EXPECT_EQ(huge.At(x, 9), 255) << x;
  }
  // On the canvas: a contour through NaN or infinity is dropped, the others still draw, and
  // astronomic coordinates (clamped to 1e12) still cover exactly the pixels inside.
  TestCanvas c(16, 16);
  Path path = Rect(2, 2, 6, 6);
  path.MoveTo({9, 9});
  for (const double bad : {inf, -inf, nan}) path.QuadTo({bad, 9}, {9, 12});
  c.canvas.FillPath(path, {}, FillRule::kNonZero, kWhite, {});
  int painted = 0;
  for (uint32_t p : c.pixels) painted += p == 0xFFFFFFFFu;
  EXPECT_EQ(painted, 16);
  c.canvas.FillPath(Polyline({{-1e300, -1e300}, {1e300, -1e300}, {0, 1e300}}), {},
                    FillRule::kNonZero, kRed, {});
  for (uint32_t p : c.pixels) EXPECT_EQ(p, 0xFFFF0000u);
}

TEST(RenderRaster, BandsGiveTheSameCoverageAsOnePass) {
  // Bands of 7 rows and of one: each band takes its share of every edge crossing it.
  const Contours blob = Blob(32, 32, 20, 9, 200);
  const CoverageGrid whole = Rasterize(blob, 64, 64, FillRule::kEvenOdd);
  for (const size_t rows : {7u, 1u}) {
    const CoverageGrid banded = Rasterize(blob, 64, 64, FillRule::kEvenOdd, Quality::kHigh, rows);
    EXPECT_EQ(whole.All(), banded.All()) << rows;
  }
}

TEST(RenderRaster, SmallShapesComeOutTheSameThroughEitherCellStore) {
  // Small shapes are summed in a dense store, others in the sparse band: random polygons of
  // crossing edges (windings of dozens), fractional points, points on the clip's sides, both
  // rules and qualities, must give the same coverage both ways, whole and in windows.
  uint32_t seed = 12345;
  auto next = [&](double range) {
    seed = seed * 1664525u + 1013904223u;
    return range * (seed >> 8) / double{1 << 24};
  };
  for (int round = 0; round < 300; ++round) {
    const int width = 8 + static_cast<int>(next(60)), height = 8 + static_cast<int>(next(60));
    Contours shape;
    for (int c = 0, contours = 1 + static_cast<int>(next(3)); c < contours; ++c) {
      shape.BeginContour();
      for (int i = 0, points = 3 + static_cast<int>(next(40)); i < points; ++i) {
        // A quarter of the points snapped to whole pixels, some onto the clip's sides.
        Point p{next(width), next(height)};
        if (next(4) < 1) p = {std::round(p.x), std::round(p.y)};
        shape.Add(p);
      }
    }
    shape.EndContour();
    if (round % 2) shape.Measure();
    const FillRule rule = round % 3 ? FillRule::kNonZero : FillRule::kEvenOdd;
    const Quality quality = round % 5 ? Quality::kHigh : Quality::kLow;
    const CoverageGrid sparse = Rasterize(shape, width, height, rule, quality, 0, false);
    EXPECT_EQ(sparse.All(), Rasterize(shape, width, height, rule, quality).All()) << round;
    CoverageGrid windowed(width, height);
    for (int top = 0; top < height; top += 5) {
      CellRasterizer raster;
      raster.Reset({0, 0, width, height}, {0, top, width, top + 5}, quality);
      raster.AddContours(shape);
      raster.Sweep(rule, windowed);
    }
    EXPECT_EQ(sparse.All(), windowed.All()) << round;
  }
}

TEST(RenderRaster, MeasuredOutlinesGiveTheSameRowsInEveryWindow) {
  // Two contours of 200 and 4 points: whole blocks of points lie above or below thin windows
  // and are passed over, and the rows inside come out as from the unmeasured outline.
  Contours outline = Blob(32, 32, 20, 9, 200);
  outline.BeginContour();
  for (const Point p : {Point{2, 60}, Point{60, 61.5}, Point{61, 63}, Point{3, 62}}) outline.Add(p);
  outline.EndContour();
  const CoverageGrid whole = Rasterize(outline, 64, 64, FillRule::kNonZero);
  const DeviceRect bounds = outline.Measure();
  EXPECT_TRUE(outline.Measured());
  EXPECT_DOUBLE_EQ(bounds.bottom, 63);
  for (const int rows : {1, 5, 16}) {
    CoverageGrid banded(64, 64);
    for (int top = 0; top < 64; top += rows) {
      CellRasterizer raster;
      raster.Reset({0, 0, 64, 64}, {0, top, 64, top + rows}, Quality::kHigh);
      raster.AddContours(outline);
      raster.Sweep(FillRule::kNonZero, banded);
    }
    EXPECT_EQ(whole.All(), banded.All()) << rows;
  }
  // Moving a point forgets the blocks: the moved outline is drawn whole again.
  outline.MutableAt(0).y += 30;
  EXPECT_FALSE(outline.Measured());
}

TEST(RenderRaster, OutlinesInsideTheClipComeOutAsThroughTheClippingPath) {
  // A measured outline within the clip skips clipping and rounds each point once; unmeasured,
  // the same outline goes through the clipping path. Every window must see the same rows:
  // fractional points and offset, edges within one row and across many, points on the clip's
  // sides, and a NaN point that takes its two segments with it.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Contours shapes[] = {
      Blob(20.3, 17.9, 12.6, 4.1, 37),
      ContoursOf({{{16.2, 1.1}, {25.7, 30.3}, {1.4, 12.6}, {31.1, 12.9}, {7.3, 30.8}}}),
      ContoursOf({{{0, 0}, {40, 3.5}, {40, 32}, {0, 32}}, {{4.5, 4.25}, {9, 4.3}, {6, 29}}}),
      ContoursOf({{{3, 3}, {30, 4}, {nan, 20}, {28, 28}, {4, 26}}}),
  };
  for (const Point offset : {Point{0, 0}, Point{0.37, -0.61}}) {
    for (const Contours& shape : shapes) {
      Contours measured = shape;
      measured.Measure();
      for (const int rows : {32, 5}) {
        CoverageGrid clipped(40, 32), inside(40, 32);
        for (int top = 0; top < 32; top += rows) {
          for (const Contours* outline : {&shape, static_cast<const Contours*>(&measured)}) {
            CellRasterizer raster;
            raster.Reset({0, 0, 40, 32}, {0, top, 40, top + rows}, Quality::kHigh);
            raster.AddContours(*outline, offset);
            raster.Sweep(FillRule::kEvenOdd, outline == &shape ? clipped : inside);
          }
        }
        EXPECT_EQ(clipped.All(), inside.All()) << rows << " rows, offset " << offset.y;
        EXPECT_GT(std::count(inside.All().begin(), inside.All().end(), 255), 40);
      }
    }
  }
}

}  // namespace
}  // namespace swfplayer::render::test
