// effects_bench: the cost of filters and cached bitmaps per whole frame at 1024x768 (a
// program, not a test; meaningful in the release preset). Each scene is a movie built here:
//   glow:     a 550 x 400 clip (a filled background, 60 bars and a bar that moves each frame, so
//             its layer is drawn and filtered anew every frame) with a glow of blur 16, quality 3;
//   shadow:   the same clip with a drop shadow (distance 4, 45 degrees, blur 4, quality 1);
//   glow-still: the glowing clip with nothing in it moving: its filtered layer is reused;
//   plain:    the same clip with no filter, for comparison;
//   cached:   a clip of 2,000 shapes (discs of 6 to 14 pixels with a ring inside, of curves)
//             that does not change, cached as a bitmap, moving 3 pixels to the right each frame
//             across a 550 x 400 stage;
//   uncached: the same clip without the cache.
// Prints, for each scene, the median milliseconds per frame (wall and processor time) over
// the frames drawn whole on one thread and on the renderer's worker pool.
// Usage: effects_bench [frames] (default 60)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numbers>
#include <string>
#include <vector>

#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/render/WorkerPool.h"
#include "tools/SwfBuilder.h"
#include "tools/render/StageRender.h"

using namespace swfplayer;
using swfsaver::tools::StageRenderer;
using swfsaver::tools::SwfFill;
using swfsaver::tools::SwfMatrix;
using swfsaver::tools::SwfMovieBuilder;
using swfsaver::tools::SwfPlace;
using swfsaver::tools::SwfShape;
using swfsaver::tools::SwfTags;

