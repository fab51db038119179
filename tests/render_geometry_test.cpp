// The value types' arithmetic (composition order of matrices and colour transforms), the
// flattener's accuracy and bounds, and the stroke pen.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "swfplayer/render/Flattener.h"
#include "swfplayer/render/StrokePen.h"
#include "tests/render_test_support.h"

namespace swfplayer::render::test {
namespace {

TEST(RenderGeometry, MatrixProductAppliesTheInnerMatrixFirst) {
  const Matrix rotate{0, 1, -1, 0, 0, 0};  // 90 degrees, y down
  const Matrix skew{1, 0, 0.5, 1, 0, 0};
  const Matrix cases[][2] = {{Matrix::Translate(5, 7), Matrix::Scale(2, 3)},
                             {Matrix::Scale(2, 3), Matrix::Translate(5, 7)},
                             {rotate, Matrix::Translate(1, 0)},
                             {skew, rotate}};
  for (const auto& [outer, inner] : cases) {
    const Point p{3, -4};
    const Point once = (outer * inner).Apply(p), twice = outer.Apply(inner.Apply(p));
    EXPECT_NEAR(once.x, twice.x, 1e-12);
    EXPECT_NEAR(once.y, twice.y, 1e-12);
    const Point back = (outer * inner).Inverse()->Apply(once);
    EXPECT_NEAR(back.x, p.x, 1e-12);
    EXPECT_NEAR(back.y, p.y, 1e-12);
  }
  EXPECT_EQ((Matrix::Scale(2, 3) * Matrix::Translate(5, 7)).Apply({0, 0}), (Point{10, 21}));
  EXPECT_FALSE(Matrix::Scale(2, 0).Inverse());
  EXPECT_FALSE((Matrix{std::nan(""), 0, 0, 1, 0, 0}).Inverse());
}

TEST(RenderGeometry, ColorTransformsConcatenateWithoutClampingBetween) {
  const ColorTransform halve{0.5f, 0.5f, 0.5f, 1, 0, 0, 0, 0};
  const ColorTransform brighten{1, 1, 1, 1, 100, 0, -50, 0};
  struct Case {
    ColorTransform outer, inner;
    Rgba in, out;
  } cases[] = {
      {halve, brighten, {200, 10, 40, 255}, {150, 5, 0, 255}},  // 300 halved, not 255 halved
      {brighten, halve, {200, 10, 40, 255}, {200, 5, 0, 255}},
      {ColorTransform{}, ColorTransform{1, 1, 1, 0.5f, 0, 0, 0, 0}, {1, 2, 3, 200}, {1, 2, 3, 100}},
  };
  for (const Case& c : cases) EXPECT_EQ((c.outer * c.inner).Apply(c.in), c.out);
  EXPECT_EQ(halve.Apply(brighten.Apply({200, 10, 40, 255})), (Rgba{127, 5, 0, 255}));
  const float nan = std::nanf("");
  EXPECT_EQ((ColorTransform{nan, 1, 1, 1, 0, 0, 0, nan}).Apply({9, 9, 9, 9}), (Rgba{0, 9, 9, 0}));
}

// Largest distance from points along the curve to the polyline the flattener made of it.
double FlatteningError(const Contours& out, Point p0, Point p1, Point p2) {
  double worst = 0;
  for (int i = 0; i <= 400; ++i) {
    const double t = i / 400.0, u = 1 - t;
    const Point c{u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                  u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y};
    double best = 1e300;
    for (size_t k = 0; k + 1 < out.PointCount(); ++k) {
      const Point a = out.At(k), b = out.At(k + 1);
      const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
      const double s =
          len2 > 0 ? std::clamp(((c.x - a.x) * dx + (c.y - a.y) * dy) / len2, 0.0, 1.0) : 0;
      best = std::min(best, std::hypot(a.x + s * dx - c.x, a.y + s * dy - c.y));
    }
    worst = std::max(worst, best);
  }
  return worst;
}

TEST(RenderGeometry, CurvesFlattenWithinTheToleranceAndBounded) {
  const DeviceRect everywhere{-1e13, -1e13, 1e13, 1e13};
  struct Case {
    Point p0, p1, p2;
    double maxError;
    size_t maxPoints;
  } cases[] = {
      {{0, 0}, {50, 100}, {100, 0}, kFlatnessTolerance + 1e-9, 100},
      {{0, 0}, {0.2, 0.3}, {0.4, 0}, kFlatnessTolerance + 1e-9, 3},
      // Far beyond any screen: 64 segments for each of 64 pieces, about 30 px off at worst.
      {{0, 0}, {1e9, 1e9}, {2e9, 0}, 40, 64 * 64 + 1},
  };
  for (const Case& c : cases) {
    Path path;
    path.MoveTo(c.p0);
    path.QuadTo(c.p1, c.p2);
    Contours out;
    FlattenPath(path, Matrix{}, everywhere, out);
    EXPECT_LE(out.PointCount(), c.maxPoints);
    EXPECT_LE(FlatteningError(out, c.p0, c.p1, c.p2), c.maxError);
  }
}

TEST(RenderGeometry, CurvesOutsideTheCanvasBecomeChordsAndBadContoursGo) {
  Path path;
  path.MoveTo({-500, 0});
  path.QuadTo({-900, 400}, {-500, 800});  // left of the area: its chord carries the winding
  path.MoveTo({5, 5});
  path.LineTo({std::numeric_limits<double>::quiet_NaN(), 5});
  path.MoveTo({0, 0});
  path.QuadTo({50, 100}, {100, 0});
  Contours out;
  FlattenPath(path, Matrix{}, DeviceRect{0, 0, 100, 100}, out);
  ASSERT_EQ(out.ContourCount(), 2u) << "the contour with NaN is dropped";
  EXPECT_EQ(out.ContourEnd(0), 2u);
  EXPECT_EQ(out.At(2), (Point{0, 0}));
  EXPECT_GT(out.ContourEnd(1) - out.ContourBegin(1), 10u);
}

TEST(RenderGeometry, StrokePenFollowsTheMatrixAndNeverDropsBelowOnePixel) {
  const double nan = std::nan("");
  const Matrix twips = Matrix::Scale(0.05, 0.05);
  const Matrix stretched = Matrix::Scale(0.05, 0.15);
  const Matrix rotated{0, 0.1, -0.1, 0, 0, 0};
  struct Case {
    double width;
    Matrix m;
    bool scaleX, scaleY, hinting;
    double wideX, tallY;  // device widths across a vertical and a horizontal line
  } cases[] = {
      {100, twips, true, true, false, 5, 5},
      {100, rotated, true, true, false, 10, 10},
      {100, stretched, true, true, false, 5, 15},
      {100, Matrix::Scale(3, 3), false, false, false, 5, 5},  // 20 units a pixel
      {0, stretched, true, true, false, 1, 1},                // hairline
      {10, twips, true, true, false, 1, 1},
      {nan, twips, true, true, false, 1, 1},
      {-40, twips, true, true, false, 1, 1},
      {100, {nan, 0, 0, 1, 0, 0}, true, true, false, 1, 1},
      {130, twips, true, true, true, 7, 7},                          // 6.5 rounded
      {100, Matrix::Scale(0.213, 0.052), true, true, true, 21, 5},  // 21.3 x 5.2
  };
  for (const Case& c : cases) {
    StrokeStyle style;
    style.width = c.width;
    style.scaleX = c.scaleX;
    style.scaleY = c.scaleY;
    style.pixelHinting = c.hinting;
    const StrokePen pen = MakeStrokePen(style, c.m);
    EXPECT_NEAR(pen.deviceWidthX, c.wideX, 1e-9) << c.width << " " << c.m.d;
    EXPECT_NEAR(pen.deviceWidthY, c.tallY, 1e-9) << c.width << " " << c.m.d;
  }
}

// Offsets of half the width in the shape's coordinates land on the device pen's ellipse, which
// the stroking space makes round, of the pen's width.
TEST(RenderGeometry, StrokePenIsTheShapesPenMappedByTheMatrix) {
  StrokeStyle style;
  style.width = 100;
  for (const Matrix& m : {Matrix{0.257, 0.035, -0.257, 0.035, 0, 0},  // turned, stretched
                          Matrix{0.3, 0.1, 0.25, -0.02, 7, 9}}) {    // skewed, mirrored
    const StrokePen pen = MakeStrokePen(style, m);
    for (double angle = 0; angle < 6.28; angle += 0.39) {
      const Point shape{50 * std::cos(angle), 50 * std::sin(angle)};
      const Point p = pen.fromDevice.ApplyVector(m.ApplyVector(shape));
      EXPECT_NEAR(std::hypot(p.x, p.y), pen.width / 2, 1e-6) << m.a << " " << angle;
    }
  }
}

}  // namespace
}  // namespace swfplayer::render::test
