#include "standin/flash/render/Compositor.h"

#include <cstddef>

#include "standin/flash/render/PixelBlend.h"

namespace swfsaver::flash::render {

void Compositor::Resize(uint32_t* pixels, int width, int stride) {
  pixels_ = pixels;
  width_ = width;
  stride_ = stride;
  colors_.resize(static_cast<size_t>(width));
  covers_.resize(static_cast<size_t>(width));
}

void Compositor::Begin(MaskLayer* target, const MaskLayer* clip, const SpanPainter* painter,
                       uint32_t solid) {
  target_ = target;
  clip_ = clip;
  painter_ = painter;
  solid_ = solid;
}

void Compositor::Row(int y, const Span* spans, size_t count) {
  const uint8_t* clipRow =
      clip_ ? clip_->coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(width_)
            : nullptr;
  uint32_t* row = pixels_ + static_cast<ptrdiff_t>(y) * stride_;
  // One paint call for the row where its spans lie close together (the edges and inside of a
  // shape): the per-call set-up then costs once a row, not three times.
  int colorsFrom = 0, colorsTo = 0;
  if (painter_ && !target_) {
    const int from = spans[0].x, to = spans[count - 1].x + spans[count - 1].len;
    int covered = 0;
    for (size_t s = 0; s < count; ++s) covered += spans[s].len;
    if (to - from <= 2 * covered + 16) {
      painter_->Generate(from, y, to - from, colors_.data());
      colorsFrom = from;
      colorsTo = to;
    }
  }
  for (size_t s = 0; s < count; ++s) {
    const Span& span = spans[s];
    const uint8_t* covers = span.covers;
    if (clipRow) {
      uint8_t* scaled = covers_.data();
      for (int i = 0; i < span.len; ++i) {
        const uint32_t c = covers ? covers[i] : span.cover;
        scaled[i] = static_cast<uint8_t>(Div255(c * clipRow[span.x + i]));
      }
      covers = scaled;
    }
    if (target_) {
      target_->Accumulate(y, span.x, span.len, covers, span.cover, width_);
    } else if (painter_) {
      const uint32_t* colors = colors_.data() + (span.x - colorsFrom);
      if (colorsTo == 0) {
        painter_->Generate(span.x, y, span.len, colors_.data());
        colors = colors_.data();
      }
      BlendColors(row + span.x, span.len, colors, covers, span.cover);
    } else {
      BlendSolid(row + span.x, span.len, solid_, covers, span.cover);
    }
  }
}

}  // namespace swfsaver::flash::render
