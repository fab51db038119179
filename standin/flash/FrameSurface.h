// The control's frame as the renderer draws it: one 32-bit top-down DIB section with a canvas
// over its bits, put on screen with one blit, so a frame is never seen half drawn. The bits
// keep the last frame: the canvas draws again only what changed, and only that is blitted.
#pragma once

#include <windows.h>

#include <memory>

#include "swfplayer/render/RasterCanvas.h"

namespace swfsaver::flash {

class FrameSurface {
 public:
  FrameSurface() = default;
  ~FrameSurface();
  FrameSurface(const FrameSurface&) = delete;
  FrameSurface& operator=(const FrameSurface&) = delete;

  // Makes the surface width x height (kept when it already is); false, with no surface left,
  // when the size is empty or the DIB cannot be made.
  bool Resize(int width, int height, swfplayer::render::Quality quality);
  bool Fits(int width, int height) const { return bits_ && width == width_ && height == height_; }
  // Valid after a Resize that succeeded; draws its bands on one thread per core (at most 8).
  swfplayer::render::RasterCanvas& Canvas() { return *canvas_; }
  // Copies the surface to target's top left corner.
  void Blit(HDC target) const;
  // Copies the part box of the surface to the same place in target.
  void Blit(HDC target, const swfplayer::render::PixelBox& box) const;

 private:
  void Release();

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<swfplayer::render::RasterCanvas> canvas_;
};

}  // namespace swfsaver::flash
