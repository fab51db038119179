#include "tools/SwfFields.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/SwfBits.h"

namespace swfsaver::tools::detail {

void PutColor(std::vector<uint8_t>& out, SwfRgba c, bool alpha) {
  out.insert(out.end(), {c.r, c.g, c.b});
  if (alpha) out.push_back(c.a);
}

void PutString(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

void PutRect(std::vector<uint8_t>& out, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
  const unsigned bits = std::max({SignedBitsFor(xMin), SignedBitsFor(xMax), SignedBitsFor(yMin),
                                  SignedBitsFor(yMax)});
  BitWriter w(out);
  w.Write(bits, 5);
  for (int32_t v : {xMin, xMax, yMin, yMax}) w.WriteSigned(v, bits);
}

void PutMatrix(std::vector<uint8_t>& out, const SwfMatrix& m) {
  auto fixed = [](double v) {
    const double scaled = std::round(v * 65536.0);
    if (std::abs(scaled) >= 1 << 30) throw std::invalid_argument("matrix value does not fit 31 bits");
    return static_cast<int32_t>(scaled);
  };
  BitWriter w(out);
  // The scale pair, then the rotate-skew pair: a flag, and where set both in one bit count.
  auto pair = [&](bool present, double first, double second) {
    w.Write(present, 1);
    if (!present) return;
    const unsigned bits = std::max(SignedBitsFor(fixed(first)), SignedBitsFor(fixed(second)));
    w.Write(bits, 5);
    w.WriteSigned(fixed(first), bits);
    w.WriteSigned(fixed(second), bits);
  };
  pair(m.a != 1 || m.d != 1, m.a, m.d);
  pair(m.b != 0 || m.c != 0, m.b, m.c);
  const unsigned bits = std::max(SignedBitsFor(m.tx), SignedBitsFor(m.ty));
  w.Write(bits, 5);
  w.WriteSigned(m.tx, bits);
  w.WriteSigned(m.ty, bits);
}

void PutColorTransform(std::vector<uint8_t>& out, const SwfColorTransform& cx, bool alpha) {
  const int16_t mul[] = {cx.mulR, cx.mulG, cx.mulB, cx.mulA};
  const int16_t add[] = {cx.addR, cx.addG, cx.addB, cx.addA};
  const size_t n = alpha ? 4 : 3;
  bool hasMul = false, hasAdd = false;
  unsigned bits = 1;
  for (size_t i = 0; i < n; ++i) {
    hasMul |= mul[i] != 256;
    hasAdd |= add[i] != 0;
  }
  for (size_t i = 0; i < n; ++i) {
    if (hasMul) bits = std::max(bits, SignedBitsFor(mul[i]));
    if (hasAdd) bits = std::max(bits, SignedBitsFor(add[i]));
  }
  BitWriter w(out);
  w.Write(hasAdd, 1);
  w.Write(hasMul, 1);
  w.Write(bits, 4);
  if (hasMul) for (size_t i = 0; i < n; ++i) w.WriteSigned(mul[i], bits);
  if (hasAdd) for (size_t i = 0; i < n; ++i) w.WriteSigned(add[i], bits);
}

void PutFill(std::vector<uint8_t>& out, const SwfFill& fill, int version) {
  const bool alpha = version >= 3;
  switch (fill.kind) {
    case SwfFill::Kind::kSolid:
      out.push_back(0x00);
      PutColor(out, fill.color, alpha);
      return;
    case SwfFill::Kind::kBitmap:
      out.push_back(static_cast<uint8_t>(0x40 | (fill.clipped ? 1 : 0) | (fill.smooth ? 0 : 2)));
      PutU16(out, fill.bitmapId);
      PutMatrix(out, fill.matrix);
      return;
    default: break;
  }
  out.push_back(fill.kind == SwfFill::Kind::kLinear ? 0x10 : fill.kind == SwfFill::Kind::kRadial ? 0x12 : 0x13);
  PutMatrix(out, fill.matrix);
  out.push_back(static_cast<uint8_t>((fill.spread << 6) | (fill.interpolation << 4) | (fill.stops.size() & 15)));
  for (const auto& [ratio, color] : fill.stops) {
    out.push_back(ratio);
    PutColor(out, color, alpha);
  }
  if (fill.kind == SwfFill::Kind::kFocal) PutU16(out, static_cast<uint16_t>(fill.focalPoint));
}

void PutLine(std::vector<uint8_t>& out, const SwfLine& line, int version) {
  PutU16(out, line.width);
  if (version < 4) {
    PutColor(out, line.color, version >= 3);
    return;
  }
  BitWriter w(out);
  w.Write(line.startCap, 2);
  w.Write(line.join, 2);
  w.Write(line.fill.has_value(), 1);
  w.Write(line.noHScale, 1);
  w.Write(line.noVScale, 1);
  w.Write(line.pixelHinting, 1);
  w.Write(0, 5);
  w.Write(line.noClose, 1);
  w.Write(line.endCap, 2);
  if (line.join == 2) PutU16(out, static_cast<uint16_t>(line.miterLimit));
  if (line.fill) {
    PutFill(out, *line.fill, version);
  } else {
    PutColor(out, line.color, true);
  }
}

void PutStyles(std::vector<uint8_t>& out, const std::vector<SwfFill>& fills,
               const std::vector<SwfLine>& lines, int version) {
  auto putCount = [&out](size_t count) {
    if (count < 0xFF) {
      out.push_back(static_cast<uint8_t>(count));
    } else {
      out.push_back(0xFF);
      PutU16(out, static_cast<uint32_t>(count));
    }
  };
  putCount(fills.size());
  for (const SwfFill& fill : fills) PutFill(out, fill, version);
  putCount(lines.size());
  for (const SwfLine& line : lines) PutLine(out, line, version);
}

void PutShapeRecords(std::vector<uint8_t>& out, const std::vector<SwfShapeRecord>& records,
                     size_t fillCount, size_t lineCount, int version) {
  unsigned fillBits = UnsignedBitsFor(static_cast<uint32_t>(fillCount));
  unsigned lineBits = UnsignedBitsFor(static_cast<uint32_t>(lineCount));
  BitWriter w(out);
  w.Write(fillBits, 4);
  w.Write(lineBits, 4);
  for (const SwfShapeRecord& record : records) {
    if (const auto* change = std::get_if<SwfStyleChange>(&record)) {
      w.Write(0, 1);
      w.Write(change->newStyles, 1);
      w.Write(change->line.has_value(), 1);
      w.Write(change->fill1.has_value(), 1);
      w.Write(change->fill0.has_value(), 1);
      w.Write(change->moveTo.has_value(), 1);
      if (change->moveTo) {
        const auto [x, y] = *change->moveTo;
        const unsigned bits = std::max(SignedBitsFor(x), SignedBitsFor(y));
        w.Write(bits, 5);
        w.WriteSigned(x, bits);
        w.WriteSigned(y, bits);
      }
      if (change->fill0) w.Write(*change->fill0, fillBits);
      if (change->fill1) w.Write(*change->fill1, fillBits);
      if (change->line) w.Write(*change->line, lineBits);
      if (change->newStyles) {
        w.Align();
        PutStyles(out, change->fills, change->lines, version);
        fillBits = UnsignedBitsFor(static_cast<uint32_t>(change->fills.size()));
        lineBits = UnsignedBitsFor(static_cast<uint32_t>(change->lines.size()));
        w.Write(fillBits, 4);
        w.Write(lineBits, 4);
      }
    } else if (const auto* line = std::get_if<SwfStraightEdge>(&record)) {
      const unsigned bits = std::max({2u, SignedBitsFor(line->dx), SignedBitsFor(line->dy)});
      w.Write(0b11, 2);
      w.Write(bits - 2, 4);
      if (line->dx != 0 && line->dy != 0) {
        w.Write(1, 1);
        w.WriteSigned(line->dx, bits);
        w.WriteSigned(line->dy, bits);
      } else {
        w.Write(0, 1);
        w.Write(line->dx == 0, 1);
        w.WriteSigned(line->dx == 0 ? line->dy : line->dx, bits);
      }
    } else {
      const auto& curve = std::get<SwfCurvedEdge>(record);
      const unsigned bits = std::max({2u, SignedBitsFor(curve.controlDx), SignedBitsFor(curve.controlDy),
                                      SignedBitsFor(curve.anchorDx), SignedBitsFor(curve.anchorDy)});
      w.Write(0b10, 2);
      w.Write(bits - 2, 4);
      for (int32_t v : {curve.controlDx, curve.controlDy, curve.anchorDx, curve.anchorDy}) w.WriteSigned(v, bits);
    }
  }
  w.Write(0, 6);  // end record
}

}  // namespace swfsaver::tools::detail
