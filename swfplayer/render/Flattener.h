// A path mapped to device pixels with its curves replaced by line segments.
#pragma once

#include "swfplayer/render/Contours.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::render {

// Largest distance between a curve and its segments, in device pixels.
inline constexpr double kFlatnessTolerance = 0.1;

// Appends the contours of path, mapped by toDevice, to out. A curve whose control points all lie
// outside `relevant` becomes its chord: what it would add there cannot show (a fill only needs
// the winding that crosses the area, a stroke passes a margin wide enough for its width). A
// contour with a non-finite coordinate is dropped; coordinates beyond ±1e12 px are clamped.
// Every curve yields a bounded number of segments, whatever its size.
void FlattenPath(const Path& path, const Matrix& toDevice, const DeviceRect& relevant,
                 Contours& out);

}  // namespace swfplayer::render
