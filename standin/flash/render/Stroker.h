// Turns centre lines in device pixels into outlines that, filled with the non-zero rule, cover
// the stroke.
#pragma once

#include "standin/flash/render/Contours.h"
#include "standin/flash/render/Geometry.h"
#include "standin/flash/render/Paint.h"

namespace swfsaver::flash::render {

// The stroke's width in device pixels. SWF strokes scale with their object; the pen stays
// round in device space, so a non-uniform or skewed matrix scales the width by the mean of the
// lengths its axes get, (|M(1,0)| + |M(0,1)|) / 2. An axis whose flag is off contributes the
// other's length, and with both off the width is taken at 20 path units per pixel. Never less
// than one pixel (a hairline of width 0 draws one pixel); pixel hinting rounds it to whole
// pixels.
double DeviceStrokeWidth(const StrokeStyle& style, const Matrix& toDevice);

// Moves centre-line points so that a stroke of the given (hinted) width has its edges on pixel
// boundaries.
void HintCentreLine(double deviceWidth, Contours& centre);

// Appends to outline the closed polygons of stroking every contour of centre with the given
// device width. A contour whose last point equals its first is joined there, unless noClose.
// Curve points (smooth) always join round, within the flattening tolerance. Each outline
// polygon is made of pieces of one orientation, so overlaps never cancel under non-zero.
void StrokeContours(const Contours& centre, double deviceWidth, const StrokeStyle& style,
                    Contours& outline);

}  // namespace swfsaver::flash::render
