#include "swfplayer/format/Shape.h"

#include <algorithm>

#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

Rgba Color(Reader& in, int version) { return version >= 3 ? in.Rgba() : in.Rgb(); }

Gradient ReadGradient(Reader& in, int version, GradientKind kind) {
  const Matrix matrix = in.Matrix();
  const uint8_t header = in.U8();  // on a whole byte after the matrix
  Gradient gradient = GradientFromHeader(kind, matrix, header);
  for (uint32_t i = 0; i < (header & 15u) && in.Ok(); ++i) {
    GradientStop stop;
    stop.ratio = in.U8();
    stop.color = Color(in, version);
    gradient.stops.push_back(stop);
  }
  if (kind == GradientKind::kFocal) {
    gradient.focalPoint = std::clamp(in.Fixed8(), -1.0f, 1.0f);
  }
  HoldRatiosInOrder(gradient);
  return gradient;
}

FillStyle ReadFillStyle(Reader& in, int version) {
  const uint8_t type = in.U8();
  switch (type) {
    case 0x00: return Color(in, version);
    case 0x10: return ReadGradient(in, version, GradientKind::kLinear);
    case 0x12: return ReadGradient(in, version, GradientKind::kRadial);
    case 0x13: return ReadGradient(in, version, GradientKind::kFocal);
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      return ReadBitmapFill(in, type);
    default:
      in.Fail();  // an unknown type has no known length: nothing after it can be read
      return Rgba{};
  }
}

Cap CapOf(uint32_t bits) {
  return bits == 1 ? Cap::kNone : bits == 2 ? Cap::kSquare : Cap::kRound;
}

LineStyle ReadLineStyle(Reader& in, int version) {
  LineStyle style;
  style.stroke.width = in.U16();
  if (version < 4) {
    style.fill = Color(in, version);
    return style;
  }
  style.stroke.startCap = CapOf(in.Bits(2));
  const uint32_t join = in.Bits(2);
  const bool hasFill = in.Flag();
  style.stroke.scaleX = !in.Flag();
  style.stroke.scaleY = !in.Flag();
  style.stroke.pixelHinting = in.Flag();
  in.Bits(5);
  style.stroke.noClose = in.Flag();
  style.stroke.endCap = CapOf(in.Bits(2));
  style.stroke.join = join == 1 ? Join::kBevel
                      : join == 2 ? Join::kMiter : Join::kRound;
  if (join == 2) style.stroke.miterLimit = in.Fixed8();
  style.fill = hasFill ? ReadFillStyle(in, version) : FillStyle{in.Rgba()};
  return style;
}

// The fill and line style arrays; counts of 0xFF are followed by a 16-bit count (for fills
// from DefineShape2 on, as older players read them).
bool ReadStyles(Reader& in, int version, size_t& budget, std::vector<FillStyle>& fills,
                std::vector<LineStyle>& lines) {
  uint32_t fillCount = in.U8();
  if (fillCount == 0xFF && version >= 2) fillCount = in.U16();
  if (fillCount > budget) in.Fail();
  if (!in.Ok()) return false;
  budget -= fillCount;
  for (uint32_t i = 0; i < fillCount && in.Ok(); ++i) fills.push_back(ReadFillStyle(in, version));
  uint32_t lineCount = in.U8();
  if (lineCount == 0xFF) lineCount = in.U16();
  if (lineCount > budget) in.Fail();
  if (!in.Ok()) return false;
  budget -= lineCount;
  for (uint32_t i = 0; i < lineCount && in.Ok(); ++i) lines.push_back(ReadLineStyle(in, version));
  return in.Ok();
}

