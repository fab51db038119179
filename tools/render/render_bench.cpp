// Draws a frame whole, again and again, and prints the median milliseconds per frame: with the
// renderer's worker pool, with one thread (and on one thread with the four-pixel loops alone,
// where the processor has AVX2; it fails if their pixels differ), both as a picture drawn again
// where it was (fills painted from their kept coverage) and as if everything had moved (every
// fill rasterised; it fails if the pixels differ from the kept ones), and the same outlines and
// paints through cairo's image surface, beside a baseline run in the same process (clear the
// frame and copy it out, as the control's blit would), so the figures read as ratios on
// whatever machine runs them.
// Usage: render_bench [high|low] [dense|heavy|MOVIE.swf] [WxH] [frames] [movie frame]
//   dense: a full-screen gradient, 200 blobs 10-60 px in radius (two thirds with gradients) and
//          100 curved strokes up to 6 px wide: about twice the screen's area painted.
//   heavy: 250 blobs 15-90 px and 150 longer strokes up to 8 px: about four times.
//   MOVIE.swf: the movie's stage after its first `movie frame` frames (default 1), shown all.
// The scenes are laid out at 1024x768 and scaled to WxH (default 1024x768).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "swfplayer/player/Stage.h"
#include "swfplayer/render/CpuFeatures.h"
#include "swfplayer/render/RasterCanvas.h"
#include "tools/render/CairoPeer.h"
#include "tools/render/StageRender.h"

using namespace swfplayer;
namespace render = swfplayer::render;
namespace player = swfplayer::player;

namespace {

// The synthetic scenes' layout.
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct SceneRecipe {
  const char* name;
  int fills;
  double minRadius, maxRadius;
  int strokes;
  int strokeCurves;
  double strokeReach;     // twips a curve's points stray from the previous one
  double maxStrokeWidth;  // twips
  bool background;
};
constexpr SceneRecipe kDense{"dense", 200, 10, 60, 100, 4, 1600, 120, true};
constexpr SceneRecipe kHeavy{"heavy", 250, 15, 90, 150, 5, 2400, 160, false};

class Random {
 public:
  double Next() {  // 0 <= x < 1
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }
  double In(double lo, double hi) { return lo + (hi - lo) * Next(); }
  uint8_t Byte() { return static_cast<uint8_t>(In(0, 256)); }

