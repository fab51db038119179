// libFuzzer target for the stand-in control's portable parsers: movie headers and tag streams
// (whose playback flash_player_fuzzer covers), and stored control data; it seeds itself
// (SeedCorpus.h).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "flashapi/StoredControlData.h"
#include "standin/flash/control/ControlData.h"
#include "swfplayer/movie/SwfMovie.h"
#include "tests/fuzz/SeedCorpus.h"
#include "tools/SampleMovies.h"
#include "tools/SwfWriter.h"

namespace {

std::vector<std::vector<uint8_t>> Seeds() {
  std::vector<std::vector<uint8_t>> seeds;
  for (const auto& sample : swfsaver::tools::SampleMovies()) seeds.push_back(sample.Bytes());
  swfsaver::tools::SwfOptions options;
  options.frameCount = 3;
  options.longTagHeaders = true;
  seeds.push_back(swfsaver::tools::WriteSwf(options));
  options.background.reset();
  options.compressed = true;
  seeds.push_back(swfsaver::tools::WriteSwf(options));
  seeds.push_back({'Z', 'W', 'S', 13, 40, 0, 0, 0});
  seeds.emplace_back(swfsaver::flashapi::kStoredControlData.begin(),
                     swfsaver::flashapi::kStoredControlData.end());
  return seeds;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  swfsaver::fuzzing::UseSeedCorpus(argc, argv, "flash_movie_corpus", Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const auto result = swfplayer::ParseSwfMovie(bytes);
  if (result.ok()) {
    (void)result.movie.WidthPixels();
    (void)result.movie.HeightPixels();
  }
  (void)swfsaver::flash::CheckControlData(bytes);
  return 0;
}
