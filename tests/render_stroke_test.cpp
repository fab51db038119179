// Strokes on the canvas: the one-pixel minimum, cap and join extents, the miter limit, closed
// contours, and wide strokes on small curves.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/render_test_support.h"

namespace swfplayer::render::test {
namespace {

StrokeStyle Style(double width, Cap cap = Cap::kNone, Join join = Join::kMiter) {
  StrokeStyle style;
  style.width = width;
  style.startCap = style.endCap = cap;
  style.join = join;
  return style;
}

struct StrokeCanvas : TestCanvas {
  StrokeCanvas() : TestCanvas(48, 48) {}
  StrokeCanvas& Draw(const Path& path, const StrokeStyle& style, const Matrix& m = {}) {
    canvas.StrokePath(path, m, style, kWhite, {});
    return *this;
  }
  int Alpha(int x, int y) const { return AlphaOf(At(x, y)); }
};

TEST(RenderStroke, HairlinesAndThinStrokesDrawOnePixel) {
  // 0 wide, and 10 twips (half a pixel) at 20 twips a pixel.
  const StrokeCanvas hairline = StrokeCanvas().Draw(Polyline({{5, 10.5}, {25, 10.5}}), Style(0));
  const StrokeCanvas thin =
      StrokeCanvas().Draw(Polyline({{100, 210}, {500, 210}}), Style(10), Matrix::Scale(0.05, 0.05));
  for (const StrokeCanvas* c : {&hairline, &thin}) {
    for (int x = 5; x < 25; ++x) {
      EXPECT_EQ(c->Alpha(x, 10), 255) << x;
      EXPECT_EQ(c->Alpha(x, 9) + c->Alpha(x, 11), 0) << x;
    }
  }
}

TEST(RenderStroke, CapsExtendTheEnds) {
  const Path line = Polyline({{10, 10}, {20, 10}});  // width 4: rows 8 to 11
  const StrokeCanvas butt = StrokeCanvas().Draw(line, Style(4, Cap::kNone));
  const StrokeCanvas square = StrokeCanvas().Draw(line, Style(4, Cap::kSquare));
  const StrokeCanvas round = StrokeCanvas().Draw(line, Style(4, Cap::kRound));
  EXPECT_EQ(butt.Alpha(10, 8) + butt.Alpha(19, 11), 2 * 255);
  EXPECT_EQ(butt.Alpha(9, 9) + butt.Alpha(20, 9) + butt.Alpha(15, 7) + butt.Alpha(15, 12), 0);
  EXPECT_EQ(square.Alpha(8, 8) + square.Alpha(21, 11), 2 * 255);
  EXPECT_EQ(square.Alpha(7, 9) + square.Alpha(22, 9), 0);
  // The half disc reaches x = 8 at the centre line only.
  EXPECT_GT(round.Alpha(8, 9), 128);
  EXPECT_LT(round.Alpha(8, 8), round.Alpha(8, 9));
  EXPECT_EQ(round.Alpha(7, 9), 0);
}

TEST(RenderStroke, JoinsAndTheMiterLimit) {
  // A right-angle turn at (30, 30), 8 wide: the miter's outer corner is (34, 34).
  const Path corner = Polyline({{10, 30}, {30, 30}, {30, 10}});
  struct Case {
    Join join;
    double limit;
    int cornerMin, cornerMax;  // pixel (33, 33), at the tip of a full miter
    int insideMin, insideMax;  // pixel (32, 32)
  } cases[] = {
      {Join::kMiter, 3, 255, 255, 255, 255},
      {Join::kMiter, 1.2, 40, 120, 255, 255},  // cut at 4.8 px from the turn: x + y <= 66.8
      {Join::kMiter, 1, 0, 0, 236, 244},       // cut at 4 px: x + y <= 65.7
      {Join::kBevel, 3, 0, 0, 0, 0},           // x + y <= 64
      {Join::kRound, 3, 0, 0, 220, 250},       // radius 4 around (30, 30)
  };
  for (const Case& c : cases) {
    StrokeStyle style = Style(8, Cap::kNone, c.join);
    style.miterLimit = c.limit;
    const StrokeCanvas canvas = StrokeCanvas().Draw(corner, style);
    const int join = static_cast<int>(c.join);
    EXPECT_GE(canvas.Alpha(33, 33), c.cornerMin) << join << " " << c.limit;
    EXPECT_LE(canvas.Alpha(33, 33), c.cornerMax) << join << " " << c.limit;
    EXPECT_GE(canvas.Alpha(32, 32), c.insideMin) << join << " " << c.limit;
    EXPECT_LE(canvas.Alpha(32, 32), c.insideMax) << join << " " << c.limit;
    EXPECT_EQ(canvas.Alpha(31, 29), 255) << "the inner side is always filled";
  }
}

TEST(RenderStroke, ClosedContoursJoinWhereTheyBegin) {
  const Path square = Polyline({{10, 10}, {30, 10}, {30, 30}, {10, 30}, {10, 10}});
  StrokeStyle open = Style(4);
  open.noClose = true;
  const StrokeCanvas joined = StrokeCanvas().Draw(square, Style(4));
  const StrokeCanvas capped = StrokeCanvas().Draw(square, open);
  EXPECT_EQ(joined.Alpha(8, 8), 255);
  EXPECT_EQ(joined.Alpha(31, 31), 255);
  EXPECT_EQ(capped.Alpha(8, 8), 0);  // butt ends leave the corner open
  EXPECT_EQ(capped.Alpha(31, 31), 255);
  EXPECT_EQ(joined.Alpha(20, 20), 0) << "the inside stays empty";
}

TEST(RenderStroke, WideStrokeOnASmallCircleCoversItsMiddle) {
  Path circle;
  circle.MoveTo({23, 20});
  for (int i = 1; i <= 8; ++i) {
    const double a = i * 0.785398, mid = a - 0.392699, r = 3 / std::cos(0.392699);
    circle.QuadTo({20 + r * std::cos(mid), 20 + r * std::sin(mid)},
                  {20 + 3 * std::cos(a), 20 + 3 * std::sin(a)});
  }
  const StrokeCanvas canvas = StrokeCanvas().Draw(circle, Style(20, Cap::kRound, Join::kRound));
  EXPECT_EQ(canvas.Alpha(20, 20), 255);
  EXPECT_EQ(canvas.Alpha(19, 19), 255);
  EXPECT_EQ(canvas.Alpha(31, 20), 255);  // 11.5 from the centre, 13 covered
  EXPECT_EQ(canvas.Alpha(34, 20), 0);
}

// A square stretched 4:1 across, 2 wide: sides four times as thick as top and bottom, unless
// the stroke ignores a scale. Both squares cover x 8 to 40 and y 4 to 28 on the device.
TEST(RenderStroke, StretchedStrokesThickenWhereTheShapeIsStretched) {
  const Path square = Rect(2, 4, 10, 28), tall = Rect(2, 16, 10, 112);
  struct Case {
    const Path& path;
    bool scaleX, scaleY;
    Matrix m;
    double side, top;  // on the middle row right of the centre, the middle column above it
  } cases[] = {
      {square, true, true, Matrix::Scale(4, 1), 8, 2},
      {square, false, true, Matrix::Scale(4, 1), 2, 2},  // NoHScale: the vertical scale both ways
      {square, true, false, Matrix::Scale(4, 1), 8, 8},
      {tall, true, true, Matrix::Scale(4, 0.25), 8, 1},  // 0.5 px tall, widened to 1
  };
  for (const Case& c : cases) {
    StrokeStyle style = Style(2);
    style.scaleX = c.scaleX;
    style.scaleY = c.scaleY;
    StrokeCanvas canvas;
    canvas.Draw(c.path, style, c.m);
    double side = 0, top = 0;
    for (int x = 25; x < 48; ++x) side += canvas.Alpha(x, 16) / 255.0;
    for (int y = 0; y < 16; ++y) top += canvas.Alpha(24, y) / 255.0;
    EXPECT_NEAR(side, c.side, 0.02) << c.scaleX << c.scaleY << " " << c.m.d;
    EXPECT_NEAR(top, c.top, 0.02) << c.scaleX << c.scaleY << " " << c.m.d;
  }
}

TEST(RenderStroke, PixelHintingPutsThinStrokesOnWholePixels) {
  StrokeStyle hinted = Style(1);
  hinted.pixelHinting = true;
  const Path line = Polyline({{5, 10.2}, {25, 10.2}});
  const StrokeCanvas sharp = StrokeCanvas().Draw(line, hinted);
  const StrokeCanvas soft = StrokeCanvas().Draw(line, Style(1));
  EXPECT_EQ(sharp.Alpha(15, 10), 255);
  EXPECT_EQ(sharp.Alpha(15, 9) + sharp.Alpha(15, 11), 0);
  EXPECT_NEAR(soft.Alpha(15, 9), 77, 1);
  EXPECT_NEAR(soft.Alpha(15, 10), 179, 1);
}

TEST(RenderStroke, ZeroLengthLinesDrawTheirCaps) {
  const Path dot = Polyline({{20, 20}, {20, 20}});
  const StrokeCanvas round = StrokeCanvas().Draw(dot, Style(10, Cap::kRound));
  const StrokeCanvas none = StrokeCanvas().Draw(dot, Style(10, Cap::kNone));
  double area = 0;
  for (uint32_t p : round.pixels) area += AlphaOf(p) / 255.0;
  EXPECT_NEAR(area, 3.14159 * 25, 1);
  EXPECT_EQ(round.Alpha(20, 20), 255);
  for (uint32_t p : none.pixels) ASSERT_EQ(p, 0u);
}

}  // namespace
}  // namespace swfplayer::render::test