// One record; false at the end record or when the data breaks off.
bool ReadRecord(Reader& in, int version, unsigned& fillBits, unsigned& lineBits,
                size_t& styleBudget, ShapeRecord& record) {
  if (in.Flag()) {
    Edge edge;
    const bool straight = in.Flag();
    const unsigned bits = in.Bits(4) + 2;
    if (straight) {
      if (in.Flag()) {
        edge.anchor.x = in.SignedBits(bits);
        edge.anchor.y = in.SignedBits(bits);
      } else if (in.Flag()) {
        edge.anchor.y = in.SignedBits(bits);
      } else {
        edge.anchor.x = in.SignedBits(bits);
      }
    } else {
      Point control;
      control.x = in.SignedBits(bits);
      control.y = in.SignedBits(bits);
      edge.anchor.x = in.SignedBits(bits);
      edge.anchor.y = in.SignedBits(bits);
      edge.control = control;
    }
    record = edge;
    return in.Ok();
  }
  const uint32_t flags = in.Bits(5);
  if (flags == 0 || !in.Ok()) return false;
  StyleChange change;
  if (flags & 0x01) {
    const unsigned bits = in.Bits(5);
    Point to;
    to.x = in.SignedBits(bits);
    to.y = in.SignedBits(bits);
    change.moveTo = to;
  }
  if (flags & 0x02) change.fill0 = in.Bits(fillBits);
  if (flags & 0x04) change.fill1 = in.Bits(fillBits);
  if (flags & 0x08) change.line = in.Bits(lineBits);
  if ((flags & 0x10) && version >= 2) {
    change.newStyles = true;
    if (!ReadStyles(in, version, styleBudget, change.fills, change.lines)) return false;
    fillBits = in.Bits(4);
    lineBits = in.Bits(4);
  }
  record = std::move(change);
  return in.Ok();
}

}  // namespace

Gradient GradientFromHeader(GradientKind kind, const Matrix& matrix,
                                    uint8_t header) {
  Gradient gradient;
  gradient.kind = kind;
  gradient.matrix = matrix;
  const uint32_t spread = header >> 6;
  const uint32_t interpolation = (header >> 4) & 3;
  // 3 is reserved for both; the Flash Player reads it as the default.
  gradient.spread = spread == 1 ? Spread::kReflect
                    : spread == 2 ? Spread::kRepeat : Spread::kPad;
  gradient.interpolation =
      interpolation == 1 ? Interpolation::kLinearRgb : Interpolation::kRgb;
  return gradient;
}

void HoldRatiosInOrder(Gradient& gradient) {
  for (size_t i = 1; i < gradient.stops.size(); ++i) {
    gradient.stops[i].ratio = std::max(gradient.stops[i].ratio, gradient.stops[i - 1].ratio);
  }
}

BitmapFillStyle ReadBitmapFill(Reader& in, uint8_t type) {
  BitmapFillStyle fill;
  fill.bitmapId = in.U16();
  fill.matrix = in.Matrix();
  fill.repeat = (type & 1) == 0;
  fill.smooth = (type & 2) == 0;
  return fill;
}

std::optional<ShapeDefinition> DecodeShape(std::span<const uint8_t> body, int version) {
  Reader in(body);
  ShapeDefinition shape;
  shape.version = version;
  shape.id = in.U16();
  shape.bounds = in.Rect();
  if (version >= 4) {
    shape.edgeBounds = in.Rect();
    shape.nonZeroWinding = (in.U8() & 0x04) != 0;
  }
  if (!in.Ok()) return std::nullopt;
  size_t styleBudget = kMaxShapeStyles;
  shape.truncated = true;
  if (!ReadStyles(in, version, styleBudget, shape.fills, shape.lines)) return shape;
  unsigned fillBits = in.Bits(4);
  unsigned lineBits = in.Bits(4);
  while (in.Ok()) {
    if (shape.records.size() >= kMaxShapeRecords) return shape;
    ShapeRecord record;
    if (!ReadRecord(in, version, fillBits, lineBits, styleBudget, record)) break;
    shape.records.push_back(std::move(record));
  }
  shape.truncated = !in.Ok();
  return shape;
}

bool ReadShapeRecords(Reader& in, size_t maxRecords, std::vector<ShapeRecord>& records) {
  unsigned fillBits = in.Bits(4);
  unsigned lineBits = in.Bits(4);
  size_t noStyles = 0;
  while (in.Ok()) {
    if (records.size() >= maxRecords) return false;
    ShapeRecord record;
    // Version 1 reads no style arrays, whatever the new-styles flag says.
    if (!ReadRecord(in, 1, fillBits, lineBits, noStyles, record)) return in.Ok();
    records.push_back(std::move(record));
  }
  return false;
}

}  // namespace swfplayer::format
