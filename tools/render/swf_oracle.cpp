// swf_oracle ORACLE_DIR NAME...
// Renders image tests from a SWF player's test suite (NAME/test.swf, NAME/test.toml and the
// expected NAME/<image>.expected.png) and compares each image with the expected one. Prints,
// per image, the share of pixels that differ by more than 32 in a colour channel and whether
// the test's own tolerance / max_outliers checks are met. Exits 1 when an image has more than
// 2% such far pixels or cannot be compared at all, 0 otherwise.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tools/render/PngFile.h"
#include "tools/render/StageRender.h"

namespace {

using swfplayer::render::Quality;
using swfsaver::tools::RgbaImage;

constexpr int kFarDifference = 32;
constexpr double kMaxFarShare = 0.02;

struct Check {
  int tolerance = 0;
  long maxOutliers = 0;
};

struct ImageTest {
  int trigger = 0;  // 0: after the last of num_frames
  std::vector<Check> checks;
};

struct OracleTest {
  int frames = 1;
  Quality quality = Quality::kHigh;
  std::map<std::string, ImageTest> images;
};

// The few forms of test.toml the suite uses: num_frames, [image_comparisons.NAME] with its
// tolerance, max_outliers and trigger, [[image_comparisons.NAME.checks]] entries, and the
// renderer's quality in [player_options].
bool ReadTestToml(const std::string& path, OracleTest& test) {
  std::ifstream in(path);
  if (!in) return false;
  static const std::regex kTable(R"(^\[(\[?)image_comparisons\.(\w+)(\.checks)?\]\]?\s*$)");
  static const std::regex kValue(R"(^(\w+)\s*=\s*(-?\d+)\s*$)");
  static const std::regex kQuality(R"re(quality\s*=\s*"(low|high)")re");
  ImageTest* image = nullptr;
  Check* check = nullptr;
  std::string line;
  while (std::getline(in, line)) {
    std::smatch match;
    if (line.empty() || line[0] == '#') continue;
    if (std::regex_match(line, match, kTable)) {
      image = &test.images[match[2]];
      if (match[3].matched || image->checks.empty()) image->checks.emplace_back();
      check = &image->checks.back();
    } else if (line[0] == '[') {
      image = nullptr;
      check = nullptr;
    } else if (std::regex_search(line, match, kQuality)) {
      test.quality = match[1] == "low" ? Quality::kLow : Quality::kHigh;
    } else if (std::regex_match(line, match, kValue)) {
      const long value = std::strtol(match[2].str().c_str(), nullptr, 10);
      if (match[1] == "num_frames" && !image) test.frames = static_cast<int>(value);
      else if (match[1] == "trigger" && image) image->trigger = static_cast<int>(value);
      else if (match[1] == "tolerance" && check) check->tolerance = static_cast<int>(value);
      else if (match[1] == "max_outliers" && check) check->maxOutliers = value;
    }
  }
  return test.frames >= 1 && !test.images.empty();
}

struct Comparison {
  long farPixels = 0;
  std::vector<long> outliers;  // per check: channels beyond its tolerance
};

Comparison Compare(const RgbaImage& actual, const RgbaImage& expected,
                   const std::vector<Check>& checks) {
  Comparison result;
  result.outliers.assign(checks.size(), 0);
  const size_t pixels = size_t(actual.width) * actual.height;
  for (size_t p = 0; p < pixels; ++p) {
    bool far = false;
    for (int c = 0; c < 4; ++c) {
      const int difference = std::abs(int(actual.rgba[p * 4 + c]) - int(expected.rgba[p * 4 + c]));
      far = far || difference > kFarDifference;
      for (size_t k = 0; k < checks.size(); ++k) {
        if (difference > checks[k].tolerance) ++result.outliers[k];
      }
    }
    if (far) ++result.farPixels;
  }
  return result;
}

// Renders and compares every image of one test; false when one is beyond the far-pixel bound.
bool RunTest(const std::string& dir, const std::string& name) {
  const std::string folder = dir + "/" + name;
  OracleTest test;
  if (!ReadTestToml(folder + "/test.toml", test)) {
    std::printf("%-40s cannot read test.toml\n", name.c_str());
    return false;
  }
  std::string error;
  auto player = swfsaver::tools::LoadMovie(folder + "/test.swf", error);
  if (!player) {
    std::printf("%-40s %s\n", name.c_str(), error.c_str());
    return false;
  }
  const int width = swfsaver::tools::StageWidth(*player);
  const int height = swfsaver::tools::StageHeight(*player);
  swfsaver::tools::StageRenderer renderer(width, height, test.quality);
  bool passed = true;
  int frame = 1;
  for (const auto& [imageName, image] : test.images) {
    const int wanted = image.trigger > 0 ? image.trigger : test.frames;
    for (; frame < wanted; ++frame) player->Advance();
    const auto& stage = renderer.Render(*player);
    const RgbaImage actual = swfsaver::tools::ToRgba(stage.pixels.data(), width, height, width);
    const auto expected = swfsaver::tools::ReadPng(folder + "/" + imageName + ".expected.png");
    if (!expected || expected->width != width || expected->height != height) {
      std::printf("%-40s expected image missing or not %dx%d\n", name.c_str(), width, height);
      passed = false;
      continue;
    }
    const Comparison comparison = Compare(actual, *expected, image.checks);
    const double share = double(comparison.farPixels) / (double(width) * height);
    std::string checks;
    bool checksMet = true;
    for (size_t k = 0; k < image.checks.size(); ++k) {
      const bool met = comparison.outliers[k] <= image.checks[k].maxOutliers;
      checksMet = checksMet && met;
      checks += " [tolerance " + std::to_string(image.checks[k].tolerance) + ": " +
                std::to_string(comparison.outliers[k]) + " of max " +
                std::to_string(image.checks[k].maxOutliers) + (met ? " ok]" : " over]");
    }
    const bool withinBound = share <= kMaxFarShare;
    passed = passed && withinBound;
    std::printf("%-40s far pixels %6.2f%%  own checks %s%s%s\n",
                (name + (imageName == "output" ? "" : "/" + imageName)).c_str(), share * 100,
                checksMet ? "met" : "not met", checks.c_str(),
                withinBound ? "" : "  FAIL: over 2% far pixels");
  }
  return passed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: swf_oracle ORACLE_DIR NAME...\n");
    return 2;
  }
  if (!std::filesystem::is_directory(argv[1])) {
    std::printf("oracle folder %s not found: the image tests were NOT run\n", argv[1]);
    return 77;
  }
  int failed = 0;
  for (int i = 2; i < argc; ++i) failed += RunTest(argv[1], argv[i]) ? 0 : 1;
  std::printf("%d of %d oracle tests within 2%% far pixels\n", argc - 2 - failed, argc - 2);
  return failed == 0 ? 0 : 1;
}
