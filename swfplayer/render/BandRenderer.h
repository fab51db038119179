// Draws recorded commands into the rows of one band of the canvas, with a rasteriser, a
// compositor and masks of its own, so that bands can be drawn side by side on several threads.
// Every row comes out as drawing the whole frame at once would make it (CellRasterizer.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/Compositor.h"
#include "swfplayer/render/DrawCommand.h"
#include "swfplayer/render/MaskStack.h"

namespace swfplayer::render {

struct CanvasPixels {
  uint32_t* pixels = nullptr;
  int width = 0, height = 0, stride = 0;
  Quality quality = Quality::kHigh;
};

class BandRenderer {
 public:
  // Starts a band: window is the part of the canvas drawn (rows of a band, within the part of
  // the frame that changed); masks hold rows [top, top + rows).
  void Begin(const CanvasPixels& canvas, const PixelBox& window, int top, int rows);
  void Draw(const DrawCommand* commands, size_t count);
  // Masks still pushed (unbalanced calls) are dropped.
  void End() { masks_.Resize(canvas_.width, maskTop_, maskRows_); }

 private:
  void Clear(uint32_t color);
  void Shape(const DrawCommand& command);

  CanvasPixels canvas_;
  PixelBox window_;
  int maskTop_ = 0, maskRows_ = 0;
  MaskStack masks_;
  CellRasterizer raster_;
  Compositor compositor_;
};

}  // namespace swfplayer::render
