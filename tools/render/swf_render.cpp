// swf_render MOVIE OUT.png [--frames N] [--size WxH] [--quality low|high] [--repeat R]
//                          [--threads T] [--code-page NAME] [--all-moved] [--play P]
// Runs the movie's first N frames and writes the stage as shown after the Nth as a PNG; with
// --repeat, renders that frame whole R more times and prints the median time of one render.
// --threads: how many threads draw (default: one per core, at most 8).
// --play: then plays P more frames, each drawn where it changed, as the control draws them,
// and prints the median time of one (the PNG shows the last).
// --all-moved: every render rasterises every shape, as if everything had moved (no kept
// coverage).
// --code-page: the ANSI code page that strings of movies before SWF 6 are in, as iconv names
// it (default CP1252, a Western Windows; CP932 is a Japanese one).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "tools/render/PngFile.h"
#include "swfplayer/render/WorkerPool.h"
#include "tools/render/StageRender.h"

namespace {

using swfplayer::render::Quality;

struct Options {
  std::string movie;
  std::string output;
  long frames = 1;
  int width = 0;   // 0: the movie's own frame size
  int height = 0;
  Quality quality = Quality::kHigh;
  long repeat = 0;
  long threads = swfplayer::render::WorkerPool::DefaultThreads();
  std::string codePage = "CP1252";
  bool allMoved = false;
  long play = 0;
};

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

int Usage() {
  std::fprintf(stderr,
               "usage: swf_render MOVIE OUT.png [--frames N] [--size WxH] [--quality low|high] "
               "[--repeat R] [--threads T] [--code-page NAME] [--all-moved] [--play P]\n");
  return 2;
}

bool ParseCount(const char* text, long limit, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= 0 && value <= limit;
}

bool ParseArguments(int argc, char** argv, Options& options) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--frames" && hasValue) {
      if (!ParseCount(argv[++i], 1000000, options.frames) || options.frames < 1) return false;
    } else if (argument == "--repeat" && hasValue) {
      if (!ParseCount(argv[++i], 100000, options.repeat)) return false;
    } else if (argument == "--code-page" && hasValue) {
      options.codePage = argv[++i];
    } else if (argument == "--threads" && hasValue) {
      if (!ParseCount(argv[++i], swfplayer::render::WorkerPool::kMaxThreads, options.threads) ||
          options.threads < 1) {
        return false;
      }
    } else if (argument == "--size" && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2 ||
          options.width < 1 || options.height < 1 || options.width > 16384 ||
          options.height > 16384) {
        return false;
      }
    } else if (argument == "--quality" && hasValue) {
      const std::string quality = argv[++i];
      if (quality != "low" && quality != "high") return false;
      options.quality = quality == "low" ? Quality::kLow : Quality::kHigh;
    } else if (argument == "--play" && hasValue) {
      if (!ParseCount(argv[++i], 1000000, options.play)) return false;
    } else if (argument == "--all-moved") {
      options.allMoved = true;
    } else if (argument.rfind("--", 0) == 0) {
      return false;
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2) return false;
  options.movie = positional[0];
  options.output = positional[1];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseArguments(argc, argv, options)) return Usage();
  std::string error;
  swfsaver::tools::NativeText text;
  text.ansi = swfplayer::IconvAnsiDecoder(options.codePage);
  auto player = swfsaver::tools::LoadMovie(options.movie, error, text);
  if (!player) {
    std::fprintf(stderr, "swf_render: %s\n", error.c_str());
    return 1;
  }
  const int width = options.width > 0 ? options.width : swfsaver::tools::StageWidth(*player);
  const int height = options.height > 0 ? options.height : swfsaver::tools::StageHeight(*player);
  if (width < 1 || height < 1 || width > 16384 || height > 16384) {
    std::fprintf(stderr, "swf_render: %s: the frame size %dx%d cannot be drawn\n",
                 options.movie.c_str(), width, height);
    return 1;
  }
  for (long frame = 1; frame < options.frames; ++frame) player->Advance();

  swfsaver::tools::StageRenderer renderer(width, height, options.quality,
                                         static_cast<int>(options.threads));
  renderer.KeepCoverage(!options.allMoved);
  const swfsaver::tools::StageImage& image = renderer.Render(*player);
  // Wall time, and the processor time of this process, which a busy machine disturbs less.
  auto timed = [&](const char* what, long runs, const std::function<void()>& step) {
    std::vector<double> wall, processor;
    for (long i = 0; i < runs; ++i) {
      const auto start = std::chrono::steady_clock::now();
      const std::clock_t startClock = std::clock();
      step();
      processor.push_back(1000.0 * double(std::clock() - startClock) / CLOCKS_PER_SEC);
      wall.push_back(std::chrono::duration<double, std::milli>(
                         std::chrono::steady_clock::now() - start).count());
    }
    std::printf("median %s of %dx%d: %.3f ms wall, %.3f ms processor (%ld runs, %ld threads)\n",
                what, width, height, Median(wall), Median(processor), runs, options.threads);
  };
  if (options.repeat > 0) {
    timed("render", options.repeat, [&] { renderer.Render(*player, /*whole=*/true); });
  }
  if (options.play > 0) {
    double damaged = 0;
    timed("played frame", options.play, [&] {
      player->Advance();
      renderer.Render(*player);
      for (const swfplayer::render::PixelBox& box : renderer.LastDamagedBoxes()) {
        damaged += double(box.right - box.left) * (box.bottom - box.top);
      }
    });
    std::printf("drawn again: %.1f%% of the frame's pixels a frame on average\n",
                100.0 * damaged / options.play / (double(width) * height));
  }
  if (!swfsaver::tools::WritePng(options.output, image.pixels.data(), width, height, width)) {
    std::fprintf(stderr, "swf_render: cannot write %s\n", options.output.c_str());
    return 1;
  }
  return 0;
}
