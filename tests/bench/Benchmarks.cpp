#include "tests/bench/Benchmarks.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "swf/UnitGlobal.h"

namespace swfsaver::bench {

namespace {
struct ListHolder : SettingsHolder {
  bool expansion = false;
  std::vector<std::string> movies;
  bool Expansion() override { return expansion; }
  void SetExpansion(bool value) override { expansion = value; }
  int32_t MovieCount() override { return static_cast<int32_t>(movies.size()); }
  std::string Movie(int32_t index) override { return movies[static_cast<size_t>(index)]; }
  void ClearMovies() override { movies.clear(); }
  void AppendMovie(const std::string& path) override { movies.push_back(path); }
};

// One movie of the header benchmark: its fastest batch and the file work of its calls.
struct HeaderRun {
  std::string label;
  std::string path;
  double bestPerCall = 1e9;
  uint64_t calls = 0, bytesRead = 0, reads = 0;
  std::string header;
};

// Times a batch of ReadSwfHeaderRect calls on one movie and keeps the fastest batch.
void HeaderBatch(platform::Platform& platform, CountingKernel& kernel, const BenchPlan& plan,
                 HeaderRun& run, int calls) {
  kernel.ResetCounts();
  const double start = plan.clock();
  for (int i = 0; i < calls; ++i) {
    ReadSwfHeaderRect(platform.kernel, platform.codePage, run.path, run.header);
  }
  run.bestPerCall = std::min(run.bestPerCall, (plan.clock() - start) / calls);
  run.calls += static_cast<uint64_t>(calls);
  run.bytesRead += kernel.bytesRead;
  run.reads += kernel.reads;
}

void PrintHeaderRun(const HeaderRun& run) {
  std::printf("header read %-7s %10.3f us/call  %llu bytes in %llu reads per call  "
              "(frame %dx%d, %llu calls)\n",
              run.label.c_str(), run.bestPerCall * 1e6,
              static_cast<unsigned long long>(run.bytesRead / run.calls),
              static_cast<unsigned long long>(run.reads / run.calls), SwfFrameWidth(run.header),
              SwfFrameHeight(run.header), static_cast<unsigned long long>(run.calls));
}

// The two movies in alternating batches, so that both meet the same conditions of a busy
// machine; the fastest batch of each counts.
double BenchHeaderReads(platform::Platform& platform, CountingKernel& kernel,
                        const BenchPlan& plan) {
  HeaderRun small{"25 B", plan.smallMovie, 1e9, 0, 0, 0, {}};
  HeaderRun large{"100 MB", plan.largeMovie, 1e9, 0, 0, 0, {}};
  constexpr int kBatches = 10;
  const int perBatch = std::max(1, plan.headerReads / kBatches);
  HeaderBatch(platform, kernel, plan, small, 1);  // warm the caches, not counted in the time
  HeaderBatch(platform, kernel, plan, large, 1);
  small.bestPerCall = large.bestPerCall = 1e9;
  for (int b = 0; b < kBatches; ++b) {
    HeaderBatch(platform, kernel, plan, small, perBatch);
    HeaderBatch(platform, kernel, plan, large, perBatch);
  }
  PrintHeaderRun(small);
  PrintHeaderRun(large);
  return large.bestPerCall / small.bestPerCall;
}

// One list of the settings benchmark: saved under a key of its own, then loaded.
struct LoadRun {
  int entries = 0;
  std::string moduleFileName;  // the program name whose settings key holds the list
  ListHolder saved;
  double best = 1e9;
};

void SaveList(platform::Platform& platform, CountingKernel& kernel, LoadRun& run) {
  for (int i = 0; i < run.entries; ++i) {
    char path[64];
    std::snprintf(path, sizeof path, "C:\\Movies\\Collection\\movie%05d.swf", i);
    run.saved.movies.push_back(path);
  }
  kernel.SetModuleFileName(run.moduleFileName);
  SaveSettings(platform, run.saved);
}

void TimeLoad(platform::Platform& platform, CountingKernel& kernel, const BenchPlan& plan,
              LoadRun& run) {
  kernel.SetModuleFileName(run.moduleFileName);
  ListHolder loaded;
  const double start = plan.clock();
  LoadSettings(platform, loaded);
  run.best = std::min(run.best, plan.clock() - start);
  if (loaded.movies != run.saved.movies) throw std::runtime_error("the list did not load back");
}

// The two lists loaded in turns, so that both meet the same conditions of a busy machine;
// the fastest load of each counts.
double BenchLoadSettings(platform::Platform& platform, CountingKernel& kernel,
                         const BenchPlan& plan) {
  LoadRun runs[2];
  for (LoadRun& run : runs) {
    run.entries = &run == &runs[0] ? 1000 : 10000;
    run.moduleFileName = BenchModuleFileName(plan, run.entries);
    SaveList(platform, kernel, run);
  }
  for (int r = 0; r < plan.loadRepetitions; ++r) {
    for (LoadRun& run : runs) TimeLoad(platform, kernel, plan, run);
  }
  for (const LoadRun& run : runs) {
    std::printf("LoadSettings %5d entries %10.3f ms/load  %8.3f us/entry  (best of %d)\n",
                run.entries, run.best * 1e3, run.best * 1e6 / run.entries, plan.loadRepetitions);
  }
  return runs[1].best / runs[0].best;
}
}  // namespace

std::string BenchModuleFileName(const BenchPlan& plan, int entries) {
  return plan.moduleStem + std::to_string(entries) + ".scr";
}

std::string FwsMovieHead() {
  // "FWS", version 6, then the 550 x 400 rectangle (Nbits 15), 12 fps and one frame.
  return std::string("FWS\x06\0\0\0\0", 8) +
         std::string("\x78\x00\x05\x5F\x00\x00\x0F\xA0\x00", 9) +
         std::string("\x00\x0C\x01\x00", 4) + std::string(4, '\0');
}

int RunBenchmarks(platform::Platform& platform, CountingKernel& kernel, const BenchPlan& plan) {
  try {
    std::printf("header read 100 MB / 25 B time ratio %.2f (target: at most 1.5)\n",
                BenchHeaderReads(platform, kernel, plan));
    std::printf("LoadSettings 10000 / 1000 time ratio %.2f (target: at most 12)\n",
                BenchLoadSettings(platform, kernel, plan));
    return 0;
  } catch (const std::exception& error) {
    std::printf("benchmark failed: %s\n", error.what());
    return 1;
  }
}

}  // namespace swfsaver::bench
