// The conditions under which a movie's scripts give the same output on every run: a fixed date
// and time zone (Saturday 3 February 2001, 04:05:06 at UTC+05:45), a fixed random seed, a
// 1024x768 screen, the URL file:///test.swf, and a clock that the caller advances (one frame
// period per frame). swf_trace plays with it, and so do the player's tests.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "swfplayer/avm1/Host.h"

namespace swfsaver::tools {

class FixedHost : public swfplayer::avm1::Host {
 public:
  static constexpr double kFixedUtcMs = 981152406000.0;
  static constexpr double kFixedOffsetMinutes = 345;

  void Trace(std::string_view line) override {
    if (onTrace) {
      onTrace(line);
    } else {
      traces.emplace_back(line);
    }
  }
  // Each name once per run, in the order first met.
  void Unsupported(std::string_view name) override {
    if (!unsupportedSeen.emplace(name).second) return;
    if (onUnsupported) onUnsupported(name);
  }
  double ElapsedMs() override { return elapsedMs; }
  double UtcNowMs() override { return kFixedUtcMs + elapsedMs; }
  double LocalOffsetMinutes(double) override { return kFixedOffsetMinutes; }
  uint32_t RandomSeed() override { return 1; }
  int ScreenWidth() override { return 1024; }
  int ScreenHeight() override { return 768; }
  std::u16string_view MovieUrl() override { return u"file:///test.swf"; }
  swfplayer::avm1::Clip* Level(int) override { return nullptr; }
  void FsCommand(std::string_view command, std::string_view) override {
    if (command == "quit") quit = true;
  }

  double elapsedMs = 0;
  bool quit = false;
  std::vector<std::string> traces;  // when no onTrace is given
  std::function<void(std::string_view)> onTrace;
  std::function<void(std::string_view)> onUnsupported;
  std::set<std::string, std::less<>> unsupportedSeen;
};

}  // namespace swfsaver::tools
