#include "tools/SampleGeometry.h"

#include <algorithm>
#include <cmath>

namespace swfsaver::tools::sample {
namespace {

Point Polar(double angle, double radius) {
  return {radius * std::cos(angle), radius * std::sin(angle)};
}

int16_t Fixed88(double fraction) {
  return static_cast<int16_t>(std::lround(std::clamp(fraction, -127.0, 127.0) * 256));
}

bool SameColor(const SwfColorTransform& x, const SwfColorTransform& y) {
  return x.mulR == y.mulR && x.mulG == y.mulG && x.mulB == y.mulB && x.mulA == y.mulA &&
         x.addR == y.addR && x.addG == y.addG && x.addB == y.addB && x.addA == y.addA;
}

}  // namespace

void ShapePen::Place(Point origin, double angle, double scale) {
  origin_ = origin;
  angle_ = angle;
  scale_ = scale;
}

std::pair<int32_t, int32_t> ShapePen::Map(Point p) {
  const double c = std::cos(angle_) * scale_, s = std::sin(angle_) * scale_;
  const auto x = static_cast<int32_t>(std::lround(origin_.x + c * p.x - s * p.y));
  const auto y = static_cast<int32_t>(std::lround(origin_.y + s * p.x + c * p.y));
  const auto margin = static_cast<int32_t>(std::ceil(margin_));
  if (!any_) {
    shape_.xMin = shape_.xMax = x;
    shape_.yMin = shape_.yMax = y;
    any_ = true;
  }
  shape_.xMin = std::min(shape_.xMin, x - margin);
  shape_.xMax = std::max(shape_.xMax, x + margin);
  shape_.yMin = std::min(shape_.yMin, y - margin);
  shape_.yMax = std::max(shape_.yMax, y + margin);
  return {x, y};
}

void ShapePen::Style(std::optional<uint32_t> fill0, std::optional<uint32_t> fill1,
                     std::optional<uint32_t> line) {
  shape_.Style(fill0, fill1, line, std::nullopt);
}

void ShapePen::MoveTo(Point p) {
  const auto [x, y] = Map(p);
  shape_.MoveTo(x, y);
  x_ = x;
  y_ = y;
}

void ShapePen::LineTo(Point p) {
  const auto [x, y] = Map(p);
  if (x == x_ && y == y_) return;
  shape_.LineBy(x - x_, y - y_);
  x_ = x;
  y_ = y;
}

void ShapePen::CurveTo(Point control, Point anchor) {
  const auto [cx, cy] = Map(control);
  const auto [x, y] = Map(anchor);
  shape_.CurveBy(cx - x_, cy - y_, x - cx, y - cy);
  x_ = x;
  y_ = y;
}

void RadialLoop(ShapePen& pen, int n, const std::function<double(int)>& anchorRadius,
                const std::function<double(int)>& controlRadius, bool reversed) {
  const double step = (reversed ? -kTwoPi : kTwoPi) / n;
  pen.MoveTo(Polar(0, anchorRadius(0)));
  for (int i = 0; i < n; ++i) {
    // The last anchor is the first again, so the loop closes on the very same point.
    const int next = (i + 1) % n;
    pen.CurveTo(Polar(step * (i + 0.5), controlRadius(i)), Polar(step * next, anchorRadius(next)));
  }
}

void Circle(ShapePen& pen, double radius, bool reversed) {
  // Eight quadratic arcs stay within a 1/1000 of the radius of the true circle.
  const double control = radius / std::cos(std::numbers::pi / 8);
  RadialLoop(
      pen, 8, [radius](int) { return radius; }, [control](int) { return control; }, reversed);
}

void Star(ShapePen& pen, int points, double outer, double inner) {
  const double step = std::numbers::pi / points;
  const double start = -std::numbers::pi / 2;
  pen.MoveTo(Polar(start, outer));
  for (int i = 1; i <= 2 * points; ++i) pen.LineTo(Polar(start + step * i, i % 2 ? inner : outer));
}

void Blade(ShapePen& pen, double angle, double length, double width) {
  const double c = std::cos(angle), s = std::sin(angle);
  auto at = [c, s](double along, double across) {
    return Point{c * along - s * across, s * along + c * across};
  };
  // A paper pinwheel's sail: a straight leading edge out to the tip, a bellied trailing one.
  pen.MoveTo(at(0, 0));
  pen.LineTo(at(length, 0));
  pen.CurveTo(at(0.8 * length, width), at(0, 0));
}

void Box(ShapePen& pen, double left, double top, double width, double height) {
  pen.MoveTo({left, top});
  pen.LineTo({left + width, top});
  pen.LineTo({left + width, top + height});
  pen.LineTo({left, top + height});
  pen.LineTo({left, top});
}

void RoundedRect(ShapePen& pen, double width, double height, double radius) {
  const double x = width / 2, y = height / 2;
  pen.MoveTo({-x + radius, -y});
  pen.LineTo({x - radius, -y});
  pen.CurveTo({x, -y}, {x, -y + radius});
  pen.LineTo({x, y - radius});
  pen.CurveTo({x, y}, {x - radius, y});
  pen.LineTo({-x + radius, y});
  pen.CurveTo({-x, y}, {-x, y - radius});
  pen.LineTo({-x, -y + radius});
  pen.CurveTo({-x, -y}, {-x + radius, -y});
}


SwfMatrix Placement(double x, double y, double angle, double sx, double sy) {
  const double c = std::cos(angle), s = std::sin(angle);
  return {sx * c,
          sx * s,
          -sy * s,
          sy * c,
          static_cast<int32_t>(std::lround(x)),
          static_cast<int32_t>(std::lround(y))};
}

SwfMatrix GradientBox(double x, double y, double width, double height, double angle) {
  return Placement(x, y, angle, width / 32768, height / 32768);
}

SwfFill Radial(double x, double y, double radius, Stops stops) {
  return SwfFill::Gradient(SwfFill::Kind::kRadial, GradientBox(x, y, 2 * radius, 2 * radius),
                           std::move(stops));
}

SwfFill Linear(double size, double angle, Stops stops) {
  return SwfFill::Gradient(SwfFill::Kind::kLinear, GradientBox(0, 0, size, size, angle),
                           std::move(stops));
}

SwfLine Stroke(double widthPixels, SwfRgba color, uint8_t join) {
  SwfLine line = SwfLine::Solid(static_cast<uint16_t>(std::lround(widthPixels * kTwips)), color);
  line.join = join;
  line.miterLimit = 4 << 8;
  return line;
}

uint16_t DefineFigure(SwfMovieBuilder& movie, std::optional<SwfFill> fill,
                      std::optional<SwfLine> line, const std::function<void(ShapePen&)>& draw,
                      int version) {
  SwfShape shape;
  shape.version = version;
  if (fill) shape.fills.push_back(*fill);
  if (line) shape.lines.push_back(*line);
  // Miter tips reach past half the width; the whole width covers a limit of 4 on most angles.
  ShapePen pen(shape, line ? line->width : 0);
  pen.Style(std::nullopt, fill ? std::optional<uint32_t>(1) : std::nullopt,
            line ? std::optional<uint32_t>(1) : std::nullopt);
  draw(pen);
  return movie.DefineShape(shape);
}

uint16_t CentredField(SwfMovieBuilder& movie, uint16_t font, double top, double width,
                      double size, SwfRgba color, const char* variable, const char* text) {
  SwfEditText field;
  field.xMax = static_cast<int32_t>(width);
  field.yMin = static_cast<int32_t>(top);
  field.yMax = static_cast<int32_t>(top + size * 1.5);
  field.font = font;
  field.height = static_cast<uint16_t>(size);
  field.color = color;
  field.variable = variable;
  if (text) field.text = text;
  field.align = 2;  // centred
  field.margins = std::pair<uint16_t, uint16_t>{0, 0};
  return movie.DefineEditText(field);
}

double Wave(double t, double periods, double phase) {
  return std::sin(kTwoPi * (periods * t + phase));
}

SwfColorTransform Tint(double r, double g, double b, double a) {
  SwfColorTransform transform;
  transform.mulR = Fixed88(r);
  transform.mulG = Fixed88(g);
  transform.mulB = Fixed88(b);
  transform.mulA = Fixed88(a);
  return transform;
}

SwfColorTransform Fade(double alpha) { return Tint(1, 1, 1, alpha); }

SwfRgba Hsv(double hue, double saturation, double value, uint8_t alpha) {
  const double h = (hue - std::floor(hue)) * 6;
  const int sector = static_cast<int>(h) % 6;
  const double f = h - std::floor(h);
  const double p = value * (1 - saturation), q = value * (1 - saturation * f),
               t = value * (1 - saturation * (1 - f));
  const double rgb[6][3] = {{value, t, p}, {q, value, p}, {p, value, t},
                            {p, q, value}, {t, p, value}, {value, p, q}};
  auto byte = [](double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  return {byte(rgb[sector][0]), byte(rgb[sector][1]), byte(rgb[sector][2]), alpha};
}

void Animate(SwfTags& timeline, const std::vector<Actor>& actors, int frames, uint16_t firstDepth) {
  for (int frame = 0; frame < frames; ++frame) {
    const double t = static_cast<double>(frame) / frames;
    for (size_t i = 0; i < actors.size(); ++i) {
      const Actor& actor = actors[i];
      if (frame > 0 && actor.still) continue;
      SwfPlace place;
      place.depth = static_cast<uint16_t>(firstDepth + i);
      place.move = frame > 0;
      if (frame == 0) {
        place.character = actor.character;
        if (actor.clips > 0) place.clipDepth = static_cast<uint16_t>(place.depth + actor.clips);
      }
      if (actor.matrix) place.matrix = actor.matrix(t);
      if (actor.color) {
        // A move without a colour transform keeps the one before: steady tints cost nothing.
        const SwfColorTransform color = actor.color(t);
        if (frame == 0 || !SameColor(color, actor.color(static_cast<double>(frame - 1) / frames))) {
          place.colorTransform = color;
        }
      }
      timeline.Place(place);
    }
    timeline.ShowFrame();
  }
}

double Random::Next() {
  state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
  return static_cast<double>(state_ >> 11) / 9007199254740992.0;
}

}  // namespace swfsaver::tools::sample
