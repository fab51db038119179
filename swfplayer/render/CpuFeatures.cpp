#include "swfplayer/render/CpuFeatures.h"

#include <atomic>

namespace swfplayer::render {
namespace {

bool ProcessorHasAvx2() {
  // Asks cpuid and, through xgetbv, whether the system saves the 256-bit registers.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

std::atomic<bool>& Enabled() {
  static std::atomic<bool> enabled{ProcessorHasAvx2()};
  return enabled;
}

}  // namespace

bool Avx2Enabled() { return Enabled().load(std::memory_order_relaxed); }

void AllowAvx2(bool allowed) {
  Enabled().store(allowed && ProcessorHasAvx2(), std::memory_order_relaxed);
}

}  // namespace swfplayer::render
