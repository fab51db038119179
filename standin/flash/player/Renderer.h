// Draws a timeline's display list on a Canvas: depth order, matrices and colour transforms
// concatenated down the sprite tree, shapes layer by layer (fills, then strokes), and clip
// layers as canvas masks over the depths they clip.
#pragma once

#include "standin/flash/player/Timeline.h"
#include "standin/flash/render/Canvas.h"

namespace swfsaver::flash::player {

void RenderTimeline(render::Canvas& canvas, const Timeline& timeline, const render::Matrix& toDevice,
                    const render::ColorTransform& colorTransform);

}  // namespace swfsaver::flash::player
