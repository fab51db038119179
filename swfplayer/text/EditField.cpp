#include "swfplayer/text/EditField.h"

#include <algorithm>
#include <cmath>

namespace swfplayer::text {
namespace {

constexpr double kTwipsPerPixel = 20;

Rgba Opaque(uint32_t rgb) {
  return Rgba{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), 255};
}

void AddRect(Path& path, double x0, double y0, double x1, double y1) {
  path.MoveTo({x0, y0});
  path.LineTo({x1, y0});
  path.LineTo({x1, y1});
  path.LineTo({x0, y1});
  path.LineTo({x0, y0});
}

// Line ends as a field keeps them: "\r\n" and "\n" become '\r'.
std::u16string WithFieldBreaks(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    out.push_back(text[i] == u'\n' ? u'\r' : text[i]);
  }
  return out;
}

double LineBottom(const LineBox& line) { return line.top + line.ascent + line.descent; }

}  // namespace

EditField::EditField(FieldProperties properties, const TextFormat& format, FontResolver& fonts)
    : properties_(properties), fonts_(fonts), newFormat_(TextFormat::Defaults()) {
  newFormat_.Apply(format);
  text_ = StyledText(u"", newFormat_);
}

void EditField::SetBounds(const TwipsRect& bounds) {
  properties_.bounds = bounds;
  Changed();
}
void EditField::SetWordWrap(bool on) { properties_.wordWrap = on; Changed(); }
void EditField::SetMultiline(bool on) { properties_.multiline = on; Changed(); }
void EditField::SetPassword(bool on) { properties_.password = on; Changed(); }
void EditField::SetHtml(bool on) { properties_.html = on; }
void EditField::SetAutoSize(AutoSize mode) { properties_.autoSize = mode; Changed(); }
void EditField::SetBorder(bool on, uint32_t color) {
  properties_.border = on;
  properties_.borderColor = color & 0xFFFFFF;
  pictureDirty_ = true;
}
void EditField::SetBackground(bool on, uint32_t color) {
  properties_.background = on;
  properties_.backgroundColor = color & 0xFFFFFF;
  pictureDirty_ = true;
}

void EditField::SetText(std::u16string_view text) {
  text_ = StyledText(WithFieldBreaks(text), newFormat_);
  Changed();
}

void EditField::SetHtmlText(std::u16string_view html) {
  if (!properties_.html) {
    SetText(html);
    return;
  }
  HtmlOptions options;
  options.multiline = properties_.multiline;
  options.swfVersion = properties_.swfVersion;
  options.condenseWhite = properties_.condenseWhite;
  text_ = ParseHtml(html, newFormat_, options);
  Changed();
}

void EditField::SetTextFormat(size_t begin, size_t end, const TextFormat& format) {
  text_.SetFormat(begin, end, format);
  Changed();
}

void EditField::ReplaceText(size_t begin, size_t end, std::u16string_view text) {
  text_.Replace(begin, end, WithFieldBreaks(text), newFormat_);
  Changed();
}

double EditField::InsideHeight() const {
  return std::max(0.0, double(properties_.bounds.yMax - properties_.bounds.yMin) - 2 * kGutterTwips);
}

const LaidOutText& EditField::Layout() {
  if (!dirty_) return layout_;
  StyledText shown = text_;
  if (properties_.password) {
    shown = StyledText();
    size_t start = 0;
    for (const FormatRun& run : text_.Runs()) {
      std::u16string stars;
      for (size_t i = start; i < start + run.length; ++i) stars.push_back(text_.Text()[i] == u'\r' ? u'\r' : u'*');
      shown.Append(stars, run.format);
      start += run.length;
    }
    if (shown.Runs().empty()) shown = StyledText(u"", text_.FormatAt(0));
  }
  LayoutOptions options;
  options.wordWrap = properties_.wordWrap;
  options.width = std::max(0.0, double(properties_.bounds.xMax - properties_.bounds.xMin) - 2 * kGutterTwips);
  layout_ = LayOut(shown, fonts_, options);
  if (properties_.autoSize != AutoSize::kNone && !properties_.wordWrap) {
    // The field takes the text's width; lines align within that.
    options.width = layout_.textWidth;
    layout_ = LayOut(shown, fonts_, options);
  }
  dirty_ = false;
  pictureDirty_ = true;
  ApplyAutoSize();
  scroll_ = std::clamp(scroll_, 1, std::max(1, MaxScroll()));
  return layout_;
}

void EditField::ApplyAutoSize() {
  if (properties_.autoSize == AutoSize::kNone) return;
  TwipsRect& bounds = properties_.bounds;
  const auto height = static_cast<int32_t>(std::lround(layout_.textHeight + 2 * kGutterTwips));
  bounds.yMax = bounds.yMin + height;
  if (properties_.wordWrap) return;
  const auto width = static_cast<int32_t>(std::lround(layout_.textWidth + 2 * kGutterTwips));
  const int32_t old = bounds.xMax - bounds.xMin;
  switch (properties_.autoSize) {
    case AutoSize::kLeft: bounds.xMax = bounds.xMin + width; break;
    case AutoSize::kRight: bounds.xMin = bounds.xMax - width; break;
    case AutoSize::kCenter:
      bounds.xMin += (old - width) / 2;
      bounds.xMax = bounds.xMin + width;
      break;
    case AutoSize::kNone: break;
  }
}

