#include "swfplayer/text/Layout.h"

#include <algorithm>
#include <cmath>

#include "swfplayer/text/Unicode.h"

namespace swfplayer::text {
namespace {

constexpr double kTwipsPerPixel = 20;
// A bulleted paragraph: the bullet 18 px in, the text 35 px in (past the margins).
constexpr double kBulletX = 18 * kTwipsPerPixel;
constexpr double kBulletIndent = 35 * kTwipsPerPixel;
// Without tab stops a tab goes to the next multiple of 2.7 times the font size.
constexpr double kDefaultTabEms = 2.7;
// Underlines stand 2 px below the baseline, 1 px thick.
constexpr double kUnderlineOffset = 2 * kTwipsPerPixel;
constexpr double kUnderlineThickness = 1 * kTwipsPerPixel;

bool IsBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

struct Item {
  size_t index = 0;  // in the text
  char32_t c = 0;
  const TextFormat* format = nullptr;
  const LayoutFont* font = nullptr;
  FontGlyph glyph;
  bool found = false;
  double scale = 0;    // twips per font unit
  double advance = 0;  // twips (a tab's is worked out on its line)
  double ascent = 0, descent = 0, leading = 0;
};

bool CanBreakBetween(char32_t before, char32_t after) {
  if (!IsCjk(before) && !IsCjk(after)) return false;
  return !NoBreakBefore(after) && !NoBreakAfter(before);
}

Rgba ColorOf(const TextFormat& format) {
  const uint32_t rgb = format.color.value_or(0);
  return Rgba{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), 255};
}

class LineMaker {
 public:
  LineMaker(const StyledText& text, FontResolver& resolver, const LayoutOptions& options, LaidOutText& out)
      : text_(text), resolver_(resolver), options_(options), out_(out) {}

  void Run() {
    const std::u16string& chars = text_.Text();
    const size_t length = std::min(chars.size(), kMaxLaidOutCharacters);
    ResolveRuns();
    size_t begin = 0;
    for (;;) {
      size_t end = begin;
      while (end < length && !IsBreak(chars[end])) ++end;
      size_t next = end;
      if (next < length) next += (chars[next] == u'\r' && next + 1 < length && chars[next + 1] == u'\n') ? 2 : 1;
      Paragraph(begin, end, next);
      if (end >= length) break;
      begin = next;
      if (begin >= length) {
        Paragraph(begin, begin, begin);  // a text that ends with a break has an empty last line
        break;
      }
    }
    if (!out_.lines.empty()) {
      const LineBox& last = out_.lines.back();
      out_.textHeight = last.top + last.ascent + last.descent;
    }
  }

 private:
  void ResolveRuns() {
    for (const FormatRun& run : text_.Runs()) fonts_.push_back(resolver_.Resolve(run.format));
  }

  // The format and font of the character at index; the runs are walked with a cursor, as the
  // characters are asked for in order.
  std::pair<const TextFormat*, const LayoutFont*> At(size_t index) {
    const auto& runs = text_.Runs();
    if (runs.empty()) {
      static const TextFormat kDefaults = TextFormat::Defaults();
      return {&kDefaults, nullptr};
    }
    if (index < runStart_) runIndex_ = runStart_ = 0;
    while (runIndex_ + 1 < runs.size() && index >= runStart_ + runs[runIndex_].length) {
      runStart_ += runs[runIndex_].length;
      ++runIndex_;
    }
    return {&runs[runIndex_].format, fonts_[runIndex_].get()};
  }

