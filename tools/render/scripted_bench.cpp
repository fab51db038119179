// What a scripted movie costs per tick: plays a scripted sample (or any movie) under the fixed
// host for a number of ticks and prints the processor time of its ticks (the timeline, the
// clip events and every script: Player::Advance) and of its frames drawn at WxH (shown all,
// as the saver draws them: only what changed), each as the median, the mean and the slowest
// tick, and the two together per frame.
// Usage: scripted_bench [sparks|snow|clock|MOVIE.swf] [WxH] [ticks] [threads]
//   default: sparks (300 sparks, each moved by its onEnterFrame) at 1024x768 over 300 ticks,
//   drawn by one thread per core (at most 8).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <string>
#include <vector>

#include "swfplayer/render/WorkerPool.h"
#include "tools/SampleMovies.h"
#include "tools/avm1/FixedHost.h"
#include "tools/render/StageRender.h"

namespace {

double ProcessorMs() { return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC; }

void Print(const char* what, std::vector<double> times) {
  const double mean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
  std::sort(times.begin(), times.end());
  std::printf("%-28s median %7.3f ms   mean %7.3f ms   slowest %7.3f ms\n", what,
              times[times.size() / 2], mean, times.back());
}

// The named sample written to a file beside the others, or the path as given.
std::string MoviePath(const std::string& name) {
  if (name.ends_with(".swf")) return name;
  for (const auto& sample : swfsaver::tools::SampleMovies()) {
    if (sample.name.starts_with(name + "_")) {
      const std::string path = "/tmp/scripted_bench_" + sample.name;
      const std::vector<uint8_t> bytes = sample.Bytes();
      if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
      }
    }
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string movie = MoviePath(argc > 1 ? argv[1] : "sparks");
  int width = 1024, height = 768;
  if (argc > 2 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) width = 0;
  const int ticks = argc > 3 ? std::atoi(argv[3]) : 300;
  const int threads = argc > 4 ? std::atoi(argv[4]) : swfplayer::render::WorkerPool::DefaultThreads();
  if (movie.empty() || width < 1 || height < 1 || width > 8192 || height > 8192 || ticks < 1 ||
      threads < 1 || threads > swfplayer::render::WorkerPool::kMaxThreads) {
    std::fprintf(stderr, "usage: scripted_bench [sparks|snow|clock|MOVIE.swf] [WxH] [ticks] [threads]\n");
    return 2;
  }
  std::string error;
  swfsaver::tools::NativeText text;
  auto player = swfsaver::tools::LoadMovie(movie, error, text);
  if (!player) {
    std::fprintf(stderr, "scripted_bench: %s\n", error.c_str());
    return 1;
  }
  swfsaver::tools::StageRenderer renderer(width, height, swfplayer::render::Quality::kHigh, threads);
  renderer.Render(*player);
  std::vector<double> tick, draw, frame;
  for (int i = 0; i < ticks; ++i) {
    const double start = ProcessorMs();
    player->Advance();
    const double advanced = ProcessorMs();
    renderer.Render(*player);
    const double drawn = ProcessorMs();
    tick.push_back(advanced - start);
    draw.push_back(drawn - advanced);
    frame.push_back(drawn - start);
  }
  std::printf("%s at %dx%d, %d ticks, %d drawing threads, %zu display objects\n", movie.c_str(),
              width, height, ticks, threads, player->DisplayObjects());
  Print("tick (timeline and scripts)", tick);
  Print("drawing", draw);
  Print("whole frame", frame);
  return 0;
}
