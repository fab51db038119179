#include "tools/AnimatedSamples.h"

#include <cmath>

#include "tools/SampleGeometry.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;
constexpr double kPx = kTwips;

// A stroke along a sine-like wave of quadratic arcs, `waves` wavelengths long from x = 0.
uint16_t WaveLine(SwfMovieBuilder& movie, double wavelength, double amplitude, int waves,
                  SwfLine line) {
  return DefineFigure(movie, std::nullopt, line, [&](ShapePen& pen) {
    pen.MoveTo({0, 0});
    for (int half = 0; half < 2 * waves; ++half) {
      const double x = half * wavelength / 2;
      // A quadratic's peak is half its control's height.
      pen.CurveTo({x + wavelength / 4, (half % 2 ? 2 : -2) * amplitude}, {x + wavelength / 2, 0});
    }
  });
}

uint16_t Sphere(SwfMovieBuilder& movie, double radius, SwfRgba light, SwfRgba base, SwfRgba dark) {
  const SwfFill shading =
      Radial(-0.35 * radius, -0.4 * radius, 1.45 * radius,
             {{0, {255, 255, 255, 255}}, {40, light}, {170, base}, {255, dark}});
  return DefineFigure(movie, shading, std::nullopt,
                      [radius](ShapePen& pen) { Circle(pen, radius); });
}

}  // namespace

std::vector<uint8_t> WriteShapesInMotion(const SwfOptions& options) {
  SwfMovieBuilder movie;
  const double cx = options.widthPixels * kPx / 2, cy = options.heightPixels * kPx / 2;
  const double ringRadius = 150 * kPx;

  const uint16_t halo = DefineFigure(
      movie,
      Radial(0, 0, 200 * kPx,
             {{0, {90, 120, 255, 110}}, {130, {60, 60, 200, 45}}, {255, {30, 20, 120, 0}}}),
      std::nullopt, [](ShapePen& pen) { Circle(pen, 200 * kPx); });
  const uint16_t ring = DefineFigure(
      movie,
      Linear(2 * ringRadius, 0,
             {{0, {0, 220, 255, 255}}, {128, {255, 60, 200, 255}}, {255, {255, 210, 40, 255}}}),
      Stroke(1.5, {255, 255, 255, 90}), [&](ShapePen& pen) {
        Circle(pen, ringRadius + 6 * kPx);
        Circle(pen, ringRadius - 6 * kPx, true);
      });
  const uint16_t star = DefineFigure(
      movie, Linear(140 * kPx, kTwoPi / 4, {{0, {255, 240, 120, 255}}, {255, {255, 90, 30, 255}}}),
      Stroke(4, {255, 250, 220, 255}, 2), [](ShapePen& pen) { Star(pen, 5, 70 * kPx, 30 * kPx); },
      4);
  const uint16_t flower = DefineFigure(
      movie,
      Radial(0, 0, 55 * kPx,
             {{0, {255, 250, 200, 255}}, {90, {255, 120, 180, 255}}, {255, {120, 40, 200, 255}}}),
      Stroke(2.5, {255, 200, 240, 220}), [](ShapePen& pen) {
        // Controls on the tangent at each tip round the tips; the valleys stay sharp.
        const double tip = 60 * kPx, control = tip / std::cos(kTwoPi / 20);
        RadialLoop(
            pen, 10, [tip](int i) { return i % 2 ? tip : 14 * kPx; },
            [control](int) { return control; });
      });
  const uint16_t sparkle = DefineFigure(
      movie, Radial(0, 0, 16 * kPx, {{0, {255, 255, 255, 255}}, {255, {180, 220, 255, 200}}}),
      std::nullopt, [](ShapePen& pen) { Star(pen, 4, 16 * kPx, 3.5 * kPx); });
  const uint16_t spheres[] = {
      Sphere(movie, 24 * kPx, {255, 200, 140, 255}, {240, 110, 30, 255}, {90, 20, 10, 255}),
      Sphere(movie, 24 * kPx, {160, 255, 220, 255}, {20, 180, 150, 255}, {0, 50, 60, 255}),
      Sphere(movie, 24 * kPx, {220, 190, 255, 255}, {130, 70, 230, 255}, {30, 10, 80, 255})};
  const double waveLengths[] = {110 * kPx, 80 * kPx};
  const int waveCount = static_cast<int>(options.widthPixels * kPx / waveLengths[1]) + 2;
  const uint16_t waves[] = {
      WaveLine(movie, waveLengths[0], 14 * kPx, waveCount, Stroke(3, {0, 200, 255, 150})),
      WaveLine(movie, waveLengths[1], 10 * kPx, waveCount, Stroke(2, {255, 80, 200, 150}))};

  std::vector<Actor> actors;
  actors.push_back({halo, [=](double t) {
                      const double s = 1 + 0.08 * Wave(t, 2);
                      return Placement(cx, cy, 0, s, s);
                    }});
  for (int i = 0; i < 2; ++i) {
    // One wavelength per loop, the two waves in opposite directions.
    const double y = options.heightPixels * kPx - (i ? 40 : 55) * kPx;
    const double length = waveLengths[i];
    actors.push_back({waves[i], [=](double t) { return Placement((i ? t - 1 : -t) * length, y); }});
  }
  actors.push_back({ring, [=](double t) { return Placement(cx, cy, kTwoPi * t); }});
  for (int i = 0; i < 3; ++i) {
    actors.push_back({spheres[i], [=](double t) {
                        const double angle = kTwoPi * (t + i / 3.0);
                        const double s = 1 + 0.2 * Wave(t, 3, i / 3.0);
                        return Placement(cx + ringRadius * std::cos(angle),
                                         cy + ringRadius * std::sin(angle), 0, s, s);
                      }});
  }
  actors.push_back({star, [=](double t) {
                      const double s = 1 + 0.12 * Wave(t, 2);
                      return Placement(cx, cy, -kTwoPi / 5 * t, s, s);
                    }});
  const Point corners[] = {{0.14, 0.2}, {0.86, 0.2}};
  for (int i = 0; i < 2; ++i) {
    const double x = corners[i].x * options.widthPixels * kPx,
                 y = corners[i].y * options.heightPixels * kPx;
    actors.push_back(
        {flower,
         [=](double t) { return Placement(x, y, (i ? -kTwoPi : kTwoPi) / 5 * t, 0.6, 0.6); },
         [=](double t) { return Fade(0.6 + 0.4 * Wave(t, 1, i / 2.0)); }});
  }
  Random random(7);
  for (int i = 0; i < 6; ++i) {
    const double x = random.In(0.05, 0.95) * options.widthPixels * kPx;
    const double y = random.In(0.05, 0.7) * options.heightPixels * kPx;
    const double phase = random.Next();
    actors.push_back({sparkle,
                      [=](double t) {
                        const double s = 0.7 + 0.5 * Wave(t, 2, phase);
                        return Placement(x, y, kTwoPi / 4 * t, s, s);
                      },
                      [=](double t) { return Fade(0.5 + 0.5 * Wave(t, 2, phase)); }});
  }
  Animate(movie, actors, options.frameCount);
  return movie.Finish(options);
}

