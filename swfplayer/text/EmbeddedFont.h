// A movie's DefineFont2 or DefineFont3 as a layout font: its code table maps characters to
// glyphs (codes are UCS-2 from SWF 6 on; before, bytes of the ANSI code page, decoded as the
// movie's strings are, so a text finds the glyphs its own bytes name), its layout gives the
// advances, ascent, descent, leading and kerning. A font without a layout advances by nothing,
// as the Flash Player places it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "swfplayer/format/Font.h"
#include "swfplayer/movie/TextDecoding.h"
#include "swfplayer/text/LayoutFont.h"

namespace swfplayer::text {

class EmbeddedFont final : public LayoutFont {
 public:
  // glyphs: the font's outlines (one path per glyph, in its units), shared with static texts.
  EmbeddedFont(const format::FontDefinition& font, std::shared_ptr<const std::vector<Path>> glyphs,
               uint8_t swfVersion, const AnsiDecoder& ansi);

  bool Find(char32_t character, FontGlyph& glyph) const override;
  double Kerning(char32_t left, char32_t right) const override;
  double UnitsPerEm() const override { return unitsPerEm_; }
  double Ascent() const override { return ascent_; }
  double Descent() const override { return descent_; }
  double Leading() const override { return leading_; }
  bool IsDevice() const override { return false; }

  bool HasGlyphs() const { return !glyphs_->empty(); }
  // The character the code table gives a glyph (a static text's glyph read back as text);
  // nothing for a glyph past the table.
  std::optional<char32_t> CharacterOfGlyph(uint32_t glyph) const {
    if (glyph >= characterOfGlyph_.size()) return std::nullopt;
    return characterOfGlyph_[glyph];
  }
  bool Bold() const { return bold_; }
  bool Italic() const { return italic_; }

 private:
  std::shared_ptr<const std::vector<Path>> glyphs_;
  std::vector<double> advances_;
  std::unordered_map<char32_t, uint32_t> glyphOf_;
  std::vector<char32_t> characterOfGlyph_;
  std::unordered_map<uint64_t, double> kerning_;
  double unitsPerEm_ = 1024, ascent_ = 0, descent_ = 0, leading_ = 0;
  bool bold_ = false, italic_ = false;
};

// The character a code of the font's code table stands for in a movie of this version.
char32_t CharacterOfCode(uint16_t code, bool wideCodes, uint8_t swfVersion, const AnsiDecoder& ansi);

}  // namespace swfplayer::text
