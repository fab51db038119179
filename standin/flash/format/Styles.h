// Fill and line styles as the renderer's paints and strokes. Bitmap fills name a bitmap
// character; the caller resolves it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "standin/flash/format/Shape.h"
#include "standin/flash/render/Paint.h"

namespace swfsaver::flash::format {

using BitmapLookup = std::function<std::shared_ptr<const render::Bitmap>(uint16_t id)>;

// A bitmap fill whose bitmap is missing (never defined, or over a bound) paints nothing:
// transparent, rather than a fill with no pixels for the renderer to trip over.
render::Paint MakePaint(const FillStyle& style, const BitmapLookup& lookup);

}  // namespace swfsaver::flash::format
