// DefineFont, DefineFont2 and DefineFont3, and the tags that complete a font (DefineFontInfo,
// DefineFontInfo2, DefineFontName): glyph outlines for static and edit text, the code table
// that maps characters to glyphs, and the layout an edit text places glyphs by (ascent,
// descent, leading, advances, kerning). The name and codes are kept as the movie wrote them;
// which character a code means depends on the movie's version (see FontCodes.h).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "swfplayer/format/Shape.h"

namespace swfplayer::format {

struct FontFlags {
  bool bold = false;
  bool italic = false;
  bool smallText = false;
  bool shiftJis = false;   // codes and name are Shift-JIS (before SWF 6)
  bool ansi = false;       // codes are in the ANSI code page (before SWF 6)
  bool wideCodes = false;  // codes are 16 bits; otherwise one byte each
  bool operator==(const FontFlags&) const = default;
};

struct KerningPair {
  uint16_t left = 0;   // codes, as in the code table
  uint16_t right = 0;
  int16_t adjustment = 0;  // font units added to the left glyph's advance
  bool operator==(const KerningPair&) const = default;
};

// In the font's units (1024 to the EM; DefineFont3's twenty times finer).
struct FontLayout {
  uint16_t ascent = 0;
  uint16_t descent = 0;
  int16_t leading = 0;
  std::vector<int16_t> advances;  // one per glyph
  std::vector<KerningPair> kerning;
};

struct FontDefinition {
  uint16_t id = 0;
  int version = 1;  // 1 to 3 for DefineFont to DefineFont3
  std::string name;  // bytes as written (a DefineFont has its name from DefineFontInfo)
  FontFlags flags;
  uint8_t language = 0;
  // One outline per glyph, as shape records with fill style 1 and no style arrays, in EM-square
  // units: 1024 to the EM, or 1024 * 20 for DefineFont3, whose units are twenty times finer.
  std::vector<std::vector<ShapeRecord>> glyphs;
  // One code per glyph (shorter when the table breaks off); a DefineFont has them from a
  // DefineFontInfo tag.
  std::vector<uint16_t> codes;
  std::optional<FontLayout> layout;
  bool truncated = false;  // glyphs, records or tables were dropped (damage or a bound)

  // What a text's height (in twips) is multiplied by to scale this font's units.
  double UnitsToEm() const { return version >= 3 ? 1.0 / (1024.0 * 20.0) : 1.0 / 1024.0; }
};

// version 1 to 3 from the tag code. Nothing for a tag too short for its id; a font without
// outlines (a device font) has no glyphs. A glyph whose offset points outside the tag has an
// empty outline.
std::optional<FontDefinition> DecodeFont(std::span<const uint8_t> body, int version);

// DefineFontInfo (version 1) and DefineFontInfo2 (version 2): the name, style and code table
// of a font defined before.
struct FontInfo {
  uint16_t fontId = 0;
  std::string name;
  FontFlags flags;
  uint8_t language = 0;
  std::vector<uint16_t> codes;
};
std::optional<FontInfo> DecodeFontInfo(std::span<const uint8_t> body, int version);
// Completes a DefineFont from its info; the codes beyond the font's glyphs are ignored.
void ApplyFontInfo(FontDefinition& font, const FontInfo& info);

// DefineFontName: the font's full name (what the system knows it by) and its copyright.
struct FontName {
  uint16_t fontId = 0;
  std::string name;
  std::string copyright;
};
std::optional<FontName> DecodeFontName(std::span<const uint8_t> body);

}  // namespace swfplayer::format
