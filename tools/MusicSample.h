// The sample movie with sound (MusicSample.cpp): a melody streamed along the timeline and a
// chime started on every beat.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/SwfWriter.h"

namespace swfsaver::tools {

// The melody's notes in Hz, each an equal share of the movie's length.
const std::vector<double>& MusicSampleNotes();
std::vector<uint8_t> WriteMusicSample(const SwfOptions& options);

}  // namespace swfsaver::tools
