// SwfMovieBuilder's shape tweens and buttons.
#include "tools/SwfBits.h"
#include "tools/SwfBuilder.h"
#include "tools/SwfFields.h"

namespace swfsaver::tools {
namespace {

using detail::PutColor;
using detail::PutMatrix;
using detail::PutU16;
using detail::PutU32;

void PutMorphFill(std::vector<uint8_t>& out, const SwfMorphFill& fill) {
  const SwfFill& start = fill.start;
  const SwfFill& end = fill.end;
  switch (start.kind) {
    case SwfFill::Kind::kSolid:
      out.push_back(0x00);
      PutColor(out, start.color, true);
      PutColor(out, end.color, true);
      return;
    case SwfFill::Kind::kBitmap:
      out.push_back(static_cast<uint8_t>(0x40 | (start.clipped ? 1 : 0) | (start.smooth ? 0 : 2)));
      PutU16(out, start.bitmapId);
      PutMatrix(out, start.matrix);
      PutMatrix(out, end.matrix);
      return;
    default: break;
  }
  out.push_back(start.kind == SwfFill::Kind::kLinear ? 0x10 : start.kind == SwfFill::Kind::kRadial ? 0x12 : 0x13);
  PutMatrix(out, start.matrix);
  PutMatrix(out, end.matrix);
  out.push_back(static_cast<uint8_t>((start.spread << 6) | (start.interpolation << 4) | (start.stops.size() & 15)));
  for (size_t i = 0; i < start.stops.size(); ++i) {
    out.push_back(start.stops[i].first);
    PutColor(out, start.stops[i].second, true);
    const auto& other = i < end.stops.size() ? end.stops[i] : start.stops[i];
    out.push_back(other.first);
    PutColor(out, other.second, true);
  }
  if (start.kind == SwfFill::Kind::kFocal) {
    PutU16(out, static_cast<uint16_t>(start.focalPoint));
    PutU16(out, static_cast<uint16_t>(end.focalPoint));
  }
}

void PutMorphLine(std::vector<uint8_t>& out, const SwfMorphLine& line, int version) {
  PutU16(out, line.startWidth);
  PutU16(out, line.endWidth);
  if (version >= 2) {
    detail::BitWriter w(out);
    w.Write(line.startCap, 2);
    w.Write(line.join, 2);
    w.Write(line.fill.has_value(), 1);
    w.Write(0, 3);  // scaling in both directions, no hinting
    w.Write(0, 5);
    w.Write(0, 1);
    w.Write(line.endCap, 2);
    if (line.join == 2) PutU16(out, 3 << 8);
    if (line.fill) {
      PutMorphFill(out, *line.fill);
      return;
    }
  }
  PutColor(out, line.startColor, true);
  PutColor(out, line.endColor, true);
}

void PutCount(std::vector<uint8_t>& out, size_t count) {
  if (count < 0xFF) {
    out.push_back(static_cast<uint8_t>(count));
  } else {
    out.push_back(0xFF);
    PutU16(out, static_cast<uint32_t>(count));
  }
}

}  // namespace

uint16_t SwfMovieBuilder::DefineMorphShape(const SwfMorphShape& morph) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  for (int bounds = 0; bounds < (morph.version >= 2 ? 4 : 2); ++bounds) {
    detail::PutRect(body, morph.xMin, morph.xMax, morph.yMin, morph.yMax);
  }
  if (morph.version >= 2) body.push_back(0x01);  // scaling strokes only
  std::vector<uint8_t> styles;
  PutCount(styles, morph.fills.size());
  for (const SwfMorphFill& fill : morph.fills) PutMorphFill(styles, fill);
  PutCount(styles, morph.lines.size());
  for (const SwfMorphLine& line : morph.lines) PutMorphLine(styles, line, morph.version);
  std::vector<uint8_t> startEdges;
  detail::PutShapeRecords(startEdges, morph.start.records, morph.fills.size(), morph.lines.size(), 1);
  // The offset counts from just after itself to the end edges.
  PutU32(body, morph.wrongEndOffset ? 0 : static_cast<uint32_t>(styles.size() + startEdges.size()));
  body.insert(body.end(), styles.begin(), styles.end());
  body.insert(body.end(), startEdges.begin(), startEdges.end());
  detail::PutShapeRecords(body, morph.end.records, 0, 0, 1);
  Tag(morph.version >= 2 ? 84 : 46, body);
  return id;
}

uint16_t SwfMovieBuilder::DefineButton(const SwfButton& button) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  if (button.version >= 2) {
    body.push_back(0);  // not a menu
    PutU16(body, 0);    // no actions
  }
  for (const SwfButtonRecord& record : button.records) {
    body.push_back(record.states);
    PutU16(body, record.character);
    PutU16(body, record.depth);
    PutMatrix(body, record.matrix);
    if (button.version >= 2) detail::PutColorTransform(body, record.colorTransform, true);
  }
  body.push_back(0);  // end of the records
  if (button.version < 2) body.push_back(0);  // an empty action list
  Tag(button.version >= 2 ? 34 : 7, body);
  return id;
}

}  // namespace swfsaver::tools
