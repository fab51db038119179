// Turns a shape's records into paths: for each style layer (the initial styles, then one more
// for every style change with new styles, drawn above the previous), one closed outline per
// fill style and one polyline set per line style, in twips.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swfplayer/format/Shape.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::format {

struct StyledPath {
  uint32_t style = 0;  // 0-based into the layer's fills or lines
  Path path;
};

struct ShapeLayer {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  std::vector<StyledPath> fillPaths;    // by fill style, each non-empty
  std::vector<StyledPath> strokePaths;  // by line style, each non-empty
};

// Fill edges are joined end to start into contours (fill1 edges as they come, fill0 edges
// reversed); an edge chain that cannot be closed ends open, and the fill closes it. Each edge
// is used once, so bad data never loops. pointBudget is decreased by the points added; edges
// past it are dropped.
std::vector<ShapeLayer> BuildShapeLayers(const ShapeDefinition& shape, size_t& pointBudget);

}  // namespace swfplayer::format
