// Loading a movie file and drawing its stage, for the native tools: swf_render writes what a
// frame looks like, swf_oracle compares it with the Flash Player's own image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swfplayer/ansi/IconvAnsiDecoder.h"
#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/render/RasterCanvas.h"
#include "swfplayer/text/native/FreeTypeFontSource.h"

namespace swfsaver::tools {

struct StageImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // premultiplied 0xAARRGGBB, rows without padding
};

// What a movie's text meets on this system: FreeType's device fonts (with any a test brings)
// and the Western Windows code page. Must outlive the players loaded with it.
struct NativeText {
  swfplayer::text::FreeTypeFontSource fonts;
  swfplayer::IconvAnsiDecoder ansi;
};

// The movie at path, at its first frame; nothing, with a one-line reason in error, for a file
// that cannot be read or is not a movie the player can play.
std::unique_ptr<swfplayer::player::Player> LoadMovie(const std::string& path, std::string& error,
                                                     NativeText& text);

// The movie's frame size in whole pixels.
int StageWidth(const swfplayer::player::Player& player);
int StageHeight(const swfplayer::player::Player& player);

// Draws the frame on screen, shown all and centred in width x height, on the movie's own
// background colour (white for a movie that sets none, as the Flash Player shows it), with
// the control's own stage drawing. Keeps its pixels and canvas from one render to the next,
// and, as the control does, draws again only what changed since the last render (all of it
// when whole is set), in bands over `threads` threads.
class StageRenderer {
 public:
  StageRenderer(int width, int height, swfplayer::render::Quality quality, int threads = 1);
  const StageImage& Render(const swfplayer::player::Player& player, bool whole = false);
  // The box around what the last Render drew, and the boxes it drew.
  swfplayer::render::PixelBox LastDamage() const { return damage_; }
  const std::vector<swfplayer::render::PixelBox>& LastDamagedBoxes() const {
    return canvas_.DamagedBoxes();
  }
  // Off: every render rasterises every shape, as if everything had moved.
  void KeepCoverage(bool keep) { canvas_.KeepCoverage(keep); }

 private:
  StageImage image_;
  swfplayer::render::RasterCanvas canvas_;
  swfplayer::render::PixelBox damage_;
};

}  // namespace swfsaver::tools
