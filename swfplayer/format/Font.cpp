#include "swfplayer/format/Font.h"

#include <algorithm>

#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

constexpr uint8_t kWideOffsets = 0x08;

// Glyph i's outline lies from offsets[i] to the next offset (or to tableEnd), all counted from
// the start of the offset table.
void ReadGlyphs(std::span<const uint8_t> table, const std::vector<uint32_t>& offsets,
                size_t tableEnd, FontDefinition& font) {
  font.glyphs.resize(offsets.size());
  for (size_t i = 0; i < offsets.size(); ++i) {
    const size_t start = offsets[i];
    size_t end = i + 1 < offsets.size() ? offsets[i + 1] : tableEnd;
    if (end < start || end > table.size()) end = table.size();
    if (start >= end) {
      font.truncated |= start > table.size();
      continue;
    }
    Reader in(table.subspan(start, end - start));
    if (!ReadShapeRecords(in, kMaxGlyphRecords, font.glyphs[i])) font.truncated = true;
  }
}

}  // namespace

std::optional<FontDefinition> DecodeFont(std::span<const uint8_t> body, int version) {
  Reader in(body);
  FontDefinition font;
  font.version = version;
  font.id = in.U16();
  if (!in.Ok()) return std::nullopt;
  std::vector<uint32_t> offsets;
  if (version == 1) {
    // No count: the first offset is where the outlines begin, right after the table.
    const std::span<const uint8_t> table = in.Rest();
    Reader offsetsIn(table);
    const uint32_t first = offsetsIn.U16();
    const size_t count = std::min<size_t>(first / 2, kMaxFontGlyphs);
    font.truncated = first / 2 > kMaxFontGlyphs;
    if (count > 0) offsets.push_back(first);
    while (offsets.size() < count && offsetsIn.Ok()) offsets.push_back(offsetsIn.U16());
    if (!offsetsIn.Ok()) offsets.pop_back();
    ReadGlyphs(table, offsets, table.size(), font);
    return font;
  }
  const uint8_t flags = in.U8();
  in.U8();  // language
  in.Skip(in.U8());  // name
  const uint16_t count = in.U16();
  if (!in.Ok()) return std::nullopt;
  if (count == 0) return font;  // a device font: text in it is drawn by the system, not here
  const std::span<const uint8_t> table = in.Rest();
  Reader offsetsIn(table);
  const bool wide = (flags & kWideOffsets) != 0;
  const size_t kept = std::min<size_t>(count, kMaxFontGlyphs);
  font.truncated = count > kMaxFontGlyphs;
  for (size_t i = 0; i < count && offsetsIn.Ok(); ++i) {
    const uint32_t offset = wide ? offsetsIn.U32() : offsetsIn.U16();
    if (offsetsIn.Ok() && i < kept) offsets.push_back(offset);
  }
  const uint32_t codeTable = wide ? offsetsIn.U32() : offsetsIn.U16();
  font.truncated |= !offsetsIn.Ok();
  ReadGlyphs(table, offsets, offsetsIn.Ok() ? codeTable : table.size(), font);
  return font;
}

}  // namespace swfplayer::format
