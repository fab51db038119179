// Fill and line styles as the renderer's paints and strokes. Bitmap fills name a bitmap
// character; the caller resolves it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "swfplayer/format/Shape.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::format {

using BitmapLookup = std::function<std::shared_ptr<const Bitmap>(uint16_t id)>;

// A bitmap fill whose bitmap is missing (never defined, or over a bound) paints nothing:
// transparent, rather than a fill with no pixels for the renderer to trip over.
Paint MakePaint(const FillStyle& style, const BitmapLookup& lookup);

}  // namespace swfplayer::format
