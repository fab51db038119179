// The canvas's nested masks: 8-bit coverage layers the size of the canvas (or of the band of
// rows one worker draws), kept between frames and cleared only where they were drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "swfplayer/render/CellRasterizer.h"

namespace swfplayer::render {

struct MaskLayer {
  std::vector<uint8_t> coverage;  // width * rows from (left, top); zero outside box
  PixelBox box;                   // where coverage may be non-zero
  bool building = false;          // between BeginMask and EndMask
  int left = 0, top = 0;          // the device column and row of the first value held

  // The row's value for device column left (a layer's pixels begin anywhere on the device).
  uint8_t* Row(int y, int width) { return coverage.data() + static_cast<size_t>(y - top) * width; }
  const uint8_t* Row(int y, int width) const {
    return coverage.data() + static_cast<size_t>(y - top) * width;
  }

  // Adds a span's coverage (union: a + b - a*b).
  void Accumulate(int y, int x, int len, const uint8_t* covers, uint8_t cover, int width);
};

class MaskStack {
 public:
  // Deeper masks than this (from a hostile movie) draw nothing rather than take more memory.
  static constexpr int kMaxDepth = 64;

  // Layers for the rows [top, top + rows) of columns [left, left + width): a band of the
  // canvas (or of a layer's pixels), or all of it.
  void Resize(int left, int width, int top, int rows);

  void Begin();
  // Makes the mask being built active, intersected with an active mask directly beneath it.
  void End();
  void Pop();

  // The innermost mask being built, which receives what is drawn (clipped by any masks pushed
  // after it); null when drawing goes to the canvas.
  MaskLayer* Target();
  // The active mask that clips what is drawn; null for none.
  const MaskLayer* Clip() const;
  // Where drawing can have any effect (empty when nothing can be drawn).
  PixelBox DrawBox() const;

 private:
  MaskLayer* Top() { return depth_ ? &layers_[depth_ - 1] : nullptr; }
  const MaskLayer* Top() const { return depth_ ? &layers_[depth_ - 1] : nullptr; }
  void Erase(MaskLayer& layer);

  int left_ = 0, width_ = 0, top_ = 0, height_ = 0;
  std::vector<MaskLayer> layers_;
  int depth_ = 0;
  int beyondLimit_ = 0;  // masks begun past kMaxDepth and not yet popped
};

}  // namespace swfplayer::render
