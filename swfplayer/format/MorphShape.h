// DefineMorphShape and DefineMorphShape2: a shape tween, two edge lists with the same edges and
// styles that hold a start and an end value each. Decoding pairs the two lists once into
// edges that know both their positions; MorphShapeAt makes the ordinary shape a PlaceObject
// ratio shows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <variant>
#include <vector>

#include "swfplayer/format/Shape.h"

namespace swfplayer::format {

struct MorphFillStyle {
  FillStyle start;  // of the same kind as end: colour, gradient (same stops) or bitmap (same id)
  FillStyle end;
};

struct MorphLineStyle {
  LineStyle start;  // caps, joins and flags are the start's; width and fill tween
  LineStyle end;
};

// Absolute positions in twips at both ends. A straight edge paired with a curve becomes a
// curve with its control point at its midpoint, so both ends have the same kind.
struct MorphEdge {
  bool curved = false;
  Point startControl, startTo;
  Point endControl, endTo;
};

struct MorphStyleChange {
  std::optional<std::pair<Point, Point>> moveTo;  // start, end; absolute
  std::optional<uint32_t> fill0, fill1, line;  // 1-based into fills and lines; 0 = none
};

using MorphRecord = std::variant<MorphStyleChange, MorphEdge>;

struct MorphShapeDefinition {
  uint16_t id = 0;
  int version = 1;  // 1 or 2 for DefineMorphShape and DefineMorphShape2
  TwipsRect startBounds, endBounds;
  std::vector<MorphFillStyle> fills;
  std::vector<MorphLineStyle> lines;
  std::vector<MorphRecord> records;
  bool truncated = false;  // records were dropped: damage, a bound, or lists that do not pair
};

// version 1 or 2 from the tag code. Nothing for a tag too short for its header and styles.
// Where the end list holds fewer edges than the start list, the missing ends keep the start's
// shape (moved along with the end's pen).
std::optional<MorphShapeDefinition> DecodeMorphShape(std::span<const uint8_t> body, int version);

// The tween at ratio (0 the start, 65535 the end): every position, colour, gradient stop and
// matrix, bitmap matrix and line width interpolated. Positions are kept on a 1/32-twip grid so
// that points shared by several edges stay exactly equal and contours still join.
ShapeDefinition MorphShapeAt(const MorphShapeDefinition& morph, uint16_t ratio);

}  // namespace swfplayer::format
