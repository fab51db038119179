// Draws a timeline's display list on a Canvas: depth order, matrices and colour transforms
// concatenated down the sprite tree, shapes layer by layer (fills, then strokes), and clip
// layers as canvas masks over the depths they clip.
#pragma once

#include "swfplayer/player/Timeline.h"
#include "swfplayer/render/Canvas.h"

namespace swfplayer::player {

void RenderTimeline(render::Canvas& canvas, const Timeline& timeline, const Matrix& toDevice,
                    const ColorTransform& colorTransform);

}  // namespace swfplayer::player
