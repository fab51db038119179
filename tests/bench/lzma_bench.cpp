// lzma_bench: a program, not a test. Decodes the same LZMA streams with the stand-in control's
// decoder and with liblzma and prints the speed of each in MB of output per second of processor
// time (best of five runs; the machine may be shared), to compare the two in an optimised build.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <vector>

#include "lzma/LzmaDecoder.h"
#include "tests/lzma_test_streams.h"

namespace {

using namespace swfsaver::lzma;

double BestSeconds(const std::function<bool()>& run) {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const std::clock_t start = std::clock();
    if (!run()) return -1;
    best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  }
  return best;
}

bool LiblzmaDecode(const testing::Encoded& encoded, std::vector<uint8_t>& output) {
  lzma_options_lzma options{};
  lzma_lzma_preset(&options, 6);
  const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  size_t inPosition = 0, outPosition = 0;
  const lzma_ret status =
      lzma_raw_buffer_decode(filters, nullptr, encoded.stream.data(), &inPosition,
                             encoded.stream.size(), output.data(), &outPosition, output.size());
  return status == LZMA_OK && outPosition == output.size();
}

void Measure(const char* name, const std::vector<uint8_t>& data) {
  const auto encoded = testing::EncodeWithLiblzma(data, {.dictionarySize = 8u << 20});
  const double megabytes = static_cast<double>(data.size()) / 1e6;
  const double ours = BestSeconds([&] {
    const DecodeResult result = DecodeLzma(encoded.properties, encoded.stream, data.size());
    return result.ok() && result.data == data;
  });
  std::vector<uint8_t> output(data.size());
  const double reference = BestSeconds([&] { return LiblzmaDecode(encoded, output); });
  std::printf("%-16s %6.1f MB -> %6.2f MB  swfsaver_lzma %7.1f MB/s  liblzma %7.1f MB/s\n", name,
              megabytes, static_cast<double>(encoded.stream.size()) / 1e6, megabytes / ours,
              megabytes / reference);
}

}  // namespace

int main() {
  std::vector<uint8_t> mixed = testing::TextLike(4u << 20, 1);
  const auto noise = testing::RandomBytes(1u << 20, 2);
  mixed.insert(mixed.end(), noise.begin(), noise.end());
  Measure("text-like", testing::TextLike(8u << 20, 3));
  Measure("incompressible", testing::RandomBytes(4u << 20, 4));
  Measure("text and noise", mixed);
  return 0;
}
