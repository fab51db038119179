// avm1_run MOVIE [--frames N]: runs the root timeline's frame scripts of a movie headless on a
// bare root clip (no display list: sprites, shapes and clips are not made) and prints each
// trace line. A measuring stick for the interpreter's language until the player runs scripts
// itself; frames run back to back, timers advance one frame period per frame.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "swfplayer/ansi/IconvAnsiDecoder.h"
#include "swfplayer/avm1/Clip.h"
#include "swfplayer/avm1/Host.h"
#include "swfplayer/avm1/Vm.h"
#include "swfplayer/format/ActionProgram.h"
#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/movie/TagStream.h"

namespace {

using namespace swfplayer;
using namespace swfplayer::avm1;

// The root timeline: its frames' scripts, labels and play state; no children.
class RootClip final : public Clip {
 public:
  std::u16string Name() const override { return u""; }
  void SetName(std::u16string_view) override {}
  Clip* Parent() const override { return nullptr; }
  int32_t Depth() const override { return -16384; }
  Clip* ChildByName(std::u16string_view, bool) const override { return nullptr; }
  Clip* ChildAtDepth(int32_t) const override { return nullptr; }
  std::vector<Clip*> Children() const override { return {}; }
  bool IsMovieClip() const override { return true; }
  int CurrentFrame() const override { return frame; }
  int TotalFrames() const override { return static_cast<int>(scripts.size()); }
  int FramesLoaded() const override { return TotalFrames(); }
  uint32_t BytesTotal() const override { return bytes; }
  bool Playing() const override { return playing; }
  void Play() override { playing = true; }
  void Stop() override { playing = false; }
  void GotoFrame(int target, bool play) override {
    frame = std::max(0, std::min(target, TotalFrames() - 1));
    playing = play;
    jumped = true;
  }
  std::optional<int> FrameOfLabel(std::u16string_view label) const override {
    for (const auto& [name, index] : labels) {
      if (name.size() == label.size() && std::equal(name.begin(), name.end(), label.begin(), [](char16_t a, char16_t b) {
            return std::tolower(a) == std::tolower(b);
          })) {
        return index;
      }
    }
    return std::nullopt;
  }
  std::vector<std::shared_ptr<const format::ActionProgram>> FrameScripts(int index) const override {
    return index >= 0 && index < TotalFrames() ? scripts[static_cast<size_t>(index)]
                                               : std::vector<std::shared_ptr<const format::ActionProgram>>{};
  }
  double NumberProperty(DisplayProperty property) const override { return numbers[static_cast<int>(property)]; }
  std::u16string StringProperty(DisplayProperty property) const override {
    if (property == DisplayProperty::kUrl) return u"file:///test.swf";
    if (property == DisplayProperty::kQuality) return u"HIGH";
    return u"";
  }
  void SetNumberProperty(DisplayProperty property, double value) override {
    if (!std::isnan(value)) numbers[static_cast<int>(property)] = value;
  }
  void SetStringProperty(DisplayProperty, std::u16string_view) override {}
  Matrix GetMatrix() const override { return Matrix{}; }
  void SetMatrix(const Matrix&) override {}
  ColorTransform GetColorTransform() const override { return ColorTransform{}; }
  void SetColorTransform(const ColorTransform&) override {}
  Clip* DuplicateClip(std::u16string_view, int32_t) override { return nullptr; }
  Clip* AttachClip(std::u16string_view, std::u16string_view, int32_t) override { return nullptr; }
  Clip* CreateEmptyClip(std::u16string_view, int32_t) override { return nullptr; }
  bool RemoveClip() override { return false; }
  void SwapDepths(int32_t) override {}
  int32_t NextHighestDepth() const override { return 0; }
  TwipsRect Bounds() const override { return TwipsRect{}; }
  Matrix ConcatenatedMatrix() const override { return Matrix{}; }
  bool HitTestPoint(Point, bool) const override { return false; }

