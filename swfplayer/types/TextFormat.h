// The character and paragraph format of text, as ActionScript's TextFormat has it: every
// property may be unset (a script's new TextFormat, or a range whose characters differ).
// Sizes, margins, indents, leading and tab stops are in pixels, as scripts see them. Plain
// data: the text layer lays text out in it, scripts read and write it through avm1's TextField.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swfplayer {

enum class TextAlign : uint8_t { kLeft, kRight, kCenter, kJustify };

struct TextFormat {
  std::optional<std::u16string> font;
  std::optional<double> size;
  std::optional<uint32_t> color;  // 0xRRGGBB
  std::optional<bool> bold;
  std::optional<bool> italic;
  std::optional<bool> underline;
  std::optional<std::u16string> url;
  std::optional<std::u16string> target;
  std::optional<TextAlign> align;
  std::optional<double> leftMargin;
  std::optional<double> rightMargin;
  std::optional<double> indent;
  std::optional<double> blockIndent;
  std::optional<double> leading;
  std::optional<bool> bullet;
  std::optional<std::vector<double>> tabStops;
  std::optional<double> letterSpacing;
  std::optional<bool> kerning;

  bool operator==(const TextFormat&) const = default;

  // Each property set in `over` replaces this one's.
  void Apply(const TextFormat& over);
  // Keeps the properties both formats have equal; the others become unset.
  void Intersect(const TextFormat& other);
  // Every property set: what a text field's characters carry.
  static TextFormat Defaults();
};

namespace text_format_detail {

template <typename T>
inline void Over(std::optional<T>& mine, const std::optional<T>& theirs) {
  if (theirs) mine = theirs;
}

template <typename T>
inline void Common(std::optional<T>& mine, const std::optional<T>& theirs) {
  if (mine != theirs) mine.reset();
}

template <typename F>
inline void EachField(TextFormat& a, const TextFormat& b, F f) {
  f(a.font, b.font);
  f(a.size, b.size);
  f(a.color, b.color);
  f(a.bold, b.bold);
  f(a.italic, b.italic);
  f(a.underline, b.underline);
  f(a.url, b.url);
  f(a.target, b.target);
  f(a.align, b.align);
  f(a.leftMargin, b.leftMargin);
  f(a.rightMargin, b.rightMargin);
  f(a.indent, b.indent);
  f(a.blockIndent, b.blockIndent);
  f(a.leading, b.leading);
  f(a.bullet, b.bullet);
  f(a.tabStops, b.tabStops);
  f(a.letterSpacing, b.letterSpacing);
  f(a.kerning, b.kerning);
}

}  // namespace text_format_detail

inline void TextFormat::Apply(const TextFormat& over) {
  text_format_detail::EachField(*this, over, [](auto& mine, const auto& theirs) {
    text_format_detail::Over(mine, theirs);
  });
}

inline void TextFormat::Intersect(const TextFormat& other) {
  text_format_detail::EachField(*this, other, [](auto& mine, const auto& theirs) {
    text_format_detail::Common(mine, theirs);
  });
}

inline TextFormat TextFormat::Defaults() {
  // What a text field a script makes starts with (Times New Roman 12, black, left).
  TextFormat format;
  format.font = u"Times New Roman";
  format.size = 12;
  format.color = 0;
  format.bold = false;
  format.italic = false;
  format.underline = false;
  format.url = u"";
  format.target = u"";
  format.align = TextAlign::kLeft;
  format.leftMargin = 0;
  format.rightMargin = 0;
  format.indent = 0;
  format.blockIndent = 0;
  format.leading = 0;
  format.bullet = false;
  format.tabStops = std::vector<double>{};
  format.letterSpacing = 0;
  format.kerning = false;
  return format;
}

}  // namespace swfplayer
