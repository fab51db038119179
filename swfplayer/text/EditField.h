// A text field: its properties (from DefineEditText or a script), its styled text, the layout
// made from them when something changed, and the picture it draws: background, border, and
// the glyphs of the lines in view (scroll and hscroll), clipped to the field. Coordinates are
// the field's own twips (the tag's bounds).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swfplayer/text/Html.h"
#include "swfplayer/text/Layout.h"

namespace swfplayer::text {

enum class AutoSize : uint8_t { kNone, kLeft, kCenter, kRight };

struct FieldProperties {
  TwipsRect bounds;
  bool wordWrap = false;
  bool multiline = false;
  bool password = false;
  bool html = false;
  bool border = false;
  bool background = false;
  uint32_t borderColor = 0x000000;
  uint32_t backgroundColor = 0xFFFFFF;
  AutoSize autoSize = AutoSize::kNone;
  bool condenseWhite = false;
  std::optional<uint16_t> maxChars;
  uint8_t swfVersion = 8;
};

// What the field draws, in its own twips: the background, the glyphs and underlines (under a
// clip to the field when the text reaches outside it), then the border: a line one device
// pixel wide at any scale along the field's edges, on the pixels they fall on (so a field of
// 10 pixels shows a border 11 pixels across, as in the Flash Player).
struct FieldPicture {
  struct Fill {
    std::shared_ptr<const Path> path;
    Matrix matrix;
    Rgba color;
    bool nonZero = false;
  };
  struct Line {
    Path path;  // the edges, for a field that stands rotated or skewed
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    Rgba color;
  };
  std::optional<Fill> background;
  std::vector<Fill> text;
  std::optional<Line> border;
  std::optional<Path> clip;  // set when the text reaches past the field's inside
};

class EditField {
 public:
  EditField(FieldProperties properties, const TextFormat& format, FontResolver& fonts);

  const FieldProperties& Properties() const { return properties_; }
  // Changes that need a new layout go through these.
  void SetBounds(const TwipsRect& bounds);
  void SetWordWrap(bool on);
  void SetMultiline(bool on);
  void SetPassword(bool on);
  void SetHtml(bool on);
  void SetAutoSize(AutoSize mode);
  void SetBorder(bool on, uint32_t color);
  void SetBackground(bool on, uint32_t color);
  // Read when HTML text is set next.
  void SetCondenseWhite(bool on) { properties_.condenseWhite = on; }
  void SetMaxChars(std::optional<uint16_t> chars) { properties_.maxChars = chars; }
  // The fonts changed (a script's embedFonts).
  void FontsChanged() { dirty_ = true; }

  const StyledText& Content() const { return text_; }
  const std::u16string& Text() const { return text_.Text(); }
  void SetText(std::u16string_view text);
  void SetHtmlText(std::u16string_view html);
  // The format new text takes (setNewTextFormat) and the text's own (setTextFormat).
  const TextFormat& NewTextFormat() const { return newFormat_; }
  void SetNewTextFormat(const TextFormat& format) { newFormat_.Apply(format); }
  void SetTextFormat(size_t begin, size_t end, const TextFormat& format);
  void ReplaceText(size_t begin, size_t end, std::u16string_view text);

  // In pixels, as scripts see them.
  double TextWidth();
  double TextHeight();
  int Scroll() const { return scroll_; }
  int MaxScroll();
  int BottomScroll();
  void SetScroll(int line);
  double HScroll() const { return hscroll_; }
  double MaxHScroll();
  void SetHScroll(double pixels);
  size_t LineCount();

  const LaidOutText& Layout();
  // Made anew only after a change.
  const FieldPicture& Picture();

 private:
  void Changed() { dirty_ = true; }
  void ApplyAutoSize();
  double InsideHeight() const;

  FieldProperties properties_;
  FontResolver& fonts_;
  TextFormat newFormat_;
  StyledText text_;
  LaidOutText layout_;
  FieldPicture picture_;
  bool dirty_ = true;
  bool pictureDirty_ = true;
  int scroll_ = 1;
  double hscroll_ = 0;
};

// A border on a device where its field stands upright: the pixels its edges round to, the
// top and left edge one pixel longer than the others (the Flash Player leaves the bottom right
// corner out); nothing when the field is rotated or skewed.
std::optional<Path> BorderPixels(const FieldPicture::Line& border, const Matrix& toDevice);

// Inside the field's edges the text keeps 2 pixels free on every side.
inline constexpr double kGutterTwips = 40;

}  // namespace swfplayer::text