 private:
  uint64_t state_ = 12345;
};

struct Item {
  Path path;
  Paint paint;
  bool stroke = false;
  StrokeStyle style;
};

// A wobbly closed blob of eight curves, in twips.
Path Blob(Random& rnd, double cx, double cy, double r) {
  Path path;
  const int n = 8;
  auto at = [&](double angle, double radius) {
    return Point{(cx + radius * std::cos(angle)) * 20,
                         (cy + radius * std::sin(angle)) * 20};
  };
  const double step = 2 * std::numbers::pi / n;
  path.MoveTo(at(0, r));
  for (int i = 0; i < n; ++i) {
    const double a = step * i;
    const double end = i + 1 == n ? r : r * rnd.In(0.8, 1.1);
    path.QuadTo(at(a + step / 2, r * rnd.In(1.0, 1.3)), at(a + step, end));
  }
  return path;
}

Path Squiggle(Random& rnd, const SceneRecipe& recipe) {
  Path path;
  Point p{rnd.In(0, kWidth) * 20, rnd.In(0, kHeight) * 20};
  path.MoveTo(p);
  const double reach = recipe.strokeReach;
  for (int i = 0; i < recipe.strokeCurves; ++i) {
    const Point c{p.x + rnd.In(-reach, reach), p.y + rnd.In(-reach, reach)};
    p = {c.x + rnd.In(-reach, reach), c.y + rnd.In(-reach, reach)};
    path.QuadTo(c, p);
  }
  return path;
}

Gradient RandomGradient(Random& rnd, double cx, double cy, double r, int kind) {
  Gradient g;
  g.kind = static_cast<GradientKind>(kind);
  const int stops = 2 + static_cast<int>(rnd.In(0, 3));
  for (int i = 0; i < stops; ++i) {
    g.stops.push_back(
        {static_cast<uint8_t>(255 * i / (stops - 1)),
         {rnd.Byte(), rnd.Byte(), rnd.Byte(), static_cast<uint8_t>(rnd.In(160, 256))}});
  }
  g.spread = static_cast<Spread>(static_cast<int>(rnd.In(0, 3)));
  g.focalPoint = static_cast<float>(rnd.In(-0.8, 0.8));
  const double scale = r * 20 / 16384, angle = rnd.In(0, 6.28);
  g.matrix = {scale * std::cos(angle),
              scale * std::sin(angle),
              -scale * std::sin(angle),
              scale * std::cos(angle),
              cx * 20,
              cy * 20};
  return g;
}

std::vector<Item> Scene(const SceneRecipe& recipe) {
  Random rnd;
  std::vector<Item> items;
  if (recipe.background) {
    Item item;
    item.path.MoveTo({0, 0});
    item.path.LineTo({kWidth * 20, 0});
    item.path.LineTo({kWidth * 20, kHeight * 20});
    item.path.LineTo({0, kHeight * 20});
    Gradient g;
    g.stops = {{0, {30, 60, 120, 255}}, {255, {230, 200, 160, 255}}};
    g.matrix = {0, kHeight * 20.0 / 32768, -kWidth * 20.0 / 32768, 0, kWidth * 10, kHeight * 10};
    item.paint = g;
    items.push_back(std::move(item));
  }
  for (int i = 0; i < recipe.fills; ++i) {
    const double cx = rnd.In(0, kWidth), cy = rnd.In(0, kHeight);
    const double r = rnd.In(recipe.minRadius, recipe.maxRadius);
    Item item;
    item.path = Blob(rnd, cx, cy, r);
    if (i % 3 == 0) {
      item.paint =
          Rgba{rnd.Byte(), rnd.Byte(), rnd.Byte(), static_cast<uint8_t>(rnd.In(180, 256))};
    } else {
      item.paint = RandomGradient(rnd, cx, cy, r, i % 3 == 1 ? 0 : (i % 2 ? 1 : 2));
    }
    items.push_back(std::move(item));
  }
  for (int i = 0; i < recipe.strokes; ++i) {
    Item item;
    item.path = Squiggle(rnd, recipe);
    item.stroke = true;
    item.style.width = rnd.In(0, recipe.maxStrokeWidth);
    item.style.join = i % 4 == 0 ? Join::kMiter : Join::kRound;
    item.paint = Rgba{rnd.Byte(), rnd.Byte(), rnd.Byte(), 255};
    items.push_back(std::move(item));
  }
  return items;
}

struct Timing {
  double wallMs;  // median
  double cpuMs;   // median of the process's processor time (std::clock): on a shared machine
                  // it leaves out the time other programs had the cores, and with the pool
                  // it adds up every thread's
};

Timing Measure(int frames, const std::function<void()>& frame) {
  for (int i = 0; i < 3; ++i) frame();  // sizes the buffers, warms the caches
  std::vector<double> wall, cpu;
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    frame();
    cpu.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    wall.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void Print(const char* label, const Timing& t, const Timing& baseline) {
  std::printf("  %-28s median %8.3f ms/frame (%6.1f x baseline), processor %8.3f ms\n", label,
              t.wallMs, t.wallMs / baseline.wallMs, t.cpuMs);
}

}  // namespace

int main(int argc, char** argv) {
  const bool low = argc > 1 && std::strcmp(argv[1], "low") == 0;
  const std::string sceneName = argc > 2 ? argv[2] : "dense";
  int width = kWidth, height = kHeight;
  if (argc > 3 && (std::sscanf(argv[3], "%dx%d", &width, &height) != 2 || width < 1 ||
                   height < 1 || width > 16384 || height > 16384)) {
    std::fprintf(stderr, "render_bench: bad size %s\n", argv[3]);
    return 2;
  }
  const int frames = argc > 4 ? std::max(1, std::atoi(argv[4])) : 31;
  const long movieFrames = argc > 5 ? std::max(1, std::atoi(argv[5])) : 1;
  const render::Quality quality = low ? render::Quality::kLow : render::Quality::kHigh;

  // The scene, as calls on a canvas.
  std::function<void(render::Canvas&)> draw;
  std::vector<Item> items;
  swfsaver::tools::NativeText text;
  std::unique_ptr<player::Player> movie;
  if (sceneName == "dense" || sceneName == "heavy") {
    items = Scene(sceneName == "heavy" ? kHeavy : kDense);
    const Matrix toDevice = Matrix::Scale(width / (20.0 * kWidth), height / (20.0 * kHeight));
    draw = [&items, toDevice](render::Canvas& canvas) {
      canvas.Clear({255, 255, 255, 255});
      for (const Item& item : items) {
        if (item.stroke) {
          canvas.StrokePath(item.path, toDevice, item.style, item.paint, {});
        } else {
          canvas.FillPath(item.path, toDevice, FillRule::kNonZero, item.paint, {});
        }
      }
    };
  } else {
    std::string error;
    movie = swfsaver::tools::LoadMovie(sceneName, error, text);
    if (!movie) {
      std::fprintf(stderr, "render_bench: %s\n", error.c_str());
      return 1;
    }
    for (long i = 1; i < movieFrames; ++i) movie->Advance();
    const player::Player* shown = movie.get();
    draw = [shown](render::Canvas& canvas) {
      player::DrawStage(shown, canvas,
                        shown->Header().backgroundColor.value_or(player::kDefaultStageColor));
    };
  }

  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height), screen(pixels.size());
  auto blit = [&] { std::memcpy(screen.data(), pixels.data(), pixels.size() * sizeof(uint32_t)); };
  render::RasterCanvas canvas(pixels.data(), width, height, width, quality);
  const Timing baseline = Measure(frames, [&] {
    canvas.Clear({255, 255, 255, 255});
    blit();
  });
  // kept: as a picture drawn again where it was (the fills' coverage kept), else as if
  // everything moved (every fill rasterised).
  auto ours = [&](int threads, bool kept = true) {
    canvas.SetThreads(threads);
    canvas.KeepCoverage(kept);
    return Measure(frames, [&] {
      canvas.InvalidateFrame();  // every frame whole, as if everything moved
      canvas.BeginFrame();
      draw(canvas);
      canvas.EndFrame();
      blit();
    });
  };
  const int poolThreads = render::WorkerPool::DefaultThreads();
  auto checksum = [&] {  // keeps the work observable
    uint64_t sum = 0;
    for (uint32_t p : screen) sum += p;
    return sum;
  };
  const Timing poolMoved = ours(poolThreads, false);
  const Timing singleMoved = ours(1, false);
  const uint64_t movedSum = checksum();
  const Timing pool = ours(poolThreads);
  const Timing single = ours(1);
  const uint64_t sum = checksum();
  // The four-pixel loops alone, where the eight-pixel ones run: the same pixels, in the time
  // processors without AVX2 take.
  const bool avx2 = render::Avx2Enabled();
  Timing narrow;
  bool samePixels = true;
  if (avx2) {
    render::AllowAvx2(false);
    narrow = ours(1);
    render::AllowAvx2(true);
    samePixels = checksum() == sum;
  }
  const bool sameKept = movedSum == sum;

