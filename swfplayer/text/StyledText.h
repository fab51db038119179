// A field's text with its formats: UTF-16 (what scripts index), and runs of characters that
// share a format, every property set. Paragraphs end at '\r' (a '\n' a script writes is one
// too); a paragraph's alignment, margins, indent, leading and bullet are those of its first
// character.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "swfplayer/text/TextFormat.h"

namespace swfplayer::text {

struct FormatRun {
  size_t length = 0;
  TextFormat format;
};

class StyledText {
 public:
  StyledText() = default;
  StyledText(std::u16string text, const TextFormat& format);

  const std::u16string& Text() const { return text_; }
  const std::vector<FormatRun>& Runs() const { return runs_; }
  size_t Length() const { return text_.size(); }

  // Appends text in a format (how the HTML reader builds a text).
  void Append(std::u16string_view text, const TextFormat& format);
  // Replaces [begin, end) (clamped) by text in format.
  void Replace(size_t begin, size_t end, std::u16string_view text, const TextFormat& format);
  // Sets the properties format has on [begin, end); paragraph properties apply to the whole
  // paragraphs the range touches.
  void SetFormat(size_t begin, size_t end, const TextFormat& format);
  // The properties every character of [begin, end) shares (unset where they differ); the
  // format at begin for an empty range.
  TextFormat FormatOf(size_t begin, size_t end) const;
  // The format of the character at index (the last one past the end).
  const TextFormat& FormatAt(size_t index) const;

 private:
  // Splits a run so that one begins at index; the index of that run.
  size_t SplitAt(size_t index);
  void Merge();

  std::u16string text_;
  std::vector<FormatRun> runs_;  // lengths add up to the text's; never empty once made
};

}  // namespace swfplayer::text
