// BitmapData.draw as the interpreter asks the host for it: a clip (with its children) or
// another bitmap, drawn by the host's renderer into a bitmap's pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "swfplayer/types/Effects.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::avm1 {

class Clip;

struct BitmapDraw {
  Clip* clip = nullptr;                  // the source: a clip in its own coordinates...
  std::shared_ptr<const Bitmap> bitmap;  // ...or a bitmap (when clip is null)
  Matrix matrix;                         // the source's pixels to the target's pixels
  ColorTransform colorTransform;
  BlendMode blendMode = BlendMode::kNormal;
  // The target's pixels that may change, within the target: [left, right) x [top, bottom).
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool smooth = false;  // a bitmap source scaled or turned is smoothed
};

}  // namespace swfplayer::avm1
