#include "swfplayer/avm1/TextSnapshot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "swfplayer/avm1/builtins/CaseMapping.h"

namespace swfplayer::avm1 {

TextSnapshot::TextSnapshot(std::vector<std::shared_ptr<StaticText>> texts) : texts_(std::move(texts)) {
  std::erase(texts_, nullptr);
  for (const auto& text : texts_) count_ += text->Size();
}

TextSnapshot::Range TextSnapshot::Clamp(int64_t begin, int64_t end) const {
  if (count_ == 0) return {};
  const auto count = static_cast<int64_t>(count_);
  const int64_t first = std::clamp<int64_t>(begin, 0, count - 1);
  const int64_t last = std::clamp<int64_t>(end, first + 1, count);
  return {static_cast<size_t>(first), static_cast<size_t>(last)};
}

template <typename Visit>
void TextSnapshot::ForEach(Range range, Visit visit) const {
  size_t start = 0;  // the index of the text's first character
  for (const auto& text : texts_) {
    const size_t size = text->Size();
    const size_t from = std::max(range.begin, start);
    const size_t to = std::min(range.end, start + size);
    for (size_t index = from; index < to; ++index) visit(*text, index - start, index, index == from);
    start += size;
    if (start >= range.end) return;
  }
}

std::u16string TextSnapshot::Text(int64_t begin, int64_t end, bool lineEndings) const {
  std::u16string out;
  ForEach(Clamp(begin, end), [&](const StaticText& text, size_t glyph, size_t, bool firstOfText) {
    if (lineEndings && firstOfText && !out.empty()) out.push_back(u'\n');
    out.push_back(text.Content().glyphs[glyph].character);
  });
  return out;
}

int64_t TextSnapshot::Find(int64_t start, std::u16string_view text, bool caseSensitive) const {
  if (start < 0 || start > static_cast<int64_t>(count_) || text.empty()) return -1;
  std::u16string all = Text(0, static_cast<int64_t>(count_), false);
  std::u16string needle(text);
  if (!caseSensitive) {
    for (char16_t& unit : all) unit = FlashToLower(unit);
    for (char16_t& unit : needle) unit = FlashToLower(unit);
  }
  const size_t found = all.find(needle, static_cast<size_t>(start));
  return found == std::u16string::npos ? -1 : static_cast<int64_t>(found);
}

bool TextSnapshot::AnySelected(int64_t begin, int64_t end) const {
  bool any = false;
  ForEach(Clamp(begin, end), [&](const StaticText& text, size_t glyph, size_t, bool) {
    any = any || text.Selected(glyph);
  });
  return any;
}

void TextSnapshot::Select(int64_t begin, int64_t end, bool on) {
  const Range range = Clamp(begin, end);
  size_t start = 0;
  for (const auto& text : texts_) {
    const size_t size = text->Size();
    if (range.begin < start + size && range.end > start) {
      text->Select(std::max(range.begin, start) - start, std::min(range.end, start + size) - start, on);
    }
    start += size;
  }
}

std::u16string TextSnapshot::SelectedText(bool lineEndings) const {
  std::u16string out;
  for (const auto& text : texts_) {
    if (!text->AnySelected()) continue;
    if (lineEndings && !out.empty()) out.push_back(u'\n');
    for (size_t i = 0; i < text->Size(); ++i) {
      if (text->Selected(i)) out.push_back(text->Content().glyphs[i].character);
    }
  }
  return out;
}

void TextSnapshot::SetSelectColor(Rgba color) {
  for (const auto& text : texts_) text->SetSelectColor(color);
}

TextSnapshot::CharacterInfo TextSnapshot::InfoAt(const StaticText& text, size_t glyph, size_t index) const {
  const StaticTextContent& content = text.Content();
  const StaticTextGlyph& g = content.glyphs[glyph];
  CharacterInfo info;
  info.index = index;
  info.selected = text.Selected(glyph);
  info.run = g.run < content.runs.size() ? &content.runs[g.run] : nullptr;
  const Matrix toClip = text.Placement() * content.matrix;
  info.matrix = toClip * Matrix::Translate(g.x, g.y);
  const double ascent = info.run ? info.run->ascent : 0;
  const double descent = info.run ? info.run->descent : 0;
  info.corners[0] = toClip.Apply({g.x, g.y + descent});
  info.corners[1] = toClip.Apply({g.x + g.advance, g.y + descent});
  info.corners[2] = toClip.Apply({g.x + g.advance, g.y - ascent});
  info.corners[3] = toClip.Apply({g.x, g.y - ascent});
  return info;
}

std::vector<TextSnapshot::CharacterInfo> TextSnapshot::Info(int64_t begin, int64_t end) const {
  std::vector<CharacterInfo> infos;
  ForEach(Clamp(begin, end), [&](const StaticText& text, size_t glyph, size_t index, bool) {
    infos.push_back(InfoAt(text, glyph, index));
  });
  return infos;
}

namespace {

// Whether p lies in the quadrilateral (convex: a box through a matrix), edges included.
bool Inside(const Point (&corners)[4], Point p) {
  bool negative = false, positive = false;
  for (int i = 0; i < 4; ++i) {
    const Point a = corners[i], b = corners[(i + 1) % 4];
    const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    negative = negative || cross < 0;
    positive = positive || cross > 0;
  }
  return !(negative && positive);
}

}  // namespace

int64_t TextSnapshot::HitTest(Point point, double maxDistance) const {
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return -1;
  int64_t nearest = -1;
  double best = std::isfinite(maxDistance) && maxDistance > 0 ? maxDistance : -1;
  int64_t inside = -1;
  ForEach(Clamp(0, static_cast<int64_t>(count_)), [&](const StaticText& text, size_t glyph, size_t index, bool) {
    if (inside >= 0) return;
    const CharacterInfo info = InfoAt(text, glyph, index);
    if (Inside(info.corners, point)) {
      inside = static_cast<int64_t>(index);
      return;
    }
    const double cx = (info.corners[0].x + info.corners[2].x) / 2;
    const double cy = (info.corners[0].y + info.corners[2].y) / 2;
    const double distance = std::hypot(point.x - cx, point.y - cy);
    if (distance < best || (nearest < 0 && distance == best)) {
      best = distance;
      nearest = static_cast<int64_t>(index);
    }
  });
  return inside >= 0 ? inside : nearest;
}

}  // namespace swfplayer::avm1
