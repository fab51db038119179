// DefineShape, DefineShape2, DefineShape3 and DefineShape4 decoded to plain structs: the style
// arrays and the shape records, with every count and field read under the tag's length.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::format {

struct BitmapFillStyle {
  uint16_t bitmapId = 0;
  Matrix matrix;  // bitmap pixels to twips: a scale of 20 is 1:1
  bool repeat = true;
  bool smooth = true;
};

// A solid colour, a gradient (with its matrix) or a bitmap fill.
using FillStyle = std::variant<Rgba, Gradient, BitmapFillStyle>;

struct LineStyle {
  StrokeStyle stroke;  // width in twips, caps, join, scaling flags
  FillStyle fill;              // the colour, or a LineStyle2's own fill
};

struct StyleChange {
  std::optional<Point> moveTo;  // absolute, in twips
  std::optional<uint32_t> fill0;        // 1-based into the current fill styles; 0 = none
  std::optional<uint32_t> fill1;
  std::optional<uint32_t> line;
  bool newStyles = false;               // the arrays below replace the current ones
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
};

// Deltas in twips, as SWF stores them: a straight edge's anchor from the pen; a curved edge's
// control from the pen and its anchor from the control point.
struct Edge {
  std::optional<Point> control;
  Point anchor;
};

using ShapeRecord = std::variant<StyleChange, Edge>;

struct ShapeDefinition {
  uint16_t id = 0;
  int version = 1;  // 1 to 4 for DefineShape to DefineShape4
  TwipsRect bounds;
  TwipsRect edgeBounds;  // DefineShape4 only
  bool nonZeroWinding = false;
  std::vector<FillStyle> fills;  // the initial arrays
  std::vector<LineStyle> lines;
  std::vector<ShapeRecord> records;
  bool truncated = false;  // the records ended early (bad data or kMaxShapeRecords)
};

// version is 1 to 4 (from the tag code). Nothing for a tag too short for its id and bounds;
// a tag whose records break off keeps the records read before.
std::optional<ShapeDefinition> DecodeShape(std::span<const uint8_t> body, int version);

class Reader;

// A gradient of the given kind and matrix with the spread and interpolation its header byte
// gives (the stop count in its low bits is the caller's); no stops yet.
Gradient GradientFromHeader(GradientKind kind, const Matrix& matrix,
                                    uint8_t header);
// A gradient without stops paints nothing; one with decreasing ratios is repaired by holding the
// previous ratio, so the renderer can rely on the order.
void HoldRatiosInOrder(Gradient& gradient);
// A bitmap fill, types 0x40 to 0x43: the bitmap's id and matrix; bit 0 clear repeats, bit 1
// clear smooths.
BitmapFillStyle ReadBitmapFill(Reader& in, uint8_t type);

// A SHAPE without style arrays, as glyph outlines and morph edges store it: the sizes of the
// fill and line indices, then records up to the end record (a style change cannot bring new
// styles here). At most maxRecords are kept. False when the data breaks off or the bound is
// reached; the records read before are kept either way.
bool ReadShapeRecords(Reader& in, size_t maxRecords, std::vector<ShapeRecord>& records);

}  // namespace swfplayer::format
