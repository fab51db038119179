#include "tools/SwfBuilder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <zlib.h>

#include "tools/SwfBits.h"

namespace swfsaver::tools {
namespace {

using detail::BitWriter;
using detail::PutU16;
using detail::PutU32;
using detail::SignedBitsFor;
using detail::UnsignedBitsFor;

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
  const bool scale = m.a != 1 || m.d != 1;
  w.Write(scale, 1);
  if (scale) {
    const unsigned bits = std::max(SignedBitsFor(fixed(m.a)), SignedBitsFor(fixed(m.d)));
    w.Write(bits, 5);
    w.WriteSigned(fixed(m.a), bits);
    w.WriteSigned(fixed(m.d), bits);
  }
  const bool rotate = m.b != 0 || m.c != 0;
  w.Write(rotate, 1);
  if (rotate) {
    const unsigned bits = std::max(SignedBitsFor(fixed(m.b)), SignedBitsFor(fixed(m.c)));
    w.Write(bits, 5);
    w.WriteSigned(fixed(m.b), bits);
    w.WriteSigned(fixed(m.c), bits);
  }
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

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) {
    throw std::runtime_error("zlib could not compress");
  }
  out.resize(size);
  return out;
}

void PutShapeRecords(std::vector<uint8_t>& out, const SwfShape& shape) {
  unsigned fillBits = UnsignedBitsFor(static_cast<uint32_t>(shape.fills.size()));
  unsigned lineBits = UnsignedBitsFor(static_cast<uint32_t>(shape.lines.size()));
  BitWriter w(out);
  w.Write(fillBits, 4);
  w.Write(lineBits, 4);
  for (const SwfShapeRecord& record : shape.records) {
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
        PutStyles(out, change->fills, change->lines, shape.version);
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

void PutBlurAndGlow(std::vector<uint8_t>& out) {
  out.push_back(2);
  out.push_back(1);  // blur: x, y (16.16), passes
  PutU32(out, 4 << 16);
  PutU32(out, 4 << 16);
  out.push_back(1 << 3);
  out.push_back(4);  // gradient glow: two colours and ratios, then the common tail
  out.push_back(2);
  PutColor(out, {255, 0, 0, 255}, true);
  PutColor(out, {0, 0, 255, 0}, true);
  out.insert(out.end(), {0, 255});
  for (int i = 0; i < 4; ++i) PutU32(out, 1 << 16);
  PutU16(out, 1 << 8);
  out.push_back(0x80);
}

}  // namespace

SwfFill SwfFill::Gradient(Kind kind, SwfMatrix matrix, std::vector<std::pair<uint8_t, SwfRgba>> stops) {
  SwfFill fill;
  fill.kind = kind;
  fill.matrix = matrix;
  fill.stops = std::move(stops);
  return fill;
}

SwfFill SwfFill::Bitmap(uint16_t id, SwfMatrix matrix, bool clipped, bool smooth) {
  SwfFill fill;
  fill.kind = Kind::kBitmap;
  fill.bitmapId = id;
  fill.matrix = matrix;
  fill.clipped = clipped;
  fill.smooth = smooth;
  return fill;
}

SwfShape& SwfShape::Style(std::optional<uint32_t> fill0, std::optional<uint32_t> fill1,
                          std::optional<uint32_t> line, std::optional<std::pair<int32_t, int32_t>> moveTo) {
  SwfStyleChange change;
  change.fill0 = fill0;
  change.fill1 = fill1;
  change.line = line;
  change.moveTo = moveTo;
  records.push_back(std::move(change));
  return *this;
}

SwfShape& SwfShape::MoveTo(int32_t x, int32_t y) {
  return Style(std::nullopt, std::nullopt, std::nullopt, std::pair{x, y});
}

SwfShape& SwfShape::LineBy(int32_t dx, int32_t dy) {
  records.push_back(SwfStraightEdge{dx, dy});
  return *this;
}

SwfShape& SwfShape::CurveBy(int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) {
  records.push_back(SwfCurvedEdge{cdx, cdy, adx, ady});
  return *this;
}

SwfShape& SwfShape::NewStyles(std::vector<SwfFill> newFills, std::vector<SwfLine> newLines) {
  SwfStyleChange change;
  change.newStyles = true;
  change.fills = std::move(newFills);
  change.lines = std::move(newLines);
  records.push_back(std::move(change));
  return *this;
}

SwfShape& SwfShape::Rectangle(int32_t x, int32_t y, int32_t width, int32_t height) {
  return MoveTo(x, y).LineBy(width, 0).LineBy(0, height).LineBy(-width, 0).LineBy(0, -height);
}

void SwfTags::Tag(uint16_t code, const std::vector<uint8_t>& body) {
  if (body.size() >= 0x3F) {
    PutU16(bytes_, (code << 6) | 0x3F);
    PutU32(bytes_, static_cast<uint32_t>(body.size()));
  } else {
    PutU16(bytes_, (code << 6) | static_cast<uint16_t>(body.size()));
  }
  bytes_.insert(bytes_.end(), body.begin(), body.end());
}

void SwfTags::ShowFrame() {
  Tag(1, {});
  ++frames_;
}

void SwfTags::Label(const std::string& name) {
  std::vector<uint8_t> body;
  PutString(body, name);
  Tag(43, body);
}

void SwfTags::Place(const SwfPlace& p) {
  std::vector<uint8_t> body;
  const uint8_t flags = static_cast<uint8_t>(
      (p.move ? 0x01 : 0) | (p.character ? 0x02 : 0) | (p.matrix ? 0x04 : 0) |
      (p.colorTransform ? 0x08 : 0) | (p.ratio ? 0x10 : 0) | (p.name ? 0x20 : 0) | (p.clipDepth ? 0x40 : 0));
  body.push_back(flags);
  if (p.version >= 3) {
    body.push_back(static_cast<uint8_t>((p.blurAndGlowFilters ? 0x01 : 0) | (p.blendMode ? 0x02 : 0) |
                                        (p.cacheAsBitmap ? 0x04 : 0) | (p.className ? 0x08 : 0) |
                                        (p.visible ? 0x20 : 0)));
  }
  PutU16(body, p.depth);
  if (p.version >= 3 && p.className) PutString(body, *p.className);
  if (p.character) PutU16(body, *p.character);
  if (p.matrix) PutMatrix(body, *p.matrix);
  if (p.colorTransform) PutColorTransform(body, *p.colorTransform, true);
  if (p.ratio) PutU16(body, *p.ratio);
  if (p.name) PutString(body, *p.name);
  if (p.clipDepth) PutU16(body, *p.clipDepth);
  if (p.version >= 3) {
    if (p.blurAndGlowFilters) PutBlurAndGlow(body);
    if (p.blendMode) body.push_back(*p.blendMode);
    if (p.cacheAsBitmap) body.push_back(*p.cacheAsBitmap);
    if (p.visible) body.push_back(*p.visible ? 1 : 0);
  }
  Tag(p.version >= 3 ? 70 : 26, body);
}

void SwfTags::PlaceV1(uint16_t character, uint16_t depth, SwfMatrix matrix,
                      std::optional<SwfColorTransform> colorTransform) {
  std::vector<uint8_t> body;
  PutU16(body, character);
  PutU16(body, depth);
  PutMatrix(body, matrix);
  if (colorTransform) PutColorTransform(body, *colorTransform, false);
  Tag(4, body);
}

void SwfTags::Remove(uint16_t depth) {
  std::vector<uint8_t> body;
  PutU16(body, depth);
  Tag(28, body);
}

void SwfTags::RemoveV1(uint16_t character, uint16_t depth) {
  std::vector<uint8_t> body;
  PutU16(body, character);
  PutU16(body, depth);
  Tag(5, body);
}

uint16_t SwfMovieBuilder::DefineShape(const SwfShape& shape) {
  static constexpr uint16_t kCodes[] = {2, 22, 32, 83};
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  PutRect(body, shape.xMin, shape.xMax, shape.yMin, shape.yMax);
  if (shape.version >= 4) {
    PutRect(body, shape.xMin, shape.xMax, shape.yMin, shape.yMax);
    body.push_back(shape.nonZeroWinding ? 0x04 : 0x00);
  }
  PutStyles(body, shape.fills, shape.lines, shape.version);
  PutShapeRecords(body, shape);
  Tag(kCodes[std::clamp(shape.version, 1, 4) - 1], body);
  return id;
}

uint16_t SwfMovieBuilder::DefineSprite(const SwfTags& content, std::optional<uint16_t> frameCount) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  PutU16(body, frameCount.value_or(content.Frames()));
  body.insert(body.end(), content.Bytes().begin(), content.Bytes().end());
  PutU16(body, 0);  // End
  Tag(39, body);
  return id;
}

