#include "swfplayer/format/MorphShape.h"

#include <algorithm>

#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {


// A gradient's stops are interleaved: start ratio and colour, then end ratio and colour.
MorphFillStyle ReadMorphGradient(Reader& in, GradientKind kind) {
  const Matrix startMatrix = in.Matrix();
  const Matrix endMatrix = in.Matrix();
  const uint8_t header = in.U8();
  Gradient start = GradientFromHeader(kind, startMatrix, header);
  Gradient end = GradientFromHeader(kind, endMatrix, header);
  for (uint32_t i = 0; i < (header & 15u) && in.Ok(); ++i) {
    for (Gradient* side : {&start, &end}) {
      GradientStop stop;
      stop.ratio = in.U8();
      stop.color = in.Rgba();
      side->stops.push_back(stop);
    }
  }
  if (kind == GradientKind::kFocal) {
    start.focalPoint = std::clamp(in.Fixed8(), -1.0f, 1.0f);
    end.focalPoint = std::clamp(in.Fixed8(), -1.0f, 1.0f);
  }
  HoldRatiosInOrder(start);
  HoldRatiosInOrder(end);
  return {start, end};
}

MorphFillStyle ReadMorphFill(Reader& in) {
  const uint8_t type = in.U8();
  switch (type) {
    case 0x00: {
      const Rgba start = in.Rgba();
      return {start, in.Rgba()};
    }
    case 0x10: return ReadMorphGradient(in, GradientKind::kLinear);
    case 0x12: return ReadMorphGradient(in, GradientKind::kRadial);
    case 0x13: return ReadMorphGradient(in, GradientKind::kFocal);
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43: {
      const BitmapFillStyle start = ReadBitmapFill(in, type);
      BitmapFillStyle end = start;
      end.matrix = in.Matrix();
      return {start, end};
    }
    default:
      in.Fail();  // an unknown type has no known length
      return {Rgba{}, Rgba{}};
  }
}

Cap CapOf(uint32_t bits) {
  return bits == 1 ? Cap::kNone : bits == 2 ? Cap::kSquare : Cap::kRound;
}

MorphLineStyle ReadMorphLine(Reader& in, int version) {
  MorphLineStyle style;
  style.start.stroke.width = in.U16();
  style.end.stroke.width = in.U16();
  if (version >= 2) {
    StrokeStyle& stroke = style.start.stroke;
    stroke.startCap = CapOf(in.Bits(2));
    const uint32_t join = in.Bits(2);
    const bool hasFill = in.Flag();
    stroke.scaleX = !in.Flag();
    stroke.scaleY = !in.Flag();
    stroke.pixelHinting = in.Flag();
    in.Bits(5);
    stroke.noClose = in.Flag();
    stroke.endCap = CapOf(in.Bits(2));
    stroke.join = join == 1 ? Join::kBevel : join == 2 ? Join::kMiter : Join::kRound;
    if (join == 2) stroke.miterLimit = in.Fixed8();
    const double endWidth = style.end.stroke.width;
    style.end.stroke = stroke;
    style.end.stroke.width = endWidth;
    if (hasFill) {
      MorphFillStyle fill = ReadMorphFill(in);
      style.start.fill = std::move(fill.start);
      style.end.fill = std::move(fill.end);
      return style;
    }
  }
  style.start.fill = in.Rgba();
  style.end.fill = in.Rgba();
  return style;
}

bool ReadMorphStyles(Reader& in, int version, MorphShapeDefinition& morph) {
  size_t budget = kMaxShapeStyles;
  auto count = [&in, &budget] {
    uint32_t n = in.U8();
    if (n == 0xFF) n = in.U16();
    if (n > budget) in.Fail();
    budget -= in.Ok() ? n : 0;
    return in.Ok() ? n : 0;
  };
  const uint32_t fills = count();
  for (uint32_t i = 0; i < fills && in.Ok(); ++i) morph.fills.push_back(ReadMorphFill(in));
  const uint32_t lines = count();
  for (uint32_t i = 0; i < lines && in.Ok(); ++i) morph.lines.push_back(ReadMorphLine(in, version));
  return in.Ok();
}

