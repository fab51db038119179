// What the interpreter sees of a text field besides what every clip has (Clip.h): its text, its
// look, its formats and its scrolling, in the units scripts use (pixels, 0xRRGGBB colours,
// character indexes). The player's text fields implement it; the tests a fake. A clip that is
// a text field answers Clip::AsTextField with it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "swfplayer/types/TextFormat.h"

namespace swfplayer::avm1 {

enum class TextFieldFlag : uint8_t {
  kBackground,
  kBorder,
  kWordWrap,
  kMultiline,
  kEmbedFonts,
  kHtml,
  kPassword,
  kSelectable,
  kCondenseWhite,
};

enum class TextFieldNumber : uint8_t {
  kTextColor,        // written: the whole text and new text take the colour
  kBackgroundColor,  // 0xRRGGBB
  kBorderColor,
  kScroll,  // lines from 1
  kMaxScroll,
  kBottomScroll,
  kHScroll,  // pixels
  kMaxHScroll,
  kTextWidth,  // the laid-out text, pixels
  kTextHeight,
  kLength,    // characters
  kMaxChars,  // 0: no bound
};

enum class TextAutoSize : uint8_t { kNone, kLeft, kCenter, kRight };

class TextField {
 public:
  // The plain text (line ends as '\r').
  virtual std::u16string Text() const = 0;
  // A script's text: the field keeps it as plain text, or as HTML when it is an HTML field
  // and html is set.
  virtual void SetText(std::u16string_view text, bool html) = 0;
  virtual std::u16string HtmlText() const = 0;
  virtual std::u16string VariableName() const = 0;
  virtual void SetVariableName(std::u16string_view name) = 0;

  virtual bool Flag(TextFieldFlag flag) const = 0;
  virtual void SetFlag(TextFieldFlag flag, bool on) = 0;
  virtual double Number(TextFieldNumber number) const = 0;
  // Read-only numbers ignore writes.
  virtual void SetNumber(TextFieldNumber number, double value) = 0;
  virtual TextAutoSize AutoSize() const = 0;
  virtual void SetAutoSize(TextAutoSize mode) = 0;

  // The format the characters [begin, end) share (a property they differ in is unset).
  virtual TextFormat GetTextFormat(size_t begin, size_t end) const = 0;
  virtual void SetTextFormat(size_t begin, size_t end, const TextFormat& format) = 0;
  virtual TextFormat NewTextFormat() const = 0;
  virtual void SetNewTextFormat(const TextFormat& format) = 0;
  // Replaces the characters [begin, end) (the selection, which a saver never changes).
  virtual void ReplaceText(size_t begin, size_t end, std::u16string_view text) = 0;

  // The variable's value as the field last took it from the variable or gave it: the field
  // follows its variable when the variable changes from that. A text a script set therefore
  // stays when writing it back did not change the variable (a read-only one keeps its value).
  const std::optional<std::u16string>& BoundValue() const { return boundValue_; }
  void SetBoundValue(std::optional<std::u16string> value) { boundValue_ = std::move(value); }

 protected:
  ~TextField() = default;

 private:
  std::optional<std::u16string> boundValue_;
};

}  // namespace swfplayer::avm1