  static void Measure(Item& item) {
    const double size = item.format->size.value_or(12) * kTwipsPerPixel;
    if (!item.font) return;
    item.scale = size / item.font->UnitsPerEm();
    item.ascent = item.font->Ascent() * item.scale;
    item.descent = item.font->Descent() * item.scale;
    item.leading = item.font->Leading() * item.scale;
    if (item.c == U'\t') return;
    item.found = item.font->Find(item.c, item.glyph);
    if (!item.found) return;
    double advance = item.glyph.advance * item.scale;
    // The system's text advances by whole pixels, embedded glyphs by whole twips (what is left
    // over dropped: a long line comes out a pixel or two shorter than exact advances make it).
    advance = item.font->IsDevice() ? std::round(advance / kTwipsPerPixel) * kTwipsPerPixel : std::floor(advance);
    item.advance = advance + item.format->letterSpacing.value_or(0) * kTwipsPerPixel;
  }

  void Paragraph(size_t begin, size_t end, size_t next) {
    std::vector<Item> items;
    const std::u16string_view chars = text_.Text();
    for (size_t i = begin; i < end;) {
      size_t units = 1;
      Item item;
      item.index = i;
      item.c = CodePointAt(chars, i, &units);
      std::tie(item.format, item.font) = At(i);
      Measure(item);
      items.push_back(std::move(item));
      i += units;
    }
    for (size_t k = 0; k + 1 < items.size(); ++k) {
      Item& item = items[k];
      if (item.found && item.font == items[k + 1].font && item.format->kerning.value_or(false)) {
        item.advance += item.font->Kerning(item.c, items[k + 1].c) * item.scale;
      }
    }
    const auto [paragraphFormat, paragraphFont] = At(begin < text_.Length() ? begin : (begin > 0 ? begin - 1 : 0));
    const TextFormat& format = *paragraphFormat;
    const double blockLeft = (format.leftMargin.value_or(0) + format.blockIndent.value_or(0)) * kTwipsPerPixel +
                             (format.bullet.value_or(false) ? kBulletIndent : 0);
    const double right = format.rightMargin.value_or(0) * kTwipsPerPixel;
    size_t start = 0;
    bool first = true;
    do {
      const double left = blockLeft + (first ? format.indent.value_or(0) * kTwipsPerPixel : 0);
      const double available = options_.width - left - right;
      const size_t stop = BreakLine(items, start, available);
      Line(items, start, stop, left, available, format, paragraphFont, first, stop < items.size(),
           stop >= items.size() ? next : items[stop].index);
      start = stop;
      first = false;
    } while (start < items.size());
  }

  // Where the line that starts at items[start] ends (the first item of the next line).
  size_t BreakLine(std::vector<Item>& items, size_t start, double available) {
    double x = 0;
    size_t lastBreak = start;
    for (size_t k = start; k < items.size(); ++k) {
      Item& item = items[k];
      if (item.c == U'\t') item.advance = TabAdvance(item, x);
      if (item.c == U' ') {  // spaces hang past the edge and allow a break after them
        x += item.advance;
        lastBreak = k + 1;
        continue;
      }
      if (k > start && CanBreakBetween(items[k - 1].c, item.c)) lastBreak = k;
      if (options_.wordWrap && k > start && x + item.advance > available) {
        return lastBreak > start ? lastBreak : k;
      }
      x += item.advance;
    }
    return items.size();
  }

  double TabAdvance(const Item& item, double x) const {
    if (item.format->tabStops && !item.format->tabStops->empty()) {
      for (double stop : *item.format->tabStops) {
        if (stop * kTwipsPerPixel > x) return stop * kTwipsPerPixel - x;
      }
      return 0;
    }
    const double interval = item.format->size.value_or(12) * kDefaultTabEms * kTwipsPerPixel;
    return interval > 0 ? (std::floor(x / interval) + 1) * interval - x : 0;
  }