struct Pens {
  Point start, end;
};

struct AbsoluteEdge {
  std::optional<Point> control;
  Point to;
};

AbsoluteEdge Absolute(const Edge& edge, Point from) {
  if (!edge.control) return {std::nullopt, {from.x + edge.anchor.x, from.y + edge.anchor.y}};
  const Point control{from.x + edge.control->x, from.y + edge.control->y};
  return {control, {control.x + edge.anchor.x, control.y + edge.anchor.y}};
}

Point Midpoint(Point a, Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// Pairs the start list with the end list, which holds the same edges and, for every move of
// the start list, a move of its own (and no other style information).
void Pair(const std::vector<ShapeRecord>& start, const std::vector<ShapeRecord>& end,
          MorphShapeDefinition& morph) {
  Pens pen;
  size_t next = 0;  // into end
  auto endChange = [&]() -> const StyleChange* {
    return next < end.size() ? std::get_if<StyleChange>(&end[next]) : nullptr;
  };
  for (const ShapeRecord& record : start) {
    if (const auto* change = std::get_if<StyleChange>(&record)) {
      MorphStyleChange paired{std::nullopt, change->fill0, change->fill1, change->line};
      const StyleChange* other = endChange();
      if (other && (change->moveTo || !other->moveTo)) {
        ++next;
        if (other->moveTo) pen.end = *other->moveTo;
        else if (change->moveTo) pen.end = *change->moveTo;
      } else if (change->moveTo) {
        pen.end = *change->moveTo;  // an end list without the move: the contour starts alike
      }
      if (change->moveTo) {
        pen.start = *change->moveTo;
        paired.moveTo = std::pair{pen.start, pen.end};
      }
      morph.records.push_back(paired);
      continue;
    }
    const Edge& startEdge = std::get<Edge>(record);
    while (const StyleChange* stray = endChange()) {  // a move the start list does not have
      if (stray->moveTo) pen.end = *stray->moveTo;
      ++next;
    }
    if (next >= end.size()) morph.truncated = true;
    const Edge& endEdge = next < end.size() ? std::get<Edge>(end[next++]) : startEdge;
    const AbsoluteEdge s = Absolute(startEdge, pen.start);
    const AbsoluteEdge e = Absolute(endEdge, pen.end);
    MorphEdge edge;
    edge.curved = s.control || e.control;
    edge.startControl = s.control.value_or(Midpoint(pen.start, s.to));
    edge.endControl = e.control.value_or(Midpoint(pen.end, e.to));
    edge.startTo = s.to;
    edge.endTo = e.to;
    morph.records.push_back(edge);
    pen = {s.to, e.to};
  }
}

size_t PositionOf(std::span<const uint8_t> body, const Reader& in) {
  return body.size() - in.RemainingBytes();
}

}  // namespace

std::optional<MorphShapeDefinition> DecodeMorphShape(std::span<const uint8_t> body, int version) {
  Reader in(body);
  MorphShapeDefinition morph;
  morph.version = version;
  morph.id = in.U16();
  morph.startBounds = in.Rect();
  morph.endBounds = in.Rect();
  if (version >= 2) {
    in.Rect();  // the edge bounds, for strokes, are not needed
    in.Rect();
    in.U8();    // which strokes scale
  }
  const uint32_t endOffset = in.U32();
  const size_t offsetBase = PositionOf(body, in);
  if (!in.Ok() || !ReadMorphStyles(in, version, morph)) return std::nullopt;

  std::vector<ShapeRecord> start, end;
  morph.truncated = !ReadShapeRecords(in, kMaxMorphRecords, start);
  // The end list lies where the offset says; a wrong offset is caught by trying the place
  // right after the start list instead.
  size_t endAt = offsetBase + endOffset;
  if (endOffset == 0 || endAt < PositionOf(body, in) || endAt >= body.size()) endAt = PositionOf(body, in);
  if (endAt < body.size()) {
    Reader endIn(body.subspan(endAt));
    morph.truncated |= !ReadShapeRecords(endIn, kMaxMorphRecords, end);
  }
  Pair(start, end, morph);
  return morph;
}

}  // namespace swfplayer::format