uint16_t SwfMovieBuilder::DefineLossless(int version, uint8_t format, uint16_t width, uint16_t height,
                                         const std::vector<uint8_t>& data, uint16_t tableSize) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  body.push_back(format);
  PutU16(body, width);
  PutU16(body, height);
  if (format == 3) body.push_back(static_cast<uint8_t>(tableSize - 1));
  const std::vector<uint8_t> compressed = Compress(data);
  body.insert(body.end(), compressed.begin(), compressed.end());
  Tag(version == 2 ? 36 : 20, body);
  return id;
}

void SwfMovieBuilder::JpegTables(const std::vector<uint8_t>& tables) { Tag(8, tables); }

uint16_t SwfMovieBuilder::DefineBits(const std::vector<uint8_t>& jpeg) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  body.insert(body.end(), jpeg.begin(), jpeg.end());
  Tag(6, body);
  return id;
}

uint16_t SwfMovieBuilder::DefineJpeg2(const std::vector<uint8_t>& image) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  body.insert(body.end(), image.begin(), image.end());
  Tag(21, body);
  return id;
}

uint16_t SwfMovieBuilder::DefineJpeg3(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  PutU32(body, static_cast<uint32_t>(jpeg.size()));
  body.insert(body.end(), jpeg.begin(), jpeg.end());
  const std::vector<uint8_t> compressed = Compress(alpha);
  body.insert(body.end(), compressed.begin(), compressed.end());
  Tag(35, body);
  return id;
}

std::vector<uint8_t> SwfMovieBuilder::Finish(SwfOptions options, std::optional<uint16_t> headerFrames) const {
  options.frameCount = headerFrames.value_or(Frames());
  return WriteSwfWithTags(options, Bytes());
}

}  // namespace swfsaver::tools
