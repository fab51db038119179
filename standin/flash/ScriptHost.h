// What a movie's scripts are given on Windows: the system's clock and time zone, the primary
// screen's size, the movie's file URL, and its trace lines written to the control's call trace
// (ScriptTrace, when a test switched it on). Nothing reaches a network or another file.
#pragma once

#include <windows.h>

#include <string>

#include "standin/flash/Trace.h"
#include "swfplayer/avm1/Host.h"
#include "swfplayer/movie/TextDecoding.h"

namespace swfsaver::flash {

class ScriptHost final : public swfplayer::avm1::Host {
 public:
  explicit ScriptHost(const std::wstring& moviePath);

  void Trace(std::string_view line) override;
  void Unsupported(std::string_view name) override;
  double ElapsedMs() override;
  double UtcNowMs() override;
  double LocalOffsetMinutes(double utcMs) override;
  uint32_t RandomSeed() override;
  int ScreenWidth() override;
  int ScreenHeight() override;
  std::u16string_view MovieUrl() override { return url_; }
  swfplayer::avm1::Clip* Level(int) override { return nullptr; }
  // The saver ends on input alone: fscommand asks nothing of it.
  void FsCommand(std::string_view, std::string_view) override {}

 private:
  flash::Trace trace_;
  std::u16string url_;
  ULONGLONG start_ = GetTickCount64();
};

// The strings of movies before SWF 6, in the system's ANSI code page.
class SystemAnsiDecoder final : public swfplayer::AnsiDecoder {
 public:
  std::u16string Decode(std::string_view bytes) const override;
};

}  // namespace swfsaver::flash