  std::printf("render_bench %dx%d, %s quality, scene %s, %d frames\n", width, height,
              low ? "low" : "high", sceneName.c_str(), frames);
  Print("baseline (clear + blit):", baseline, baseline);
  char label[64];
  std::snprintf(label, sizeof label, "ours, %d threads:", poolThreads);
  Print(label, pool, baseline);
  Print(avx2 ? "ours, 1 thread (AVX2):" : "ours, 1 thread:", single, baseline);
  std::snprintf(label, sizeof label, "ours, %d threads, all moved:", poolThreads);
  Print(label, poolMoved, baseline);
  Print("ours, 1 thread, all moved:", singleMoved, baseline);
  if (avx2) Print("ours, 1 thread, SSE2 only:", narrow, baseline);
  if (swfsaver::tools::CairoPeer::Available()) {
    swfsaver::tools::CairoPeer peer(width, height);
    draw(peer);
    const Timing cairo = Measure(frames, [&] {
      peer.Draw(pixels.data());
      blit();
    });
    std::snprintf(label, sizeof label, "cairo image surface:");
    Print(label, cairo, baseline);
    std::printf("  (cairo fills the %zu outlines our renderer rasterises, on one thread%s)\n",
                peer.Items(), peer.MaskCalls() ? "; its masks are left out" : "");
  } else {
    std::printf("  cairo: not in this build\n");
  }
  std::printf("  checksum %llu\n", static_cast<unsigned long long>(sum));
  if (!samePixels) {
    std::printf("  the SSE2 loops drew different pixels from the AVX2 ones\n");
    return 1;
  }
  if (!sameKept) {
    std::printf("  the kept coverage drew different pixels from the rasteriser\n");
    return 1;
  }
  return 0;
}
