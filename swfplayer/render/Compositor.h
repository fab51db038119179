// Receives a shape's spans and applies them: through the active mask, then either into the
// mask being built or, painted, source-over onto the pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/MaskStack.h"
#include "swfplayer/render/SpanPainter.h"

namespace swfplayer::render {

class Compositor final : public SpanSink {
 public:
  // pixels[0] is device pixel (left, top).
  void Resize(uint32_t* pixels, int left, int top, int width, int stride);

  // Drawing of one shape: into target when it is set, else with painter (or the solid colour
  // when painter is null) onto the pixels; clip, when set, scales every coverage. Only the
  // columns [windowLeft, windowRight) are touched. A row's paint is worked out as one run
  // from its first covered pixel, whatever the clip or the window leave of it and however
  // its coverage is split into spans: the same coverage gets the same pixels.
  void Begin(MaskLayer* target, const MaskLayer* clip, const SpanPainter* painter, uint32_t solid,
             int windowLeft, int windowRight);

  void Row(int y, const Span* spans, size_t count) override;
  void Block(int x, int top, int rows, int width, const uint8_t* covers, size_t stride) override;

 private:
  // The row's spans scaled by the clip into clipped_ (their covers in covers_ at their own
  // x); with trim, without the pixels at either end that the clip hides. Returns how many.
  size_t ClipSpans(int y, const Span* spans, size_t count, bool trim);
  // The spans cut to the window's columns into windowed_. Returns how many.
  size_t WindowSpans(const Span* spans, size_t count);

  uint32_t* pixels_ = nullptr;
  int left_ = 0, top_ = 0;
  int width_ = 0;
  int stride_ = 0;
  MaskLayer* target_ = nullptr;
  const MaskLayer* clip_ = nullptr;
  const SpanPainter* painter_ = nullptr;
  uint32_t solid_ = 0;
  int windowLeft_ = 0, windowRight_ = 0;
  std::vector<uint32_t> colors_;
  std::vector<uint8_t> covers_;
  std::vector<Span> clipped_;
  std::vector<Span> windowed_;
};

}  // namespace swfplayer::render
