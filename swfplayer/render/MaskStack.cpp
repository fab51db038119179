#include "swfplayer/render/MaskStack.h"

#include <algorithm>
#include <cstring>

#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {

void MaskLayer::Accumulate(int y, int x, int len, const uint8_t* covers, uint8_t cover, int width) {
  uint8_t* row = Row(y, width) + (x - left);
  for (int i = 0; i < len; ++i) {
    const uint32_t c = covers ? covers[i] : cover;
    row[i] = static_cast<uint8_t>(c + Div255(row[i] * (255 - c)));
  }
  const PixelBox span{x, y, x + len, y + 1};
  box = box.Empty() ? span
                    : PixelBox{std::min(box.left, span.left), std::min(box.top, span.top),
                               std::max(box.right, span.right), std::max(box.bottom, span.bottom)};
}

void MaskStack::Resize(int left, int width, int top, int rows) {
  // Masks left pushed (unbalanced calls) are cleared; popped ones are all zero already, so
  // layers of the same size serve the next band or frame as they are.
  while (depth_ > 0) Erase(layers_[--depth_]);
  beyondLimit_ = 0;
  if (width != width_ || rows != height_) layers_.clear();
  left_ = left;
  width_ = width;
  top_ = top;
  height_ = rows;
}

void MaskStack::Begin() {
  if (beyondLimit_ > 0 || depth_ == kMaxDepth) {
    ++beyondLimit_;
    return;
  }
  if (static_cast<int>(layers_.size()) == depth_) layers_.emplace_back();
  MaskLayer& layer = layers_[depth_++];
  const size_t size = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  if (layer.coverage.size() != size) layer.coverage.assign(size, 0);
  layer.left = left_;
  layer.top = top_;
  layer.box = {};
  layer.building = true;
}

void MaskStack::End() {
  if (beyondLimit_ > 0) return;
  MaskLayer* top = Top();
  if (!top || !top->building) return;  // unbalanced call: nothing to finish
  top->building = false;
  if (depth_ < 2 || layers_[depth_ - 2].building) return;
  // The mask beneath is already intersected with everything beneath it.
  const MaskLayer& beneath = layers_[depth_ - 2];
  const PixelBox keep = top->box.Intersect(beneath.box);
  for (int y = top->box.top; y < top->box.bottom; ++y) {
    uint8_t* row = top->Row(y, width_);
    const uint8_t* under = beneath.Row(y, width_);
    for (int x = top->box.left; x < top->box.right; ++x) {
      const bool inside = y >= keep.top && y < keep.bottom && x >= keep.left && x < keep.right;
      const int i = x - left_;
      row[i] = inside ? static_cast<uint8_t>(Div255(row[i] * under[i])) : 0;
    }
  }
  top->box = keep.Empty() ? PixelBox{} : keep;
}

void MaskStack::Pop() {
  if (beyondLimit_ > 0) {
    --beyondLimit_;
    return;
  }
  if (depth_ == 0) return;
  Erase(layers_[--depth_]);
}

void MaskStack::Erase(MaskLayer& layer) {
  for (int y = layer.box.top; y < layer.box.bottom; ++y) {
    std::memset(layer.Row(y, width_) + (layer.box.left - left_), 0,
                static_cast<size_t>(layer.box.right - layer.box.left));
  }
  layer.box = {};
  layer.building = false;
}

MaskLayer* MaskStack::Target() {
  if (beyondLimit_ > 0) return nullptr;
  for (int i = depth_ - 1; i >= 0; --i) {
    if (layers_[i].building) return &layers_[i];
  }
  return nullptr;
}

const MaskLayer* MaskStack::Clip() const {
  const MaskLayer* top = Top();
  return top && !top->building && beyondLimit_ == 0 ? top : nullptr;
}

PixelBox MaskStack::DrawBox() const {
  if (beyondLimit_ > 0) return {};
  if (const MaskLayer* clip = Clip()) return clip->box;
  return {left_, top_, left_ + width_, top_ + height_};
}

}  // namespace swfplayer::render
