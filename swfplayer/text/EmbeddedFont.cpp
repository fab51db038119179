#include "swfplayer/text/EmbeddedFont.h"

#include <string>

namespace swfplayer::text {
namespace {

uint64_t PairKey(char32_t left, char32_t right) { return (uint64_t{left} << 32) | right; }

}  // namespace

char32_t CharacterOfCode(uint16_t code, bool wideCodes, uint8_t swfVersion, const AnsiDecoder& ansi) {
  if (swfVersion >= 6) return code;
  std::string bytes;
  if (wideCodes && code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
  bytes.push_back(static_cast<char>(code & 0xFF));
  const std::u16string decoded = ansi.Decode(bytes);
  return decoded.size() == 1 ? decoded[0] : code;
}

EmbeddedFont::EmbeddedFont(const format::FontDefinition& font,
                           std::shared_ptr<const std::vector<Path>> glyphs, uint8_t swfVersion,
                           const AnsiDecoder& ansi)
    : glyphs_(std::move(glyphs)),
      unitsPerEm_(1.0 / font.UnitsToEm()),
      bold_(font.flags.bold),
      italic_(font.flags.italic) {
  const size_t count = glyphs_->size();
  advances_.assign(count, 0.0);
  std::unordered_map<uint16_t, char32_t> characterOfCode;
  for (size_t i = 0; i < font.codes.size() && i < count; ++i) {
    const char32_t character = CharacterOfCode(font.codes[i], font.flags.wideCodes, swfVersion, ansi);
    characterOfCode.emplace(font.codes[i], character);
    characterOfGlyph_.push_back(character);
    glyphOf_.emplace(character, static_cast<uint32_t>(i));  // the first glyph of a code wins
  }
  if (!font.layout) return;
  ascent_ = font.layout->ascent;
  descent_ = font.layout->descent;
  leading_ = font.layout->leading;
  for (size_t i = 0; i < font.layout->advances.size() && i < count; ++i) {
    advances_[i] = font.layout->advances[i];
  }
  for (const format::KerningPair& pair : font.layout->kerning) {
    const auto left = characterOfCode.find(pair.left);
    const auto right = characterOfCode.find(pair.right);
    if (left != characterOfCode.end() && right != characterOfCode.end()) {
      kerning_.emplace(PairKey(left->second, right->second), pair.adjustment);
    }
  }
}

bool EmbeddedFont::Find(char32_t character, FontGlyph& glyph) const {
  const auto found = glyphOf_.find(character);
  if (found == glyphOf_.end()) return false;
  // The outline stays owned by the shared table; the pointer keeps the table alive.
  glyph.outline = std::shared_ptr<const Path>(glyphs_, &(*glyphs_)[found->second]);
  glyph.advance = advances_[found->second];
  return true;
}

double EmbeddedFont::Kerning(char32_t left, char32_t right) const {
  const auto found = kerning_.find(PairKey(left, right));
  return found == kerning_.end() ? 0.0 : found->second;
}

}  // namespace swfplayer::text
