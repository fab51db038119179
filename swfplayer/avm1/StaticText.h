// The static texts (DefineText) of a clip as scripts read them through TextSnapshot. Each
// glyph of a text's records is one character, mapped back through its font's code table; the
// texts themselves are the display's, shared with the snapshots that found them, because what
// a script selects in one snapshot is selected for every other and drawn highlighted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swfplayer/types/Geometry.h"

namespace swfplayer::avm1 {

// What a text's records set for the glyphs after them.
struct StaticTextRun {
  std::u16string font;  // the font's name
  double height = 0;    // the EM square, in twips
  double ascent = 0;    // twips at that height, from the font's layout (the EM without one)
  double descent = 0;
  Rgba color;
};

struct StaticTextGlyph {
  // The character the font's code table gives the glyph; U+FFFD for a glyph of a font
  // without a code table (a DefineFont that no DefineFontInfo completed).
  char16_t character = 0;
  uint32_t run = 0;    // into StaticTextContent::runs
  double x = 0;        // the pen on the baseline, in the text's space (twips)
  double y = 0;
  double advance = 0;  // twips
};

// One DefineText's characters, made once with the text.
struct StaticTextContent {
  Matrix matrix;  // the text's space to its character's
  std::vector<StaticTextRun> runs;
  std::vector<StaticTextGlyph> glyphs;
};

inline constexpr Rgba kDefaultSelectColor{255, 255, 0, 255};

// One static text on a clip's display list.
class StaticText {
 public:
  explicit StaticText(std::shared_ptr<const StaticTextContent> content) : content_(std::move(content)) {}
  StaticText(const StaticText&) = delete;
  StaticText& operator=(const StaticText&) = delete;
  virtual ~StaticText() = default;

  const StaticTextContent& Content() const { return *content_; }
  size_t Size() const { return content_->glyphs.size(); }
  // The text's matrix in its clip now; where it last stood once it left the display.
  virtual Matrix Placement() const = 0;

  bool Selected(size_t index) const { return index < selected_.size() && selected_[index]; }
  bool AnySelected() const { return selectedCount_ > 0; }
  // Characters [begin, end), clamped to the text.
  void Select(size_t begin, size_t end, bool on);
  Rgba SelectColor() const { return selectColor_; }
  void SetSelectColor(Rgba color) { selectColor_ = color; }

 private:
  std::shared_ptr<const StaticTextContent> content_;
  std::vector<bool> selected_;  // empty until something is selected
  size_t selectedCount_ = 0;
  Rgba selectColor_ = kDefaultSelectColor;
};

}  // namespace swfplayer::avm1
