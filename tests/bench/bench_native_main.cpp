// swfsaver_bench on the in-memory platform: the files and the registry are the fakes.
#include <cstdio>
#include <ctime>
#include <vector>

#include "tests/bench/Benchmarks.h"
#include "tests/fakes/FakePlatform.h"

int main() {
  using namespace swfsaver;
  fakes::FakePlatform fake;
  fake.registry.SetRecordCalls(false);  // the real registry keeps no journal either
  bench::CountingKernel kernel(fake.kernel);
  platform::Platform platform{fake.registry, kernel, fake.codePage, fake.system, fake.application};

  const std::string head = bench::FwsMovieHead();
  fake.kernel.AddFile("C:\\Bench\\small.swf", std::vector<uint8_t>(head.begin(), head.end()));
  std::vector<uint8_t> large(100u << 20, 0);
  std::copy(head.begin(), head.end(), large.begin());
  fake.kernel.AddFile("C:\\Bench\\large.swf", std::move(large));

  std::printf("swfsaver_bench: in-memory platform (fake kernel and registry), processor time\n");
  bench::BenchPlan plan;
  // The processor time of this process (the fakes do all their work in it).
  plan.clock = [] { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; };
  plan.smallMovie = "C:\\Bench\\small.swf";
  plan.largeMovie = "C:\\Bench\\large.swf";
  plan.headerReads = 100000;
  plan.loadRepetitions = 20;
  return bench::RunBenchmarks(platform, kernel, plan);
}
