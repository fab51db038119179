// The bitmap sample: a lossless bitmap made here, seen through a turning clip layer as a
// repeating fill and carried round on cards as a clipped one, over a JPEG night sky.
#include <algorithm>
#include <cmath>

#include "tools/AnimatedSamples.h"
#include "tools/JpegWriter.h"
#include "tools/SampleGeometry.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;

constexpr double kPx = kTwips;
constexpr int kSide = 128;
constexpr int kCell = kSide / 2;

uint8_t Byte(double fraction) {
  return static_cast<uint8_t>(std::lround(std::clamp(fraction, 0.0, 1.0) * 255));
}

// Premultiplied ARGB rows (DefineBitsLossless2's format 5): soft discs on a 64-pixel lattice
// over a faint ground, the hue drifting across the tile. Every term repeats every 128
// pixels, so the bitmap tiles without seams.
std::vector<uint8_t> PatternPixels() {
  std::vector<uint8_t> data;
  data.reserve(kSide * kSide * 4);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double u = (x + 0.5) / kSide, v = (y + 0.5) / kSide;
      const double dx = std::fmod(x + 0.5, kCell) - kCell / 2.0;
      const double dy = std::fmod(y + 0.5, kCell) - kCell / 2.0;
      const double d = std::hypot(dx, dy) / (kCell * 0.4);
      const double disc = std::clamp((1 - d) * 8, 0.0, 1.0);  // an edge under two pixels wide
      // Each disc has its own hue; the ground's changes smoothly, as it crosses the cells.
      const double hue = 0.1 * std::sin(kTwoPi * u) + 0.1 * std::cos(kTwoPi * v);
      const double cell = 0.17 * (x / kCell + 2 * (y / kCell));
      const SwfRgba lit = Hsv(hue + cell, 0.35 + 0.5 * std::min(d, 1.0), 1);
      const SwfRgba ground = Hsv(hue + 0.5, 0.7, 0.55);
      const double alpha = 0.3 + 0.7 * disc;
      auto channel = [&](uint8_t litValue, uint8_t groundValue) {
        const double colour = (disc * litValue + (1 - disc) * 0.3 * groundValue) / 255;
        return Byte(std::min(colour, alpha));
      };
      data.insert(data.end(), {Byte(alpha), channel(lit.r, ground.r), channel(lit.g, ground.g),
                               channel(lit.b, ground.b)});
    }
  }
  return data;
}

// A small night sky with two aurora curtains, RGB: smooth, so JPEG keeps it well, and shown
// four times its size, smoothed.
constexpr int kSkyWidth = 160, kSkyHeight = 120;

std::vector<uint8_t> SkyPixels() {
  std::vector<uint8_t> rgb;
  rgb.reserve(kSkyWidth * kSkyHeight * 3);
  Random random(99);
  for (int y = 0; y < kSkyHeight; ++y) {
    for (int x = 0; x < kSkyWidth; ++x) {
      const double u = double(x) / kSkyWidth, v = double(y) / kSkyHeight;
      double r = 8 + 20 * v, g = 6 + 6 * v, b = 26 + 14 * v;
      const double curtains[][5] = {{0.38, 0.1, 1.3, 0.2, 0.9}, {0.62, 0.07, 2.1, 0.7, 0.55}};
      for (int i = 0; i < 2; ++i) {
        const double* c = curtains[i];
        const double centre = c[0] + c[1] * std::sin(kTwoPi * (c[2] * u + c[3]));
        // Brighter at the lower edge, with the vertical rays of a curtain.
        const double fall = v < centre ? std::exp(-std::pow((centre - v) / 0.16, 2))
                                       : std::exp(-std::pow((v - centre) / 0.03, 2));
        const double glow =
            c[4] * fall * (0.65 + 0.35 * std::sin(kTwoPi * (9 * u + 0.3 * std::sin(5 * u))));
        const SwfRgba tone = i == 0 ? SwfRgba{60, 230, 150, 255} : SwfRgba{170, 90, 230, 255};
        r += glow * tone.r;
        g += glow * tone.g;
        b += glow * tone.b;
      }
      if (random.Next() < 0.004) r = g = b = 220;  // a star
      rgb.insert(rgb.end(), {Byte(r / 255), Byte(g / 255), Byte(b / 255)});
    }
  }
  return rgb;
}

// Twelve round lobes: the clip window and its outline.
void Lobes(ShapePen& pen) {
  const double valley = 200 * kPx, tip = 228 * kPx;
  const double control = tip / std::cos(kTwoPi / 48);
  RadialLoop(
      pen, 24, [=](int i) { return i % 2 ? tip : valley; }, [=](int) { return control; });
}

}  // namespace

