// libFuzzer target for the LZMA decoder. An input is five properties bytes, two bytes giving
// the output size in 4-byte units (so at most 256 KiB), then the stream; the whole input is
// also tried as a ZWS movie. Besides the sanitizers it checks that the output never passes
// the size asked for and that a smaller limit yields a prefix of the same bytes. Run without
// a corpus directory, it writes liblzma-made seeds next to itself and starts from them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "lzma/LzmaDecoder.h"
#include "lzma/ZwsBody.h"
#include "tests/fuzz/SeedCorpus.h"
#include "tests/lzma_test_streams.h"
#include "tools/SwfWriter.h"

namespace {

using namespace swfsaver::lzma;

constexpr size_t kMaxOutput = size_t{1} << 18;

std::vector<uint8_t> Seed(const std::vector<uint8_t>& data, const testing::EncodeOptions& options) {
  const auto encoded = testing::EncodeWithLiblzma(data, options);
  const size_t units = (data.size() + 3) / 4;
  std::vector<uint8_t> seed(encoded.properties.begin(), encoded.properties.end());
  seed.push_back(static_cast<uint8_t>(units));
  seed.push_back(static_cast<uint8_t>(units >> 8));
  seed.insert(seed.end(), encoded.stream.begin(), encoded.stream.end());
  return seed;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckResult(const DecodeResult& result, size_t outputSize) {
  Check(result.data.size() <= outputSize);
  if (result.ok()) Check(result.data.size() == outputSize);
  if (result.status == LzmaStatus::kEndedEarly) Check(result.data.size() < outputSize);
}

swfsaver::fuzzing::Seeds LzmaSeeds() {
  swfsaver::tools::SwfOptions movie;
  movie.frameCount = 50;
  return {
      Seed(testing::TextLike(3000, 1), {}),
      Seed(testing::TextLike(3000, 2), {.lc = 0, .lp = 2, .pb = 0, .endMarker = false}),
      Seed(testing::RandomBytes(500, 3), {.lc = 4, .pb = 4}),
      Seed(swfsaver::tools::WriteSwf(movie), {.dictionarySize = 4096}),
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  swfsaver::fuzzing::UseSeedCorpus(argc, argv, "lzma_corpus", LzmaSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  CheckResult(DecodeZwsBody(input, kMaxOutput), kMaxOutput);
  if (size < 7) return 0;
  const size_t outputSize = std::min(kMaxOutput, size_t{4} * (input[5] | (input[6] << 8)));
  const DecodeResult whole = DecodeLzma(input.first(5), input.subspan(7), outputSize);
  CheckResult(whole, outputSize);
  const size_t half = whole.data.size() / 2;
  const DecodeResult prefix = DecodeLzma(input.first(5), input.subspan(7), half);
  Check(prefix.data.size() == half &&
        std::equal(prefix.data.begin(), prefix.data.end(), whole.data.begin()));
  return 0;
}
