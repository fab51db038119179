// Draws a timeline's display list on a Canvas: depth order, matrices and colour transforms
// concatenated down the sprite tree, shapes layer by layer (fills, then strokes), and clip
// layers as canvas masks over the depths they clip.
#pragma once

#include "swfplayer/player/MorphShapeCache.h"
#include "swfplayer/player/Timeline.h"
#include "swfplayer/render/Canvas.h"

namespace swfplayer::player {

class DisplayObject;

// morphs, when given, keeps the shapes tweens are made into for the next frame.
void RenderTimeline(render::Canvas& canvas, const Timeline& timeline, const Matrix& toDevice,
                    const ColorTransform& colorTransform, MorphShapeCache* morphs = nullptr);

// What one object draws (a clip's drawing and children, a shape, ...), without its own
// matrix, colour transform and effects: toDevice maps its coordinates.
void RenderObjectContent(render::Canvas& canvas, const DisplayObject& object, const Matrix& toDevice,
                         const ColorTransform& colorTransform);

}  // namespace swfplayer::player
