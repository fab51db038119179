#include "swfplayer/render/CpuFeatures.h"

namespace swfplayer::render {
namespace {

bool ProcessorHasAvx2() {
  // Asks cpuid and, through xgetbv, whether the system saves the 256-bit registers.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

}  // namespace

std::atomic<bool> detail::avx2Enabled{ProcessorHasAvx2()};

void AllowAvx2(bool allowed) {
  detail::avx2Enabled.store(allowed && ProcessorHasAvx2(), std::memory_order_relaxed);
}

}  // namespace swfplayer::render