std::vector<uint8_t> WriteSpritePinwheels(const SwfOptions& options) {
  SwfMovieBuilder movie;
  constexpr int kBlades = 8;
  constexpr int kSpriteFrames = 12;
  const double length = 90 * kPx;

  SwfShape bladesShape;
  bladesShape.fills = {
      Radial(0, 0, length, {{0, {255, 250, 220, 255}}, {255, {255, 120, 40, 255}}}),
      Radial(0, 0, length, {{0, {220, 245, 255, 255}}, {255, {40, 120, 255, 255}}})};
  bladesShape.lines = {Stroke(1.5, {255, 255, 255, 160})};
  ShapePen pen(bladesShape, 1.5 * kPx);
  for (int i = 0; i < kBlades; ++i) {
    pen.Style(std::nullopt, 1 + i % 2, 1);
    Blade(pen, kTwoPi * i / kBlades, length, 0.75 * length);
  }
  const uint16_t blades = movie.DefineShape(bladesShape);
  const uint16_t hub =
      DefineFigure(movie,
                   Radial(-3 * kPx, -3 * kPx, 14 * kPx,
                          {{0, {255, 255, 255, 255}}, {255, {150, 150, 170, 255}}}),
                   Stroke(1.5, {60, 60, 80, 255}), [](ShapePen& p) { Circle(p, 11 * kPx); });

  // Two blade colours alternate, so a quarter turn looks the same as none: the sprite's loop
  // turns it that far.
  SwfTags spin;
  Animate(spin,
          {{blades, [](double t) { return Placement(0, 0, kTwoPi * 2 / kBlades * t); }},
           {hub,
            [](double t) {
              const double s = 1 + 0.3 * Wave(t, 1);
              return Placement(0, 0, 0, s, s);
            }}},
          kSpriteFrames);
  const uint16_t pinwheel = movie.DefineSprite(spin);

  const double cx = options.widthPixels * kPx / 2, cy = options.heightPixels * kPx / 2;
  std::vector<Actor> actors;
  constexpr int kAround = 6;
  for (int i = 0; i < kAround; ++i) {
    const double angle = kTwoPi * (i + 0.5) / kAround;
    const double x = cx + 190 * kPx * std::cos(angle), y = cy + 160 * kPx * std::sin(angle);
    const double s = 0.5 + 0.05 * (i % 3);
    const SwfRgba tint = Hsv(i / double(kAround), 0.55, 1);
    // Mirrored ones spin the other way round.
    const double sx = i % 2 ? -s : s;
    actors.push_back(
        {pinwheel,
         [=](double t) { return Placement(x, y + 10 * kPx * Wave(t, 1, i / 6.0), 0, sx, s); },
         [=](double) { return Tint(tint.r / 255.0, tint.g / 255.0, tint.b / 255.0, 0.9); }});
  }
  actors.push_back({pinwheel, [=](double t) {
                      const double s = 1.25 + 0.05 * Wave(t, 1);
                      return Placement(cx, cy, 0, s, s);
                    }});
  Animate(movie, actors, options.frameCount);
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
