#include "swfplayer/render/BandRenderer.h"

#include <algorithm>

#include "swfplayer/render/BlendModes.h"
#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {

void BandRenderer::Begin(const CanvasPixels& canvas, const PixelBox& window, int top, int rows) {
  canvas_ = canvas;
  window_ = window.Intersect(canvas.Box());
  maskTop_ = top;
  maskRows_ = rows;
  masks_.Resize(canvas.left, canvas.width, top, rows);
  compositor_.Resize(canvas.pixels, canvas.left, canvas.top, canvas.width, canvas.stride);
}

void BandRenderer::Draw(const DrawCommand* commands, size_t count) {
  for (size_t i = 0; i < count; ++i) Step(commands[i]);
}

void BandRenderer::Draw(const DrawCommand* commands, const uint32_t* indices, size_t count) {
  // The outlines of the commands just ahead are fetched while this one is drawn: the buffers'
  // addresses four commands ahead, the points two ahead.
  for (size_t i = 0; i < count; ++i) {
    if (i + 4 < count) __builtin_prefetch(commands[indices[i + 4]].contours);
    if (i + 2 < count && commands[indices[i + 2]].contours) {
      commands[indices[i + 2]].contours->Prefetch();
    }
    Step(commands[indices[i]]);
  }
}

void BandRenderer::Step(const DrawCommand& command) {
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
    case DrawOp::kLayer:
      Composite(command);
      break;
  }
}

void BandRenderer::Clear(uint32_t color) {
  if (window_.Empty()) return;
  for (int y = window_.top; y < window_.bottom; ++y) {
    uint32_t* row = PixelRow(y);
    std::fill(row + (window_.left - canvas_.left), row + (window_.right - canvas_.left), color);
  }
}

void BandRenderer::Shape(const DrawCommand& command) {
  MaskLayer* target = masks_.Target();
  // The Flash Player masks with fills only: a clip layer's outlines do not widen its mask.
  if (target && command.op == DrawOp::kStroke) return;
  if (!target && command.paintless) return;
  const PixelBox box = masks_.DrawBox().Intersect(window_).Intersect(command.bounds);
  if (box.Empty()) return;
  // A mask's colours do not matter.
  compositor_.Begin(target, masks_.Clip(), target ? nullptr : command.painter, command.solid,
                    box.left, box.right);
  CoverageCache::Entry* const kept = command.coverage;
  // Kept rows are painted as they are: all of them, or this band's part of a shape that only
  // some frames' changes reached.
  if (kept && kept->Kept(box.top, box.bottom)) {
    Span spans[CoverageCache::kMaxRowSpans];
    for (int y = box.top; y < box.bottom; ++y) {
      const size_t count = kept->Row(y, spans);
      if (count > 0) compositor_.Row(y, spans, count);
    }
    return;
  }
  raster_.Reset(canvas_.Box(), box, canvas_.quality);
  raster_.AddContours(*command.contours, command.offset);
  const FillRule rule = command.op == DrawOp::kStroke ? FillRule::kNonZero : command.rule;
  if (kept && kept->Usable()) {
    kept->BeginRows(box.top, box.bottom);
    keeping_.entry = kept;
    keeping_.next = &compositor_;
    raster_.Sweep(rule, keeping_);
  } else {
    raster_.Sweep(rule, compositor_);
  }
}

}  // namespace swfplayer::render

namespace swfplayer::render {

void BandRenderer::Composite(const DrawCommand& command) {
  const LayerComposite* layer = command.layer;
  if (!layer || !layer->pixels) return;
  MaskLayer* target = masks_.Target();
  const PixelBox box = masks_.DrawBox().Intersect(window_).Intersect(command.bounds).Intersect(
      {layer->left, layer->top, layer->left + layer->width, layer->top + layer->height});
  if (box.Empty()) return;
  const MaskLayer* clip = masks_.Clip();
  const int len = box.right - box.left;
  if (layerRow_.size() < static_cast<size_t>(len)) layerRow_.resize(static_cast<size_t>(len));
  if (target && layerCovers_.size() < static_cast<size_t>(len)) {
    layerCovers_.resize(static_cast<size_t>(len));
  }
  for (int y = box.top; y < box.bottom; ++y) {
    const uint32_t* src = layer->pixels + static_cast<ptrdiff_t>(y - layer->top) * layer->width +
                          (box.left - layer->left);
    if (layer->transform) {
      std::copy(src, src + len, layerRow_.begin());
      layer->transform->Apply(layerRow_.data(), len);
      src = layerRow_.data();
    }
    const uint8_t* mask =
        clip ? clip->Row(y, canvas_.width) + (box.left - canvas_.left) : nullptr;
    if (target) {
      // Inside a mask being built only the alpha counts, as a fill's coverage would.
      for (int i = 0; i < len; ++i) {
        const uint32_t a = src[i] >> 24;
        layerCovers_[i] = static_cast<uint8_t>(mask ? Div255(a * mask[i]) : a);
      }
      target->Accumulate(y, box.left, len, layerCovers_.data(), 0, canvas_.width);
      continue;
    }
    BlendRow(layer->blend, PixelRow(y) + (box.left - canvas_.left), src, len, mask, 255);
  }
}

}  // namespace swfplayer::render
