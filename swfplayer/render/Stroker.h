// Turns centre lines into outlines that, filled with the non-zero rule, cover the stroke.
#pragma once

#include "swfplayer/render/Contours.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::render {

// Appends to outline the closed polygons of stroking every contour of centre with a round pen
// of the given width (in the centre line's units: device pixels, or a StrokePen's stroking
// space). A contour whose last point equals its first is joined there, unless noClose. Curve
// points (smooth) always join round, within the flattening tolerance. Each outline polygon is
// made of pieces of one orientation, so overlaps never cancel under non-zero.
void StrokeContours(const Contours& centre, double width, const StrokeStyle& style,
                    Contours& outline);

}  // namespace swfplayer::render
