// The dense sample, the renderer's benchmark: a few dozen curved, gradient-filled and stroked
// shapes placed hundreds of times, drifting on closed paths like particles in a field, the far
// (small) ones dimmer and slower behind the near ones.
#include <algorithm>
#include <cmath>

#include "tools/AnimatedSamples.h"
#include "tools/SampleGeometry.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;

constexpr double kPx = kTwips;
constexpr int kBlobs = 36;
constexpr int kRings = 6;
constexpr int kSquiggles = 8;
constexpr int kInstances = 330;
constexpr double kRadius = 40 * kPx;  // a shape's size at scale 1

// Cool blues, violets and a warm accent: the hues the whole field is drawn from.
double PaletteHue(Random& random) {
  static constexpr double kBands[][2] = {{0.5, 0.62}, {0.72, 0.9}, {0.04, 0.12}};
  const auto& band = kBands[random.Below(3)];
  return random.In(band[0], band[1]);
}

SwfFill BlobFill(Random& random, double hue, bool radial) {
  const double other = hue + random.In(-0.08, 0.08);
  if (radial) {
    return Radial(-0.2 * kRadius, -0.25 * kRadius, 1.3 * kRadius,
                  {{0, Hsv(hue, 0.25, 1, 240)},
                   {110, Hsv(hue, 0.75, 0.95, 220)},
                   {255, Hsv(other, 0.9, 0.35, 200)}});
  }
  return Linear(2 * kRadius, random.In(0, kTwoPi),
                {{0, Hsv(hue, 0.8, 1, 230)}, {255, Hsv(other + 0.1, 0.85, 0.5, 210)}});
}

// The shapes, blobs first, then rings and squiggles; returns their ids.
std::vector<uint16_t> DefineShapes(SwfMovieBuilder& movie, Random& random) {
  std::vector<uint16_t> ids;
  for (int i = 0; i < kBlobs; ++i) {
    const double hue = PaletteHue(random);
    const int n = 5 + random.Below(5);
    std::vector<double> anchors(n), controls(n);
    for (double& r : anchors) r = kRadius * random.In(0.75, 1.05);
    for (double& r : controls) r = kRadius * random.In(1.0, 1.35);
    ids.push_back(DefineFigure(movie, BlobFill(random, hue, i % 3 != 0),
                               Stroke(random.In(1, 3), Hsv(hue, 0.3, 1, 200)), [&](ShapePen& pen) {
                                 RadialLoop(
                                     pen, n, [&](int k) { return anchors[k]; },
                                     [&](int k) { return controls[k]; });
                               }));
  }
  for (int i = 0; i < kRings; ++i) {
    const double hue = PaletteHue(random);
    ids.push_back(DefineFigure(movie, BlobFill(random, hue, false),
                               Stroke(1.5, Hsv(hue, 0.2, 1, 220)), [](ShapePen& pen) {
                                 Circle(pen, kRadius);
                                 Circle(pen, 0.6 * kRadius, true);
                               }));
  }
  for (int i = 0; i < kSquiggles; ++i) {
    const double hue = PaletteHue(random);
    SwfLine line = Stroke(random.In(3, 7), Hsv(hue, 0.6, 1, 170), 2);
    ids.push_back(DefineFigure(
        movie, std::nullopt, line,
        [&](ShapePen& pen) {
          Point p{-1.5 * kRadius, 0};
          pen.MoveTo(p);
          for (int k = 0; k < 4; ++k) {
            const Point control{p.x + 0.4 * kRadius,
                                (k % 2 ? 1 : -1) * random.In(0.5, 1.2) * kRadius};
            p = {p.x + 0.75 * kRadius, random.In(-0.3, 0.3) * kRadius};
            pen.CurveTo(control, p);
          }
        },
        4));
  }
  return ids;
}

struct Particle {
  uint16_t shape = 0;
  double x = 0, y = 0, scale = 1, spin = 0, angle = 0;
  double swayX = 0, swayY = 0, phaseX = 0, phaseY = 0, phasePulse = 0;
  int cyclesX = 1, cyclesY = 1;
};

}  // namespace

std::vector<uint8_t> WriteDenseShapes(const SwfOptions& options) {
  SwfMovieBuilder movie;
  Random random(2024);
  const std::vector<uint16_t> shapes = DefineShapes(movie, random);
  const double width = options.widthPixels * kPx, height = options.heightPixels * kPx;

  std::vector<Particle> particles(kInstances);
  for (Particle& p : particles) {
    p.shape = shapes[random.Below(static_cast<int>(shapes.size()))];
    p.x = random.In(-0.05, 1.05) * width;
    p.y = random.In(-0.05, 1.05) * height;
    const double nearness = random.Next() * random.Next();  // mostly far
    p.scale = 0.25 + 1.1 * nearness;
    p.angle = random.In(0, kTwoPi);
    p.spin = random.Below(3) - 1.0;  // whole turns per loop
    p.swayX = random.In(20, 90) * kPx * p.scale;
    p.swayY = random.In(20, 90) * kPx * p.scale;
    p.cyclesX = 1 + random.Below(2);
    p.cyclesY = 1 + random.Below(2);
    p.phaseX = random.Next();
    p.phaseY = random.Next();
    p.phasePulse = random.Next();
  }
  // Far behind near: the small ones first, at the lower depths.
  std::stable_sort(particles.begin(), particles.end(),
                   [](const Particle& a, const Particle& b) { return a.scale < b.scale; });

  std::vector<Actor> actors;
  for (const Particle& p : particles) {
    const double nearness = (p.scale - 0.25) / 1.1;
    const double light = 0.55 + 0.45 * nearness;
    actors.emplace_back(
        p.shape,
        [p](double t) {
          const double s = p.scale * (1 + 0.06 * Wave(t, 2, p.phasePulse));
          return Placement(p.x + p.swayX * Wave(t, p.cyclesX, p.phaseX),
                           p.y + p.swayY * Wave(t, p.cyclesY, p.phaseY),
                           p.angle + kTwoPi * p.spin * t + 0.3 * Wave(t, 1, p.phaseX), s, s);
        },
        [=](double) { return Tint(light, light, light, 0.5 + 0.5 * nearness); });
  }
  Animate(movie, actors, options.frameCount);
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
