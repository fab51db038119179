#include "swfplayer/text/StyledText.h"

#include <algorithm>

namespace swfplayer::text {
namespace {

bool IsParagraphEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

void CopyParagraphProperties(TextFormat& to, const TextFormat& from) {
  to.align = from.align;
  to.leftMargin = from.leftMargin;
  to.rightMargin = from.rightMargin;
  to.indent = from.indent;
  to.blockIndent = from.blockIndent;
  to.leading = from.leading;
  to.bullet = from.bullet;
  to.tabStops = from.tabStops;
}

TextFormat ParagraphPart(const TextFormat& format) {
  TextFormat part;
  CopyParagraphProperties(part, format);
  return part;
}

}  // namespace

StyledText::StyledText(std::u16string text, const TextFormat& format) : text_(std::move(text)) {
  runs_.push_back({text_.size(), format});
}

void StyledText::Append(std::u16string_view text, const TextFormat& format) {
  if (text.empty()) return;
  text_.append(text);
  if (!runs_.empty() && runs_.back().format == format) {
    runs_.back().length += text.size();
  } else if (!runs_.empty() && runs_.back().length == 0) {
    runs_.back() = {text.size(), format};
  } else {
    runs_.push_back({text.size(), format});
  }
}

size_t StyledText::SplitAt(size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < runs_.size(); ++i) {
    if (index == start) return i;
    if (index < start + runs_[i].length) {
      FormatRun tail{start + runs_[i].length - index, runs_[i].format};
      runs_[i].length = index - start;
      runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
      return i + 1;
    }
    start += runs_[i].length;
  }
  return runs_.size();
}

void StyledText::Merge() {
  std::vector<FormatRun> merged;
  for (FormatRun& run : runs_) {
    if (run.length == 0) continue;
    if (!merged.empty() && merged.back().format == run.format) {
      merged.back().length += run.length;
    } else {
      merged.push_back(std::move(run));
    }
  }
  if (merged.empty()) merged.push_back({0, runs_.empty() ? TextFormat::Defaults() : runs_.front().format});
  runs_ = std::move(merged);
}

void StyledText::Replace(size_t begin, size_t end, std::u16string_view text, const TextFormat& format) {
  if (runs_.empty()) runs_.push_back({0, format});
  begin = std::min(begin, text_.size());
  end = std::clamp(end, begin, text_.size());
  const size_t first = SplitAt(begin);
  const size_t last = SplitAt(end);
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first), runs_.begin() + static_cast<std::ptrdiff_t>(last));
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), FormatRun{text.size(), format});
  text_.replace(begin, end - begin, text);
  Merge();
}

void StyledText::SetFormat(size_t begin, size_t end, const TextFormat& format) {
  if (runs_.empty()) return;
  begin = std::min(begin, text_.size());
  end = std::clamp(end, begin, text_.size());
  TextFormat character = format;
  CopyParagraphProperties(character, TextFormat{});
  const size_t first = SplitAt(begin);
  const size_t last = SplitAt(end);
  for (size_t i = first; i < last; ++i) runs_[i].format.Apply(character);
  // Paragraph properties go to whole paragraphs.
  const TextFormat paragraph = ParagraphPart(format);
  if (paragraph != TextFormat{}) {
    size_t from = begin;
    while (from > 0 && !IsParagraphEnd(text_[from - 1])) --from;
    size_t to = end;
    while (to < text_.size() && !IsParagraphEnd(text_[to])) ++to;
    if (to < text_.size()) ++to;  // the paragraph's end belongs to it
    const size_t a = SplitAt(from);
    const size_t b = SplitAt(to);
    for (size_t i = a; i < b; ++i) runs_[i].format.Apply(paragraph);
  }
  Merge();
}

TextFormat StyledText::FormatOf(size_t begin, size_t end) const {
  if (begin >= end || begin >= text_.size()) return FormatAt(begin);
  std::optional<TextFormat> common;
  size_t start = 0;
  for (const FormatRun& run : runs_) {
    const size_t runEnd = start + run.length;
    if (runEnd > begin && start < end) {
      if (common) {
        common->Intersect(run.format);
      } else {
        common = run.format;
      }
    }
    start = runEnd;
  }
  return common ? *common : FormatAt(begin);
}

const TextFormat& StyledText::FormatAt(size_t index) const {
  static const TextFormat kDefaults = TextFormat::Defaults();
  if (runs_.empty()) return kDefaults;
  size_t start = 0;
  for (const FormatRun& run : runs_) {
    if (index < start + run.length) return run.format;
    start += run.length;
  }
  return runs_.back().format;
}

}  // namespace swfplayer::text
