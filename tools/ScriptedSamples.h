// The scripted sample movies: what people kept Flash screen savers for, steered by ActionScript
// the way real movies were (scripts written with ActionAssembler.h). Each plays its timeline
// over options.frameCount frames, so the saver moves on after it; the script keeps its state
// across the timeline's loop.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/SwfWriter.h"

namespace swfsaver::tools {

// An analogue clock whose hands a script turns to the time of day from Date, each frame, and a
// digital read-out and the date in device-font (_sans) text fields bound to variables.
std::vector<uint8_t> WriteClock(const SwfOptions& options);
// Snow over a night landscape: flakes made with duplicateMovieClip, drifting by onEnterFrame
// with Math.random and a wind that changes with getTimer.
std::vector<uint8_t> WriteSnow(const SwfOptions& options);
// A fountain of a few hundred sparks: a class registered for an exported sprite, instances
// made with attachMovie, each moved by its onEnterFrame and tinted with Color.
std::vector<uint8_t> WriteSparks(const SwfOptions& options);
// An SWF 5 movie with Japanese text in device fonts: a field's own text and strings its script
// writes, all in the system's ANSI code page (Shift-JIS).
std::vector<uint8_t> WriteJapaneseText(const SwfOptions& options);

}  // namespace swfsaver::tools
