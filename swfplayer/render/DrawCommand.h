// One step of a frame as the canvas records it, ready to be drawn band by band: the outline
// and the paint are worked out once, on the thread that records, and only read while drawing.
#pragma once

#include <cstdint>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/Contours.h"
#include "swfplayer/render/SpanPainter.h"

namespace swfplayer::render {

enum class DrawOp : uint8_t { kClear, kFill, kStroke, kBeginMask, kEndMask, kPopMask };

struct DrawCommand {
  DrawOp op = DrawOp::kFill;
  FillRule rule = FillRule::kNonZero;
  // Nothing to paint (a transparent colour, a bitmap that cannot be drawn): the outline still
  // counts inside a mask being built, whose colours do not matter.
  bool paintless = false;
  uint32_t solid = 0;  // premultiplied: the colour when painter is null, or the clear colour
  const SpanPainter* painter = nullptr;
  const Contours* contours = nullptr;
  Point offset;     // added to every point of contours
  PixelBox bounds;  // the pixels it can touch

  static DrawCommand Of(DrawOp op, FillRule rule = FillRule::kNonZero) {
    DrawCommand command;
    command.op = op;
    command.rule = rule;
    return command;
  }
};

}  // namespace swfplayer::render
