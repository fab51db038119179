#include "tools/SwfBuilder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <zlib.h>

#include "tools/SwfBits.h"
#include "tools/SwfFields.h"

namespace swfsaver::tools {
namespace {

using detail::PutColor;
using detail::PutColorTransform;
using detail::PutMatrix;
using detail::PutRect;
using detail::PutShapeRecords;
using detail::PutString;
using detail::PutStyles;
using detail::PutU16;
using detail::PutU32;

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) {
    throw std::runtime_error("zlib could not compress");
  }
  out.resize(size);
  return out;
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
    body.push_back(static_cast<uint8_t>((p.blurAndGlowFilters || !p.filterList.empty() ? 0x01 : 0) | (p.blendMode ? 0x02 : 0) |
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
    else body.insert(body.end(), p.filterList.begin(), p.filterList.end());
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
  PutShapeRecords(body, shape.records, shape.fills.size(), shape.lines.size(), shape.version);
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