double EditField::TextWidth() { return Layout().textWidth / kTwipsPerPixel; }
double EditField::TextHeight() { return Layout().textHeight / kTwipsPerPixel; }
size_t EditField::LineCount() { return Layout().lines.size(); }

int EditField::MaxScroll() {
  const LaidOutText& layout = Layout();
  const double bottom = LineBottom(layout.lines.back());
  const double inside = InsideHeight();
  size_t first = 0;
  while (first + 1 < layout.lines.size() && bottom - layout.lines[first].top > inside) ++first;
  return static_cast<int>(first) + 1;
}

int EditField::BottomScroll() {
  const LaidOutText& layout = Layout();
  const size_t first = static_cast<size_t>(scroll_ - 1);
  const double top = layout.lines[std::min(first, layout.lines.size() - 1)].top;
  size_t last = first;
  while (last + 1 < layout.lines.size() && LineBottom(layout.lines[last + 1]) - top <= InsideHeight()) ++last;
  return static_cast<int>(last) + 1;
}

void EditField::SetScroll(int line) {
  const int clamped = std::clamp(line, 1, MaxScroll());
  if (clamped != scroll_) pictureDirty_ = true;
  scroll_ = clamped;
}

double EditField::MaxHScroll() {
  const double inside = double(properties_.bounds.xMax - properties_.bounds.xMin) - 2 * kGutterTwips;
  return std::max(0.0, std::floor((Layout().textWidth - inside) / kTwipsPerPixel));
}

void EditField::SetHScroll(double pixels) {
  const double clamped = std::clamp(std::isnan(pixels) ? 0.0 : std::floor(pixels), 0.0, MaxHScroll());
  if (clamped != hscroll_) pictureDirty_ = true;
  hscroll_ = clamped;
}

const FieldPicture& EditField::Picture() {
  const LaidOutText& layout = Layout();
  if (!pictureDirty_) return picture_;
  pictureDirty_ = false;
  picture_ = FieldPicture{};
  const TwipsRect& bounds = properties_.bounds;
  const double x0 = bounds.xMin, y0 = bounds.yMin, x1 = bounds.xMax, y1 = bounds.yMax;
  if (properties_.background) {
    auto path = std::make_shared<Path>();
    AddRect(*path, x0, y0, x1, y1);
    picture_.background = FieldPicture::Fill{std::move(path), Matrix{}, Opaque(properties_.backgroundColor), false};
  }
  const size_t first = std::min<size_t>(static_cast<size_t>(scroll_ - 1), layout.lines.size() - 1);
  const double dx = x0 + kGutterTwips - hscroll_ * kTwipsPerPixel;
  const double dy = y0 + kGutterTwips - layout.lines[first].top;
  const double inside = InsideHeight();
  bool reachesOut = first > 0 || hscroll_ > 0 ||
                    layout.textWidth > double(bounds.xMax - bounds.xMin) - 2 * kGutterTwips;
  for (size_t i = first; i < layout.lines.size(); ++i) {
    const LineBox& line = layout.lines[i];
    if (line.top - layout.lines[first].top >= inside && i > first) {
      reachesOut = true;
      break;
    }
    if (LineBottom(line) - layout.lines[first].top > inside) reachesOut = true;
    for (size_t g = line.firstGlyph; g < line.firstGlyph + line.glyphCount; ++g) {
      const PlacedGlyph& glyph = layout.glyphs[g];
      picture_.text.push_back({glyph.outline, Matrix{1, 0, 0, 1, dx, dy} * glyph.matrix, glyph.color, glyph.nonZero});
    }
  }
  for (const TextRect& rect : layout.underlines) {
    auto path = std::make_shared<Path>();
    AddRect(*path, rect.x + dx, rect.y + dy, rect.x + rect.width + dx, rect.y + rect.height + dy);
    picture_.text.push_back({std::move(path), Matrix{}, rect.color, false});
  }
  if (properties_.border) {
    Path path;
    AddRect(path, x0, y0, x1, y1);
    picture_.border = FieldPicture::Line{std::move(path), x0, y0, x1, y1, Opaque(properties_.borderColor)};
  }
  if (reachesOut) {
    Path clip;
    AddRect(clip, x0, y0, x1, y1);
    picture_.clip = std::move(clip);
  }
  return picture_;
}

std::optional<Path> BorderPixels(const FieldPicture::Line& border, const Matrix& toDevice) {
  if (toDevice.b != 0 || toDevice.c != 0) return std::nullopt;
  const Point a = toDevice.Apply({border.x0, border.y0});
  const Point b = toDevice.Apply({border.x1, border.y1});
  // To the nearest pixel edge, halves down.
  auto edge = [](double v) { return std::ceil(v - 0.5); };
  const double left = edge(std::min(a.x, b.x)), right = edge(std::max(a.x, b.x));
  const double top = edge(std::min(a.y, b.y)), bottom = edge(std::max(a.y, b.y));
  if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(top) || !std::isfinite(bottom)) {
    return std::nullopt;
  }
  Path path;
  AddRect(path, left, top, right + 1, top + 1);
  AddRect(path, left, top + 1, left + 1, bottom + 1);
  if (right > left) AddRect(path, right, top + 1, right + 1, bottom);
  if (bottom > top) AddRect(path, left + 1, bottom, right, bottom + 1);
  return path;
}

}  // namespace swfplayer::text
