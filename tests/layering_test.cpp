// Dependencies run one way: every quoted #include of the product is checked against the layer
// rule, so an include that reaches upward fails the test run instead of waiting for a review.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The layers and what each builds on directly, as the build links them (cmake/Layers.cmake); a
// layer may include itself and everything below it. A layer is a folder; a file belongs to the
// longest folder that holds it.
const std::map<std::string, std::set<std::string>> kBuildsOn = {
    {"flashapi", {}},
    {"lzma", {}},
    {"platform", {}},
    {"platform/win32", {"platform", "flashapi"}},
    {"framework", {"platform"}},
    {"settings", {"framework"}},
    {"swf", {"framework", "lzma"}},
    {"saver", {"settings", "swf"}},
    {"dialog", {"settings", "swf"}},
    {"app", {"saver", "dialog", "platform/win32"}},
    // The SWF engine: plain data at the bottom, the file, its decoded tags, the renderer, the
    // player on top. The image decoder's interface sits beside the plain data.
    {"swfplayer/types", {}},
    {"swfplayer/image", {"swfplayer/types"}},
    {"swfplayer/movie", {"swfplayer/types", "lzma"}},
    {"swfplayer/format", {"swfplayer/movie", "swfplayer/image"}},
    {"swfplayer/render", {"swfplayer/types"}},
    // Sound: decoding and mixing over the decoded tags; libmpg123 natively beside it.
    {"swfplayer/audio", {"swfplayer/format"}},
    {"swfplayer/audio/native", {"swfplayer/audio"}},
    {"swfplayer/avm1", {"swfplayer/format"}},
    {"swfplayer/ansi", {"swfplayer/movie"}},
    // Text fields: layout and fonts over the decoded tags; FreeType's device fonts natively.
    {"swfplayer/text", {"swfplayer/format"}},
    {"swfplayer/text/native", {"swfplayer/text"}},
    {"swfplayer/player",
     {"swfplayer/format", "swfplayer/avm1", "swfplayer/render", "swfplayer/audio", "swfplayer/text"}},
    // The stand-in control: its portable state, and the COM object on top of the engine.
    {"standin/flash/control", {"swfplayer/player", "flashapi"}},
    {"standin/flash", {"standin/flash/control"}},
    {"tools", {}},
    {"tools/render", {"tools", "tools/avm1", "swfplayer/player", "swfplayer/text/native", "swfplayer/ansi"}},
    {"tools/audio", {"tools", "swfplayer/player", "swfplayer/audio/native"}},
    {"tools/avm1", {"tools", "swfplayer/player", "swfplayer/text/native", "swfplayer/ansi"}},
};

// Everything below layer, through what it builds on.
std::set<std::string> Below(const std::string& layer) {
  std::set<std::string> below;
  std::vector<std::string> pending(kBuildsOn.at(layer).begin(), kBuildsOn.at(layer).end());
  while (!pending.empty()) {
    const std::string next = pending.back();
    pending.pop_back();
    if (!below.insert(next).second) continue;
    for (const std::string& further : kBuildsOn.at(next)) pending.push_back(further);
  }
  return below;
}

std::string LayerOf(const std::string& path) {
  std::string best;
  for (const auto& [layer, below] : kBuildsOn) {
    if (path.rfind(layer + "/", 0) == 0 && layer.size() > best.size()) best = layer;
  }
  return best;
}

// "file:line: include" for each quoted include of the file that its layer may not make.
std::vector<std::string> UpwardIncludes(const fs::path& root, const std::string& file) {
  static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
  const std::string layer = LayerOf(file);
  const std::set<std::string> allowed = Below(layer);
  std::vector<std::string> found;
  std::ifstream in(root / file);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::smatch match;
    if (!std::regex_search(line, match, kInclude)) continue;
    const std::string target = LayerOf(match[1]);
    if (target == layer || allowed.count(target) != 0) continue;
    found.push_back(file + ":" + std::to_string(number) + ": " + match[1].str() +
                    (target.empty() ? " (in no layer)" : " (layer " + target + ")"));
  }
  return found;
}

// The product's sources, relative to the source root; tests and build output are not layers.
std::vector<std::string> ProductSources(const fs::path& root) {
  std::vector<std::string> files;
  for (const auto& [layer, below] : kBuildsOn) {
    for (const auto& entry : fs::recursive_directory_iterator(root / layer)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".h" && extension != ".cpp") continue;
      const std::string relative = fs::relative(entry.path(), root).generic_string();
      if (LayerOf(relative) == layer) files.push_back(relative);
    }
  }
  return files;
}

TEST(Layering, EveryIncludeOfTheProductRunsDownward) {
  const fs::path root = SWFSAVER_SOURCE_DIR;
  const std::vector<std::string> files = ProductSources(root);
  ASSERT_GT(files.size(), 50u) << "the source tree was not found under " << root;
  std::vector<std::string> upward;
  for (const std::string& file : files) {
    for (std::string& found : UpwardIncludes(root, file)) upward.push_back(std::move(found));
  }
  std::string report;
  for (const std::string& line : upward) report += "\n  " + line;
  EXPECT_TRUE(upward.empty()) << "includes that run against the layers:" << report;
}

}  // namespace
