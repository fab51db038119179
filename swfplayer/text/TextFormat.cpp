#include "swfplayer/text/TextFormat.h"

namespace swfplayer::text {
namespace {

template <typename T>
void Over(std::optional<T>& mine, const std::optional<T>& theirs) {
  if (theirs) mine = theirs;
}

template <typename T>
void Common(std::optional<T>& mine, const std::optional<T>& theirs) {
  if (mine != theirs) mine.reset();
}

template <typename F>
void EachField(TextFormat& a, const TextFormat& b, F f) {
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

}  // namespace

void TextFormat::Apply(const TextFormat& over) {
  EachField(*this, over, [](auto& mine, const auto& theirs) { Over(mine, theirs); });
}

void TextFormat::Intersect(const TextFormat& other) {
  EachField(*this, other, [](auto& mine, const auto& theirs) { Common(mine, theirs); });
}

TextFormat TextFormat::Defaults() {
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
  format.align = Align::kLeft;
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

}  // namespace swfplayer::text
