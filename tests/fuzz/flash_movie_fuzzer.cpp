// libFuzzer target for the stand-in control's portable parsers: movie headers and tag streams
// (whose playback flash_player_fuzzer covers), and stored control data. Run without a corpus directory, it writes seeds
// made by the SWF writer next to itself and starts from them, so no binary seed is kept in
// the repository.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "flashapi/StoredControlData.h"
#include "standin/flash/movie/ControlData.h"
#include "standin/flash/movie/SwfMovie.h"
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

bool HasCorpusArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (HasCorpusArgument(*argc, *argv)) return 0;
  const std::filesystem::path corpus =
      std::filesystem::path((*argv)[0]).parent_path() / "flash_movie_corpus";
  std::error_code error;
  std::filesystem::create_directories(corpus, error);
  if (error) return 0;
  const auto seeds = Seeds();
  for (size_t i = 0; i < seeds.size(); ++i) {
    swfsaver::tools::WriteFileBytes((corpus / ("seed_" + std::to_string(i))).string(), seeds[i]);
  }
  // libFuzzer reads its flags after this call: hand it the corpus directory as if typed.
  static std::string corpusArgument = corpus.string();
  static std::vector<char*> arguments(*argv, *argv + *argc);
  arguments.push_back(corpusArgument.data());
  arguments.push_back(nullptr);
  *argc = static_cast<int>(arguments.size() - 1);
  *argv = arguments.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const auto result = swfsaver::flash::ParseSwfMovie(bytes);
  if (result.ok()) {
    (void)result.movie.WidthPixels();
    (void)result.movie.HeightPixels();
  }
  (void)swfsaver::flash::CheckControlData(bytes);
  return 0;
}
