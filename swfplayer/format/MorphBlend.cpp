// MorphShapeAt: the shape a tween shows at one ratio.
#include <algorithm>
#include <cmath>

#include "swfplayer/format/MorphShape.h"

namespace swfplayer::format {
namespace {


double Mix(double start, double end, double t) { return start + (end - start) * t; }

// 1/32 twip: exact in a double, so the same inputs always land on the same point.
double OnGrid(double value) { return std::round(value * 32.0) / 32.0; }

Point MixPoint(Point start, Point end, double t) {
  return {OnGrid(Mix(start.x, end.x, t)), OnGrid(Mix(start.y, end.y, t))};
}

uint8_t MixByte(uint8_t start, uint8_t end, double t) {
  return static_cast<uint8_t>(std::clamp(std::lround(Mix(start, end, t)), 0L, 255L));
}

Rgba MixColor(Rgba start, Rgba end, double t) {
  return {MixByte(start.r, end.r, t), MixByte(start.g, end.g, t), MixByte(start.b, end.b, t),
          MixByte(start.a, end.a, t)};
}

Matrix MixMatrix(const Matrix& start, const Matrix& end, double t) {
  return {Mix(start.a, end.a, t), Mix(start.b, end.b, t),   Mix(start.c, end.c, t),
          Mix(start.d, end.d, t), Mix(start.tx, end.tx, t), Mix(start.ty, end.ty, t)};
}

Gradient MixGradient(const Gradient& start, const Gradient& end, double t) {
  Gradient out = start;
  out.matrix = MixMatrix(start.matrix, end.matrix, t);
  out.focalPoint = static_cast<float>(Mix(start.focalPoint, end.focalPoint, t));
  for (size_t i = 0; i < out.stops.size() && i < end.stops.size(); ++i) {
    out.stops[i].ratio = MixByte(start.stops[i].ratio, end.stops[i].ratio, t);
    out.stops[i].color = MixColor(start.stops[i].color, end.stops[i].color, t);
    if (i > 0) out.stops[i].ratio = std::max(out.stops[i].ratio, out.stops[i - 1].ratio);
  }
  return out;
}

// Both ends are of one kind by construction; should they differ, the start is shown.
FillStyle MixFill(const FillStyle& start, const FillStyle& end, double t) {
  if (start.index() != end.index()) return start;
  if (const auto* color = std::get_if<Rgba>(&start)) {
    return MixColor(*color, std::get<Rgba>(end), t);
  }
  if (const auto* gradient = std::get_if<Gradient>(&start)) {
    return MixGradient(*gradient, std::get<Gradient>(end), t);
  }
  BitmapFillStyle bitmap = std::get<BitmapFillStyle>(start);
  bitmap.matrix = MixMatrix(bitmap.matrix, std::get<BitmapFillStyle>(end).matrix, t);
  return bitmap;
}

int32_t MixCoordinate(int32_t start, int32_t end, double t) {
  return static_cast<int32_t>(std::lround(Mix(start, end, t)));
}

}  // namespace

ShapeDefinition MorphShapeAt(const MorphShapeDefinition& morph, uint16_t ratio) {
  const double t = ratio / 65535.0;
  ShapeDefinition shape;
  shape.id = morph.id;
  shape.version = 4;
  shape.bounds = {MixCoordinate(morph.startBounds.xMin, morph.endBounds.xMin, t),
                  MixCoordinate(morph.startBounds.xMax, morph.endBounds.xMax, t),
                  MixCoordinate(morph.startBounds.yMin, morph.endBounds.yMin, t),
                  MixCoordinate(morph.startBounds.yMax, morph.endBounds.yMax, t)};
  shape.truncated = morph.truncated;
  for (const MorphFillStyle& fill : morph.fills) shape.fills.push_back(MixFill(fill.start, fill.end, t));
  for (const MorphLineStyle& line : morph.lines) {
    LineStyle mixed = line.start;
    mixed.stroke.width = Mix(line.start.stroke.width, line.end.stroke.width, t);
    mixed.fill = MixFill(line.start.fill, line.end.fill, t);
    shape.lines.push_back(std::move(mixed));
  }
  shape.records.reserve(morph.records.size());
  Point pen;
  for (const MorphRecord& record : morph.records) {
    if (const auto* change = std::get_if<MorphStyleChange>(&record)) {
      StyleChange out;
      out.fill0 = change->fill0;
      out.fill1 = change->fill1;
      out.line = change->line;
      if (change->moveTo) {
        pen = MixPoint(change->moveTo->first, change->moveTo->second, t);
        out.moveTo = pen;
      }
      shape.records.push_back(std::move(out));
      continue;
    }
    const MorphEdge& edge = std::get<MorphEdge>(record);
    const Point to = MixPoint(edge.startTo, edge.endTo, t);
    Edge out;
    if (edge.curved) {
      const Point control = MixPoint(edge.startControl, edge.endControl, t);
      out.control = Point{control.x - pen.x, control.y - pen.y};
      out.anchor = {to.x - control.x, to.y - control.y};
    } else {
      out.anchor = {to.x - pen.x, to.y - pen.y};
    }
    shape.records.push_back(out);
    pen = to;
  }
  return shape;
}

}  // namespace swfplayer::format
