// Geometry and motion helpers for the animated sample movies: a pen that turns absolute
// points into an SwfShape's relative edges and grows its bounds, the figures the samples
// repeat (circles, stars, petal loops, pinwheel blades), and matrices and colour transforms
// from plain angles, scales and fractions. All lengths are in twips.
#pragma once

#include <cstdint>
#include <functional>
#include <numbers>
#include <optional>
#include <vector>

#include "tools/SwfBuilder.h"

namespace swfsaver::tools::sample {

inline constexpr double kTwoPi = 2 * std::numbers::pi;
inline constexpr int32_t kTwips = 20;

struct Point {
  double x = 0, y = 0;
};

// Writes edges into a shape. Points go through the pen's placement (a rotation, scale and
// offset) first, so a figure drawn about the origin can be set anywhere. Each edge ends on the
// rounded absolute point, so long outlines do not drift and closed ones close exactly.
class ShapePen {
 public:
  // margin: how far strokes reach past the points (half the widest line, more for miter
  // tips), for the bounds. One pen per shape: its first point resets the shape's bounds.
  ShapePen(SwfShape& shape, double margin) : shape_(shape), margin_(margin) {}

  void Place(Point origin, double angle = 0, double scale = 1);
  void Style(std::optional<uint32_t> fill0, std::optional<uint32_t> fill1,
             std::optional<uint32_t> line);
  void MoveTo(Point p);
  void LineTo(Point p);
  void CurveTo(Point control, Point anchor);

 private:
  std::pair<int32_t, int32_t> Map(Point p);

  SwfShape& shape_;
  double margin_;
  Point origin_;
  double angle_ = 0, scale_ = 1;
  int32_t x_ = 0, y_ = 0;
  bool any_ = false;
};

// n curves around the pen's origin, clockwise on screen (counter-clockwise when reversed):
// anchors at angle i*2π/n and anchorRadius(i), controls halfway between at controlRadius(i).
// A circle, a flower, a wobbly blob, depending on the radii.
void RadialLoop(ShapePen& pen, int n, const std::function<double(int)>& anchorRadius,
                const std::function<double(int)>& controlRadius, bool reversed = false);
void Circle(ShapePen& pen, double radius, bool reversed = false);
// points tips at outer, valleys at inner, the first tip straight up; straight edges.
void Star(ShapePen& pen, int points, double outer, double inner);
// A rectangle from its top left corner, clockwise on screen.
void Box(ShapePen& pen, double left, double top, double width, double height);
// A rectangle centred on the origin with corners rounded to radius by quadratic arcs.
void RoundedRect(ShapePen& pen, double width, double height, double radius);
// A pinwheel's sail from the origin out along angle to length, bellied up to `width` to the
// clockwise side. It keeps within the triangle of its points, so blades spaced wider than
// atan(width / (0.8 length)) never overlap (overlapping fills of one shape are ambiguous).
void Blade(ShapePen& pen, double angle, double length, double width);

// The gradient square (±16384) onto a box of the given size centred at (x, y), turned by angle.
SwfMatrix GradientBox(double x, double y, double width, double height, double angle = 0);
// Placement: scale (sx, sy), then rotation (radians, clockwise on screen), then offset.
SwfMatrix Placement(double x, double y, double angle = 0, double sx = 1, double sy = 1);

using Stops = std::vector<std::pair<uint8_t, SwfRgba>>;
// A radial gradient of the given radius about (x, y); a linear one across a square of size
// centred on the origin, running along angle.
SwfFill Radial(double x, double y, double radius, Stops stops);
SwfFill Linear(double size, double angle, Stops stops);
// A line widthPixels wide; join 0 round, 1 bevel, 2 miter (DefineShape4 only, limit 4).
SwfLine Stroke(double widthPixels, SwfRgba color, uint8_t join = 0);
// Defines a shape of at most one fill and one line, whose outline draw makes with the pen.
uint16_t DefineFigure(SwfMovieBuilder& movie, std::optional<SwfFill> fill,
                      std::optional<SwfLine> line, const std::function<void(ShapePen&)>& draw,
                      int version = 3);

// A device-font text field across the stage's width from top, its text centred and size high
// (the field is half as tall again, for descenders), bound to variable and showing text
// until the variable is set.
uint16_t CentredField(SwfMovieBuilder& movie, uint16_t font, double top, double width,
                      double size, SwfRgba color, const char* variable, const char* text = nullptr);

// sin(2π (periods t + phase)): whole periods over the loop keep it seamless.
double Wave(double t, double periods, double phase = 0);

// Multiplies colours by (r, g, b) and alpha by a, all fractions of 1.
SwfColorTransform Tint(double r, double g, double b, double a = 1);
SwfColorTransform Fade(double alpha);

// Hue in turns (0 red, 1/3 green, 2/3 blue), saturation and value 0 to 1.
SwfRgba Hsv(double hue, double saturation, double value, uint8_t alpha = 255);

// One object on a timeline, as a function of the time t in the loop (0 at the first frame, 1
// again after the last). Motion in whole periods of t makes the last frame lead back into the
// first.
struct Actor {
  Actor(uint16_t character, std::function<SwfMatrix(double t)> matrix,
        std::function<SwfColorTransform(double t)> color = {})
      : character(character), matrix(std::move(matrix)), color(std::move(color)) {}

  uint16_t character = 0;
  std::function<SwfMatrix(double t)> matrix;
  std::function<SwfColorTransform(double t)> color;  // empty: untinted
  uint16_t clips = 0;                                // a clip layer for the next `clips` actors
  bool still = false;                                // placed in the first frame and never moved
};

// Frames of a timeline: actor i at depth firstDepth + i, placed in the first frame and moved
// in each later one, then a ShowFrame.
void Animate(SwfTags& timeline, const std::vector<Actor>& actors, int frames,
             uint16_t firstDepth = 1);

// A fixed-seed generator, so every run writes the same bytes.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  double Next();  // 0 <= x < 1
  double In(double lo, double hi) { return lo + (hi - lo) * Next(); }
  int Below(int n) { return static_cast<int>(Next() * n); }

 private:
  uint64_t state_;
};

}  // namespace swfsaver::tools::sample