std::vector<uint8_t> WriteBitmapFills(const SwfOptions& options) {
  SwfMovieBuilder movie;
  const uint16_t bitmap = movie.DefineLossless(2, 5, kSide, kSide, PatternPixels());
  const uint16_t skyImage = movie.DefineJpeg2(EncodeJpeg(SkyPixels(), kSkyWidth, kSkyHeight));
  const double skyScale = options.widthPixels / double(kSkyWidth);
  const SwfFill skyFill =
      SwfFill::Bitmap(skyImage, {skyScale * kPx, 0, 0, skyScale * kPx, 0, 0}, true, true);
  const uint16_t sky = DefineFigure(movie, skyFill, std::nullopt, [&](ShapePen& pen) {
    Box(pen, 0, 0, options.widthPixels * kPx, options.heightPixels * kPx);
  });

  const double tileScale = 0.75;  // bitmap pixels to stage pixels in the repeating layer
  const double period = kSide * tileScale * kPx;
  const double layerSide = 720 * kPx;
  SwfFill tiles =
      SwfFill::Bitmap(bitmap, {tileScale * kPx, 0, 0, tileScale * kPx, 0, 0}, false, true);
  const uint16_t layer = DefineFigure(movie, tiles, std::nullopt, [&](ShapePen& pen) {
    Box(pen, -layerSide / 2, -layerSide / 2, layerSide, layerSide);
  });
  const uint16_t window =
      DefineFigure(movie, SwfFill::Solid({255, 255, 255, 255}), std::nullopt, Lobes);
  const uint16_t outline =
      DefineFigure(movie, std::nullopt, Stroke(2.5, {220, 190, 255, 200}), Lobes);

  const double card = kSide * kPx;
  const SwfFill picture = SwfFill::Bitmap(
      bitmap, {kPx, 0, 0, kPx, static_cast<int32_t>(-card / 2), static_cast<int32_t>(-card / 2)},
      true, true);
  auto cardOutline = [card](ShapePen& pen) { RoundedRect(pen, card, card, 18 * kPx); };
  // The picture's ground is translucent: a dark backing keeps the tiles behind from showing
  // through it.
  const uint16_t backing =
      DefineFigure(movie, SwfFill::Solid({24, 14, 40, 255}), std::nullopt, cardOutline);
  const uint16_t cardShape =
      DefineFigure(movie, picture, Stroke(3, {255, 255, 255, 210}), cardOutline);

  const double cx = options.widthPixels * kPx / 2, cy = options.heightPixels * kPx / 2;
  // The window turns a twelfth of a turn per loop: its twelve lobes make that seamless.
  auto windowTurn = [=](double t) {
    const double s = 1 + 0.03 * Wave(t, 2);
    return Placement(cx, cy, kTwoPi / 12 * t, s, s);
  };
  Actor clip(window, windowTurn);
  clip.clips = 1;
  // The sky stays; only its light breathes.
  std::vector<Actor> actors = {Actor(
      sky, [](double) { return Placement(0, 0); },
      [](double t) {
        const double l = 0.85 + 0.15 * Wave(t, 1);
        return Tint(l, l, l);
      })};
  actors.push_back(clip);
  actors.emplace_back(
      layer,
      [=](double t) {
        // Pans one tile diagonally in the layer's own turning axes, so the pattern (not the
        // layer's edge, which the window hides) is where it began when the loop closes.
        const double angle = 0.15 * Wave(t, 1);
        const double c = std::cos(angle), s = std::sin(angle), pan = period * t;
        SwfMatrix m = Placement(cx, cy, angle);
        m.tx += static_cast<int32_t>(std::lround(c * pan - s * pan));
        m.ty += static_cast<int32_t>(std::lround(s * pan + c * pan));
        return m;
      },
      [](double) { return Tint(0.55, 0.55, 0.6); });
  actors.emplace_back(outline, windowTurn);
  const SwfColorTransform tints[] = {Tint(1, 1, 1), Tint(1, 0.75, 0.55), Tint(0.6, 0.85, 1)};
  for (int i = 0; i < 3; ++i) {
    auto orbit = [=](double t) {
      const double angle = kTwoPi * (t + i / 3.0);
      const double s = 0.85 + 0.1 * Wave(t, 2, i / 3.0);
      return Placement(cx + 130 * kPx * std::cos(angle), cy + 130 * kPx * std::sin(angle),
                       -kTwoPi * t + i, s, s);
    };
    actors.emplace_back(backing, orbit);
    actors.emplace_back(cardShape, orbit, [=](double) { return tints[i]; });
  }
  Animate(movie, actors, options.frameCount);
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
