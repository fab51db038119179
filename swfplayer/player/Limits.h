// The player's bounds on what a movie may make it hold or do per tick (the decoder's own are
// in format/Limits.h). Over a bound the movie plays what fits: the object, tag or sprite
// level that does not fit is left out.
#pragma once

#include <cstddef>

namespace swfplayer::player {

// Control tags (PlaceObject*, RemoveObject*, and the records of buttons' up states) over all
// the timelines of a movie.
inline constexpr size_t kMaxControlTags = 500'000;
// Objects on one timeline's display list at once.
inline constexpr size_t kMaxObjectsPerTimeline = 16'384;
// Objects on every display list of the movie together, sprites' own included.
inline constexpr size_t kMaxDisplayObjects = 100'000;
// Sprites inside sprites: the root's children are at level 1. A sprite that places itself,
// directly or through others, stops here; the instance past it shows nothing.
inline constexpr int kMaxSpriteNesting = 32;
// Control tags carried out, and frames entered or replayed, in one tick over all timelines (a
// sprite with many tags a frame, placed many times, or gotos over long timelines, would
// otherwise multiply them); the timelines stepped after the budget is spent still move to
// their next frame but place nothing new in that tick, and a jump waits for a later tick.
inline constexpr size_t kMaxTagsPerTick = 250'000;
// Fills and strokes handed to the canvas for one frame; the rest of the frame is not drawn.
inline constexpr size_t kMaxDrawsPerFrame = 200'000;
// Tween records interpolated for one frame; tweens past it are not drawn in that frame.
inline constexpr size_t kMaxMorphRecordsPerFrame = 1'000'000;

}  // namespace swfplayer::player
