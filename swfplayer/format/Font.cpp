#include "swfplayer/format/Font.h"

#include <algorithm>

#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

// DefineFont2 and DefineFont3 flags.
constexpr uint8_t kHasLayout = 0x80;
constexpr uint8_t kShiftJis = 0x40;
constexpr uint8_t kSmallText = 0x20;
constexpr uint8_t kAnsi = 0x10;
constexpr uint8_t kWideOffsets = 0x08;
constexpr uint8_t kWideCodes = 0x04;
constexpr uint8_t kItalic = 0x02;
constexpr uint8_t kBold = 0x01;

// DefineFontInfo's flags sit one bit further right.
constexpr uint8_t kInfoSmallText = 0x20;
constexpr uint8_t kInfoShiftJis = 0x10;
constexpr uint8_t kInfoAnsi = 0x08;
constexpr uint8_t kInfoItalic = 0x04;
constexpr uint8_t kInfoBold = 0x02;
constexpr uint8_t kInfoWideCodes = 0x01;

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

uint16_t ReadCode(Reader& in, bool wide) { return wide ? in.U16() : in.U8(); }

// The layout block after the code table: ascent, descent, leading, one advance and one bounds
// rectangle per glyph (not kept: outlines give them), then the kerning pairs. A layout that
// breaks off is dropped, as a font without one; kerning that breaks off keeps the pairs read.
std::optional<FontLayout> ReadLayout(Reader& in, size_t glyphCount, bool wideCodes, bool& truncated) {
  FontLayout layout;
  layout.ascent = in.U16();
  layout.descent = in.U16();
  layout.leading = in.S16();
  layout.advances.reserve(std::min<size_t>(glyphCount, in.RemainingBytes() / 2));
  for (size_t i = 0; i < glyphCount && in.Ok(); ++i) layout.advances.push_back(in.S16());
  for (size_t i = 0; i < glyphCount && in.Ok(); ++i) in.Rect();
  if (!in.Ok()) {
    truncated = true;
    return std::nullopt;
  }
  const size_t pairs = in.U16();
  const size_t pairSize = wideCodes ? 6 : 4;
  layout.kerning.reserve(std::min(pairs, in.RemainingBytes() / pairSize));
  for (size_t i = 0; i < pairs; ++i) {
    KerningPair pair;
    pair.left = ReadCode(in, wideCodes);
    pair.right = ReadCode(in, wideCodes);
    pair.adjustment = in.S16();
    if (!in.Ok()) break;
    layout.kerning.push_back(pair);
  }
  truncated |= !in.Ok();
  return layout;
}

FontFlags Font2Flags(uint8_t bits) {
  FontFlags flags;
  flags.bold = bits & kBold;
  flags.italic = bits & kItalic;
  flags.smallText = bits & kSmallText;
  flags.shiftJis = bits & kShiftJis;
  flags.ansi = bits & kAnsi;
  flags.wideCodes = (bits & kWideCodes) != 0;  // DefineFont3 too: the Flash Player reads the flag
  return flags;
}

std::optional<FontDefinition> DecodeFont1(Reader& in, FontDefinition& font) {
  // No count: the first offset is where the outlines begin, right after the table.
  const std::span<const uint8_t> table = in.Rest();
  Reader offsetsIn(table);
  const uint32_t first = offsetsIn.U16();
  const size_t count = std::min<size_t>(first / 2, kMaxFontGlyphs);
  font.truncated = first / 2 > kMaxFontGlyphs;
  std::vector<uint32_t> offsets;
  if (count > 0) offsets.push_back(first);
  while (offsets.size() < count && offsetsIn.Ok()) offsets.push_back(offsetsIn.U16());
  if (!offsetsIn.Ok()) offsets.pop_back();
  ReadGlyphs(table, offsets, table.size(), font);
  return font;
}

}  // namespace