  std::vector<std::vector<std::shared_ptr<const format::ActionProgram>>> scripts;
  std::map<std::u16string, int> labels;
  double numbers[kDisplayPropertyCount] = {0, 0, 100, 100, 0, 0, 100, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 5, 0, 0, 0};
  int frame = 0;
  bool playing = true;
  bool jumped = false;
  uint32_t bytes = 0;
};

class PrintingHost final : public Host {
 public:
  void Trace(std::string_view line) override {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  void Unsupported(std::string_view name) override { std::fprintf(stderr, "unsupported: %.*s\n", int(name.size()), name.data()); }
  double ElapsedMs() override { return elapsedMs; }
  // Saturday 3 February 2001, 04:05:06 at UTC+05:45.
  double UtcNowMs() override { return 981152406000.0; }
  double LocalOffsetMinutes(double) override { return 345; }
  uint32_t RandomSeed() override { return 1; }
  int ScreenWidth() override { return 1024; }
  int ScreenHeight() override { return 768; }
  std::u16string_view MovieUrl() override { return u"file:///test.swf"; }
  bool UsesNetworkSandbox() override { return usesNetwork; }
  Clip* Level(int level) override { return level == 0 ? root : nullptr; }
  void FsCommand(std::string_view command, std::string_view) override {
    if (command == "quit") quit = true;
  }
  double elapsedMs = 0;
  Clip* root = nullptr;
  bool quit = false;
  bool usesNetwork = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: avm1_run MOVIE [--frames N]\n");
    return 2;
  }
  int frames = 1;
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--frames") == 0) frames = std::max(1, std::atoi(argv[i + 1]));
  }
  std::ifstream file(argv[1], std::ios::binary);
  const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const MovieBody body = ReadMovieBody(data);
  if (!file || !body.ok()) {
    std::fprintf(stderr, "avm1_run: %s is not a movie it can read\n", argv[1]);
    return 1;
  }
  IconvAnsiDecoder ansi;
  RootClip root;
  bool usesNetwork = false;
  root.bytes = static_cast<uint32_t>(data.size());
  root.scripts.emplace_back();
  std::vector<std::vector<std::shared_ptr<const format::ActionProgram>>> initScripts;
  TagStream tags(body.Tags());
  for (TagRecord tag; tags.Next(tag);) {
    if (tag.code == 12 || (tag.code == 59 && tag.body.size() >= 2)) {
      // Init actions (of any sprite) run before the frame's own actions, once.
      const auto actions = tag.code == 12 ? tag.body : tag.body.subspan(2);
      const format::ActionDecode decoded = format::DecodeActionProgram(actions, body.movie.version, ansi);
      if (!decoded.program) {
        std::fprintf(stderr, "avm1_run: a block was refused: %s\n", decoded.refusal.c_str());
      } else if (tag.code == 12) {
        root.scripts.back().push_back(decoded.program);
      } else {
        initScripts.resize(root.scripts.size());
        initScripts.back().push_back(decoded.program);
      }
    } else if (tag.code == 43 && !tag.body.empty()) {
      const std::string label(reinterpret_cast<const char*>(tag.body.data()),
                              strnlen(reinterpret_cast<const char*>(tag.body.data()), tag.body.size()));
      root.labels[DecodeSwfString(label, body.movie.version, ansi)] = static_cast<int>(root.scripts.size() - 1);
    } else if (tag.code == 69 && !tag.body.empty()) {
      usesNetwork = (tag.body[0] & 1) != 0;  // FileAttributes: UseNetwork
    } else if (tag.code == 1) {
      root.scripts.emplace_back();
    } else if (tag.code == 0) {
      break;
    }
  }
  if (root.scripts.size() > 1 && root.scripts.back().empty()) root.scripts.pop_back();

  PrintingHost host;
  host.root = &root;
  host.usesNetwork = usesNetwork;
  Vm vm(host, body.movie.version);
  const double framePeriod = 1000.0 / std::max(1.0, body.movie.frameRate / 256.0);
  bool enter = true;  // the frame's scripts are due
  for (int i = 0; i < frames && !host.quit; ++i) {
    vm.BeginTick();
    if (static_cast<size_t>(root.frame) < initScripts.size()) {
      for (const auto& program : initScripts[static_cast<size_t>(root.frame)]) vm.RunInitScript(root, *program);
      initScripts[static_cast<size_t>(root.frame)].clear();
    }
    if (enter) {
      root.jumped = false;
      for (const auto& program : root.FrameScripts(root.frame)) vm.RunFrameScript(root, *program);
    }
    vm.RunTimers();
    vm.CollectGarbage();
    host.elapsedMs += framePeriod;
    // The next frame: where a goto went, else the next one when playing.
    if (root.jumped) {
      enter = true;
    } else if (root.playing && root.TotalFrames() > 1) {
      root.frame = (root.frame + 1) % root.TotalFrames();
      enter = true;
    } else {
      enter = false;
    }
  }
  std::fflush(stdout);
  return 0;
}