namespace {

constexpr int kStageWidth = 550, kStageHeight = 400;  // pixels
constexpr int kTwips = 20;

struct Bytes {
  std::vector<uint8_t> out;
  Bytes& U8(uint8_t v) { out.push_back(v); return *this; }
  Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& Fixed(double v) {
    const auto bits = static_cast<uint32_t>(static_cast<int32_t>(v * 65536));
    return U16(bits & 0xFFFF).U16(bits >> 16);
  }
};

std::vector<uint8_t> GlowList() {  // green, blur 16 x 16, strength 1, composite source, 3 passes
  Bytes b;
  b.U8(1).U8(2).U8(0).U8(255).U8(0).U8(255).Fixed(16).Fixed(16).U16(0x0100).U8(0x20 | 3);
  return b.out;
}

std::vector<uint8_t> ShadowList() {  // black, blur 4, 45 degrees, distance 4, strength 1, 1 pass
  Bytes b;
  b.U8(1).U8(0).U8(0).U8(0).U8(0).U8(255).Fixed(4).Fixed(4).Fixed(0.785398163).Fixed(4).U16(0x0100).U8(0x20 | 1);
  return b.out;
}

uint16_t Rect(SwfMovieBuilder& movie, int width, int height, SwfFill fill) {
  SwfShape shape;
  shape.xMax = width * kTwips;
  shape.yMax = height * kTwips;
  shape.fills = {fill};
  shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(0, 0, width * kTwips, height * kTwips);
  return movie.DefineShape(shape);
}

// A disc of radius pixels around its origin, of eight curves, with a ring of another colour
// inside it: two fills, as drawn art has.
uint16_t Disc(SwfMovieBuilder& movie, int radius, SwfFill outer, SwfFill inner) {
  SwfShape shape;
  const int32_t r = radius * kTwips;
  shape.xMin = shape.yMin = -r;
  shape.xMax = shape.yMax = r;
  shape.fills = {outer, inner};
  for (int ring = 0; ring < 2; ++ring) {
    const double reach = ring == 0 ? r : r * 0.6;
    int32_t x = static_cast<int32_t>(reach), y = 0;
    shape.Style(0, ring + 1, std::nullopt, std::pair{x, y});
    for (int i = 0; i < 8; ++i) {
      const double a0 = i * std::numbers::pi / 4, half = std::numbers::pi / 8;
      const auto cx = static_cast<int32_t>(std::lround(reach / std::cos(half) * std::cos(a0 + half)));
      const auto cy = static_cast<int32_t>(std::lround(reach / std::cos(half) * std::sin(a0 + half)));
      const auto ax = static_cast<int32_t>(std::lround(reach * std::cos(a0 + 2 * half)));
      const auto ay = static_cast<int32_t>(std::lround(reach * std::sin(a0 + 2 * half)));
      shape.CurveBy(cx - x, cy - y, ax - cx, ay - cy);
      x = ax;
      y = ay;
    }
  }
  return movie.DefineShape(shape);
}

SwfPlace At(uint16_t character, uint16_t depth, int x, int y) {
  SwfPlace place;
  place.character = character;
  place.depth = depth;
  place.matrix = SwfMatrix::Translate(x * kTwips, y * kTwips);
  return place;
}

// A 550 x 400 clip whose content changes every frame, with a filter list (or none).
std::vector<uint8_t> FilteredClip(const std::vector<uint8_t>& filters, int frames, bool moving = true) {
  SwfMovieBuilder movie;
  const uint16_t background = Rect(movie, kStageWidth, kStageHeight, SwfFill::Solid({40, 60, 120}));
  const uint16_t bar = Rect(movie, 6, 300, SwfFill::Solid({230, 200, 40}));
  const uint16_t mover = Rect(movie, 40, 40, SwfFill::Solid({250, 250, 250}));
  SwfTags content;
  content.Place(At(background, 1, 0, 0));
  for (int i = 0; i < 60; ++i) content.Place(At(bar, static_cast<uint16_t>(2 + i), 10 + i * 9, 50));
  for (int frame = 0; frame < frames; ++frame) {
    const int step = moving ? frame : 0;
    SwfPlace move = At(mover, 100, 20 + (step * 7) % 480, 20 + (step * 5) % 340);
    move.move = frame > 0;
    if (move.move) move.character.reset();
    content.Place(move);
    content.ShowFrame();
  }
  SwfPlace clip = At(movie.DefineSprite(content), 1, 0, 0);
  clip.version = 3;
  clip.filterList = filters;
  movie.Place(clip);
  movie.ShowFrame();
  swfsaver::tools::SwfOptions options;
  options.version = 8;
  return movie.Finish(options);
}

// A clip of 2,000 small discs (20 kinds, laid out pseudo-randomly over 300 x 300 pixels)
// moving across the stage.
std::vector<uint8_t> MovingClip(bool cached, int frames) {
  SwfMovieBuilder movie;
  std::vector<uint16_t> shapes;
  for (int i = 0; i < 20; ++i) {
    shapes.push_back(Disc(movie, 6 + i % 9, SwfFill::Solid({static_cast<uint8_t>(i * 12), static_cast<uint8_t>(255 - i * 9), 128}),
                          SwfFill::Solid({250, static_cast<uint8_t>(i * 10), 40})));
  }
  SwfTags content;
  uint32_t seed = 7;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  for (int i = 0; i < 2000; ++i) {
    content.Place(At(shapes[static_cast<size_t>(i) % shapes.size()], static_cast<uint16_t>(1 + i), next(300), next(300)));
  }
  content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  for (int frame = 0; frame < frames; ++frame) {
    SwfPlace clip = At(sprite, 1, (frame * 3) % (kStageWidth - 300), 50);
    clip.version = 3;
    if (frame == 0) {
      if (cached) clip.cacheAsBitmap = 1;
    } else {
      clip.move = true;
      clip.character.reset();
    }
    movie.Place(clip);
    movie.ShowFrame();
  }
  swfsaver::tools::SwfOptions options;
  options.version = 8;
  options.frameCount = static_cast<uint16_t>(frames);
  return movie.Finish(options);
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Plays the movie, drawing each frame whole at 1024x768 (high quality) after a few frames to
// warm up; the medians of the wall and processor milliseconds per frame.
bool Measure(const std::vector<uint8_t>& bytes, int frames, int threads, double& wallMs, double& cpuMs) {
  image::NativeImageDecoder decoder;
  player::PlayerLoad load = player::Player::Load(bytes, decoder);
  if (!load.ok()) return false;
  StageRenderer renderer(1024, 768, render::Quality::kHigh, threads);
  std::vector<double> wall, cpu;
  for (int frame = 0; frame < frames + 5; ++frame) {
    load.player->Advance();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    renderer.Render(*load.player, /*whole=*/true);
    const double cpuEnd = CpuSeconds();
    const auto end = std::chrono::steady_clock::now();
    if (frame < 5) continue;
    wall.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    cpu.push_back((cpuEnd - cpuStart) * 1000);
  }
  wallMs = Median(wall);
  cpuMs = Median(cpu);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  struct Scene {
    const char* name;
    std::vector<uint8_t> movie;
  };
  const int movieFrames = frames + 5;
  const Scene scenes[] = {
      {"glow", FilteredClip(GlowList(), movieFrames)},
      {"shadow", FilteredClip(ShadowList(), movieFrames)},
      {"glow-still", FilteredClip(GlowList(), movieFrames, false)},
      {"plain", FilteredClip({}, movieFrames)},
      {"cached", MovingClip(true, movieFrames)},
      {"uncached", MovingClip(false, movieFrames)},
  };
  const int pool = render::WorkerPool::DefaultThreads();
  std::printf("scene     threads  wall ms/frame  cpu ms/frame  (1024x768, high quality, %d frames)\n", frames);
  for (const Scene& scene : scenes) {
    for (int threads : {1, pool}) {
      double wall = 0, cpu = 0;
      if (!Measure(scene.movie, frames, threads, wall, cpu)) {
        std::fprintf(stderr, "%s: the movie did not load\n", scene.name);
        return 1;
      }
      std::printf("%-10s %6d  %13.2f  %12.2f\n", scene.name, threads, wall, cpu);
      if (pool == 1) break;
    }
  }
  return 0;
}
