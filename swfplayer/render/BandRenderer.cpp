#include "swfplayer/render/BandRenderer.h"

#include <algorithm>

namespace swfplayer::render {

void BandRenderer::Begin(const CanvasPixels& canvas, const PixelBox& window, int top, int rows) {
  canvas_ = canvas;
  window_ = window.Intersect({0, 0, canvas.width, canvas.height});
  maskTop_ = top;
  maskRows_ = rows;
  masks_.Resize(canvas.width, top, rows);
  compositor_.Resize(canvas.pixels, canvas.width, canvas.stride);
}

void BandRenderer::Draw(const DrawCommand* commands, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const DrawCommand& command = commands[i];
    switch (command.op) {
      case DrawOp::kClear:
        Clear(command.solid);
        break;
      case DrawOp::kFill:
      case DrawOp::kStroke:
        Shape(command);
        break;
      case DrawOp::kBeginMask:
        masks_.Begin();
        break;
      case DrawOp::kEndMask:
        masks_.End();
        break;
      case DrawOp::kPopMask:
        masks_.Pop();
        break;
    }
  }
}

void BandRenderer::Clear(uint32_t color) {
  if (window_.Empty()) return;
  for (int y = window_.top; y < window_.bottom; ++y) {
    uint32_t* row = canvas_.pixels + static_cast<ptrdiff_t>(y) * canvas_.stride;
    std::fill(row + window_.left, row + window_.right, color);
  }
}

void BandRenderer::Shape(const DrawCommand& command) {
  MaskLayer* target = masks_.Target();
  // The Flash Player masks with fills only: a clip layer's outlines do not widen its mask.
  if (target && command.op == DrawOp::kStroke) return;
  if (!target && command.paintless) return;
  const PixelBox box = masks_.DrawBox().Intersect(window_).Intersect(command.bounds);
  if (box.Empty()) return;
  raster_.Reset({0, 0, canvas_.width, canvas_.height}, box, canvas_.quality);
  raster_.AddContours(*command.contours, command.offset);
  // A mask's colours do not matter.
  compositor_.Begin(target, masks_.Clip(), target ? nullptr : command.painter, command.solid,
                    box.left, box.right);
  raster_.Sweep(command.op == DrawOp::kStroke ? FillRule::kNonZero : command.rule, compositor_);
}

}  // namespace swfplayer::render