std::optional<FontDefinition> DecodeFont(std::span<const uint8_t> body, int version) {
  Reader in(body);
  FontDefinition font;
  font.version = version;
  font.id = in.U16();
  if (!in.Ok()) return std::nullopt;
  if (version == 1) return DecodeFont1(in, font);
  const uint8_t flags = in.U8();
  font.flags = Font2Flags(flags);
  font.language = in.U8();
  const std::span<const uint8_t> name = in.Bytes(in.U8());
  font.name.assign(name.begin(), name.end());
  const uint16_t count = in.U16();
  if (!in.Ok()) return std::nullopt;
  const bool wide = (flags & kWideOffsets) != 0;
  const size_t entry = wide ? 4 : 2;
  const bool hasLayout = (flags & kHasLayout) != 0;
  if (count == 0) {
    // A device font. Some writers still put a code table offset here, others do not: the
    // layout (ascent, descent, leading, a kerning count of 0) is eight bytes either way.
    if (hasLayout) {
      if (in.RemainingBytes() >= entry + 8) in.Skip(entry);
      font.layout = ReadLayout(in, 0, font.flags.wideCodes, font.truncated);
    }
    return font;
  }
  const std::span<const uint8_t> table = in.Rest();
  Reader offsetsIn(table);
  const size_t kept = std::min<size_t>(count, kMaxFontGlyphs);
  font.truncated = count > kMaxFontGlyphs;
  std::vector<uint32_t> offsets;
  offsets.reserve(std::min(kept, table.size() / entry));
  for (size_t i = 0; i < count && offsetsIn.Ok(); ++i) {
    const uint32_t offset = wide ? offsetsIn.U32() : offsetsIn.U16();
    if (offsetsIn.Ok() && i < kept) offsets.push_back(offset);
  }
  const uint32_t codeTable = wide ? offsetsIn.U32() : offsetsIn.U16();
  const bool haveCodeTable = offsetsIn.Ok() && codeTable <= table.size();
  font.truncated |= !haveCodeTable;
  ReadGlyphs(table, offsets, haveCodeTable ? codeTable : table.size(), font);
  if (!haveCodeTable) return font;
  Reader codesIn(table.subspan(codeTable));
  font.codes.reserve(font.glyphs.size());
  for (size_t i = 0; i < count; ++i) {
    const uint16_t code = ReadCode(codesIn, font.flags.wideCodes);
    if (!codesIn.Ok()) break;
    if (i < font.glyphs.size()) font.codes.push_back(code);
  }
  font.truncated |= !codesIn.Ok();
  if (hasLayout && codesIn.Ok()) {
    font.layout = ReadLayout(codesIn, count, font.flags.wideCodes, font.truncated);
    if (font.layout) font.layout->advances.resize(font.glyphs.size());
  }
  return font;
}

std::optional<FontInfo> DecodeFontInfo(std::span<const uint8_t> body, int version) {
  Reader in(body);
  FontInfo info;
  info.fontId = in.U16();
  const std::span<const uint8_t> name = in.Bytes(in.U8());
  info.name.assign(name.begin(), name.end());
  const uint8_t flags = in.U8();
  if (version >= 2) info.language = in.U8();
  if (!in.Ok()) return std::nullopt;
  info.flags.bold = flags & kInfoBold;
  info.flags.italic = flags & kInfoItalic;
  info.flags.smallText = flags & kInfoSmallText;
  info.flags.shiftJis = flags & kInfoShiftJis;
  info.flags.ansi = flags & kInfoAnsi;
  info.flags.wideCodes = (flags & kInfoWideCodes) || version >= 2;
  // The code table fills the rest of the tag, one code per glyph.
  const size_t size = info.flags.wideCodes ? 2 : 1;
  const size_t count = std::min(in.RemainingBytes() / size, kMaxFontGlyphs);
  info.codes.reserve(count);
  for (size_t i = 0; i < count; ++i) info.codes.push_back(ReadCode(in, info.flags.wideCodes));
  return info;
}

void ApplyFontInfo(FontDefinition& font, const FontInfo& info) {
  font.name = info.name;
  font.flags = info.flags;
  font.language = info.language;
  font.codes.assign(info.codes.begin(),
                    info.codes.begin() + std::min(info.codes.size(), font.glyphs.size()));
}

std::optional<FontName> DecodeFontName(std::span<const uint8_t> body) {
  Reader in(body);
  FontName name;
  name.fontId = in.U16();
  name.name = in.String();
  if (!in.Ok()) return std::nullopt;
  name.copyright = in.String();  // optional in practice: a tag that ends early keeps the name
  return name;
}

}  // namespace swfplayer::format
