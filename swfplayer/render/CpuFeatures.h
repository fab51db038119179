// Which wider vector units the pixel loops may use. Every x86-64 processor has SSE2 (four
// pixels a register), which the loops are written for; where the processor has AVX2 and the
// system saves its registers, the busiest loops take eight pixels at a time with the same
// arithmetic per pixel, so the pixels come out the same either way.
#pragma once

// Marks a function compiled for AVX2. Only called where Avx2Enabled() says so; it may inline the
// SSE2 helpers, never the other way round.
#define SWFPLAYER_AVX2 __attribute__((target("avx2")))

#include <atomic>

namespace swfplayer::render {

namespace detail {
// Set from the processor's answer when the program starts (false before that: the SSE2 loops,
// the same pixels).
extern std::atomic<bool> avx2Enabled;
}  // namespace detail

// Whether the AVX2 loops run: the processor's answer, unless turned off. Asked for every span,
// so it is one load.
inline bool Avx2Enabled() { return detail::avx2Enabled.load(std::memory_order_relaxed); }
// Turns the AVX2 loops off (or back on, where the processor has them), for tests and
// benchmarks that compare the two. Not while a frame is being drawn.
void AllowAvx2(bool allowed);

}  // namespace swfplayer::render
