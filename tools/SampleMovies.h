// The sample movies the demo and the tests play: each name says compression or content, frame
// size, rate and frame count. Most are coloured empty stages; the animated ones
// (AnimatedSamples.h) are for watching and for timing the renderer. One more file is a movie
// cut to fewer than 25 bytes, too short to hold a frame-size rectangle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/SwfWriter.h"

namespace swfsaver::tools {

struct SampleMovie {
  std::string name;
  SwfOptions options;
  size_t truncateTo = 0;  // 0: the whole movie; otherwise only its first bytes
  // Writes the movie's tags from options; empty: a movie of empty frames (WriteSwf).
  std::vector<uint8_t> (*write)(const SwfOptions& options) = nullptr;

  std::vector<uint8_t> Bytes() const;
};

const std::vector<SampleMovie>& SampleMovies();

// Writes every sample into directory (which must exist). Returns the names that could not be
// written; empty on success.
std::vector<std::string> WriteSampleMovies(const std::string& directory);

// The titled sample (TitledSample.cpp): static text, a shape tween, and frame actions that
// stop the root on its last frame until a sprite sends it back to its first.
std::vector<uint8_t> WriteTitledTween(const SwfOptions& options);
SampleMovie TitledTweenSample();

}  // namespace swfsaver::tools
