#include "swfplayer/format/ShapeLayers.h"

#include <map>
#include <optional>
#include <utility>

namespace swfplayer::format {
namespace {


struct DirectedEdge {
  Point from;
  std::optional<Point> control;
  Point to;
};

DirectedEdge Reversed(const DirectedEdge& e) { return {e.to, e.control, e.from}; }

void Append(Path& path, const DirectedEdge& e) {
  if (e.control) {
    path.QuadTo(*e.control, e.to);
  } else {
    path.LineTo(e.to);
  }
}

// Joins edges into contours, keeping the order they came in wherever it already connects.
Path JoinContours(const std::vector<DirectedEdge>& edges) {
  std::map<std::pair<double, double>, std::vector<size_t>> byStart;
  for (size_t i = edges.size(); i-- > 0;) byStart[{edges[i].from.x, edges[i].from.y}].push_back(i);
  std::vector<bool> used(edges.size(), false);
  auto takeFrom = [&](Point at) -> std::optional<size_t> {
    auto found = byStart.find({at.x, at.y});
    if (found == byStart.end()) return std::nullopt;
    auto& candidates = found->second;
    while (!candidates.empty() && used[candidates.back()]) candidates.pop_back();
    if (candidates.empty()) return std::nullopt;
    return candidates.back();
  };
  Path path;
  for (size_t first = 0; first < edges.size(); ++first) {
    if (used[first]) continue;
    const Point start = edges[first].from;
    path.MoveTo(start);
    size_t current = first;
    for (;;) {
      used[current] = true;
      Append(path, edges[current]);
      const Point end = edges[current].to;
      if (end == start) break;
      const size_t next = current + 1;
      if (next < edges.size() && !used[next] && edges[next].from == end) {
        current = next;
        continue;
      }
      const std::optional<size_t> any = takeFrom(end);
      if (!any) break;
      current = *any;
    }
  }
  return path;
}

class LayerBuilder {
 public:
  LayerBuilder(std::vector<FillStyle> fills, std::vector<LineStyle> lines)
      : fillEdges_(fills.size()), lines_(lines.size()) {
    layer_.fills = std::move(fills);
    layer_.lines = std::move(lines);
  }

  size_t FillCount() const { return fillEdges_.size(); }
  size_t LineCount() const { return lines_.size(); }

  // Styles are 1-based; 0 and indices past the arrays draw nothing.
  void Add(const DirectedEdge& edge, uint32_t fill0, uint32_t fill1, uint32_t line) {
    if (fill1 != 0 && fill1 <= fillEdges_.size()) fillEdges_[fill1 - 1].push_back(edge);
    if (fill0 != 0 && fill0 <= fillEdges_.size()) fillEdges_[fill0 - 1].push_back(Reversed(edge));
    if (line != 0 && line <= lines_.size()) {
      LinePen& pen = lines_[line - 1];
      if (!pen.at || !(*pen.at == edge.from)) pen.path.MoveTo(edge.from);
      Append(pen.path, edge);
      pen.at = edge.to;
    }
  }

  ShapeLayer Finish() {
    for (size_t i = 0; i < fillEdges_.size(); ++i) {
      if (!fillEdges_[i].empty()) {
        layer_.fillPaths.push_back({static_cast<uint32_t>(i), JoinContours(fillEdges_[i])});
      }
    }
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (!lines_[i].path.Empty()) {
        layer_.strokePaths.push_back({static_cast<uint32_t>(i), std::move(lines_[i].path)});
      }
    }
    return std::move(layer_);
  }

 private:
  struct LinePen {
    Path path;
    std::optional<Point> at;
  };
  ShapeLayer layer_;
  std::vector<std::vector<DirectedEdge>> fillEdges_;
  std::vector<LinePen> lines_;
};

}  // namespace

std::vector<ShapeLayer> BuildShapeLayers(const ShapeDefinition& shape, size_t& pointBudget) {
  std::vector<ShapeLayer> layers;
  LayerBuilder builder(shape.fills, shape.lines);
  Point pen;
  uint32_t fill0 = 0, fill1 = 0, line = 0;
  for (const ShapeRecord& record : shape.records) {
    if (const auto* change = std::get_if<StyleChange>(&record)) {
      if (change->newStyles) {
        layers.push_back(builder.Finish());
        builder = LayerBuilder(change->fills, change->lines);
        fill0 = fill1 = line = 0;  // indices into the old arrays mean nothing in the new ones
      }
      if (change->fill0) fill0 = *change->fill0;
      if (change->fill1) fill1 = *change->fill1;
      if (change->line) line = *change->line;
      if (change->moveTo) pen = *change->moveTo;
      continue;
    }
    const Edge& edge = std::get<Edge>(record);
    DirectedEdge directed{pen, std::nullopt, pen};
    if (edge.control) {
      directed.control = Point{pen.x + edge.control->x, pen.y + edge.control->y};
      directed.to = Point{directed.control->x + edge.anchor.x, directed.control->y + edge.anchor.y};
    } else {
      directed.to = Point{pen.x + edge.anchor.x, pen.y + edge.anchor.y};
    }
    pen = directed.to;
    // Each use of an edge adds at most three points (a move, a control, an end).
    const size_t uses = (fill0 != 0) + (fill1 != 0) + (line != 0);
    if (uses * 3 > pointBudget) break;
    pointBudget -= uses * 3;
    builder.Add(directed, fill0, fill1, line);
  }
  layers.push_back(builder.Finish());
  return layers;
}

}  // namespace swfplayer::format
