// What scripts' bitmaps take from the movie: BitmapData.draw drawn by the player's renderer,
// and the bitmaps a movie exports for BitmapData.loadBitmap.
#pragma once

#include <memory>
#include <string_view>

#include "swfplayer/avm1/BitmapDraw.h"
#include "swfplayer/types/Effects.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::player {

class PlayContext;

// Draws the request's source into target's pixels (premultiplied) with anti-aliasing, over
// what is there, changing only the request's rectangle; an opaque target stays opaque. False
// when nothing could be drawn (a target without pixels).
bool DrawIntoBitmap(Bitmap& target, bool transparent, const avm1::BitmapDraw& draw);

// Applies a script's filter to a script's bitmap (premultiplied pixels, rows without padding)
// as the display applies it to a clip at a zoom of 1.
bool ApplyBitmapFilter(const Filter& filter, uint32_t* pixels, int width, int height);

// The bitmap the movie exports under name (without case before SWF 7), or null.
std::shared_ptr<const Bitmap> ExportedBitmap(const PlayContext& context, std::u16string_view name);

}  // namespace swfplayer::player
