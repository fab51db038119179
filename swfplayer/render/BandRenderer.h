// Draws recorded commands into the rows of one band of the canvas, with a rasteriser, a
// compositor and masks of its own, so that bands can be drawn side by side on several threads.
// Every row comes out as drawing the whole frame at once would make it (CellRasterizer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/Compositor.h"
#include "swfplayer/render/DrawCommand.h"
#include "swfplayer/render/MaskStack.h"

namespace swfplayer::render {

// Pixels drawn on: the canvas, or a layer's, whose first pixel is device pixel (left, top).
struct CanvasPixels {
  uint32_t* pixels = nullptr;
  int width = 0, height = 0, stride = 0;
  Quality quality = Quality::kHigh;
  int left = 0, top = 0;
  PixelBox Box() const { return {left, top, left + width, top + height}; }
};

class BandRenderer {
 public:
  // Starts a band: window is the part of the canvas drawn (rows of a band, within the part of
  // the frame that changed); masks hold rows [top, top + rows).
  void Begin(const CanvasPixels& canvas, const PixelBox& window, int top, int rows);
  void Draw(const DrawCommand* commands, size_t count);
  // Draws commands[indices[0..count)], in that order: the ones that can touch this band.
  void Draw(const DrawCommand* commands, const uint32_t* indices, size_t count);
  // Masks still pushed (unbalanced calls) are dropped.
  void End() { masks_.Resize(canvas_.left, canvas_.width, maskTop_, maskRows_); }

 private:
  void Step(const DrawCommand& command);
  void Clear(uint32_t color);
  void Shape(const DrawCommand& command);
  void Composite(const DrawCommand& command);
  uint32_t* PixelRow(int y) const {
    return canvas_.pixels + static_cast<ptrdiff_t>(y - canvas_.top) * canvas_.stride;
  }

  CanvasPixels canvas_;
  PixelBox window_;
  int maskTop_ = 0, maskRows_ = 0;
  MaskStack masks_;
  CellRasterizer raster_;
  Compositor compositor_;
  std::vector<uint32_t> layerRow_;
  std::vector<uint8_t> layerCovers_;  // a layer's alpha as coverage, into a mask being built
  // Passes a fill's rows on to the compositor and keeps them in its coverage entry.
  class KeepingSink final : public SpanSink {
   public:
    void Row(int y, const Span* spans, size_t count) override {
      entry->KeepRow(y, spans, count);
      next->Row(y, spans, count);
    }
    CoverageCache::Entry* entry = nullptr;
    SpanSink* next = nullptr;
  };
  KeepingSink keeping_;
};

}  // namespace swfplayer::render
