// swf_samples <directory>: writes the sample movies (see README.md) into directory.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/SampleMovies.h"

int main(int argc, char** argv) {
  // An option (--help, say) is not taken for the directory to write into.
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: swf_samples <directory>\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  if (error) {
    std::fprintf(stderr, "swf_samples: cannot create %s: %s\n", argv[1], error.message().c_str());
    return 1;
  }
  const auto failed = swfsaver::tools::WriteSampleMovies(argv[1]);
  for (const auto& name : failed) std::fprintf(stderr, "swf_samples: cannot write %s\n", name.c_str());
  if (!failed.empty()) return 1;
  for (const auto& sample : swfsaver::tools::SampleMovies()) std::printf("%s\n", sample.name.c_str());
  return 0;
}
