// Whether a point falls on an outline: inside its fill (by the fill rule) or within half a
// stroke's width of its line, in the outline's own coordinates. Curves are followed as short
// straight pieces, finer than a twip's worth of difference at the sizes shapes have.
#pragma once

#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::player {

// Every contour is closed back to its start, as a fill closes it.
bool PathContains(const Path& path, FillRule rule, Point p);
// Within halfWidth of any segment (a contour is not closed unless it ends where it began).
bool PathNear(const Path& path, double halfWidth, Point p);

}  // namespace swfplayer::player
