// What TextSnapshot answers about the static texts it found in a clip, as one run of
// characters: the texts in depth order, each glyph one character. Indexes are the script's
// (any integer): a range is taken as the Flash Player takes it, its start clamped to the
// characters and its end to at least one character after the start, so that a range always
// holds a character when there is one. Line endings, when asked for, separate the texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "swfplayer/avm1/StaticText.h"

namespace swfplayer::avm1 {

class TextSnapshot {
 public:
  explicit TextSnapshot(std::vector<std::shared_ptr<StaticText>> texts);

  size_t Count() const { return count_; }
  std::u16string Text(int64_t begin, int64_t end, bool lineEndings) const;
  // The first index at or after start where text stands (within one run of characters, line
  // endings never match); -1 when there is none, when start is outside [0, Count()] or text is
  // empty. Without case, characters compare as the Flash Player lower-cases them.
  int64_t Find(int64_t start, std::u16string_view text, bool caseSensitive) const;

  bool AnySelected(int64_t begin, int64_t end) const;
  void Select(int64_t begin, int64_t end, bool on);
  std::u16string SelectedText(bool lineEndings) const;
  void SetSelectColor(Rgba color);

  // The character whose box holds the point (the clip's twips), else the one whose centre is
  // nearest within maxDistance (twips); -1 when none is.
  int64_t HitTest(Point point, double maxDistance) const;

  struct CharacterInfo {
    size_t index = 0;
    bool selected = false;
    const StaticTextRun* run = nullptr;
    Matrix matrix;      // the text's matrix in the clip, moved to the character's pen (twips)
    Point corners[4];   // its box in the clip (twips): bottom left, bottom right, top right, top left
  };
  // The characters [begin, end) of a range taken as Text takes it.
  std::vector<CharacterInfo> Info(int64_t begin, int64_t end) const;

 private:
  struct Range {
    size_t begin = 0, end = 0;
  };
  Range Clamp(int64_t begin, int64_t end) const;
  // Calls visit(text, glyph index in the text, global index, first of its text in the range)
  // for each character of range.
  template <typename Visit>
  void ForEach(Range range, Visit visit) const;
  CharacterInfo InfoAt(const StaticText& text, size_t glyph, size_t index) const;

  std::vector<std::shared_ptr<StaticText>> texts_;
  size_t count_ = 0;
};

}  // namespace swfplayer::avm1
