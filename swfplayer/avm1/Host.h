// What the interpreter is handed by whoever runs it (the player, the tests, swf_trace): where
// trace lines go, the clocks, and facts about the machine. Nothing here reaches a network or a
// file: a movie's requests to load or send are answered as failures by the interpreter.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "swfplayer/avm1/BitmapDraw.h"
#include "swfplayer/types/Effects.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::avm1 {

class Clip;
class SoundControl;

class Host {
 public:
  virtual ~Host() = default;

  // One `trace` call (or a warning the Flash Player's debug version prints), UTF-8, without
  // its line end.
  virtual void Trace(std::string_view line) = 0;
  // An action, a built-in or a member the movie used that the interpreter lacks; called once
  // per name and run.
  virtual void Unsupported(std::string_view name) = 0;

  // Milliseconds since the movie started: getTimer and intervals.
  virtual double ElapsedMs() = 0;
  // Milliseconds since 1970-01-01 UTC, for Date; and the local time zone's offset from UTC
  // in minutes at that instant (east positive), daylight saving included.
  virtual double UtcNowMs() = 0;
  virtual double LocalOffsetMinutes(double utcMs) = 0;
  // Seeds Math.random and random(); tests hand a fixed one.
  virtual uint32_t RandomSeed() = 0;

  // The screen in pixels (System.capabilities.screenResolutionX/Y) and the movie's URL.
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  virtual std::u16string_view MovieUrl() = 0;
  // The movie's stage in pixels (Stage.width and height: the window is scaled to show it all).
  virtual int StageWidth() { return 550; }
  virtual int StageHeight() { return 400; }

  // The clip of _level0 (the root) and of other levels (none: nothing is loaded).
  virtual Clip* Level(int level) = 0;

  // A monotonic clock of the machine for the script time budget: a script that runs away must
  // be stopped even where the movie's clock stands still between frames (the tools, tests).
  virtual double WallClockMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }

  // Whether the movie's FileAttributes ask for network access instead of local files: a local
  // movie's security sandbox (System.security.sandboxType).
  virtual bool UsesNetworkSandbox() { return false; }

  // The movie's sound, or null for a silent movie.
  virtual SoundControl* Sounds() { return nullptr; }

  // The system's font families, for TextField.getFontList; none where the host keeps no list.
  virtual std::vector<std::u16string> DeviceFontNames() { return {}; }

  // BitmapData.draw: draws into target (premultiplied; transparent false: every pixel stays
  // opaque) with the movie's renderer. False where the host has none (the pixels stay).
  virtual bool DrawIntoBitmap(Bitmap& /*target*/, bool /*transparent*/, const BitmapDraw& /*draw*/) { return false; }
  // BitmapData.loadBitmap: the pixels of the bitmap the movie exports under this name (as
  // ExportAssets gives it), or null when it exports none.
  virtual std::shared_ptr<const Bitmap> ExportedBitmap(std::u16string_view /*name*/) { return nullptr; }
  // BitmapData.applyFilter: filter applied in place to width x height premultiplied pixels
  // (rows without padding) as the display applies it at a zoom of 1. False where the host
  // has no renderer (the pixels stay).
  virtual bool ApplyBitmapFilter(const Filter& /*filter*/, uint32_t* /*pixels*/, int /*width*/, int /*height*/) {
    return false;
  }

  // fscommand("quit") and the like; the host decides what they mean (the tools end the run).
  virtual void FsCommand(std::string_view command, std::string_view arguments) = 0;
};

}  // namespace swfplayer::avm1
