#include "swfplayer/render/Compositor.h"

#include <algorithm>
#include <cstddef>

#include "swfplayer/render/PixelBlend.h"
#include "swfplayer/render/Pixel4.h"

namespace swfplayer::render {
namespace {

// out[i] = Div255(cover_i * mask[i]), cover_i from covers or `cover` for all.
void ScaleCovers(const uint8_t* covers, uint8_t cover, const uint8_t* mask, int len,
                 uint8_t* out) {
  int i = 0;
  for (; i + 16 <= len; i += 16) {
    pixel4::ScaleCovers16(covers ? covers + i : nullptr, cover, mask + i, out + i);
  }
  for (; i < len; ++i) {
    out[i] = static_cast<uint8_t>(Div255(uint32_t{covers ? covers[i] : cover} * mask[i]));
  }
}

}  // namespace

void Compositor::Resize(uint32_t* pixels, int left, int top, int width, int stride) {
  pixels_ = pixels;
  left_ = left;
  top_ = top;
  width_ = width;
  stride_ = stride;
  colors_.resize(static_cast<size_t>(width));
  covers_.resize(static_cast<size_t>(width));
}

void Compositor::Begin(MaskLayer* target, const MaskLayer* clip, const SpanPainter* painter,
                       uint32_t solid, int windowLeft, int windowRight) {
  target_ = target;
  clip_ = clip;
  painter_ = painter;
  solid_ = solid;
  windowLeft_ = windowLeft;
  windowRight_ = windowRight;
}

size_t Compositor::WindowSpans(const Span* spans, size_t count) {
  if (windowed_.size() < count) windowed_.resize(count);
  size_t n = 0;
  for (size_t s = 0; s < count; ++s) {
    const Span& span = spans[s];
    const int from = std::max(span.x, windowLeft_), to = std::min(span.x + span.len, windowRight_);
    if (from >= to) continue;
    windowed_[n++] = {from, to - from, span.covers ? span.covers + (from - span.x) : nullptr,
                      span.cover};
  }
  return n;
}

size_t Compositor::ClipSpans(int y, const Span* spans, size_t count, bool trim) {
  const uint8_t* mask = clip_->Row(y, width_);
  if (clipped_.size() < count) clipped_.resize(count);
  size_t n = 0;
  for (size_t s = 0; s < count; ++s) {
    const Span& span = spans[s];
    // covers_ and the mask row hold column left_ first.
    uint8_t* scaled = covers_.data();
    ScaleCovers(span.covers, span.cover, mask + (span.x - left_), span.len,
                scaled + (span.x - left_));
    int from = span.x, to = span.x + span.len;
    // A mask being built keeps its spans whole: its box follows them.
    if (trim) {
      while (from < to && scaled[from - left_] == 0) ++from;
      while (to > from && scaled[to - 1 - left_] == 0) --to;
      if (from == to) continue;
    }
    clipped_[n++] = {from, to - from, scaled + (from - left_), 0};
  }
  return n;
}

void Compositor::Row(int y, const Span* spans, size_t count) {
  // The row's paint run starts at its first covered pixel as drawn (spans hold no uncovered
  // pixel at either end). One paint call for the row where its spans lie close together (the
  // edges and inside of a shape): the per-call set-up then costs once a row, not three times.
  const int from = spans[0].x, to = spans[count - 1].x + spans[count - 1].len;
  int covered = 0;
  for (size_t s = 0; s < count; ++s) covered += spans[s].len;
  const bool whole = to - from <= 2 * covered + 16;
  if (clip_) {
    // Paint is not worked out for the pixels the mask hides (outside a round window, say).
    count = ClipSpans(y, spans, count, !target_);
    spans = clipped_.data();
    if (count == 0) return;
  }
  if (from < windowLeft_ || to > windowRight_) {
    count = WindowSpans(spans, count);
    spans = windowed_.data();
    if (count == 0) return;
  }
  if (target_) {
    for (size_t s = 0; s < count; ++s) {
      target_->Accumulate(y, spans[s].x, spans[s].len, spans[s].covers, spans[s].cover, width_);
    }
    return;
  }
  uint32_t* row = pixels_ + static_cast<ptrdiff_t>(y - top_) * stride_;
  if (!painter_) {
    for (size_t s = 0; s < count; ++s) {
      BlendSolid(row + (spans[s].x - left_), spans[s].len, solid_, spans[s].covers, spans[s].cover);
    }
    return;
  }
  const int paintFrom = spans[0].x;
  if (whole) {
    const int paintTo = spans[count - 1].x + spans[count - 1].len;
    painter_->GeneratePart(from, paintFrom - from, y, paintTo - paintFrom, colors_.data());
  }
  for (size_t s = 0; s < count; ++s) {
    const Span& span = spans[s];
    const uint32_t* colors = colors_.data() + (span.x - paintFrom);
    if (!whole) {
      painter_->GeneratePart(from, span.x - from, y, span.len, colors_.data());
      colors = colors_.data();
    }
    BlendColors(row + (span.x - left_), span.len, colors, span.covers, span.cover);
  }
}

// A solid colour onto the pixels blends each row of the block whole: its uncovered pixels
// change nothing, and a solid paint does not depend on where a run begins. That spares a small
// shape the search for each row's ends and a call a row; the zeros up to the stride, where the
// window has them, make each row a whole number of four-pixel steps.
void Compositor::Block(int x, int top, int rows, int width, const uint8_t* covers,
                       size_t stride) {
  if (target_ || clip_ || painter_) {
    SpanSink::Block(x, top, rows, width, covers, stride);
    return;
  }
  const int from = std::max(x, windowLeft_);
  const int to = std::min(x + static_cast<int>(stride), windowRight_);
  if (from >= to) return;
  covers += from - x;
  uint32_t* row = pixels_ + static_cast<ptrdiff_t>(top - top_) * stride_ + (from - left_);
  for (int r = 0; r < rows; ++r, covers += stride, row += stride_) {
    BlendSolid(row, to - from, solid_, covers, 0);
  }
}

}  // namespace swfplayer::render
