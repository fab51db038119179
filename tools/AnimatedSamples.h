// The animated sample movies: things a person watches on a dark screen, which also exercise
// the player and renderer (gradients, strokes, curves, sprites, bitmaps, clipping, colour
// transforms, and a dense frame to time the renderer by). Each writes a movie with options'
// frame size, rate, background and compression, laying its animation over options.frameCount
// frames so that the last frame leads smoothly back into the first.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/SwfWriter.h"

namespace swfsaver::tools {

// Gradient-filled and stroked shapes moving, turning, scaling and fading about the centre.
std::vector<uint8_t> WriteShapesInMotion(const SwfOptions& options);
// A 12-frame spinning pinwheel sprite, placed several times, tinted and mirrored.
std::vector<uint8_t> WriteSpritePinwheels(const SwfOptions& options);
// A generated 128 x 128 bitmap with alpha as repeating and clipped fills, panning and turning,
// over a generated JPEG sky.
std::vector<uint8_t> WriteBitmapFills(const SwfOptions& options);
// Hundreds of curved, gradient-filled and stroked shapes drifting: the renderer's benchmark.
std::vector<uint8_t> WriteDenseShapes(const SwfOptions& options);
// Twelve gradient tiles, stopped on the first of two frames (StoppedSample.cpp).
std::vector<uint8_t> WriteStoppedShapes(const SwfOptions& options);

}  // namespace swfsaver::tools
