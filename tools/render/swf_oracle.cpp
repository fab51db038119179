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

// A font file the test brings, and the generic families it stands for.
struct TestFont {
  std::string family;
  std::string path;  // in the test's folder
  bool bold = false;
  bool italic = false;
};

struct OracleTest {
  int frames = 1;
  Quality quality = Quality::kHigh;
  std::map<std::string, ImageTest> images;
  std::map<std::string, TestFont> fonts;
  std::map<std::string, std::string> defaultFonts;  // "sans" -> family
};

// The few forms of test.toml the suite uses: num_frames (or num_ticks), [image_comparisons.NAME]
// with its tolerance, max_outliers and trigger (or the same keys dotted at the top level),
// [[image_comparisons.NAME.checks]] entries, the renderer's quality in [player_options], and
// the fonts it brings: [fonts.KEY] with family and path, [default_fonts] naming the family
// each generic one stands for.
bool ReadTestToml(const std::string& path, OracleTest& test) {
  std::ifstream in(path);
  if (!in) return false;
  static const std::regex kTable(R"(^\[(\[?)([\w.]+)\]\]?\s*$)");
  static const std::regex kComparison(R"re(^image_comparisons\."?(\w+)"?(\.checks)?$)re");
  static const std::regex kValue(R"re(^([\w."]+)\s*=\s*(.*?)\s*$)re");
  static const std::regex kQuality(R"re(quality\s*=\s*"(low|high)")re");
  static const std::regex kString(R"re("([^"]*)")re");
  std::string table;
  ImageTest* image = nullptr;
  Check* check = nullptr;
  auto comparison = [&](const std::string& name, bool newCheck) {
    image = &test.images[name];
    if (newCheck || image->checks.empty()) image->checks.emplace_back();
    check = &image->checks.back();
  };
  std::string line;
  while (std::getline(in, line)) {
    std::smatch match;
    if (line.empty() || line[0] == '#') continue;
    if (std::regex_match(line, match, kTable)) {
      table = match[2];
      image = nullptr;
      check = nullptr;
      std::smatch name;
      if (std::regex_match(table, name, kComparison)) comparison(name[1], name[2].matched);
      continue;
    }
    if (std::regex_search(line, match, kQuality)) {
      test.quality = match[1] == "low" ? Quality::kLow : Quality::kHigh;
      continue;
    }
    if (!std::regex_match(line, match, kValue)) continue;
    std::string key = match[1];
    const std::string value = match[2];
    if (table.empty()) {
      // image_comparisons."NAME".KEY at the top level
      const size_t dot = key.rfind('.');
      std::smatch name;
      const std::string head = dot == std::string::npos ? "" : key.substr(0, dot);
      if (std::regex_match(head, name, kComparison)) {
        comparison(name[1], false);
        key = key.substr(dot + 1);
      } else {
        image = nullptr;
        check = nullptr;
      }
    }
    std::smatch text;
    const bool isString = std::regex_search(value, text, kString);
    if (table.rfind("fonts.", 0) == 0) {
      TestFont& font = test.fonts[table.substr(6)];
      if (key == "family" && isString) font.family = text[1];
      else if (key == "path" && isString) font.path = text[1];
      else if (key == "bold") font.bold = value == "true";
      else if (key == "italic") font.italic = value == "true";
      continue;
    }
    if (table == "default_fonts") {
      if (isString) test.defaultFonts[key] = text[1];
      continue;
    }
    char* end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0') continue;
    if ((key == "num_frames" || key == "num_ticks") && !image) test.frames = static_cast<int>(number);
    else if (key == "trigger" && image) image->trigger = static_cast<int>(number);
    else if (key == "tolerance" && check) check->tolerance = static_cast<int>(number);
    else if (key == "max_outliers" && check) check->maxOutliers = number;
  }
  return test.frames >= 1 && !test.images.empty();
}

// The generic families as the player's device fonts name the faces they stand for.
void UseTestFonts(const OracleTest& test, const std::string& folder,
                  swfsaver::tools::NativeText& text) {
  for (const auto& [key, font] : test.fonts) {
    if (!font.family.empty() && !font.path.empty()) {
      text.fonts.AddFont(font.family, folder + "/" + font.path, font.bold, font.italic);
    }
  }
  static const std::map<std::string, std::string> kStandsFor{
      {"sans", "Arial"}, {"serif", "Times New Roman"}, {"typewriter", "Courier New"}};
  for (const auto& [generic, family] : test.defaultFonts) {
    const auto face = kStandsFor.find(generic);
    if (face != kStandsFor.end()) text.fonts.AddAlias(face->second, family);
  }
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
  swfsaver::tools::NativeText text;
  UseTestFonts(test, folder, text);
  auto player = swfsaver::tools::LoadMovie(folder + "/test.swf", error, text);
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
