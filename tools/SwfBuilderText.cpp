// SwfMovieBuilder's fonts and static texts.
#include <algorithm>

#include "tools/SwfBits.h"
#include "tools/SwfBuilder.h"
#include "tools/SwfFields.h"

namespace swfsaver::tools {
namespace {

using detail::BitWriter;
using detail::PutU16;
using detail::PutU32;
using detail::PutColor;
using detail::PutRect;
using detail::PutString;

// Each glyph's outline as a SHAPE with one fill style and no line styles.
std::vector<std::vector<uint8_t>> GlyphShapes(const SwfFont& font) {
  std::vector<std::vector<uint8_t>> shapes;
  for (const SwfGlyph& glyph : font.glyphs) {
    std::vector<uint8_t>& shape = shapes.emplace_back();
    detail::PutShapeRecords(shape, glyph.records, 1, 0, 1);
  }
  return shapes;
}

}  // namespace

uint16_t SwfMovieBuilder::DefineFont(const SwfFont& font) {
  const uint16_t id = nextId_++;
  const std::vector<std::vector<uint8_t>> shapes = GlyphShapes(font);
  std::vector<uint8_t> body;
  PutU16(body, id);
  if (font.version == 1) {
    // The offsets count from the table, which has one 16-bit entry per glyph.
    uint32_t offset = static_cast<uint32_t>(shapes.size() * 2);
    for (const auto& shape : shapes) {
      PutU16(body, offset);
      offset += static_cast<uint32_t>(shape.size());
    }
    for (const auto& shape : shapes) body.insert(body.end(), shape.begin(), shape.end());
    Tag(10, body);
    return id;
  }
  // Flags: wide offsets as asked; wide codes always (DefineFont3 requires them).
  body.push_back(static_cast<uint8_t>((font.wideOffsets ? 0x08 : 0) | 0x04));
  body.push_back(1);  // language: Latin
  body.push_back(static_cast<uint8_t>(font.name.size()));
  body.insert(body.end(), font.name.begin(), font.name.end());
  PutU16(body, static_cast<uint32_t>(shapes.size()));
  const size_t entry = font.wideOffsets ? 4 : 2;
  uint32_t offset = static_cast<uint32_t>((shapes.size() + 1) * entry);
  auto putOffset = [&](uint32_t value) {
    if (font.wideOffsets) {
      PutU32(body, value);
    } else {
      PutU16(body, value);
    }
  };
  for (const auto& shape : shapes) {
    putOffset(offset);
    offset += static_cast<uint32_t>(shape.size());
  }
  putOffset(offset);  // the code table follows the outlines
  for (const auto& shape : shapes) body.insert(body.end(), shape.begin(), shape.end());
  for (size_t i = 0; i < shapes.size(); ++i) PutU16(body, i < font.codes.size() ? font.codes[i] : 0);
  Tag(font.version == 2 ? 48 : 75, body);
  return id;
}

uint16_t SwfMovieBuilder::DefineText(const SwfText& text) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  detail::PutRect(body, text.xMin, text.xMax, text.yMin, text.yMax);
  detail::PutMatrix(body, text.matrix);
  unsigned glyphBits = 1, advanceBits = 1;
  for (const SwfTextRecord& record : text.records) {
    for (const SwfTextGlyph& glyph : record.glyphs) {
      glyphBits = std::max(glyphBits, detail::UnsignedBitsFor(glyph.index));
      advanceBits = std::max(advanceBits, detail::SignedBitsFor(glyph.advance));
    }
  }
  body.push_back(static_cast<uint8_t>(glyphBits));
  body.push_back(static_cast<uint8_t>(advanceBits));
  const bool alpha = text.version >= 2;
  for (const SwfTextRecord& record : text.records) {
    body.push_back(static_cast<uint8_t>(0x80 | (record.font ? 0x08 : 0) | (record.color ? 0x04 : 0) |
                                        (record.y ? 0x02 : 0) | (record.x ? 0x01 : 0)));
    if (record.font) PutU16(body, *record.font);
    if (record.color) detail::PutColor(body, *record.color, alpha);
    if (record.x) PutU16(body, static_cast<uint16_t>(*record.x));
    if (record.y) PutU16(body, static_cast<uint16_t>(*record.y));
    if (record.font) PutU16(body, record.height);
    body.push_back(static_cast<uint8_t>(record.glyphs.size()));
    BitWriter w(body);
    for (const SwfTextGlyph& glyph : record.glyphs) {
      w.Write(glyph.index, glyphBits);
      w.WriteSigned(glyph.advance, advanceBits);
    }
  }
  body.push_back(0);  // end of the records
  Tag(text.version >= 2 ? 33 : 11, body);
  return id;
}

uint16_t SwfMovieBuilder::DefineEditText(const SwfEditText& field) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  PutU16(body, id);
  PutRect(body, field.xMin, field.xMax, field.yMin, field.yMax);
  body.push_back(static_cast<uint8_t>((field.text ? 0x80 : 0) | (field.wordWrap ? 0x40 : 0) |
                                      (field.multiline ? 0x20 : 0) | (field.readOnly ? 0x08 : 0) |
                                      (field.color ? 0x04 : 0) | (field.font ? 0x01 : 0)));
  body.push_back(static_cast<uint8_t>((field.autoSize ? 0x40 : 0) | (field.margins ? 0x20 : 0) |
                                      (field.noSelect ? 0x10 : 0) | (field.border ? 0x08 : 0) |
                                      (field.html ? 0x02 : 0) | (field.useOutlines ? 0x01 : 0)));
  if (field.font) {
    PutU16(body, *field.font);
    PutU16(body, field.height);
  }
  if (field.color) PutColor(body, *field.color, true);
  if (field.margins) {
    body.push_back(field.align);
    PutU16(body, field.margins->first);
    PutU16(body, field.margins->second);
    PutU16(body, 0);  // indent
    PutU16(body, 0);  // leading
  }
  PutString(body, field.variable);
  if (field.text) PutString(body, *field.text);
  Tag(37, body);
  return id;
}

}  // namespace swfsaver::tools
