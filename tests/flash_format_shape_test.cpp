// Shape decoding and contour building: fill0/fill1 edges joined into closed outlines per
// style, holes, line styles split where the pen jumps, new style arrays as layers, curves,
// and edges that cannot close; then the style records themselves.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swfplayer/format/ShapeLayers.h"
#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Styles.h"

namespace swfplayer::format {
namespace {

using tools::SwfFill;
using tools::SwfLine;
using tools::SwfShape;

constexpr uint16_t kCodes[] = {2, 22, 32, 83};

ShapeDefinition Decode(const SwfShape& shape) {
  tools::SwfMovieBuilder movie;
  movie.DefineShape(shape);
  const auto body = testing::FirstTagBody(movie, kCodes[shape.version - 1]);
  auto decoded = DecodeShape(body, shape.version);
  EXPECT_TRUE(decoded.has_value());
  return decoded.value_or(ShapeDefinition{});
}

std::vector<ShapeLayer> Layers(const SwfShape& shape) {
  size_t budget = kMaxMoviePathPoints;
  return BuildShapeLayers(Decode(shape), budget);
}

Path Polygon(std::initializer_list<Point> points) {
  Path path;
  for (Point p : points) {
    if (path.Empty()) {
      path.MoveTo(p);
    } else {
      path.LineTo(p);
    }
  }
  return path;
}

SwfShape Base(int version = 3) {
  SwfShape shape;
  shape.version = version;
  shape.xMax = shape.yMax = 4000;
  shape.fills = {SwfFill::Solid({255, 0, 0}), SwfFill::Solid({0, 0, 255})};
  shape.lines = {SwfLine::Solid(40, {0, 0, 0}), SwfLine::Solid(60, {0, 255, 0})};
  return shape;
}

TEST(FlashShapeContours, SharedEdgeJoinsFill1AsGivenAndFill0Reversed) {
  // Two squares side by side drawn as one pass: the shared edge is fill1 of the left square
  // and fill0 of the right, whose other edges run against its own winding.
  SwfShape shape = Base();
  shape.Style(0, 1, std::nullopt, std::pair{0, 0}).LineBy(100, 0);
  shape.Style(2, 1, std::nullopt, std::nullopt).LineBy(0, 100);
  shape.Style(2, 0, std::nullopt, std::nullopt).LineBy(100, 0).LineBy(0, -100).LineBy(-100, 0);
  shape.Style(0, 1, std::nullopt, std::pair{100, 100}).LineBy(-100, 0).LineBy(0, -100);
  const auto layers = Layers(shape);
  ASSERT_EQ(layers.size(), 1u);
  ASSERT_EQ(layers[0].fillPaths.size(), 2u);
  EXPECT_EQ(layers[0].fillPaths[0].style, 0u);
  EXPECT_EQ(layers[0].fillPaths[0].path, Polygon({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}));
  EXPECT_EQ(layers[0].fillPaths[1].path,
            Polygon({{100, 100}, {100, 0}, {200, 0}, {200, 100}, {100, 100}}));
}

TEST(FlashShapeContours, HoleIsASecondContourOfTheSameStyleAndTheRuleFollowsTheTag) {
  for (const bool winding : {false, true}) {
    SwfShape shape = Base(4);
    shape.nonZeroWinding = winding;
    shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(0, 0, 300, 300);
    shape.Style(1, 0, std::nullopt, std::nullopt).Rectangle(100, 100, 100, 100);
    const ShapeDefinition decoded = Decode(shape);
    EXPECT_EQ(decoded.nonZeroWinding, winding);
    size_t budget = kMaxMoviePathPoints;
    const auto layers = BuildShapeLayers(decoded, budget);
    ASSERT_EQ(layers[0].fillPaths.size(), 1u);
    const Path& path = layers[0].fillPaths[0].path;
    // The hole runs against the outline (its fill0 edges reversed), as non-zero needs.
    Path expected = Polygon({{0, 0}, {300, 0}, {300, 300}, {0, 300}, {0, 0}});
    expected.MoveTo({200, 100});
    for (Point p : {Point{100, 100}, Point{100, 200}, Point{200, 200}, Point{200, 100}}) expected.LineTo(p);
    EXPECT_EQ(path, expected);
  }
}

TEST(FlashShapeContours, LineStylesSplitWhereThePenJumpsOrTheStyleChanges) {
  SwfShape shape = Base();
  shape.Style(std::nullopt, std::nullopt, 1, std::pair{0, 0}).LineBy(100, 0);
  shape.Style(std::nullopt, std::nullopt, 2, std::nullopt).LineBy(0, 100);
  shape.Style(std::nullopt, std::nullopt, 1, std::nullopt).LineBy(-100, 0);
  shape.MoveTo(500, 500).LineBy(10, 0);
  const auto layers = Layers(shape);
  ASSERT_EQ(layers[0].strokePaths.size(), 2u);
  Path first = Polygon({{0, 0}, {100, 0}});
  first.MoveTo({100, 100});
  first.LineTo({0, 100});
  first.MoveTo({500, 500});
  first.LineTo({510, 500});
  EXPECT_EQ(layers[0].strokePaths[0].path, first);
  EXPECT_EQ(layers[0].strokePaths[1].path, Polygon({{100, 0}, {100, 100}}));
  EXPECT_TRUE(layers[0].fillPaths.empty());
}

TEST(FlashShapeContours, NewStylesStartALayerAboveWithIndicesIntoTheNewArrays) {
  SwfShape shape = Base();
  shape.Style(0, 2, std::nullopt, std::nullopt).Rectangle(0, 0, 100, 100);
  shape.NewStyles({SwfFill::Solid({9, 9, 9})}, {SwfLine::Solid(20, {1, 2, 3})});
  shape.LineBy(50, 0);  // the selections reset with the arrays: draws nothing
  shape.Style(0, 1, 1, std::pair{0, 0}).Rectangle(10, 10, 20, 20);
  const auto layers = Layers(shape);
  ASSERT_EQ(layers.size(), 2u);
  ASSERT_EQ(layers[0].fillPaths.size(), 1u);
  EXPECT_EQ(layers[0].fillPaths[0].style, 1u);
  ASSERT_EQ(layers[1].fills.size(), 1u);
  ASSERT_EQ(layers[1].fillPaths.size(), 1u);
  ASSERT_EQ(layers[1].strokePaths.size(), 1u);
  EXPECT_EQ(layers[1].fillPaths[0].path, layers[1].strokePaths[0].path);
  EXPECT_EQ(std::get<Rgba>(layers[1].lines[0].fill), (Rgba{1, 2, 3, 255}));
}

TEST(FlashShapeContours, CurvesKeepTheirControlPointWhenReversed) {
  SwfShape shape = Base();
  shape.Style(2, 1, std::nullopt, std::pair{0, 0}).CurveBy(50, 0, 50, 50).LineBy(-100, 0).LineBy(0, -50);
  const auto layers = Layers(shape);
  ASSERT_EQ(layers[0].fillPaths.size(), 2u);
  Path forward;
  forward.MoveTo({0, 0});
  forward.QuadTo({50, 0}, {100, 50});
  forward.LineTo({0, 50});
  forward.LineTo({0, 0});
  EXPECT_EQ(layers[0].fillPaths[0].path, forward);
  Path backward;
  backward.MoveTo({100, 50});
  backward.QuadTo({50, 0}, {0, 0});
  backward.LineTo({0, 50});
  backward.LineTo({100, 50});
  EXPECT_EQ(layers[0].fillPaths[1].path, backward);
}

TEST(FlashShapeContours, EdgesThatCannotCloseEndOpenAndEachIsUsedOnce) {
  SwfShape shape = Base();
  shape.Style(0, 1, std::nullopt, std::pair{0, 0}).LineBy(100, 0).LineBy(0, 100);
  shape.MoveTo(0, 0).LineBy(100, 0);  // the same edge again: a second chain, not a cycle
  shape.MoveTo(300, 300).LineBy(50, 50);
  const auto layers = Layers(shape);
  ASSERT_EQ(layers[0].fillPaths.size(), 1u);
  Path expected = Polygon({{0, 0}, {100, 0}, {100, 100}});
  expected.MoveTo({0, 0});
  expected.LineTo({100, 0});
  expected.MoveTo({300, 300});
  expected.LineTo({350, 350});
  EXPECT_EQ(layers[0].fillPaths[0].path, expected);
}

TEST(FlashShapeContours, StyleIndicesPastTheArraysDrawNothing) {
  SwfShape shape = Base();
  shape.Style(0, 1, 1, std::nullopt).Rectangle(0, 0, 10, 10);
  shape.Style(0, 3, 3, std::nullopt).Rectangle(50, 50, 10, 10);  // two styles of each kind
  const auto layers = Layers(shape);
  ASSERT_EQ(layers[0].fillPaths.size(), 1u);
  ASSERT_EQ(layers[0].strokePaths.size(), 1u);
  EXPECT_EQ(layers[0].fillPaths[0].path.Verbs().size(), 5u);
}

TEST(FlashShapeBounds, RecordsStylesAndPointsStopAtTheirLimits) {
  SwfShape shape = Base();
  shape.Style(0, 1, std::nullopt, std::pair{0, 0});
  for (size_t i = 0; i < kMaxShapeRecords + 10; ++i) shape.LineBy(i % 2 ? 1 : -1, 1);
  const ShapeDefinition decoded = Decode(shape);
  EXPECT_EQ(decoded.records.size(), kMaxShapeRecords);
  EXPECT_TRUE(decoded.truncated);
  size_t budget = 30;  // three points an edge use: ten edges
  const auto layers = BuildShapeLayers(decoded, budget);
  EXPECT_EQ(layers[0].fillPaths[0].path.Points().size(), 11u);

  SwfShape many = Base();
  many.fills.assign(0xFFFF, SwfFill::Solid({1, 1, 1}));  // and two line styles: one too many
  const ShapeDefinition styles = Decode(many);
  EXPECT_TRUE(styles.truncated);
  EXPECT_EQ(styles.fills.size(), 0xFFFFu);
  EXPECT_TRUE(styles.lines.empty());
}

TEST(FlashShapeDecoding, EveryPrefixOfAShapeDecodesWithoutReadingPastIt) {
  SwfShape shape = Base(4);
  shape.lines[0].fill = SwfFill::Solid({1, 2, 3});
  shape.Style(0, 1, 1, std::pair{-20, 30}).CurveBy(5, 5, 5, -5).Rectangle(0, 0, 50, 50);
  tools::SwfMovieBuilder movie;
  movie.DefineShape(shape);
  const auto body = testing::FirstTagBody(movie, 83);
  for (size_t size = 0; size < body.size(); ++size) {
    const std::vector<uint8_t> prefix(body.begin(), body.begin() + size);  // its own allocation
    const auto decoded = DecodeShape(prefix, 4);
    if (decoded) {
      EXPECT_TRUE(decoded->truncated) << size;
    }
  }
  EXPECT_FALSE(DecodeShape(body, 4)->truncated);
}

TEST(FlashShapeStyles, GradientsKeepKindSpreadInterpolationStopsAndMatrix) {
  const tools::SwfMatrix m{0.5, 0.25, -0.25, 0.5, -200, 300};
  struct Case {
    SwfFill::Kind kind;
    GradientKind expected;
    int version;
  };
  for (const Case& c : {Case{SwfFill::Kind::kLinear, GradientKind::kLinear, 2},
                        Case{SwfFill::Kind::kRadial, GradientKind::kRadial, 3},
                        Case{SwfFill::Kind::kFocal, GradientKind::kFocal, 4}}) {
    SwfShape shape = Base(c.version);
    SwfFill fill = SwfFill::Gradient(c.kind, m, {{0, {255, 0, 0, 128}}, {200, {0, 0, 255, 64}}});
    fill.spread = 1;
    fill.interpolation = 1;
    fill.focalPoint = -128;
    shape.fills = {fill};
    const ShapeDefinition decoded = Decode(shape);
    const auto& gradient = std::get<Gradient>(decoded.fills.at(0));
    EXPECT_EQ(gradient.kind, c.expected);
    EXPECT_EQ(gradient.spread, Spread::kReflect);
    EXPECT_EQ(gradient.interpolation, Interpolation::kLinearRgb);
    EXPECT_EQ(gradient.matrix, (Matrix{0.5, 0.25, -0.25, 0.5, -200, 300}));
    ASSERT_EQ(gradient.stops.size(), 2u);
    EXPECT_EQ(gradient.stops[1].ratio, 200);
    // DefineShape and DefineShape2 colours have no alpha.
    EXPECT_EQ(gradient.stops[0].color.a, c.version >= 3 ? 128 : 255);
    EXPECT_FLOAT_EQ(gradient.focalPoint, c.expected == GradientKind::kFocal ? -0.5f : 0.0f);
  }
}

TEST(FlashShapeStyles, BitmapFillTypesAndTheirMatrixBecomeBitmapPaints) {
  const tools::SwfMatrix twentyToOne{20, 0, 0, 20, 100, 200};
  auto bitmap = std::make_shared<const Bitmap>(Bitmap{2, 2, {0, 0, 0, 0}});
  const BitmapLookup lookup = [&](uint16_t id) { return id == 7 ? bitmap : nullptr; };
  for (const bool clipped : {false, true}) {
    for (const bool smooth : {false, true}) {
      SwfShape shape = Base();
      shape.fills = {SwfFill::Bitmap(7, twentyToOne, clipped, smooth), SwfFill::Bitmap(8, {}, false, true)};
      const ShapeDefinition decoded = Decode(shape);
      const auto paint = MakePaint(decoded.fills.at(0), lookup);
      const auto& fill = std::get<BitmapFill>(paint);
      EXPECT_EQ(fill.bitmap, bitmap);
      EXPECT_EQ(fill.repeat, !clipped);
      EXPECT_EQ(fill.smooth, smooth);
      EXPECT_EQ(fill.matrix, (Matrix{20, 0, 0, 20, 100, 200}));
      // A missing bitmap paints nothing rather than handing the renderer no pixels.
      EXPECT_EQ(std::get<Rgba>(MakePaint(decoded.fills.at(1), lookup)).a, 0);
    }
  }
}

TEST(FlashShapeStyles, LineStyle2CarriesCapsJoinMiterFlagsAndItsOwnFill) {
  SwfShape shape = Base(4);
  SwfLine line = SwfLine::Solid(100, {10, 20, 30, 40});
  line.startCap = 1;
  line.endCap = 2;
  line.join = 2;
  line.miterLimit = 0x0280;
  line.noHScale = true;
  line.pixelHinting = true;
  line.noClose = true;
  SwfLine filled = SwfLine::Solid(30, {});
  filled.join = 1;
  filled.noVScale = true;
  filled.fill = SwfFill::Gradient(SwfFill::Kind::kLinear, {}, {{0, {1, 1, 1}}});
  shape.lines = {line, filled};
  const ShapeDefinition decoded = Decode(shape);
  ASSERT_EQ(decoded.lines.size(), 2u);
  const StrokeStyle& s = decoded.lines[0].stroke;
  EXPECT_EQ(s.width, 100);
  EXPECT_EQ(s.startCap, Cap::kNone);
  EXPECT_EQ(s.endCap, Cap::kSquare);
  EXPECT_EQ(s.join, Join::kMiter);
  EXPECT_DOUBLE_EQ(s.miterLimit, 2.5);
  EXPECT_FALSE(s.scaleX);
  EXPECT_TRUE(s.scaleY);
  EXPECT_TRUE(s.pixelHinting);
  EXPECT_TRUE(s.noClose);
  EXPECT_EQ(std::get<Rgba>(decoded.lines[0].fill), (Rgba{10, 20, 30, 40}));
  EXPECT_EQ(decoded.lines[1].stroke.join, Join::kBevel);
  EXPECT_FALSE(decoded.lines[1].stroke.scaleY);
  EXPECT_TRUE(std::holds_alternative<Gradient>(decoded.lines[1].fill));
}

TEST(FlashShapeStyles, ExtendedStyleCounts) {
  SwfShape shape = Base();
  shape.fills.assign(300, SwfFill::Solid({1, 2, 3}));
  shape.lines.assign(256, SwfLine{});
  shape.Style(0, 300, 256, std::pair{0, 0}).LineBy(10, 10);
  const ShapeDefinition decoded = Decode(shape);
  EXPECT_EQ(decoded.fills.size(), 300u);
  EXPECT_EQ(decoded.lines.size(), 256u);
  EXPECT_EQ(*std::get<StyleChange>(decoded.records.at(0)).fill1, 300u);
  EXPECT_FALSE(decoded.truncated);
}

}  // namespace
}  // namespace swfplayer::format
