// The fuzz targets seed themselves: run without a corpus directory, a target writes seeds made
// by the SWF writer (or liblzma) into a folder next to itself and hands that folder to libFuzzer
// as if typed, so no binary seed is kept in the repository.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/SwfWriter.h"

namespace swfsaver::fuzzing {

using Seeds = std::vector<std::vector<uint8_t>>;

// For LLVMFuzzerInitialize: leaves the arguments alone when a corpus directory is among them.
inline void UseSeedCorpus(int* argc, char*** argv, const std::string& folder,
                          const std::function<Seeds()>& makeSeeds) {
  for (int i = 1; i < *argc; ++i) {
    if ((*argv)[i][0] != '-') return;
  }
  const std::filesystem::path corpus = std::filesystem::path((*argv)[0]).parent_path() / folder;
  std::error_code error;
  std::filesystem::create_directories(corpus, error);
  if (error) return;
  const Seeds seeds = makeSeeds();
  for (size_t i = 0; i < seeds.size(); ++i) {
    tools::WriteFileBytes((corpus / ("seed_" + std::to_string(i))).string(), seeds[i]);
  }
  // libFuzzer reads its flags after LLVMFuzzerInitialize returns.
  static std::string corpusArgument = corpus.string();
  static std::vector<char*> arguments(*argv, *argv + *argc);
  arguments.push_back(corpusArgument.data());
  arguments.push_back(nullptr);
  *argc = static_cast<int>(arguments.size() - 1);
  *argv = arguments.data();
}

}  // namespace swfsaver::fuzzing
