#include "swfplayer/format/EditText.h"

#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

// First flag byte.
constexpr uint8_t kHasText = 0x80;
constexpr uint8_t kWordWrap = 0x40;
constexpr uint8_t kMultiline = 0x20;
constexpr uint8_t kPassword = 0x10;
constexpr uint8_t kReadOnly = 0x08;
constexpr uint8_t kHasColor = 0x04;
constexpr uint8_t kHasMaxLength = 0x02;
constexpr uint8_t kHasFont = 0x01;
// Second flag byte.
constexpr uint8_t kHasFontClass = 0x80;
constexpr uint8_t kAutoSize = 0x40;
constexpr uint8_t kHasLayout = 0x20;
constexpr uint8_t kNoSelect = 0x10;
constexpr uint8_t kBorder = 0x08;
constexpr uint8_t kWasStatic = 0x04;
constexpr uint8_t kHtml = 0x02;
constexpr uint8_t kUseOutlines = 0x01;

}  // namespace

std::optional<EditTextDefinition> DecodeEditText(std::span<const uint8_t> body) {
  Reader in(body);
  EditTextDefinition text;
  text.id = in.U16();
  text.bounds = in.Rect();
  const uint8_t first = in.U8();
  const uint8_t second = in.U8();
  text.wordWrap = first & kWordWrap;
  text.multiline = first & kMultiline;
  text.password = first & kPassword;
  text.readOnly = first & kReadOnly;
  text.autoSize = second & kAutoSize;
  text.noSelect = second & kNoSelect;
  text.border = second & kBorder;
  text.wasStatic = second & kWasStatic;
  text.html = second & kHtml;
  text.useOutlines = second & kUseOutlines;
  if (first & kHasFont) text.fontId = in.U16();
  if (second & kHasFontClass) text.fontClass = in.String();
  if ((first & kHasFont) || (second & kHasFontClass)) text.height = in.U16();
  if (first & kHasColor) text.color = in.Rgba();
  if (first & kHasMaxLength) text.maxLength = in.U16();
  if (second & kHasLayout) {
    EditTextLayout layout;
    const uint8_t align = in.U8();
    layout.align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::kLeft;
    layout.leftMargin = in.U16();
    layout.rightMargin = in.U16();
    layout.indent = in.U16();
    layout.leading = in.S16();
    text.layout = layout;
  }
  text.variableName = in.String();
  if (!in.Ok()) return std::nullopt;
  if (first & kHasText) {
    std::string initial = in.String();
    if (in.Ok()) text.initialText = std::move(initial);
  }
  return text;
}

}  // namespace swfplayer::format
