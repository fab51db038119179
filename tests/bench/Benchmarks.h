// The benchmarks, over any platform: the SWF header read on a small and a large file, and
// LoadSettings of a short and a long list. Each prints one line per figure.
#pragma once

#include <functional>
#include <string>

#include "platform/Platform.h"
#include "tests/bench/CountingKernel.h"

namespace swfsaver::bench {

struct BenchPlan {
  // Seconds from any fixed start. On a busy machine the processor time of the process is
  // fairer than the wall clock: a long run is interrupted by other processes more often than a
  // short one, so even the fastest of its runs would count their time.
  std::function<double()> clock;
  std::string smallMovie;  // a 25-byte FWS movie
  std::string largeMovie;  // a 100 MB FWS movie
  int headerReads = 10000;      // calls per movie, in ten batches; the fastest batch counts
  int loadRepetitions = 5;      // loads per list length; the fastest counts
  // Full path of a program name without its extension; each list is saved under the settings
  // key of this name followed by its length ("...Bench1000"), never the saver's own.
  std::string moduleStem = "C:\\Bench\\SwfSaverBenchThrowaway";
};

// platform.kernel must be kernel. Returns 0 when every benchmark ran, 1 when one failed.
int RunBenchmarks(platform::Platform& platform, CountingKernel& kernel, const BenchPlan& plan);

// The program name whose settings key holds the list of the given length.
std::string BenchModuleFileName(const BenchPlan& plan, int entries);

// The first 25 bytes of an uncompressed 550 x 400 movie; a larger one continues with tags.
std::string FwsMovieHead();

}  // namespace swfsaver::bench
