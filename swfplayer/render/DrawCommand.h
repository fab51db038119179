// One step of a frame as the canvas records it, ready to be drawn band by band: the outline
// and the paint are worked out once, on the thread that records, and only read while drawing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/Contours.h"
#include "swfplayer/render/CoverageCache.h"
#include "swfplayer/render/PremultipliedTransform.h"
#include "swfplayer/render/SpanPainter.h"
#include "swfplayer/types/Effects.h"

namespace swfplayer::render {

enum class DrawOp : uint8_t { kClear, kFill, kStroke, kBeginMask, kEndMask, kPopMask, kLayer };

// A layer's pixels as a composite draws them (Layers.h): premultiplied, width x height, pixel
// (0, 0) at device pixel (left, top); set once the layer is drawn or found in the cache.
struct LayerComposite {
  const uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  int left = 0, top = 0;
  BlendMode blend = BlendMode::kNormal;
  const PremultipliedTransform* transform = nullptr;  // null: none
  size_t record = 0;  // the recorder's own (LayerRecorder)
};

struct DrawCommand {
  DrawOp op = DrawOp::kFill;
  FillRule rule = FillRule::kNonZero;
  // Nothing to paint (a transparent colour, a bitmap that cannot be drawn): the outline still
  // counts inside a mask being built, whose colours do not matter.
  bool paintless = false;
  uint32_t solid = 0;  // premultiplied: the colour when painter is null, or the clear colour
  const SpanPainter* painter = nullptr;
  const Contours* contours = nullptr;
  const LayerComposite* layer = nullptr;  // kLayer
  Point offset;     // added to every point of contours
  PixelBox bounds;  // the pixels it can touch
  // A fill's kept coverage: painted from there when complete (contours are then not worked
  // out), else kept there as it is rasterised.
  CoverageCache::Entry* coverage = nullptr;

  static DrawCommand Of(DrawOp op, FillRule rule = FillRule::kNonZero) {
    DrawCommand command;
    command.op = op;
    command.rule = rule;
    return command;
  }
};

}  // namespace swfplayer::render
