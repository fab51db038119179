#include "swfplayer/format/Text.h"

#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

constexpr uint8_t kHasFont = 0x08;
constexpr uint8_t kHasColor = 0x04;
constexpr uint8_t kHasY = 0x02;
constexpr uint8_t kHasX = 0x01;
constexpr uint8_t kRecordType = 0x80;  // set in every text record; a byte without it ends them

// One record; false at the end of the records or when the data breaks off.
bool ReadRecord(Reader& in, int version, unsigned glyphBits, unsigned advanceBits,
                size_t& glyphsLeft, TextRecord& record, bool& truncated) {
  const uint8_t flags = in.U8();
  if (!in.Ok() || (flags & kRecordType) == 0) return false;
  if (flags & kHasFont) record.fontId = in.U16();
  if (flags & kHasColor) record.color = version >= 2 ? in.Rgba() : in.Rgb();
  if (flags & kHasX) record.x = in.S16();
  if (flags & kHasY) record.y = in.S16();
  if (flags & kHasFont) record.height = in.U16();
  const size_t count = in.U8();
  for (size_t i = 0; i < count && in.Ok(); ++i) {
    GlyphEntry glyph;
    glyph.index = in.Bits(glyphBits);
    glyph.advance = in.SignedBits(advanceBits);
    if (!in.Ok()) break;
    if (glyphsLeft == 0) {
      truncated = true;
      continue;
    }
    --glyphsLeft;
    record.glyphs.push_back(glyph);
  }
  return in.Ok();
}

}  // namespace

std::optional<TextDefinition> DecodeText(std::span<const uint8_t> body, int version) {
  Reader in(body);
  TextDefinition text;
  text.id = in.U16();
  text.bounds = in.Rect();
  text.matrix = in.Matrix();
  const unsigned glyphBits = in.U8();
  const unsigned advanceBits = in.U8();
  if (!in.Ok()) return std::nullopt;
  if (glyphBits > 32 || advanceBits > 32) {
    text.truncated = true;
    return text;
  }
  size_t glyphsLeft = kMaxTextGlyphs;
  for (;;) {
    TextRecord record;
    const bool more = ReadRecord(in, version, glyphBits, advanceBits, glyphsLeft, record, text.truncated);
    // A record cut short still places the glyphs read before the break.
    if (!record.glyphs.empty() || more) {
      if (text.records.size() >= kMaxTextRecords) {
        text.truncated = true;
        break;
      }
      text.records.push_back(std::move(record));
    }
    if (!more) break;
  }
  text.truncated |= !in.Ok();
  return text;
}

}  // namespace swfplayer::format