  void Line(const std::vector<Item>& items, size_t start, size_t stop, double left, double available,
            const TextFormat& format, const LayoutFont* paragraphFont, bool first, bool wrapped,
            size_t endIndex) {
    LineBox line;
    line.begin = start < items.size() ? items[start].index : endIndex;
    line.end = endIndex;
    line.top = out_.lines.empty() ? 0 : NextTop(out_.lines.back());
    double width = 0, widthWithSpaces = 0;
    size_t spaces = 0;
    for (size_t k = start; k < stop; ++k) {
      line.ascent = std::max(line.ascent, items[k].ascent);
      line.descent = std::max(line.descent, items[k].descent);
      line.leading = std::max(line.leading, items[k].leading);
      widthWithSpaces += items[k].advance;
      if (items[k].c != U' ') width = widthWithSpaces;
    }
    for (size_t k = start; k < stop; ++k) {
      if (items[k].c == U' ' && items[k].advance > 0 && widthWithSpaces > 0) ++spaces;
    }
    if (start == stop) {
      // An empty line is as tall as its paragraph's font.
      Item probe;
      probe.format = &format;
      probe.font = paragraphFont;
      Measure(probe);
      line.ascent = probe.ascent;
      line.descent = probe.descent;
      line.leading = probe.leading;
    }
    line.leading += format.leading.value_or(0) * kTwipsPerPixel;
    line.width = width;
    const Align align = format.align.value_or(Align::kLeft);
    const double slack = std::max(0.0, available - width);
    double extraPerSpace = 0;
    line.left = left;
    if (align == Align::kCenter) line.left += slack / 2;
    if (align == Align::kRight) line.left += slack;
    if (align == Align::kJustify && wrapped && spaces > 0) extraPerSpace = slack / spaces;
    if (format.bullet.value_or(false) && first && start < stop) Bullet(items[start], line);
    line.firstGlyph = out_.glyphs.size();
    const double baseline = line.top + line.ascent;
    double pen = line.left;
    TextRect* underline = nullptr;
    for (size_t k = start; k < stop; ++k) {
      const Item& item = items[k];
      if (item.found && item.glyph.outline && !item.glyph.outline->Empty()) {
        out_.glyphs.push_back({item.glyph.outline, Matrix{item.scale, 0, 0, item.scale, pen, baseline},
                               ColorOf(*item.format), item.font->IsDevice()});
      }
      if (item.format->underline.value_or(false) && item.c != U' ') {
        const Rgba color = ColorOf(*item.format);
        if (!underline || underline->color != color || underline->x + underline->width < pen - 0.5) {
          out_.underlines.push_back({pen, baseline + kUnderlineOffset, 0, kUnderlineThickness, color});
          underline = &out_.underlines.back();
        }
        underline->width = pen + item.advance - underline->x;
      }
      pen += item.advance + (item.c == U' ' ? extraPerSpace : 0);
    }
    line.glyphCount = out_.glyphs.size() - line.firstGlyph;
    out_.textWidth = std::max(out_.textWidth, left + width + (format.rightMargin.value_or(0) * kTwipsPerPixel));
    out_.lines.push_back(line);
  }

  void Bullet(const Item& item, const LineBox& line) {
    if (!item.font) return;
    FontGlyph glyph;
    if (!item.font->Find(U'\u2022', glyph) || !glyph.outline) return;
    const double x = (item.format->leftMargin.value_or(0) + item.format->blockIndent.value_or(0)) * kTwipsPerPixel + kBulletX;
    out_.glyphs.push_back({glyph.outline, Matrix{item.scale, 0, 0, item.scale, x, line.top + line.ascent},
                           ColorOf(*item.format), item.font->IsDevice()});
  }

  static double NextTop(const LineBox& line) { return line.top + line.ascent + line.descent + line.leading; }

  const StyledText& text_;
  FontResolver& resolver_;
  const LayoutOptions& options_;
  LaidOutText& out_;
  std::vector<std::shared_ptr<const LayoutFont>> fonts_;  // per run
  size_t runIndex_ = 0, runStart_ = 0;
};

}  // namespace

LaidOutText LayOut(const StyledText& text, FontResolver& fonts, const LayoutOptions& options) {
  LaidOutText out;
  LineMaker(text, fonts, options, out).Run();
  return out;
}

}  // namespace swfplayer::text
