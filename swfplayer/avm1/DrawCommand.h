// One step of the drawing API (clear, lineStyle, beginFill, moveTo, ...) as a clip receives it:
// positions in twips of the clip's coordinates, styles already made into the renderer's
// paints and strokes.
#pragma once

#include <cstdint>

#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::avm1 {

struct DrawCommand {
  enum class Kind : uint8_t {
    kClear,      // forget everything drawn and every style
    kLineStyle,  // stroke and paint: the lines from here on
    kNoLine,     // lines from here on are not stroked
    kBeginFill,  // paint: a fill from the pen's position (an open fill is ended first)
    kEndFill,    // closes the open fill back to where it began
    kMoveTo,     // anchor
    kLineTo,     // anchor
    kCurveTo,    // control, anchor
  };
  Kind kind = Kind::kClear;
  Point control;
  Point anchor;
  StrokeStyle stroke;
  Paint paint = Rgba{};
};

}  // namespace swfplayer::avm1
