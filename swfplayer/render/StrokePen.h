// The pen a stroke is drawn with, in device pixels. An SWF stroke that scales both ways is
// geometry of its shape: its outline is built in the shape's coordinates and mapped with the
// shape, so under a non-uniform or skewed matrix the pen becomes an ellipse (a circle scaled
// 4:1 across shows a line four times thicker at its sides than at its top). A stroke that
// ignores one axis's scaling keeps a round pen.
#pragma once

#include <cstdint>

#include "swfplayer/render/Contours.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::render {

// The stroker works on a round pen of `width` in a "stroking space"; toDevice maps that space
// to device pixels. Its largest stretch is 1, so outline errors of the stroking space (arc and
// flattening tolerances) never grow on the way to the device.
struct StrokePen {
  double width = 1;         // the round pen's diameter in the stroking space
  Matrix toDevice;          // linear; the identity when the pen is round on the device too
  Matrix fromDevice;        // its inverse
  bool round = true;        // toDevice is the identity
  double deviceWidthX = 1;  // how wide the stroke of a vertical line is on the device
  double deviceWidthY = 1;  // how tall the stroke of a horizontal line is

  // The farthest the pen reaches from the centre line on the device.
  double DeviceReach() const { return width / 2; }
};

// Scaling both ways: the pen is the shape's round pen of style.width mapped by toDevice. Each
// principal axis of that ellipse is kept at least one device pixel wide, so a stroke too thin
// (or squashed flat) draws a 1-pixel line across its thin direction while keeping its length
// along the other; width 0 is a 1-pixel hairline. Otherwise the pen is round: with NoHScale
// its width follows the vertical axis only, with NoVScale the horizontal, with both it is taken
// at 20 path units per pixel, again never under one pixel. Pixel hinting rounds the device
// widths to whole pixels. Widths are capped at 2^20 px; a non-finite matrix draws 1 px.
StrokePen MakeStrokePen(const StrokeStyle& style, const Matrix& toDevice);

// The style's caps, join and flags in one word, with bit 31 set (a fill's key has 0 there):
// with its width and miter limit, what besides the path and matrix decides a stroke's outline.
uint32_t StrokeStyleBits(const StrokeStyle& style);

// Maps every point by m's linear part, in place.
void MapContours(const Matrix& m, Contours& contours);

// Moves centre-line points so that edges of a stroke of the given (hinted, whole-pixel) device
// widths fall on pixel boundaries: x by widthX's parity, y by widthY's.
void HintCentreLine(double widthX, double widthY, Contours& centre);

}  // namespace swfplayer::render
